// mexCallMATLAB of the two functions deliverables call back: "double"
// (conversion of numeric, char and logical arrays) and "prod" (MATLAB's
// product of a double array, with or without an output type), by name or
// through "builtin", as deliverables call them. The embedded host computes
// both itself, so a deliverable of the same name can never be reached from
// here.
#include "state.h"

#include <cctype>
#include <cmath>
#include <complex>
#include <cstring>

namespace fpmex::host::detail {
namespace {

template <class T>
void widen(double* out, const void* in, std::size_t count)
{
    const auto* source = static_cast<const T*>(in);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<double>(source[i]);
}

void toDouble(double* out, const void* in, mxClassID classId, std::size_t count)
{
    switch (classId) {
    case mxDOUBLE_CLASS: std::memcpy(out, in, count * sizeof(double)); break;
    case mxSINGLE_CLASS: widen<float>(out, in, count); break;
    case mxLOGICAL_CLASS:
    case mxUINT8_CLASS: widen<std::uint8_t>(out, in, count); break;
    case mxINT8_CLASS: widen<std::int8_t>(out, in, count); break;
    case mxCHAR_CLASS: widen<mxChar>(out, in, count); break;
    case mxUINT16_CLASS: widen<std::uint16_t>(out, in, count); break;
    case mxINT16_CLASS: widen<std::int16_t>(out, in, count); break;
    case mxINT32_CLASS: widen<std::int32_t>(out, in, count); break;
    case mxUINT32_CLASS: widen<std::uint32_t>(out, in, count); break;
    case mxINT64_CLASS: widen<std::int64_t>(out, in, count); break;
    case mxUINT64_CLASS: widen<std::uint64_t>(out, in, count); break;
    default: break;
    }
}

mxArray* convertToDouble(const mxArray* source)
{
    const mxClassID id = source->classId;
    if (id == mxCELL_CLASS || id == mxSTRUCT_CLASS || id == mxUNKNOWN_CLASS || id == mxVOID_CLASS ||
        id == mxFUNCTION_CLASS)
        raise(std::string("Conversion to double from ") + mxGetClassName(source) + " is not possible.");
    if (source->sparse)
        raise("The embedded host does not convert sparse arrays.");
    mxArray* result = newArray(mxDOUBLE_CLASS, source->dims, source->complex, true);
    const std::size_t count = countOf(source->dims);
    if (count != 0) {
        toDouble(static_cast<double*>(result->re), source->re, id, count);
        if (source->complex)
            toDouble(static_cast<double*>(result->im), source->im, id, count);
    }
    return result;
}

// MATLAB's prod: along the first dimension whose size is not 1 (or dim),
// with prod([]) = 1, a dimension beyond the array's giving a copy.
mxArray* product(const mxArray* x, const mxArray* dimArgument)
{
    if (x->classId != mxDOUBLE_CLASS || x->sparse)
        raise(std::string("The embedded host computes prod of full double arrays only, not of ") +
              (x->sparse ? "sparse" : mxGetClassName(x)) + " arrays.");
    std::vector<mwSize> dims = x->dims;
    std::size_t d = 0;
    if (dimArgument != nullptr) {
        const double value = mxGetScalar(dimArgument);
        if (countOf(dimArgument->dims) != 1 || dimArgument->complex || !(value >= 1) || value != std::floor(value) ||
            value > 2147483647.0)
            raise("Dimension argument must be a positive integer scalar within indexing range.");
        d = static_cast<std::size_t>(value) - 1;
        if (d >= dims.size())
            return mxDuplicateArray(x);
    } else if (dims.size() == 2 && dims[0] == 0 && dims[1] == 0) {
        mxArray* one = newArray(mxDOUBLE_CLASS, {1, 1}, false, true);
        *static_cast<double*>(one->re) = 1.0;
        return one;
    } else {
        while (d < dims.size() && dims[d] == 1)
            ++d;
        if (d == dims.size())
            d = 0;
    }
    std::size_t inner = 1, outer = 1;
    for (std::size_t i = 0; i < d; ++i)
        inner *= dims[i];
    for (std::size_t i = d + 1; i < dims.size(); ++i)
        outer *= dims[i];
    const std::size_t length = dims[d];
    dims[d] = 1;
    mxArray* result = newArray(mxDOUBLE_CLASS, dims, x->complex, true);
    const auto* re = static_cast<const double*>(x->re);
    const auto* im = static_cast<const double*>(x->im);
    auto* outRe = static_cast<double*>(result->re);
    auto* outIm = static_cast<double*>(result->im);
    for (std::size_t o = 0; o < outer; ++o)
        for (std::size_t i = 0; i < inner; ++i) {
            std::complex<double> accumulator = 1.0;
            for (std::size_t k = 0; k < length; ++k) {
                const std::size_t at = (o * length + k) * inner + i;
                accumulator *= std::complex<double>(re[at], im != nullptr ? im[at] : 0.0);
            }
            outRe[o * inner + i] = accumulator.real();
            if (outIm != nullptr)
                outIm[o * inner + i] = accumulator.imag();
        }
    return result;
}

std::string text(const mxArray* chars)
{
    std::string result;
    const mxChar* units = mxGetChars(chars);
    for (std::size_t i = 0; i < mxGetNumberOfElements(chars); ++i)
        result += static_cast<char>(units[i]);
    return result;
}

// MATLAB's output types of prod, in any case. Of a double array, every one
// gives its double product.
bool isOutputType(const mxArray* argument)
{
    if (!mxIsChar(argument))
        return false;
    std::string word = text(argument);
    for (char& c : word)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word == "native" || word == "double" || word == "default";
}

} // namespace
} // namespace fpmex::host::detail

using namespace fpmex::host::detail;

extern "C" int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name)
{
    if (strayCall(__func__)) {
        for (int i = 0; i < nlhs; ++i)
            plhs[i] = nullptr;
        return 1;
    }
    std::string function = name;
    // builtin(NAME, ...): the host's own NAME, which is all this host has.
    if (function == "builtin" && nrhs > 0 && mxIsChar(prhs[0])) {
        function = text(prhs[0]);
        ++prhs;
        --nrhs;
    }
    if (function == "prod" && nrhs > 1 && isOutputType(prhs[nrhs - 1]))
        --nrhs;
    if (nlhs > 1)
        raise("mexCallMATLAB: the embedded host's " + function + " gives one output.");
    mxArray* result = nullptr;
    if (function == "double" && nrhs == 1)
        result = convertToDouble(prhs[0]);
    else if (function == "prod" && (nrhs == 1 || nrhs == 2))
        result = product(prhs[0], nrhs == 2 ? prhs[1] : nullptr);
    else
        raise("mexCallMATLAB: the embedded host does not provide " + function + " with " + std::to_string(nrhs) +
              " input(s); it serves double(x) and prod(x[, dim][, outtype]).");
    plhs[0] = result;
    return 0;
}
