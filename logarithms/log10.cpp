// log10 of both sets: the base 10 logarithm, complex only where an element
// needs it.
#include "log_kernel.h"

#include "common/unary.h"

namespace {

constexpr fpmex::Entry entry{FPMEX_DESCRIPTION, fpmex::ElementClass<fpmex::Real>::set, 1, 1, 1};

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
    fpmex::runOnFlag<fpmex::Real>(plhs, prhs[0], fpmex::logKernel<fpmex::Real, fpmex::LogBase::ten>);
}
