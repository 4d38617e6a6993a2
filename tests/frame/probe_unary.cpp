// Test-only deliverables that exercise the shared frame: FPMEX_PROBE_FLAG
// selects the form that attaches the imaginary part on the kernel's flag,
// otherwise the form that follows the input's complexity.
#include "common/fp_state.h"
#include "common/unary.h"

#include <cstddef>

namespace {

constexpr fpmex::Entry entry{"Frame probe.", fpmex::FunctionSet::single, 2, 1, 1};

// Negates each element; reports an imaginary part of 1 for negative inputs.
// Runs under a directed rounding mode and flush-to-zero to show that the
// guard gives the caller its own state back.
[[maybe_unused]] int negateKernel(float* outRe, float* outIm, const float* inRe, const float*, std::size_t count)
{
    fpmex::FpStateGuard guard;
    fpmex::x87LoadControl(fpmex::x87RoundDown);
    fpmex::sseLoadMode(fpmex::sseKernelMode);
    int flag = 0;
    for (std::size_t i = count; i-- > 0;) {
        outRe[i] = -inRe[i];
        outIm[i] = inRe[i] < 0 ? 1.0f : 0.0f;
        flag |= inRe[i] < 0;
    }
    return flag;
}

[[maybe_unused]] void copyKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;) {
        outRe[i] = inRe[i];
        if (outIm != nullptr)
            outIm[i] = inIm[i];
    }
}

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!fpmex::enterFrame(entry, nlhs, nrhs))
        return;
#if defined(FPMEX_PROBE_FLAG)
    fpmex::runOnFlag<float>(plhs, prhs[0], negateKernel);
#else
    fpmex::runLikeInput<float>(plhs, prhs[0], copyKernel);
#endif
}
