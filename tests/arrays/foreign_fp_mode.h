// Runs a kernel with the caller's x87 control word and MXCSR set to modes
// no kernel computes under (24-bit precision and rounding up on the x87,
// rounding up on SSE), so a kernel that relies on the caller's modes gives
// different results; checks that both are exactly as before afterwards.
#pragma once

#include "caller_modes.h"

#include <cstdint>

namespace fpmex::test {

inline constexpr std::uint16_t foreignX87Control = 0x087F;
inline constexpr std::uint32_t foreignMxcsr = 0x5F80;

template <class Kernel>
void underForeignFpMode(Kernel kernel)
{
    underModes(foreignX87Control, foreignMxcsr, kernel);
}

} // namespace fpmex::test
