// The base multipliers of the vector logarithms of singles: log2(x) times
// these gives ln(x) and log10(x), the doubles nearest ln 2 and log10(2).
#pragma once

namespace fpmex::logConstants {

inline constexpr double toNatural = 0x1.62e42fefa39efp-1;
inline constexpr double toTen = 0x1.34413509f79ffp-2;

} // namespace fpmex::logConstants
