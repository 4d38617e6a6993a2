// sqrtKernel: the variant of the active level.
#include "sqrt_kernel.h"

#include "common/split.h"
#include "common/split_thresholds.h"

namespace fpmex {

const KernelVariants<SqrtKernelFn>& sqrtKernelVariants()
{
    static constexpr KernelVariants<SqrtKernelFn> variants{sqrtKernelX87, sse2::sqrtKernel, avx2::sqrtKernel,
                                                           avx512::sqrtKernel};
    return variants;
}

int sqrtKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    static const SqrtKernelFn kernel = activeVariant(sqrtKernelVariants());
    // The complex path has a vector variant from AVX2 on.
    static const bool complexVector = activeLevel() >= CpuLevel::avx2;
    return splitFlag(kernel, outRe, outIm, inRe, inIm, count,
                     inIm == nullptr  ? split::streamingElements
                     : complexVector ? split::vectorMathElements
                                     : split::x87Elements);
}

} // namespace fpmex
