#include "octave_values.h"

#include <octave/boolNDArray.h>
#include <octave/chNDArray.h>
#include <octave/dNDArray.h>
#include <octave/CNDArray.h>
#include <octave/error.h>
#include <octave/fCNDArray.h>
#include <octave/fNDArray.h>
#include <octave/mxtypes.h>
#include <octave/ovl.h>
#include <octave/pager.h>
#include <octave/parse.h>

#include <algorithm>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace fpmex::octave_host {

struct Value {
    octave_value value;
};

namespace {

int classOf(const octave_value& value)
{
    switch (value.builtin_type()) {
    case btyp_double:
    case btyp_complex: return mxDOUBLE_CLASS;
    case btyp_float:
    case btyp_float_complex: return mxSINGLE_CLASS;
    case btyp_int8: return mxINT8_CLASS;
    case btyp_int16: return mxINT16_CLASS;
    case btyp_int32: return mxINT32_CLASS;
    case btyp_int64: return mxINT64_CLASS;
    case btyp_uint8: return mxUINT8_CLASS;
    case btyp_uint16: return mxUINT16_CLASS;
    case btyp_uint32: return mxUINT32_CLASS;
    case btyp_uint64: return mxUINT64_CLASS;
    case btyp_bool: return mxLOGICAL_CLASS;
    case btyp_char: return mxCHAR_CLASS;
    case btyp_struct: return mxSTRUCT_CLASS;
    case btyp_cell: return mxCELL_CLASS;
    case btyp_func_handle: return mxFUNCTION_CLASS;
    default: return mxUNKNOWN_CLASS;
    }
}

template <class T>
void splitComplex(mxArray_tag* array, const void* data, std::size_t count)
{
    const auto* z = static_cast<const std::complex<T>*>(data);
    auto* re = static_cast<T*>(allocateBlock(count * sizeof(T), false));
    auto* im = static_cast<T*>(allocateBlock(count * sizeof(T), false));
    for (std::size_t i = 0; i < count; ++i) {
        re[i] = z[i].real();
        im[i] = z[i].imag();
    }
    array->re = re;
    array->im = im;
}

void widenCharacters(mxArray_tag* array, const void* data, std::size_t count)
{
    const auto* text = static_cast<const unsigned char*>(data);
    auto* units = static_cast<std::uint16_t*>(allocateBlock(count * sizeof(std::uint16_t), false));
    std::copy(text, text + count, units);
    array->re = units;
}

// Octave's value for mxGetScalar of a sparse array: its first nonzero.
double firstNonzero(const octave_value& value)
{
    const void* data = value.mex_get_data();
    if (data == nullptr || value.nnz() == 0)
        return 0.0;
    if (value.islogical())
        return *static_cast<const bool*>(data);
    return *static_cast<const double*>(data); // a complex one's real part
}

dim_vector dimVector(const std::vector<std::size_t>& dims)
{
    dim_vector dv;
    dv.resize(static_cast<int>(dims.size()));
    for (std::size_t i = 0; i < dims.size(); ++i) {
        // Beyond Octave's index type: Octave's own out-of-memory error.
        if (dims[i] > static_cast<std::size_t>(std::numeric_limits<octave_idx_type>::max()))
            throw std::bad_alloc();
        dv(static_cast<int>(i)) = static_cast<octave_idx_type>(dims[i]);
    }
    return dv;
}

// The bytes of `count` elements of T at `data`, which must be a block of the
// call at least that long: an output never makes Octave read past its data.
template <class T>
std::size_t checkedBytes(const void* data, octave_idx_type count)
{
    if (static_cast<std::size_t>(count) > SIZE_MAX / sizeof(T))
        throw std::bad_alloc();
    const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(T);
    if (blockBytes(data) < bytes)
        raiseError(functionName() + ": an output array has less data than its sizes");
    return bytes;
}

// One buffer of an output as an Octave array of T: taken over when the call
// allocated it with exactly these elements, else copied.
template <class T>
Array<T> buffer(void* data, const dim_vector& dv, bool take)
{
    const octave_idx_type count = dv.safe_numel();
    if (count == 0)
        return Array<T>(dv);
    const std::size_t bytes = checkedBytes<T>(data, count);
    if (take && takeBlock(data, bytes))
        return Array<T>(static_cast<T*>(data), dv);
    Array<T> copy(dv);
    std::memcpy(copy.fortran_vec(), data, bytes);
    return copy;
}

template <class Real, class Complex, class T>
octave_value floatingValue(const mxArray_tag* array, const dim_vector& dv, bool take)
{
    if (array->im == nullptr)
        return octave_value(Real(buffer<T>(array->re, dv, take)));
    Complex z(dv);
    if (z.numel() == 0)
        return octave_value(z);
    checkedBytes<T>(array->re, z.numel());
    checkedBytes<T>(array->im, z.numel());
    const auto count = static_cast<std::size_t>(z.numel());
    const auto* re = static_cast<const T*>(array->re);
    const auto* im = static_cast<const T*>(array->im);
    std::complex<T>* out = z.fortran_vec();
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::complex<T>(re[i], im[i]);
    return octave_value(z);
}

octave_value charValue(const mxArray_tag* array, const dim_vector& dv)
{
    charNDArray text(dv);
    if (text.numel() == 0)
        return octave_value(text, '\'');
    checkedBytes<std::uint16_t>(array->re, text.numel());
    const auto* units = static_cast<const std::uint16_t*>(array->re);
    char* out = text.fortran_vec();
    for (octave_idx_type i = 0; i < text.numel(); ++i)
        out[i] = static_cast<char>(units[i]);
    return octave_value(text, '\'');
}

} // namespace

