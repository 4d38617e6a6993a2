// The constants of the vector exponential of complex doubles
// (exp_kernel_complex_double_vector.inl): the period and the angle's
// scale as the reference has them, pi/32 in three parts, and the sines and
// cosines of the table with their series.
#pragma once

#include "exp_constants.h"

#include <cstdint>

namespace fpmex::expComplexDoubleConstants {

inline constexpr double period = ExpConstants<double>::period;
inline constexpr double inversePeriod = 1 / period;
// K = 2 pi / P as the reference's extended value, 1 + 360 * 2^-63: for
// r = m 2^e (m in [1, 2)), r K = r + 360 m units of 2^(e - 63).
inline constexpr std::uint64_t scaleUnits = ExpConstants<double>::scaleSignificand - (std::uint64_t{1} << 63);
static_assert(ExpConstants<double>::scaleSignExponent == 0x3FFF && scaleUnits == 360);

inline constexpr double thirtyTwoOverPi = 0x1.45f306dc9c883p+3;
// pi/32 as two 47-bit parts (their products with integers up to 64 are
// exact) and the double nearest the rest (the sum within 2^-154).
inline constexpr double piOver32High = 0x1.921fb54442d00p-4;
inline constexpr double piOver32Middle = 0x1.8469898cc5140p-52;
inline constexpr double piOver32Low = 0x1.80dc1cd129025p-99;
// Magnitudes below this take FSINCOS's relative error: below pi/4 it
// reduces nothing.
inline constexpr double unreduced = 0.78;

// sin(j pi/32) and cos(j pi/32), j = 0 to 15, as head and tail (within
// 2^-106; computed with 400 bits).
inline constexpr double sinHigh[16] = {
    0x0.0p+0,             0x1.917a6bc29b42cp-4, 0x1.8f8b83c69a60bp-3, 0x1.294062ed59f06p-2,
    0x1.87de2a6aea963p-2, 0x1.e2b5d3806f63bp-2, 0x1.1c73b39ae68c8p-1, 0x1.44cf325091dd6p-1,
    0x1.6a09e667f3bcdp-1, 0x1.8bc806b151741p-1, 0x1.a9b66290ea1a3p-1, 0x1.c38b2f180bdb1p-1,
    0x1.d906bcf328d46p-1, 0x1.e9f4156c62ddap-1, 0x1.f6297cff75cb0p-1, 0x1.fd88da3d12526p-1,
};
inline constexpr double sinLow[16] = {
    0x0.0p+0,               -0x1.e2718d26ed688p-60, -0x1.26d19b9ff8d82p-57, -0x1.5d28da2c4612dp-56,
    -0x1.72cedd3d5a610p-57, 0x1.e0d891d3c6841p-58,  0x1.b25dd267f6600p-55,  0x1.8076a2cfdc6b3p-57,
    -0x1.bdd3413b26456p-55, -0x1.2c5e12ed1336dp-55, 0x1.9f630e8b6dac8p-60,  -0x1.6e0b1757c8d07p-56,
    0x1.457e610231ac2p-56,  0x1.760b1e2e3f81ep-55,  0x1.562172a361fd3p-56,  -0x1.87df6378811c7p-55,
};
inline constexpr double cosHigh[16] = {
    0x1.0000000000000p+0, 0x1.fd88da3d12526p-1, 0x1.f6297cff75cb0p-1, 0x1.e9f4156c62ddap-1,
    0x1.d906bcf328d46p-1, 0x1.c38b2f180bdb1p-1, 0x1.a9b66290ea1a3p-1, 0x1.8bc806b151741p-1,
    0x1.6a09e667f3bcdp-1, 0x1.44cf325091dd6p-1, 0x1.1c73b39ae68c8p-1, 0x1.e2b5d3806f63bp-2,
    0x1.87de2a6aea963p-2, 0x1.294062ed59f06p-2, 0x1.8f8b83c69a60bp-3, 0x1.917a6bc29b42cp-4,
};
inline constexpr double cosLow[16] = {
    0x0.0p+0,               -0x1.87df6378811c7p-55, 0x1.562172a361fd3p-56,  0x1.760b1e2e3f81ep-55,
    0x1.457e610231ac2p-56,  -0x1.6e0b1757c8d07p-56, 0x1.9f630e8b6dac8p-60,  -0x1.2c5e12ed1336dp-55,
    -0x1.bdd3413b26456p-55, 0x1.8076a2cfdc6b3p-57,  0x1.b25dd267f6600p-55,  0x1.e0d891d3c6841p-58,
    -0x1.72cedd3d5a610p-57, -0x1.5d28da2c4612dp-56, -0x1.26d19b9ff8d82p-57, -0x1.e2718d26ed688p-60,
};

// sin d = d - d^3 / 6 + d^5 (sinSeries in d^2), cos d = 1 - d^2 / 2 +
// d^4 (cosSeries in d^2): -1/6 as head and tail, then the Taylor
// coefficients from 1/120 and 1/24, each the double nearest. For
// |d| <= pi/64 (1 + 2^-40) the remainders are below 2^-80.
inline constexpr double minusSixthHigh = -0x1.5555555555555p-3;
inline constexpr double minusSixthLow = -0x1.5555555555555p-57;
inline constexpr double sinSeries[4] = {0x1.1111111111111p-7, -0x1.a01a01a01a01ap-13, 0x1.71de3a556c734p-19,
                                        -0x1.ae64567f544e4p-26};
inline constexpr double cosSeries[4] = {0x1.5555555555555p-5, -0x1.6c16c16c16c17p-10, 0x1.a01a01a01a01ap-16,
                                        -0x1.27e4fb7789f5cp-22};

} // namespace fpmex::expComplexDoubleConstants
