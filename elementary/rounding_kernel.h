#pragma once

#include "common/kernel_variants.h"

#include <cstddef>

namespace fpmex {

// floor of count >= 1 float elements; the imaginary parts too when inIm is
// non-null (outIm is then written, else not touched).
void floorKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);

// floor(x + 1/2) of the exact sum, for count >= 1 double elements; the
// imaginary parts too when inIm is non-null.
void roundKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

// Both are exact: every variant gives the reference's bits, and the active
// level's runs. There is no SSE2 variant: without a rounding instruction an
// emulation costs more than the x87 unit's FRNDINT. The references (rounding_kernel_x87.cpp has the contract):
void floorKernelX87(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);
void roundKernelX87(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

template <class T>
using RoundingKernelFn = void (*)(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

const KernelVariants<RoundingKernelFn<float>>& floorKernelVariants();
const KernelVariants<RoundingKernelFn<double>>& roundKernelVariants();

} // namespace fpmex

#define FPMEX_DECLARE_ROUNDING_VARIANTS(level)                                                                \
    namespace fpmex::level {                                                                                 \
    void floorKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);   \
    void roundKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count); \
    }
FPMEX_DECLARE_ROUNDING_VARIANTS(avx2)
FPMEX_DECLARE_ROUNDING_VARIANTS(avx512)
#undef FPMEX_DECLARE_ROUNDING_VARIANTS
