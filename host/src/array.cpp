// mxArray creation, sizes, buffers and class queries with MATLAB's
// semantics: at least two dimensions, trailing singleton dimensions beyond
// the second dropped, buffers owned by the array once attached.
#include "state.h"

#include <cstring>

namespace fpmex::host::detail {
namespace {

std::vector<mwSize> normalised(const mwSize* dims, mwSize ndim)
{
    std::vector<mwSize> result(dims, dims + ndim);
    while (result.size() > 2 && result.back() == 1)
        result.pop_back();
    while (result.size() < 2)
        result.push_back(result.empty() ? 0 : 1);
    return result;
}

void* allocateElements(mxClassID classId, std::size_t count)
{
    const std::size_t size = elementBytes(classId);
    if (count > SIZE_MAX / size)
        raise("Out of memory: the requested array does not fit in the address space.");
    void* data = allocateBlock(count * size, true);
    adoptBlock(data);
    return data;
}

void attach(void*& slot, void* data)
{
    if (slot != nullptr)
        disownBlock(slot);
    slot = data;
    if (data != nullptr)
        adoptBlock(data);
}

} // namespace

std::size_t countOf(const std::vector<mwSize>& dims)
{
    std::size_t count = 1;
    for (mwSize size : dims) {
        if (size != 0 && count > SIZE_MAX / size)
            raise("Out of memory: the number of elements does not fit in the address space.");
        count *= size;
    }
    return count;
}

mxArray* newArray(mxClassID classId, const std::vector<mwSize>& dims, bool complex, bool allocate)
{
    const std::vector<mwSize> sizes = normalised(dims.data(), dims.size());
    const std::size_t count = countOf(sizes);
    auto* array = new mxArray_tag;
    array->classId = classId;
    array->dims = sizes;
    array->complex = complex;
    Host& h = host();
    h.arrays.insert(array);
    if (h.inCall) {
        h.callArrays.insert(array);
        ++h.stats.arrays;
    }
    if (allocate && count != 0) {
        try {
            array->re = allocateElements(classId, count);
            if (complex)
                array->im = allocateElements(classId, count);
        } catch (...) {
            destroyArray(array);
            throw;
        }
    }
    return array;
}

void destroyArray(mxArray* array)
{
    Host& h = host();
    if (h.arrays.erase(array) == 0) {
        fault("mxDestroyArray of an array that is not alive");
        return;
    }
    h.callArrays.erase(array);
    for (void* block : {array->re, array->im, static_cast<void*>(array->ir), static_cast<void*>(array->jc)})
        if (block != nullptr)
            releaseBlock(block);
    for (mxArray* element : array->elements)
        if (element != nullptr)
            destroyArray(element);
    delete array;
}

} // namespace fpmex::host::detail

using namespace fpmex::host::detail;

extern "C" {

mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims, mxClassID classId, mxComplexity flag)
{
    if (strayCall(__func__))
        return nullptr;
    return newArray(classId, std::vector<mwSize>(dims, dims + ndim), flag == mxCOMPLEX, true);
}

mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID classId, mxComplexity flag)
{
    if (strayCall(__func__))
        return nullptr;
    return newArray(classId, {m, n}, flag == mxCOMPLEX, true);
}

mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag)
{
    if (strayCall(__func__))
        return nullptr;
    return newArray(mxDOUBLE_CLASS, {m, n}, flag == mxCOMPLEX, true);
}

mxArray* mxCreateDoubleScalar(double value)
{
    if (strayCall(__func__))
        return nullptr;
    mxArray* array = newArray(mxDOUBLE_CLASS, {1, 1}, false, true);
    std::memcpy(array->re, &value, sizeof value);
    return array;
}

mxArray* mxCreateLogicalMatrix(mwSize m, mwSize n)
{
    if (strayCall(__func__))
        return nullptr;
    return newArray(mxLOGICAL_CLASS, {m, n}, false, true);
}

mxArray* mxCreateLogicalArray(mwSize ndim, const mwSize* dims)
{
    if (strayCall(__func__))
        return nullptr;
    return newArray(mxLOGICAL_CLASS, std::vector<mwSize>(dims, dims + ndim), false, true);
}

mxArray* mxCreateCharArray(mwSize ndim, const mwSize* dims)
{
    if (strayCall(__func__))
        return nullptr;
    return newArray(mxCHAR_CLASS, std::vector<mwSize>(dims, dims + ndim), false, true);
}