mxArray_tag* wrapValue(const octave_value& input)
{
    mxArray_tag* array = newArray(classOf(input));
    array->value = new Value{input};
    octave_value& value = array->value->value;
    array->complex = value.iscomplex();
    array->sparse = value.issparse();
    const dim_vector dv = value.dims();
    array->dims.resize(static_cast<std::size_t>(dv.ndims()));
    for (std::size_t i = 0; i < array->dims.size(); ++i)
        array->dims[i] = static_cast<std::size_t>(dv(static_cast<int>(i)));
    if (array->sparse) {
        array->firstNonzero = firstNonzero(value);
        return array;
    }
    if (elementBytes(array->classId) == 0)
        return array; // cells, structs, function handles, objects
    const void* data = value.mex_get_data();
    if (data == nullptr) {
        // Ranges, diagonal and permutation matrices keep no elements.
        value = value.full_value();
        data = value.mex_get_data();
    }
    const std::size_t count = elementCount(array->dims);
    // Octave's complex arrays are single or double.
    if (array->complex && array->classId == mxSINGLE_CLASS)
        splitComplex<float>(array, data, count);
    else if (array->complex)
        splitComplex<double>(array, data, count);
    else if (array->classId == mxCHAR_CLASS)
        widenCharacters(array, data, count);
    else
        array->re = const_cast<void*>(data);
    return array;
}

octave_value valueOf(mxArray_tag* array, bool takeBuffers)
{
    if (array->value != nullptr)
        return array->value->value;
    const dim_vector dv = dimVector(array->dims);
    switch (array->classId) {
    case mxDOUBLE_CLASS:
        return floatingValue<NDArray, ComplexNDArray, double>(array, dv, takeBuffers);
    case mxSINGLE_CLASS:
        return floatingValue<FloatNDArray, FloatComplexNDArray, float>(array, dv, takeBuffers);
    case mxLOGICAL_CLASS:
        return octave_value(boolNDArray(buffer<bool>(array->re, dv, takeBuffers)));
    case mxCHAR_CLASS:
        return charValue(array, dv);
    default:
        raiseError(functionName() + ": the Octave host does not pass arrays of class number " +
                   std::to_string(array->classId));
    }
}

void raiseError(const std::string& message)
{
    error("%s", message.c_str());
}

void raiseWarning(const std::string& message)
{
    warning("%s", message.c_str());
}

void print(const std::string& text)
{
    octave_stdout << text;
}

void callFunction(int nlhs, mxArray_tag* plhs[], int nrhs, mxArray_tag* prhs[], const char* name)
{
    octave_value_list args(nrhs);
    for (int i = 0; i < nrhs; ++i)
        args(i) = valueOf(prhs[i], false);
    const octave_value_list results = octave::feval(name, args, nlhs);
    for (int i = 0; i < std::max(nlhs, 1); ++i) {
        if (i < results.length() && results(i).is_defined())
            plhs[i] = wrapValue(results(i));
        else if (i < nlhs)
            raiseError(functionName() + ": " + name + " gave fewer outputs than requested");
        else
            plhs[i] = nullptr;
    }
}

Value* shareValue(const Value* value)
{
    return new Value{value->value};
}

void releaseValue(Value* value)
{
    delete value;
}

} // namespace fpmex::octave_host
