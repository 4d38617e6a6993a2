// The constants of the vector logarithm. A magnitude is split as 2^k * z
// with z in [sqrt(2)/2, sqrt(2)): subtracting offsetBits (the double nearest
// sqrt(2)/2) from its bits leaves k in the exponent field. Then
// log2(z) = (2 / ln 2) atanh(s) with s = (z - 1) / (z + 1), |s| <= 0.1716.
#pragma once

#include <cstdint>

namespace fpmex::logConstants {

inline constexpr std::uint64_t offsetBits = 0x3FE6A09E667F3BCD;

// (2 / ln 2) atanh(s) = s * sum of series[j] * s^(2j) for j = 0 to 7,
// series[j] the double nearest 2 / ((2j + 1) ln 2) (MPFR, 300 bits): the
// series cut after s^15.
inline constexpr double series[8] = {
    0x1.71547652b82fep+1, 0x1.ec709dc3a03fdp-1, 0x1.2776c50ef9bfep-1, 0x1.a61762a7aded9p-2,
    0x1.484b13d7c02a9p-2, 0x1.0c9a84994022dp-2, 0x1.c68f568d3176p-3,  0x1.89f3b1694cffep-3,
};

// log2(x) times these gives ln(x) and log10(x): the doubles nearest ln 2 and
// log10(2).
inline constexpr double toNatural = 0x1.62e42fefa39efp-1;
inline constexpr double toTen = 0x1.34413509f79ffp-2;

} // namespace fpmex::logConstants
