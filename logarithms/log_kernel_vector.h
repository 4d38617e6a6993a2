// The vector variants of logKernel for single elements (log_kernel_vector.inl,
// compiled once per level). A complex input goes to the x87 reference.
#pragma once

#include "log_constants.h"

#include <cstddef>

#define FPMEX_DECLARE_LOG_VARIANT(level)                                                                      \
    namespace fpmex::level {                                                                                 \
    template <LogBase base>                                                                                  \
    int logKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);      \
    }
FPMEX_DECLARE_LOG_VARIANT(sse2)
FPMEX_DECLARE_LOG_VARIANT(avx2)
FPMEX_DECLARE_LOG_VARIANT(avx512)
#undef FPMEX_DECLARE_LOG_VARIANT
