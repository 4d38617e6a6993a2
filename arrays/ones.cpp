// ones of the single function set: a real single array of ones whose sizes
// come from one size argument or from one argument per dimension.
#include "common/element.h"
#include "fill_ones.h"
#include "host_options.h"
#include "ones_sizes.h"

namespace {

const fpmex::Entry onesEntry{FPMEX_DESCRIPTION, fpmex::FunctionSet::single, 1, 1, fpmex::anyInputs};

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(onesEntry, nlhs, nrhs))
        return;
    // The host's own ones answers its options. It also reads a sparse size
    // vector, whose buffers hold only its nonzero sizes (the embedded host,
    // which has no ones, refuses to convert one).
    const bool sparseSizes = nrhs == 1 && mxIsSparse(prhs[0]) && fpmex::hostHasOwnFunctions;
    if (sparseSizes || fpmex::hasOption(nrhs, prhs, fpmex::onesOptions)) {
        fpmex::callHostFunction(1, plhs, nrhs, const_cast<mxArray**>(prhs), "ones");
        return;
    }
    const fpmex::SizeList dims = nrhs == 1 ? fpmex::sizesFromVector(prhs[0]) : fpmex::sizesFromArguments(nrhs, prhs);
    plhs[0] = fpmex::ElementClass<float>::createEmpty();
    mxSetDimensions(plhs[0], dims.sizes, dims.count);
    // Counted here rather than by the host: a product of sizes beyond the
    // address space must fail the allocation, not wrap to a small count.
    const std::size_t count = fpmex::elementCount(dims.sizes, dims.count);
    if (count == 0)
        return;
    float* buffer = fpmex::allocateElements<float>(count);
    mxSetData(plhs[0], buffer);
    fpmex::fillOnes(buffer, count);
}
