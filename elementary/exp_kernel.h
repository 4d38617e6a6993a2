#pragma once

#include "common/kernel_variants.h"

#include <cstddef>

namespace fpmex {

// Exponential of count >= 1 elements (float or double); complex when inIm is
// non-null, then outIm receives the imaginary parts (real input: outIm is
// not touched). Each result is the x87 reference's (exp_kernel_x87.cpp has
// the contract). The active level's variant runs; every variant gives the
// reference's bits.
template <class T>
void expKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

template <class T>
using ExpKernelFn = void (*)(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

template <class T>
void expKernelX87(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

template <class T>
const KernelVariants<ExpKernelFn<T>>& expKernelVariants();

} // namespace fpmex

// The vector variants of the exponential: of real singles at every level
// (exp_kernel_vector.inl); of complex singles (exp_kernel_complex_vector.inl),
// real doubles (exp_kernel_double_vector.inl) and complex doubles
// (exp_kernel_complex_double_vector.inl) at the levels with a fused
// multiply-add.
#define FPMEX_DECLARE_EXP_VARIANT(level)                                                                      \
    namespace fpmex::level {                                                                                 \
    void expKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);     \
    }
#define FPMEX_DECLARE_DOUBLE_EXP_VARIANT(level)                                                               \
    namespace fpmex::level {                                                                                 \
    void expKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count); \
    void expComplexKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count); \
    void expComplexKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,             \
                          std::size_t count);                                                                \
    }
FPMEX_DECLARE_EXP_VARIANT(sse2)
FPMEX_DECLARE_EXP_VARIANT(avx2)
FPMEX_DECLARE_EXP_VARIANT(avx512)
FPMEX_DECLARE_DOUBLE_EXP_VARIANT(avx2)
FPMEX_DECLARE_DOUBLE_EXP_VARIANT(avx512)
#undef FPMEX_DECLARE_EXP_VARIANT
#undef FPMEX_DECLARE_DOUBLE_EXP_VARIANT
