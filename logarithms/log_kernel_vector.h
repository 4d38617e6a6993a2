// The vector variants of logKernel: for real single elements at every level
// (log_kernel_vector.inl); for complex single elements
// (log_kernel_complex_vector.inl), real doubles
// (log_kernel_double_vector.inl) and complex doubles
// (log_kernel_complex_double_vector.inl) at the levels with a fused
// multiply-add.
#pragma once

#include "log_constants.h"

#include <cstddef>

#define FPMEX_DECLARE_LOG_VARIANT(level)                                                                      \
    namespace fpmex::level {                                                                                 \
    template <LogBase base>                                                                                  \
    int logKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);      \
    }
#define FPMEX_DECLARE_DOUBLE_LOG_VARIANT(level)                                                               \
    namespace fpmex::level {                                                                                 \
    template <LogBase base>                                                                                  \
    int logKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);  \
    template <LogBase base>                                                                                  \
    int logComplexKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count); \
    template <LogBase base>                                                                                  \
    int logComplexKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,              \
                         std::size_t count);                                                                 \
    }
FPMEX_DECLARE_LOG_VARIANT(sse2)
FPMEX_DECLARE_LOG_VARIANT(avx2)
FPMEX_DECLARE_LOG_VARIANT(avx512)
FPMEX_DECLARE_DOUBLE_LOG_VARIANT(avx2)
FPMEX_DECLARE_DOUBLE_LOG_VARIANT(avx512)
#undef FPMEX_DECLARE_LOG_VARIANT
#undef FPMEX_DECLARE_DOUBLE_LOG_VARIANT
