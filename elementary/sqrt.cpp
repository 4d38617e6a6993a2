// sqrt of the double function set: the unary frame that attaches the
// imaginary buffer only on the kernel's flag.
#include "common/unary.h"
#include "sqrt_kernel.h"

namespace {

const fpmex::Entry entry{FPMEX_DESCRIPTION, fpmex::FunctionSet::doubles, 1, 1, 1};

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
    fpmex::runOnFlag<double>(plhs, prhs[0], fpmex::sqrtKernel);
}
