// Constants of the vector logarithms of singles.
#pragma once

namespace fpmex::logConstants {

// The base multipliers: log2(x) times these gives ln(x) and log10(x), the
// doubles nearest ln 2 and log10(2).
inline constexpr double toNatural = 0x1.62e42fefa39efp-1;
inline constexpr double toTen = 0x1.34413509f79ffp-2;

// log2(1 + r) / r as the polynomial of degree 5 with the least relative
// error over |r| <= 2^-5 (Remez exchange in 200-bit arithmetic),
// coefficients from r^0 rounded to double: its relative error, measured in
// 200-bit arithmetic at 200,001 evenly spaced r, is at most 2^-37.80; the
// error's derivative stays below 2^-27.6 there, so between the points it
// moves by less than 2^-49. The real path's evaluation: two multiply-adds
// fewer than the series of the complex path, for a bound that single
// results can afford.
inline constexpr double log2Polynomial[6] = {0x1.71547652beca8p+0,  -0x1.71547652dc841p-1, 0x1.ec709655f981bp-2,
                                             -0x1.71546cba06143p-2, 0x1.27c5fb6348858p-2,  -0x1.ed0f0efd79757p-3};

} // namespace fpmex::logConstants
