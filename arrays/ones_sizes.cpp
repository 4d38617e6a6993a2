#include "ones_sizes.h"

#include "common/host_adapter.h"
#include "size_conversion.h"

#include <algorithm>
#include <cstdint>

namespace fpmex {
namespace {

// The dimension vector of an empty size argument; the host copies it in
// mxSetDimensions. Every other vector is the call's own block, so that
// nothing written is shared between calls or threads.
const mwSize emptySizeDims[2] = {1, 1};

// A non-single argument converted by value through the host's "double".
mxArray* toDouble(const mxArray* argument)
{
    mxArray* converted = nullptr;
    mxArray* input = const_cast<mxArray*>(argument);
    callHostFunction(1, &converted, 1, &input, "double");
    return converted;
}

} // namespace

template <class T>
const mwSize* sizeVectorDims(const T* values, std::size_t count)
{
    if (count == 0)
        return emptySizeDims;
    // The conversion writes plain sizes; a host's own size type may differ
    // (Octave's is signed), so they are copied into the host's vector.
    auto* converted = static_cast<std::size_t*>(mxMalloc(count * sizeof(std::size_t)));
    if (!convertSizes(values, count, converted))
        fail("Size vector elements must be less than 2^31.");
    // One size s stands for s-by-s.
    auto* sizes = static_cast<mwSize*>(mxMalloc(std::max<std::size_t>(count, 2) * sizeof(mwSize)));
    std::copy(converted, converted + count, sizes);
    if (count == 1)
        sizes[1] = sizes[0];
    return sizes;
}

template const mwSize* sizeVectorDims<float>(const float*, std::size_t);
template const mwSize* sizeVectorDims<double>(const double*, std::size_t);

SizeList sizesFromVector(const mxArray* vector)
{
    const std::size_t count = mxGetNumberOfElements(vector);
    if (count > 1 && (mxGetNumberOfDimensions(vector) > 2 || mxGetM(vector) != 1))
        fail("Size vector must be a row vector with integer elements.");
    const mwSize dimensions = count > 1 ? static_cast<mwSize>(count) : 2;
    // Only full single data is read as it is; a sparse array's buffer holds
    // its nonzero elements alone.
    if (count == 0 || (mxIsSingle(vector) && !mxIsSparse(vector)))
        return {sizeVectorDims(static_cast<const float*>(mxGetData(vector)), count), dimensions};
    const mxArray* converted = toDouble(vector);
    return {sizeVectorDims(mxGetPr(converted), count), dimensions};
}

SizeList sizesFromArguments(int nrhs, const mxArray* prhs[])
{
    mwSize* sizes = static_cast<mwSize*>(mxCalloc(static_cast<std::size_t>(nrhs), sizeof(mwSize)));
    for (int i = 0; i < nrhs; ++i) {
        const mxArray* argument = prhs[i];
        if (mxGetClassID(argument) == mxLOGICAL_CLASS)
            argument = toDouble(argument);
        const std::size_t count = mxGetNumberOfElements(argument);
        if (count != 1)
            mexWarnMsgTxt("Input arguments must be scalar.");
        if (count == 0)
            continue;
        // NaN, infinities and out-of-range values truncate to -2^31 and,
        // like other sizes below 1, leave the size 0.
        const std::int32_t size = truncateToInt32(mxGetScalar(argument));
        if (size > 0)
            sizes[i] = static_cast<mwSize>(size);
    }
    return {sizes, static_cast<mwSize>(nrhs)};
}

std::size_t elementCount(const mwSize* sizes, mwSize count)
{
    for (mwSize i = 0; i < count; ++i)
        if (sizes[i] == 0)
            return 0;
    std::size_t product = 1;
    for (mwSize i = 0; i < count; ++i) {
        const auto size = static_cast<std::size_t>(sizes[i]);
        if (product > SIZE_MAX / size)
            return SIZE_MAX;
        product *= size;
    }
    return product;
}

} // namespace fpmex
