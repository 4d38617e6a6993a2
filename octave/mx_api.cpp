// MATLAB's array functions that the deliverables call, with MATLAB's
// semantics, on the arrays of the native Octave host. Arrays that show an
// Octave value are read only: the deliverables never change an input.
#include "host_array.h"

#include <matrix.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace fpmex::octave_host;

namespace fpmex::octave_host {

std::size_t elementBytes(int classId)
{
    switch (classId) {
    case mxLOGICAL_CLASS:
    case mxINT8_CLASS:
    case mxUINT8_CLASS:
        return 1;
    case mxCHAR_CLASS:
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
        return 2;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS:
        return 4;
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS:
        return 8;
    default:
        return 0;
    }
}

} // namespace fpmex::octave_host

namespace {

mxArray* ownArray(mxArray* array)
{
    if (array->value != nullptr)
        raiseError(functionName() + ": an array that belongs to Octave cannot be changed");
    return array;
}

std::size_t bufferBytes(const mxArray* array)
{
    const std::size_t count = elementCount(array->dims);
    const std::size_t size = elementBytes(array->classId);
    return count > SIZE_MAX / size ? SIZE_MAX : count * size;
}

// MATLAB's constructors give zeroed buffers.
mxArray* createMatrix(mwSize m, mwSize n, mxClassID classId, mxComplexity flag)
{
    mxArray* array = newArray(classId);
    array->dims = {m, n};
    if (m != 0 && n != 0) {
        array->re = allocateBlock(bufferBytes(array), true);
        if (flag == mxCOMPLEX)
            array->im = allocateBlock(bufferBytes(array), true);
    }
    array->complex = flag == mxCOMPLEX;
    return array;
}

} // namespace

extern "C" {

mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID classid, mxComplexity flag)
{
    return createMatrix(m, n, classid, flag);
}

mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag)
{
    return createMatrix(m, n, mxDOUBLE_CLASS, flag);
}

mxArray* mxCreateDoubleScalar(double value)
{
    mxArray* array = createMatrix(1, 1, mxDOUBLE_CLASS, mxREAL);
    *static_cast<double*>(array->re) = value;
    return array;
}

mxArray* mxCreateString(const char* text)
{
    const std::size_t length = std::strlen(text);
    mxArray* array = createMatrix(length == 0 ? 0 : 1, length, mxCHAR_CLASS, mxREAL);
    auto* units = static_cast<mxChar*>(array->re);
    for (std::size_t i = 0; i < length; ++i)
        units[i] = static_cast<unsigned char>(text[i]);
    return array;
}

mxArray* mxDuplicateArray(const mxArray* source)
{
    mxArray* copy = newArray(source->classId);
    copy->complex = source->complex;
    copy->sparse = source->sparse;
    copy->dims = source->dims;
    copy->firstNonzero = source->firstNonzero;
    if (source->value != nullptr) {
        // The same Octave value: its buffers stay valid while the call runs.
        copy->value = shareValue(source->value);
        copy->re = source->re;
        copy->im = source->im;
        return copy;
    }
    const std::size_t bytes = bufferBytes(source);
    for (auto [from, to] : {std::pair{source->re, &copy->re}, std::pair{source->im, &copy->im}}) {
        if (from != nullptr) {
            *to = allocateBlock(bytes, false);
            std::memcpy(*to, from, bytes);
        }
    }
    return copy;
}

mwSize mxGetNumberOfDimensions(const mxArray* array)
{
    return array->dims.size();
}

const mwSize* mxGetDimensions(const mxArray* array)
{
    return array->dims.data();
}

// MATLAB keeps at least two sizes, dropping trailing ones beyond the second.
int mxSetDimensions(mxArray* array, const mwSize* dims, mwSize ndim)
{
    std::vector<std::size_t>& sizes = ownArray(array)->dims;
    sizes.assign(dims, dims + ndim);
    while (sizes.size() > 2 && sizes.back() == 1)
        sizes.pop_back();
    sizes.resize(std::max<std::size_t>(sizes.size(), 2), 1);
    return 0;
}

size_t mxGetNumberOfElements(const mxArray* array)
{
    return elementCount(array->dims);
}

size_t mxGetM(const mxArray* array)
{
    return array->dims[0];
}

void* mxGetData(const mxArray* array)
{
    return array->re;
}

void* mxGetImagData(const mxArray* array)
{
    return array->im;
}

double* mxGetPr(const mxArray* array)
{
    return static_cast<double*>(array->re);
}

double* mxGetPi(const mxArray* array)
{
    return static_cast<double*>(array->im);
}

mxChar* mxGetChars(const mxArray* array)
{
    return array->classId == mxCHAR_CLASS ? static_cast<mxChar*>(array->re) : nullptr;
}

// The buffer belongs to the call until an output hands it to Octave.
void mxSetData(mxArray* array, void* data)
{
    ownArray(array)->re = data;
}

void mxSetImagData(mxArray* array, void* data)
{
    ownArray(array)->im = data;
    array->complex = data != nullptr;
}

mxClassID mxGetClassID(const mxArray* array)
{
    return static_cast<mxClassID>(array->classId);
}

bool mxIsSingle(const mxArray* array)
{
    return array->classId == mxSINGLE_CLASS;
}

bool mxIsComplex(const mxArray* array)
{
    return array->complex;
}

bool mxIsChar(const mxArray* array)
{
    return array->classId == mxCHAR_CLASS;
}

bool mxIsNumeric(const mxArray* array)
{
    return array->classId >= mxDOUBLE_CLASS && array->classId <= mxUINT64_CLASS;
}

bool mxIsSparse(const mxArray* array)
{
    return array->sparse;
}

void mxSetLogical(mxArray* array)
{
    if (ownArray(array)->classId == mxUINT8_CLASS)
        array->classId = mxLOGICAL_CLASS;
}

// The first element's real part as a double; a sparse array's first nonzero.
double mxGetScalar(const mxArray* array)
{
    if (array->sparse)
        return array->firstNonzero;
    if (array->re == nullptr || elementCount(array->dims) == 0)
        return 0.0;
    const void* p = array->re;
    switch (array->classId) {
    case mxDOUBLE_CLASS:
        return *static_cast<const double*>(p);
    case mxSINGLE_CLASS:
        return *static_cast<const float*>(p);
    case mxLOGICAL_CLASS:
    case mxUINT8_CLASS:
        return *static_cast<const std::uint8_t*>(p);
    case mxINT8_CLASS:
        return *static_cast<const std::int8_t*>(p);
    case mxCHAR_CLASS:
    case mxUINT16_CLASS:
        return *static_cast<const std::uint16_t*>(p);
    case mxINT16_CLASS:
        return *static_cast<const std::int16_t*>(p);
    case mxINT32_CLASS:
        return *static_cast<const std::int32_t*>(p);
    case mxUINT32_CLASS:
        return *static_cast<const std::uint32_t*>(p);
    case mxINT64_CLASS:
        return static_cast<double>(*static_cast<const std::int64_t*>(p));
    case mxUINT64_CLASS:
        return static_cast<double>(*static_cast<const std::uint64_t*>(p));
    default:
        return 0.0;
    }
}

void* mxMalloc(size_t bytes)
{
    return allocateBlock(bytes, false);
}

void* mxCalloc(size_t count, size_t size)
{
    const std::size_t bytes = size != 0 && count > SIZE_MAX / size ? SIZE_MAX : count * size;
    return allocateBlock(bytes, true);
}

} // extern "C"
