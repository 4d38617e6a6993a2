// The element-wise logarithm of log2 (one output), log and log10.
#pragma once

#include "common/kernel_variants.h"
#include "log_constants.h"

#include <cstddef>

namespace fpmex {

// logKernel: the logarithm to `base` of count >= 1 elements.
//
// inIm null selects the real-input path: a NaN gives itself with the sign
// cleared in both outputs; x < 0 (-Inf included, -0 not) gives imaginary
// part P; everything else imaginary part +0. A complex input is classified
// per element (NaN imaginary part, zero imaginary part, NaN or zero real
// part, then the two ratio tests of the squares against S and the direct
// formula), NaNs keeping sign and payload.
//
// Buffers hold T at its natural alignment. Each result is the one the x87
// unit gives, computed in extended precision and rounded once when stored as
// T. Returns 1 when some element took a path with a nonzero imaginary part
// (the imaginary buffer must be kept), else 0. Every real part is written,
// and every imaginary part when the result is 1; when it is 0 the frame
// drops the imaginary buffer, and a vector variant leaves it unwritten while
// every imaginary part is +0. Restores the caller's x87 and SSE state on
// return.
//
// The active level's variant runs (see common/kernel_variants.h); every
// variant gives the x87 reference's bits.
template <class T, LogBase base>
int logKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

template <class T>
using LogKernelFn = int (*)(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

// The reference: the x87 instructions themselves (FYL2X, FYL2XP1, FPATAN)
// after FNINIT, from the last element to the first.
template <class T, LogBase base>
int logKernelX87(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

// The reference and the vector variants of logKernel<T, base>.
template <class T, LogBase base>
const KernelVariants<LogKernelFn<T>>& logKernelVariants();

} // namespace fpmex
