#pragma once

#include "common/kernel_variants.h"

#include <cstddef>

namespace fpmex {

// Square root of count >= 1 double elements; complex input when inIm is
// non-null. Returns 1 when some result needs its imaginary part, else 0.
// Writes outRe for every element, and outIm too when the result is 1; when it
// is 0 the frame drops the imaginary buffer, and the real path's vector
// variants leave it unwritten while every imaginary part is +0. The active
// level's variant runs; every variant gives the x87 reference's bits.
int sqrtKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

using SqrtKernelFn = int (*)(double* outRe, double* outIm, const double* inRe, const double* inIm,
                             std::size_t count);

// The reference (sqrt_kernel_x87.cpp has the contract).
int sqrtKernelX87(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

const KernelVariants<SqrtKernelFn>& sqrtKernelVariants();

} // namespace fpmex

// The vector variants: of the real path at every level
// (sqrt_kernel_vector.inl), of the complex path at the levels with a fused
// multiply-add (sqrt_kernel_complex_vector.inl); at SSE2 a complex input
// goes to the reference.
#define FPMEX_DECLARE_SQRT_VARIANT(level)                                                                     \
    namespace fpmex::level {                                                                                 \
    int sqrtKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count); \
    }
#define FPMEX_DECLARE_COMPLEX_SQRT_VARIANT(level)                                                             \
    namespace fpmex::level {                                                                                 \
    int sqrtComplexKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,              \
                          std::size_t count);                                                                \
    }
FPMEX_DECLARE_SQRT_VARIANT(sse2)
FPMEX_DECLARE_SQRT_VARIANT(avx2)
FPMEX_DECLARE_SQRT_VARIANT(avx512)
FPMEX_DECLARE_COMPLEX_SQRT_VARIANT(avx2)
FPMEX_DECLARE_COMPLEX_SQRT_VARIANT(avx512)
#undef FPMEX_DECLARE_SQRT_VARIANT
#undef FPMEX_DECLARE_COMPLEX_SQRT_VARIANT
