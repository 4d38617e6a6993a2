// The double-double exponential of the vector exponentials of doubles, for a
// kernel's .inl at the levels with a fused multiply-add, after
// double_double.inl (constants: exp_double_constants.h): 2^t for
// t = x log2(e) as the x87 multiplication rounds it, scaled by 2^-k. The
// real kernel's contract (exp_kernel_double_vector.inl) derives its bound,
// |v - 2^t| < 2^-67.5 2^t, and the reproduction of t.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

// e^p - 1 for |p| <= ln(2) / 32 (1 + 2^-40), as double-double.
FPMEX_SIMD_STEP DoubleDouble expMinusOne(DoubleDouble p)
{
    namespace c = expDoubleConstants;
    Doubles s = splat(c::series[5]);
#pragma GCC unroll 8
    for (int i = 4; i >= 0; --i)
        s = mulAdd(s, p.hi, splat(c::series[i]));
    const DoubleDouble square = twoProduct(p.hi, p.hi);
    // p^2 / 2 = square / 2 + p.hi p.lo, the rest far below 2^-100.
    DoubleDouble sum = fastTwoSum(p.hi, square.hi * splat(0.5));
    const Doubles small = mulAdd(p.hi * square.hi, s, mulAdd(p.hi, p.lo, square.lo * splat(0.5)));
    sum.lo = sum.lo + (p.lo + small);
    return sum;
}

struct ExpDoubleValue {
    DoubleDouble w; // 2^t 2^-k, normalised
    Doubles m;      // 16 k + i, the integer nearest 16 t's head
    Bits kBits;     // k in the exponent field
    Mask unsure;    // t's rounding to 64 bits could not be decided
};

// For a finite y with 2^-70 <= |y| <= 746.
FPMEX_SIMD_STEP ExpDoubleValue expDoubleValue(Doubles y)
{
    namespace c = expDoubleConstants;
    // t = h + tLow exactly, as the x87 multiplication rounds x log2(e).
    const DoubleDouble head = twoProduct(y, splat(c::log2eHigh));
    const DoubleDouble tail = twoProduct(y, splat(c::log2eLow));
    const Doubles rest = (head.lo + tail.hi) + tail.lo;
    const Bits exponent = bitsOf(head.hi) & splatBits(0x7FF0000000000000);
    const Doubles unit = doublesOf(exponent - splatBits(std::uint64_t{63} << 52));
    const Doubles perUnit = doublesOf(splatBits(std::uint64_t{2046 + 63} << 52) - exponent);
    const Doubles units = rest * perUnit;
    const Doubles q = (units + splat(integerShifter)) - splat(integerShifter);
    const Mask nearTie = splat(0.5 - 0x1p-20) < magnitude(units - q);
    const Doubles significand =
        doublesOf((bitsOf(head.hi) & splatBits(0x000FFFFFFFFFFFFF)) | splatBits(0x3FF0000000000000));
    const Mask nearPower = (significand < splat(1 + 0x1p-51)) | (splat(2 - 0x1p-51) <= significand);
    const Doubles tLow = q * unit;

    // M = 16 k + i nearest 16 h; its low four bits index the table.
    const Doubles shifted = mulAdd(head.hi, splat(16.0), splat(integerShifter));
    const Doubles m = shifted - splat(integerShifter);
    const Bits index = bitsOf(shifted);
    // Normalised: the series past p^2 then ignores a tail below 2^-53 |p|.
    const DoubleDouble r = twoSum(mulAdd(m, splat(-1.0 / 16), head.hi), tLow);
    const DoubleDouble em1 = expMinusOne(times(r, DoubleDouble{splat(c::ln2High), splat(c::ln2Low)}));

    const Doubles powerHigh = lookup16(c::powerHigh, index);
    const Doubles powerLow = lookup16(c::powerLow, index);
    const DoubleDouble u = times(em1, powerHigh);
    DoubleDouble w = fastTwoSum(powerHigh, u.hi);
    // Normalised: the tail then stays below half an ulp of the head, also
    // once both are scaled for a subnormal result.
    w = fastTwoSum(w.hi, w.lo + (u.lo + mulAdd(powerLow, em1.hi, powerLow)));
    // k moved to the exponent field: the low 16 bits of M less i, shifted.
    return {w, m, shiftLeft<48>(andNot(index, splatBits(15))), nearTie | nearPower};
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
