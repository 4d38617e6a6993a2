// round of the double function set: the unary frame with a complex output
// exactly when the input is complex.
#include "common/unary.h"
#include "rounding_kernel.h"

namespace {

const fpmex::Entry entry{FPMEX_DESCRIPTION, fpmex::FunctionSet::doubles, 1, 1, 1};

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
    fpmex::runLikeInput<double>(plhs, prhs[0], fpmex::roundKernel);
}
