// log2 of both sets. One output: the base 2 logarithm, complex only where an
// element needs it. Two outputs: the dissection x = F * 2^E of a real array.
#include "dissect_kernel.h"
#include "log_kernel.h"

#include "common/unary.h"

namespace {

constexpr fpmex::Entry entry{FPMEX_DESCRIPTION,
                             fpmex::ElementClass<fpmex::Real>::set, 2, 1, 1};

void dissect(mxArray* plhs[], const mxArray* input)
{
    using fpmex::Real;
    const std::size_t count = fpmex::createShapedOutput<Real>(plhs, input);
    // Checked only now, so that the first output exists when the call ends:
    // the host discards it.
    if (mxIsComplex(input))
        fpmex::fail("Argument must be real.");
    fpmex::createShapedOutput<Real>(plhs + 1, input);
    if (count == 0)
        return;
    Real* outF = fpmex::allocateElements<Real>(count);
    mxSetData(plhs[0], outF);
    Real* outE = fpmex::allocateElements<Real>(count);
    mxSetData(plhs[1], outE);
    fpmex::dissectKernel(outF, outE, static_cast<const Real*>(mxGetData(input)), count);
}

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
    if (nlhs == 2) {
        // An input the kernels cannot read goes to the host's own log2 with
        // both outputs requested, not output by output.
        if (fpmex::handOverUnserved<fpmex::Real>(nlhs, plhs, nrhs, prhs, prhs[0]))
            return;
        dissect(plhs, prhs[0]);
    } else
        fpmex::runOnFlag<fpmex::Real>(plhs, prhs[0], fpmex::logKernel<fpmex::Real, fpmex::LogBase::two>);
}
