// The constants that make logKernel compute one base. Every logarithm is a
// multiple of log2, so a base is three extended multipliers (applied on the
// x87 unit before the single rounding of each result) and two imaginary parts
// that are stored as they are, in the element type.
#pragma once

#include <cstdint>

namespace fpmex {

enum class LogBase { two, natural, ten };

// An 80-bit extended value as sign/exponent word and 64-bit significand.
struct ExtendedBits {
    std::uint16_t signExponent;
    std::uint64_t significand;
};

struct BaseMultipliers {
    ExtendedBits c;   // of log2 of a magnitude (real parts)
    ExtendedBits h;   // of log2(x^2 + y^2) and of log2(1 + r): c / 2
    ExtendedBits a;   // of the angle atan2(y, x)
    bool scaleAngle;  // false when a is 1: the angle is stored as FPATAN gives it
};

// Indexed by LogBase. The values of c, and a of base 2, are those that FLD1,
// FLDL2E, FLDLN2 and FLDLG2 load under round to nearest.
inline constexpr BaseMultipliers baseMultipliers[] = {
    // two: c = 1, h = 0.5, a = log2(e)
    {{0x3FFF, 0x8000000000000000}, {0x3FFE, 0x8000000000000000}, {0x3FFF, 0xB8AA3B295C17F0BC}, true},
    // natural: c = ln 2, h = ln(2)/2 (nearest), a = 1
    {{0x3FFE, 0xB17217F7D1CF79AC}, {0x3FFD, 0xB17217F7D1CF79AC}, {0x3FFF, 0x8000000000000000}, false},
    // ten: c = log10(2), h = log10(2)/2 (nearest), a = log10(e) one unit in
    // the last place above the nearest value (...95), kept as the results
    // of the base-10 angle depend on it
    {{0x3FFD, 0x9A209A84FBCFF799}, {0x3FFC, 0x9A209A84FBCFF799}, {0x3FFD, 0xDE5BD8A937287196}, true},
};

// Per element type: P, the imaginary part on the negative real axis
// (pi times a), and Q, the imaginary part on the positive imaginary axis
// (pi/2 times a), each the nearest value of the type and indexed by LogBase;
// and S, the ratio of squares beyond which the smaller part of a complex
// element enters only through log2(1 + r), stored as single.
template <class T>
struct TypedLogConstants;

template <>
struct TypedLogConstants<float> {
    using Bits = std::uint32_t;
    static constexpr Bits P[] = {0x40910918, 0x40490FDB, 0x3FAEA3E2};
    static constexpr Bits Q[] = {0x40110918, 0x3FC90FDB, 0x3F2EA3E2};
    static constexpr std::uint32_t S = 0x5A800000; // 2^54
};

template <>
struct TypedLogConstants<double> {
    using Bits = std::uint64_t;
    // The double set has no natural logarithm; its entries are the doubles
    // nearest pi and pi/2 all the same, so that no entry is a placeholder.
    static constexpr Bits P[] = {0x40122123045B5DEC, 0x400921FB54442D18, 0x3FF5D47C4CB2FBA1};
    static constexpr Bits Q[] = {0x40022123045B5DEC, 0x3FF921FB54442D18, 0x3FE5D47C4CB2FBA1};
    static constexpr std::uint32_t S = 0x44000000; // 512
};

} // namespace fpmex
