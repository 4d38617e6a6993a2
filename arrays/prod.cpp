// prod of the single function set: products of the elements of a single
// array along one dimension, accumulated in extended precision. The result
// has the input's sizes with size 1 at the reduced dimension.
#include "common/element.h"
#include "host_options.h"
#include "prod_kernels.h"
#include "size_conversion.h"

#include <cstddef>
#include <vector>

namespace {

const fpmex::Entry prodEntry{FPMEX_DESCRIPTION, fpmex::FunctionSet::single, 1, 1, 2};

constexpr const char* dimensionMessage = "Dimension argument must be a positive integer scalar.";

// prod of an x of another class: the host's own prod does the work, with
// the dimension (if any) as a double scalar. Class dispatch sends
// prod(d, single(k)) here; a flat folder in Octave sends every prod.
void prodByHost(mxArray* plhs[], const mxArray* x, const mxArray* dimension)
{
    mxArray* args[2] = {const_cast<mxArray*>(x), nullptr};
    if (dimension != nullptr)
        args[1] = mxCreateDoubleScalar(mxGetScalar(dimension));
    fpmex::callHostFunction(1, plhs, dimension != nullptr ? 2 : 1, args, "prod");
}

// The dimension number of prod(x, dim), from 1; ends the call when it is not
// a positive integer scalar. A fraction is dropped.
std::int32_t dimensionNumber(const mxArray* dimension)
{
    const mxArray* g = dimension;
    // Neither character nor numeric data (a logical, say): by value.
    if (mxIsChar(g) == mxIsNumeric(g)) {
        mxArray* converted = nullptr;
        mxArray* input = const_cast<mxArray*>(dimension);
        fpmex::callHostFunction(1, &converted, 1, &input, "double");
        g = converted;
    }
    if (mxIsComplex(g) || mxGetNumberOfElements(g) != 1)
        fpmex::fail(dimensionMessage);
    const std::int32_t dim = fpmex::truncateToInt32(mxGetScalar(g));
    if (dim < 1)
        fpmex::fail(dimensionMessage);
    return dim;
}

// The output: x's sizes with size 1 at dimension d, and buffers for the
// kernel (an imaginary one exactly when x is complex). Returns false when
// it has no elements.
bool createReducedOutput(mxArray* plhs[], const mxArray* x, std::size_t d, float** outRe, float** outIm)
{
    plhs[0] = fpmex::ElementClass<float>::createEmpty();
    {
        // The hosts' own size vectors are read-only: change a copy.
        const mwSize* inSizes = mxGetDimensions(x);
        std::vector<mwSize> sizes(inSizes, inSizes + mxGetNumberOfDimensions(x));
        sizes[d] = 1;
        mxSetDimensions(plhs[0], sizes.data(), static_cast<mwSize>(sizes.size()));
    }
    const std::size_t count = mxGetNumberOfElements(plhs[0]);
    if (count == 0)
        return false;
    *outRe = fpmex::allocateElements<float>(count);
    mxSetData(plhs[0], *outRe);
    *outIm = nullptr;
    if (mxIsComplex(x)) {
        *outIm = fpmex::allocateElements<float>(count);
        mxSetImagData(plhs[0], *outIm);
    }
    return true;
}

// Reduces x along dimension d, whose size is at least 2.
void reduce(mxArray* plhs[], const mxArray* x, std::size_t d)
{
    float* outRe;
    float* outIm;
    if (!createReducedOutput(plhs, x, d, &outRe, &outIm))
        return;
    const mwSize* sizes = mxGetDimensions(x);
    std::size_t stride = 1;
    for (std::size_t i = 0; i < d; ++i)
        stride *= static_cast<std::size_t>(sizes[i]);
    const auto runLength = static_cast<std::size_t>(sizes[d]);
    const std::size_t count = mxGetNumberOfElements(plhs[0]);
    const auto* inRe = static_cast<const float*>(mxGetData(x));
    if (outIm != nullptr)
        fpmex::prodComplexStrided(outRe, outIm, inRe, static_cast<const float*>(mxGetImagData(x)), runLength, count,
                                  stride);
    else
        fpmex::prodRealStrided(outRe, inRe, runLength, count, stride);
}

// The first dimension whose size exceeds 1; the number of dimensions when
// there is none.
std::size_t firstLongDimension(const mxArray* x)
{
    const mwSize* sizes = mxGetDimensions(x);
    const auto dimensions = static_cast<std::size_t>(mxGetNumberOfDimensions(x));
    std::size_t d = 0;
    while (d < dimensions && sizes[d] <= 1)
        ++d;
    return d;
}

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    fpmex::checkOutputCount(nlhs, prodEntry.maxOutputs);
    // An output type is the host's own prod's option, with any number of
    // arguments (prod(x, dim, 'native')), so it is looked for before the count.
    if (nrhs > 1 && fpmex::hasOption(nrhs - 1, prhs + 1, fpmex::prodOptions)) {
        fpmex::callHostFunction(1, plhs, nrhs, const_cast<mxArray**>(prhs), "prod");
        return;
    }
    if (!fpmex::enterFrame(prodEntry, nlhs, nrhs))
        return;
    const mxArray* x = prhs[0];
    // Only single data may be read as single.
    if (!mxIsSingle(x)) {
        prodByHost(plhs, x, nrhs == 2 ? prhs[1] : nullptr);
        return;
    }
    const std::size_t d = nrhs == 1 ? firstLongDimension(x) : static_cast<std::size_t>(dimensionNumber(prhs[1]) - 1);
    // A dimension beyond x's or one of size 0 or 1: nothing to multiply.
    if (d >= static_cast<std::size_t>(mxGetNumberOfDimensions(x)) || mxGetDimensions(x)[d] <= 1) {
        plhs[0] = mxDuplicateArray(x);
        return;
    }
    reduce(plhs, x, d);
}
