// exp of both function sets: the unary frame with a complex output exactly
// when the input is complex, and expKernel on the set's element type.
#include "common/unary.h"
#include "exp_kernel.h"

namespace {

const fpmex::Entry entry{FPMEX_DESCRIPTION, fpmex::ElementClass<fpmex::Real>::set, 1, 1, 1};

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
    fpmex::runLikeInput<fpmex::Real>(plhs, prhs[0], fpmex::expKernel<fpmex::Real>);
}
