// floor of the single function set: the unary frame with a complex output
// exactly when the input is complex.
#include "common/unary.h"
#include "rounding_kernel.h"

namespace {

const fpmex::Entry entry{FPMEX_DESCRIPTION, fpmex::FunctionSet::single, 1, 1, 1};

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
    fpmex::runLikeInput<float>(plhs, prhs[0], fpmex::floorKernel);
}
