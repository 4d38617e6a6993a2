// The constants of the vector logarithms (of doubles, and of singles with
// fewer terms of the series). A magnitude is split as
// 2^k * z with z in [0.828125, 1.65625): subtracting offsetBits from its
// bits leaves k in the exponent field and the interval index j of z in the
// next four bits. Interval j holds 1/32 of the binade [1/2, 1) below 1 and
// 1/16 of [1, 2) above it; interval 5 is [0.984375, 1.03125), around 1.
// With r = z * inverse[j] - 1, |r| < 2^-5, and
// log2(z) = table[j] + log2(1 + r); inverse[5] is 1 and table[5] is 0, so
// near 1 the result is log2(1 + r) alone and keeps its relative accuracy.
#pragma once

#include <cstdint>

namespace fpmex::logDoubleConstants {

inline constexpr std::uint64_t offsetBits = 0x3FEA800000000000;

// inverse[j]: the double nearest 2 / (a + b) for interval [a, b) (1 for
// interval 5); tableHigh[j] + tableLow[j]: -log2(inverse[j]) to about 2^-106
// relative (computed with 300 bits).
inline constexpr double inverse[16] = {
    0x1.2f684bda12f68p+0, 0x1.2492492492492p+0, 0x1.1a7b9611a7b96p+0, 0x1.1111111111111p+0,
    0x1.0842108421084p+0, 0x1.0000000000000p+0, 0x1.e1e1e1e1e1e1ep-1, 0x1.c71c71c71c71cp-1,
    0x1.af286bca1af28p-1, 0x1.999999999999ap-1, 0x1.8618618618618p-1, 0x1.745d1745d1746p-1,
    0x1.642c8590b2164p-1, 0x1.5555555555555p-1, 0x1.47ae147ae147bp-1, 0x1.3b13b13b13b14p-1,
};
inline constexpr double tableHigh[16] = {
    -0x1.f5fd8a9063e32p-3, -0x1.8a8980abfbd30p-3, -0x1.22dadc2ab3496p-3, -0x1.7d60496cfbb4bp-4,
    -0x1.77394c9d958d0p-5, 0x0.0p+0,              0x1.663f6fac91318p-4,  0x1.5c01a39fbd68bp-3,
    0x1.fbc16b902680dp-3,  0x1.49a784bcd1b8ap-2,  0x1.91bba891f170ap-2,  0x1.d6753e032ea0ep-2,
    0x1.0c10500d63aa7p-1,  0x1.2b803473f7ad2p-1,  0x1.49a784bcd1b8bp-1,  0x1.66a008e4788cbp-1,
};
inline constexpr double tableLow[16] = {
    0x1.4863f501fda67p-57,  0x1.f0f9449d09a6fp-57,  -0x1.a27ffc9cb04f3p-59, 0x1.43262817eda5bp-61,
    0x1.9db057278adc6p-59,  0x0.0p+0,               -0x1.1df362ae68bc6p-60, -0x1.f6dc21221666bp-57,
    0x1.94718f85f92e0p-61,  -0x1.cc2d296ee388cp-56, 0x1.30395ac11db40p-57,  0x1.16520bc0d0f59p-56,
    -0x1.2ca22c62da46ap-55, -0x1.4d870dd18a9cfp-55, -0x1.1bdaa8e20ced3p-55, 0x1.484a01a34cd41p-57,
};

// log2(1 + r) = sum of (-1)^(n+1) r^n / (n ln 2) for n = 1 to 13, the
// Taylor series cut where its remainder falls below 2^-68.8 relative for
// |r| < 2^-5. The first three coefficients as head and tail (each pair
// within 2^-106 of the exact coefficient), the rest the nearest doubles,
// from n = 4 up.
inline constexpr double leadHigh[3] = {0x1.71547652b82fep+0, -0x1.71547652b82fep-1, 0x1.ec709dc3a03fdp-2};
inline constexpr double leadLow[3] = {0x1.777d0ffda0d24p-56, -0x1.777d0ffda0d24p-57, 0x1.d27f05548af0cp-56};
inline constexpr double series[10] = {
    -0x1.71547652b82fep-2, 0x1.2776c50ef9bfep-2,  -0x1.ec709dc3a03fdp-3, 0x1.a61762a7aded9p-3,
    -0x1.71547652b82fep-3, 0x1.484b13d7c02a9p-3,  -0x1.2776c50ef9bfep-3, 0x1.0c9a84994022dp-3,
    -0x1.ec709dc3a03fdp-4, 0x1.c68f568d31760p-4,
};

// ln(1 + r) = r - r^2 / 2 + r^3 (lnSeries[0] + lnSeries[1] r + ...): the
// nearest doubles to (-1)^(n+1) / n for n = 3 to 13, cut where the
// remainder falls below 2^-68.7 relative for |r| <= 2^-5.
inline constexpr double lnSeries[11] = {
    0x1.5555555555555p-2,  -0x1.0000000000000p-2, 0x1.999999999999ap-3,  -0x1.5555555555555p-3,
    0x1.2492492492492p-3,  -0x1.0000000000000p-3, 0x1.c71c71c71c71cp-4,  -0x1.999999999999ap-4,
    0x1.745d1745d1746p-4,  -0x1.5555555555555p-4, 0x1.3b13b13b13b14p-4,
};

// The base-10 multiplier as FLDLG2 loads it (64 significant bits), split
// exactly into a head and an 11-bit tail.
inline constexpr double tenHigh = 0x1.34413509f79ffp-2;
inline constexpr double tenLow = -0x1.9cp-59;

} // namespace fpmex::logDoubleConstants