mxArray* mxCreateString(const char* text)
{
    if (strayCall(__func__))
        return nullptr;
    const std::size_t length = std::strlen(text);
    mxArray* array = newArray(mxCHAR_CLASS, {length == 0 ? 0u : 1u, length}, false, true);
    auto* chars = static_cast<mxChar*>(array->re);
    for (std::size_t i = 0; i < length; ++i)
        chars[i] = static_cast<unsigned char>(text[i]);
    return array;
}

mxArray* mxCreateCellMatrix(mwSize m, mwSize n)
{
    if (strayCall(__func__))
        return nullptr;
    mxArray* array = newArray(mxCELL_CLASS, {m, n}, false, false);
    array->elements.assign(countOf(array->dims), nullptr);
    return array;
}

mxArray* mxCreateStructMatrix(mwSize m, mwSize n, int nfields, const char** fieldnames)
{
    if (strayCall(__func__))
        return nullptr;
    mxArray* array = newArray(mxSTRUCT_CLASS, {m, n}, false, false);
    for (int i = 0; i < nfields; ++i)
        array->fields.emplace_back(fieldnames[i]);
    array->elements.assign(countOf(array->dims) * array->fields.size(), nullptr);
    return array;
}

mxArray* mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag)
{
    if (strayCall(__func__))
        return nullptr;
    // n + 1 column starts and nzmax entries, each 8 bytes: refused before
    // they wrap to a small size.
    if (n >= SIZE_MAX / sizeof(mwIndex) || nzmax >= SIZE_MAX / sizeof(double))
        raise("Out of memory: the requested array does not fit in the address space.");
    mxArray* array = newArray(mxDOUBLE_CLASS, {m, n}, flag == mxCOMPLEX, false);
    array->sparse = true;
    array->nzmax = nzmax == 0 ? 1 : nzmax;
    try {
        array->re = allocateBlock(array->nzmax * sizeof(double), true);
        adoptBlock(array->re);
        if (array->complex) {
            array->im = allocateBlock(array->nzmax * sizeof(double), true);
            adoptBlock(array->im);
        }
        array->ir = static_cast<mwIndex*>(allocateBlock(array->nzmax * sizeof(mwIndex), true));
        adoptBlock(array->ir);
        array->jc = static_cast<mwIndex*>(allocateBlock((n + 1) * sizeof(mwIndex), true));
        adoptBlock(array->jc);
    } catch (...) {
        destroyArray(array); // an array whose buffers cannot be allocated is not left behind
        throw;
    }
    return array;
}

mxArray* mxDuplicateArray(const mxArray* source)
{
    if (strayCall(__func__))
        return nullptr;
    mxArray* copy = newArray(source->classId, source->dims, source->complex, false);
    copy->sparse = source->sparse;
    copy->nzmax = source->nzmax;
    copy->fields = source->fields;
    auto clone = [](const void* block) -> void* {
        if (block == nullptr)
            return nullptr;
        const std::size_t bytes = host().blocks.at(const_cast<void*>(block)).bytes;
        void* fresh = allocateBlock(bytes, false);
        std::memcpy(fresh, block, bytes);
        adoptBlock(fresh);
        return fresh;
    };
    copy->re = clone(source->re);
    copy->im = clone(source->im);
    copy->ir = static_cast<mwIndex*>(clone(source->ir));
    copy->jc = static_cast<mwIndex*>(clone(source->jc));
    for (const mxArray* element : source->elements)
        copy->elements.push_back(element == nullptr ? nullptr : mxDuplicateArray(element));
    return copy;
}

void mxDestroyArray(mxArray* array)
{
    if (strayCall(__func__))
        return;
    if (array != nullptr)
        destroyArray(array);
}

mwSize mxGetNumberOfDimensions(const mxArray* array)
{
    if (strayCall(__func__))
        return 0;
    return array->dims.size();
}

const mwSize* mxGetDimensions(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->dims.data();
}

int mxSetDimensions(mxArray* array, const mwSize* dims, mwSize ndim)
{
    if (strayCall(__func__))
        return 1;
    array->dims = normalised(dims, ndim);
    return 0;
}

// Saturates instead of wrapping: a product of sizes beyond the address space
// then fails as an out-of-memory request, never as a small wrong count.
size_t mxGetNumberOfElements(const mxArray* array)
{
    if (strayCall(__func__))
        return 0;
    std::size_t count = 1;
    for (mwSize size : array->dims)
        count = size != 0 && count > SIZE_MAX / size ? SIZE_MAX : count * size;
    for (mwSize size : array->dims)
        if (size == 0)
            return 0;
    return count;
}

