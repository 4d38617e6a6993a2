// Conversions of size and dimension arguments to integers, on the x87 unit
// under a rounding mode of their own (the caller's mode is restored).
#pragma once

#include <cstddef>
#include <cstdint>

namespace fpmex {

// Converts count size-vector elements (binary32 or binary64 values, read
// exactly) to sizes: negative values and NaN become 0, the others are
// rounded toward minus infinity (x87 control word x87SizeConversion).
// Returns false when an element is 2^31 or more (+Inf included): such a size
// cannot be honoured, and its entry is set to 0.
template <class T>
bool convertSizes(const T* values, std::size_t count, std::size_t* sizes);

// v truncated toward zero to a 32-bit integer; NaN, infinities and values
// outside the range give -2^31.
std::int32_t truncateToInt32(double v);

} // namespace fpmex
