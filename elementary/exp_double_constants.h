// The constants of the vector exponential of doubles (exp_kernel_double_
// vector.inl): the multiplier x87 FLDL2E loads, split exactly; ln 2 and the
// powers 2^(i/16) as double-double; the series of e^p past its square.
#pragma once

namespace fpmex::expDoubleConstants {

// log2(e) as FLDL2E loads it (64 significant bits, 0xB8AA3B295C17F0BC) is
// log2eHigh + log2eLow exactly: a 53-bit head and an 8-bit tail.
inline constexpr double log2eHigh = 0x1.71547652b82fep+0;
inline constexpr double log2eLow = 0x1.78p-56;

// ln 2 as head and tail (within 2^-106 relative; computed with 300 bits).
inline constexpr double ln2High = 0x1.62e42fefa39efp-1;
inline constexpr double ln2Low = 0x1.abc9e3b39803fp-56;

// 2^(i/16) for i = 0 to 15 as head and tail (within 2^-106 relative).
inline constexpr double powerHigh[16] = {
    0x1.0000000000000p+0, 0x1.0b5586cf9890fp+0, 0x1.172b83c7d517bp+0, 0x1.2387a6e756238p+0,
    0x1.306fe0a31b715p+0, 0x1.3dea64c123422p+0, 0x1.4bfdad5362a27p+0, 0x1.5ab07dd485429p+0,
    0x1.6a09e667f3bcdp+0, 0x1.7a11473eb0187p+0, 0x1.8ace5422aa0dbp+0, 0x1.9c49182a3f090p+0,
    0x1.ae89f995ad3adp+0, 0x1.c199bdd85529cp+0, 0x1.d5818dcfba487p+0, 0x1.ea4afa2a490dap+0,
};
inline constexpr double powerLow[16] = {
    0x0.0p+0,               0x1.8a62e4adc610bp-54,  -0x1.19041b9d78a76p-55, 0x1.9b07eb6c70573p-54,
    0x1.6f46ad23182e4p-55,  0x1.ada0911f09ebcp-55,  0x1.d4397afec42e2p-56,  0x1.6324c054647adp-54,
    -0x1.bdd3413b26456p-54, -0x1.41577ee04992fp-55, 0x1.6e9f156864b27p-54,  0x1.c7c46b071f2bep-56,
    0x1.7a1cd345dcc81p-54,  0x1.11065895048ddp-55,  0x1.2ed02d75b3707p-55,  -0x1.e9c23179c2893p-54,
};

// (e^p - 1 - p - p^2/2) / p^3 = sum of p^(i-3) / i! for i = 3 to 8, each
// the double nearest: the series cut where its remainder falls below
// 2^-68.2 for |p| <= ln(2) / 32.
inline constexpr double series[6] = {0x1.5555555555555p-3,  0x1.5555555555555p-5,  0x1.1111111111111p-7,
                                     0x1.6c16c16c16c17p-10, 0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-16};

// The ends of the computed range. Above highest every result overflows to
// +Inf (x log2(e) > 1024.3); below lowest it rounds to +0
// (e^x < 2^-1076); below tiny in magnitude it is exactly 1 (the x87 sum
// 1 + (2^t - 1) rounds to 1 before the store).
inline constexpr double highest = 710;
inline constexpr double lowest = -746;
inline constexpr double tiny = 0x1p-70;
// Up to this magnitude the result is normal (e^-707 > 2^-1021), and k is
// within [-1021, 1020].
inline constexpr double ordinary = 707;

} // namespace fpmex::expDoubleConstants
