// The two-output log2: x = F * 2^E with 0.5 <= |F| < 1.
#pragma once

#include <cstddef>

namespace fpmex {

// dissectKernel: splits count >= 1 real elements, from the last to the first.
// NaN and +-0 give themselves in both outputs (a NaN quieted, a zero keeping
// its sign); +-Inf give F = +-Inf and E = +Inf. Subnormals give their true
// exponent. Both results are exact. Resets the x87 unit (FNINIT) and restores
// the caller's x87 and SSE state on return.
template <class T>
void dissectKernel(T* outF, T* outE, const T* inRe, std::size_t count);

} // namespace fpmex
