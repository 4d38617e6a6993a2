// The reduction table and series of the vector exponential of singles.
// x = (16 k + j) ln(2) / 16 + r with |r| <= ln(2) / 32, so
// e^x = 2^k * 2^(j/16) * e^r.
#pragma once

#include <bit>
#include <cstdint>

namespace fpmex::expTable {

// The doubles nearest 16 / ln 2 and ln(2) / 16. The latter is within
// 1.45 * 10^-18 of ln(2) / 16: for the |n| <= 2540 of inputs in
// [lowest, highest], n times it errs by at most 2^-47.9, which a single
// result can afford.
inline constexpr double sixteenthsPerLn2 = 0x1.71547652b82fep+4;
inline constexpr double ln2Over16 = 0x1.62e42fefa39efp-5;

// 1.5 * 2^52: added to t it leaves round(t) in the low bits of the sum.
inline constexpr double shifter = 0x1.8p52;

// The bits of 2^(j/16), the double nearest (MPFR, 200 bits), less j * 2^48:
// adding n * 2^48 for n = 16 k + j puts k into the exponent field, so that
// the sum is the bits of 2^k * 2^(j/16).
alignas(64) inline constexpr double scale[16] = {
    std::bit_cast<double>(std::uint64_t{0x3FF0000000000000}), std::bit_cast<double>(std::uint64_t{0x3FEFB5586CF9890F}),
    std::bit_cast<double>(std::uint64_t{0x3FEF72B83C7D517B}), std::bit_cast<double>(std::uint64_t{0x3FEF387A6E756238}),
    std::bit_cast<double>(std::uint64_t{0x3FEF06FE0A31B715}), std::bit_cast<double>(std::uint64_t{0x3FEEDEA64C123422}),
    std::bit_cast<double>(std::uint64_t{0x3FEEBFDAD5362A27}), std::bit_cast<double>(std::uint64_t{0x3FEEAB07DD485429}),
    std::bit_cast<double>(std::uint64_t{0x3FEEA09E667F3BCD}), std::bit_cast<double>(std::uint64_t{0x3FEEA11473EB0187}),
    std::bit_cast<double>(std::uint64_t{0x3FEEACE5422AA0DB}), std::bit_cast<double>(std::uint64_t{0x3FEEC49182A3F090}),
    std::bit_cast<double>(std::uint64_t{0x3FEEE89F995AD3AD}), std::bit_cast<double>(std::uint64_t{0x3FEF199BDD85529C}),
    std::bit_cast<double>(std::uint64_t{0x3FEF5818DCFBA487}), std::bit_cast<double>(std::uint64_t{0x3FEFA4AFA2A490DA}),
};

// e^r as the polynomial of degree 4 with the least relative error over
// |r| <= ln(2) / 32 (1 + 2^-40) (Remez exchange in 200-bit arithmetic),
// coefficients from r^0 rounded to double: its relative error, measured in
// 200-bit arithmetic at 200,001 evenly spaced r, is at most 2^-38.55; the
// error's derivative stays below 2^-28.3 there, so between the points it
// moves by less than 2^-50. One multiply-add fewer than the series below
// for a bound that single results can afford (the real path's window).
inline constexpr double polynomial[5] = {0x1.ffffffffffe6cp-1, 0x1.fffffffb13761p-1, 0x1.00000005bebf1p-1,
                                         0x1.5557e54b38adep-3, 0x1.5553a004a828fp-5};

// e^r = sum of r^j / j! for j = 0 to 5, each the double nearest: the
// complex path's tighter evaluation.
inline constexpr double series[6] = {1.0, 1.0, 0x1p-1, 0x1.5555555555555p-3, 0x1.5555555555555p-5, 0x1.1111111111111p-7};

// Inputs are clamped to this range first: beyond it every single's
// exponential rounds to +0 or +Inf (e^-110 < 2^-150, e^90 > 2^128), and
// inside it every 2^k stays a normal double.
inline constexpr double lowest = -110;
inline constexpr double highest = 90;

} // namespace fpmex::expTable