size_t mxGetM(const mxArray* array)
{
    if (strayCall(__func__))
        return 0;
    return array->dims[0];
}

size_t mxGetN(const mxArray* array)
{
    if (strayCall(__func__))
        return 0;
    std::size_t n = 1;
    for (std::size_t i = 1; i < array->dims.size(); ++i)
        n *= array->dims[i];
    return n;
}

size_t mxGetElementSize(const mxArray* array)
{
    if (strayCall(__func__))
        return 0;
    return elementBytes(array->classId);
}

void* mxGetData(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->re;
}

void* mxGetImagData(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->im;
}

double* mxGetPr(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return static_cast<double*>(array->re);
}

double* mxGetPi(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return static_cast<double*>(array->im);
}

void mxSetData(mxArray* array, void* data)
{
    if (strayCall(__func__))
        return;
    attach(array->re, data);
}

void mxSetImagData(mxArray* array, void* data)
{
    if (strayCall(__func__))
        return;
    attach(array->im, data);
    array->complex = data != nullptr;
}

void mxSetPr(mxArray* array, double* data)
{
    if (strayCall(__func__))
        return;
    mxSetData(array, data);
}

void mxSetPi(mxArray* array, double* data)
{
    if (strayCall(__func__))
        return;
    mxSetImagData(array, data);
}

mxChar* mxGetChars(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->classId == mxCHAR_CLASS ? static_cast<mxChar*>(array->re) : nullptr;
}

mxLogical* mxGetLogicals(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->classId == mxLOGICAL_CLASS ? static_cast<mxLogical*>(array->re) : nullptr;
}

double mxGetScalar(const mxArray* array)
{
    if (strayCall(__func__))
        return 0.0;
    if (array->re == nullptr || mxGetNumberOfElements(array) == 0)
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

mwIndex* mxGetIr(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->ir;
}

mwIndex* mxGetJc(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    return array->jc;
}

mwSize mxGetNzmax(const mxArray* array)
{
    if (strayCall(__func__))
        return 0;
    return array->nzmax;
}

mxArray* mxGetCell(const mxArray* array, mwIndex index)
{
    if (strayCall(__func__))
        return nullptr;
    return array->classId == mxCELL_CLASS && index < array->elements.size() ? array->elements[index] : nullptr;
}

void mxSetCell(mxArray* array, mwIndex index, mxArray* value)
{
    if (strayCall(__func__))
        return;
    if (array->classId != mxCELL_CLASS || index >= array->elements.size()) {
        fault("mxSetCell outside the cell array");
        return;
    }
    array->elements[index] = value;
    host().callArrays.erase(value);
}

mxClassID mxGetClassID(const mxArray* array)
{
    if (strayCall(__func__))
        return mxUNKNOWN_CLASS;
    return array->classId;
}

const char* mxGetClassName(const mxArray* array)
{
    if (strayCall(__func__))
        return nullptr;
    static const char* const names[] = {"unknown", "cell",  "struct", "logical", "char",   "void",
                                        "double",  "single", "int8",   "uint8",   "int16",  "uint16",
                                        "int32",   "uint32", "int64",  "uint64",  "function_handle"};
    const int id = array->classId;
    return id >= 0 && id <= 16 ? names[id] : "unknown";
}

bool mxIsSingle(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId == mxSINGLE_CLASS;
}

bool mxIsDouble(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId == mxDOUBLE_CLASS;
}

bool mxIsComplex(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->complex;
}

bool mxIsChar(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId == mxCHAR_CLASS;
}

bool mxIsNumeric(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId >= mxDOUBLE_CLASS && array->classId <= mxUINT64_CLASS;
}

bool mxIsLogical(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId == mxLOGICAL_CLASS;
}

bool mxIsSparse(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->sparse;
}

bool mxIsCell(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId == mxCELL_CLASS;
}

bool mxIsStruct(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return array->classId == mxSTRUCT_CLASS;
}

bool mxIsEmpty(const mxArray* array)
{
    if (strayCall(__func__))
        return false;
    return mxGetNumberOfElements(array) == 0;
}

void mxSetLogical(mxArray* array)
{
    if (strayCall(__func__))
        return;
    if (array->classId == mxUINT8_CLASS || array->classId == mxLOGICAL_CLASS)
        array->classId = mxLOGICAL_CLASS;
    else
        fault("mxSetLogical of an array that is not uint8");
}
}
