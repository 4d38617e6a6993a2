// The element-wise logarithm of log2 (one output), log and log10.
#pragma once

#include "log_constants.h"

#include <cstddef>

namespace fpmex {

// logKernel: the logarithm to `base` of count >= 1 elements, from the last to
// the first.
//
// inIm null selects the real-input path: a NaN gives itself with the sign
// cleared in both outputs; x < 0 (-Inf included, -0 not) gives imaginary
// part P; everything else imaginary part +0. A complex input is classified
// per element (NaN imaginary part, zero imaginary part, NaN or zero real
// part, then the two ratio tests of the squares against S and the direct
// formula), NaNs keeping sign and payload.
//
// Buffers hold T at its natural alignment. Each result is computed in x87
// extended precision and rounded once when stored as T. All outputs are
// written. Returns 1 when some element took a path with a nonzero imaginary
// part (the imaginary buffer must be kept), else 0. Resets the x87 unit
// (FNINIT) and restores the caller's x87 and SSE state on return.
template <class T, LogBase base>
int logKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

} // namespace fpmex
