#pragma once

#include <bit>
#include <cstdint>

namespace fpmex {

// The x87 unit's indefinite NaN as a single (bits 0xFFC00000); widened to
// double it is 0xFFF8000000000000. Results that are NaN by rule rather than
// by an input NaN take this value.
inline constexpr float x87Indefinite = std::bit_cast<float>(std::uint32_t{0xFFC00000});

} // namespace fpmex
