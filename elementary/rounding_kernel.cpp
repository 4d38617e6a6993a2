// floorKernel and roundKernel: the variant of the active level.
#include "rounding_kernel.h"

#include "common/split.h"
#include "common/split_thresholds.h"

namespace fpmex {

const KernelVariants<RoundingKernelFn<float>>& floorKernelVariants()
{
    static constexpr KernelVariants<RoundingKernelFn<float>> variants{floorKernelX87, nullptr,
                                                                      avx2::floorKernel, avx512::floorKernel};
    return variants;
}

const KernelVariants<RoundingKernelFn<double>>& roundKernelVariants()
{
    static constexpr KernelVariants<RoundingKernelFn<double>> variants{roundKernelX87, nullptr,
                                                                       avx2::roundKernel, avx512::roundKernel};
    return variants;
}

void floorKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    static const RoundingKernelFn<float> kernel = activeVariant(floorKernelVariants());
    splitPlain(kernel, outRe, outIm, inRe, inIm, count, split::streamingElements);
}

void roundKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    static const RoundingKernelFn<double> kernel = activeVariant(roundKernelVariants());
    splitPlain(kernel, outRe, outIm, inRe, inIm, count, split::streamingElements);
}

} // namespace fpmex
