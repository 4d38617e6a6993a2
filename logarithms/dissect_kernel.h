// The two-output log2: x = F * 2^E with 0.5 <= |F| < 1.
#pragma once

#include "common/kernel_variants.h"

#include <cstddef>

namespace fpmex {

// dissectKernel: splits count >= 1 real elements. NaN and +-0 give
// themselves in both outputs (a NaN quieted, a zero keeping its sign); +-Inf
// give F = +-Inf and E = +Inf. Subnormals give their true exponent. Both
// results are exact. Restores the caller's x87 and SSE state on return. The
// active level's variant runs; every variant gives the reference's bits.
template <class T>
void dissectKernel(T* outF, T* outE, const T* inRe, std::size_t count);

template <class T>
using DissectKernelFn = void (*)(T* outF, T* outE, const T* inRe, std::size_t count);

// The reference: FXTRACT after FNINIT, from the last element to the first.
template <class T>
void dissectKernelX87(T* outF, T* outE, const T* inRe, std::size_t count);

template <class T>
const KernelVariants<DissectKernelFn<T>>& dissectKernelVariants();

} // namespace fpmex

#define FPMEX_DECLARE_DISSECT_VARIANT(level)                                                                  \
    namespace fpmex::level {                                                                                 \
    template <class T>                                                                                       \
    void dissectKernel(T* outF, T* outE, const T* inRe, std::size_t count);                                  \
    }
FPMEX_DECLARE_DISSECT_VARIANT(sse2)
FPMEX_DECLARE_DISSECT_VARIANT(avx2)
FPMEX_DECLARE_DISSECT_VARIANT(avx512)
#undef FPMEX_DECLARE_DISSECT_VARIANT
