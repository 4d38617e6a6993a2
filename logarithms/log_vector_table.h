// The reduction table of the vector logarithm. A magnitude is split as
// 2^k * z with z in [sqrt(2)/2, sqrt(2)): subtracting offsetBits (the double
// nearest sqrt(2)/2) from its bits leaves k in the exponent field and the
// subinterval i of z in the next four bits. Subinterval i covers the z whose
// bits lie in [offsetBits + i * 2^48, offsetBits + (i + 1) * 2^48).
//
// invC[i] is the reciprocal of a point near the middle of subinterval i,
// rounded to 20 bits, so that z * invC[i] is exact for a z from a single
// (24 bits); r = z * invC[i] - 1 then lies within [-0.0292, 0.0292], and
// within [-0.0117, 0.0393] in subinterval 9, whose invC is exactly 1 (it
// holds z = 1, where the logarithm must keep its relative accuracy).
// logC[i] = -log2(invC[i]), correctly rounded (MPFR, 200 bits).
#pragma once

#include <cstdint>

namespace fpmex::logTable {

inline constexpr std::uint64_t offsetBits = 0x3FE6A09E667F3BCD;

alignas(64) inline constexpr double invC[16] = {
    0x1.62362p+0, 0x1.5387ep+0, 0x1.4604cp+0, 0x1.398a6p+0, 0x1.2dfb8p+0, 0x1.233fp+0,
    0x1.193f4p+0, 0x1.0fe96p+0, 0x1.072d2p+0, 0x1p+0,      0x1.de4c2p-1, 0x1.c3e98p-1,
    0x1.ac492p-1, 0x1.9701cp-1, 0x1.83be2p-1, 0x1.72382p-1,
};

alignas(64) inline constexpr double logC[16] = {
    -0x1.dfb5cc22afdabp-2, -0x1.a12d1124819cp-2,  -0x1.652e849c94f3bp-2, -0x1.2b873fe02c327p-2,
    -0x1.e814b773755bdp-3, -0x1.7d1f5152b0864p-3, -0x1.15e6df014c2f6p-3, -0x1.6453d258cbb0ap-4,
    -0x1.46be292eb2912p-5, 0x0p+0,                0x1.925fe1f3fcbf4p-4,  0x1.70d91ad09b22cp-3,
    0x1.07c08eec0de4bp-2,  0x1.5309766ea8c7cp-2,  0x1.9aab5a10e9beap-2,  0x1.defd82e7c68aep-2,
};

// log2(1 + r) = sum of a[j - 1] * r^j for j = 1 to 8, a[j - 1] the double
// nearest (-1)^(j+1) / (j ln 2): the series cut after r^8.
inline constexpr double series[8] = {
    0x1.71547652b82fep+0,  -0x1.71547652b82fep-1, 0x1.ec709dc3a03fdp-2, -0x1.71547652b82fep-2,
    0x1.2776c50ef9bfep-2,  -0x1.ec709dc3a03fdp-3, 0x1.a61762a7aded9p-3, -0x1.71547652b82fep-3,
};

// log2(x) times these gives ln(x) and log10(x): the doubles nearest ln 2 and
// log10(2).
inline constexpr double toNatural = 0x1.62e42fefa39efp-1;
inline constexpr double toTen = 0x1.34413509f79ffp-2;

} // namespace fpmex::logTable
