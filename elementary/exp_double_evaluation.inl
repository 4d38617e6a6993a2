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
    const Doubles s = horner(c::series, p.hi);
    const DoubleDouble square = twoProduct(p.hi, p.hi);
    // p^2 / 2 = square / 2 + p.hi p.lo, the rest far below 2^-100.
    DoubleDouble sum = fastTwoSum(p.hi, square.hi * splat(0.5));
    const Doubles small = mulAdd(p.hi * square.hi, s, mulAdd(p.hi, p.lo, square.lo * splat(0.5)));
    sum.lo = sum.lo + (p.lo + small);
    return sum;
}

struct ExpDoubleValue {
    DoubleDouble w; // 2^t 2^-k, the tail within 2^-51 of the head
    Doubles m;      // 16 k + i, the integer nearest 16 t's head
    Bits kBits;     // k in the exponent field
    Mask unsure;    // t's rounding to 64 bits could not be decided
};

// For a finite y with 2^-70 <= |y| <= 746.
FPMEX_SIMD_STEP ExpDoubleValue expDoubleValue(Doubles y)
{
    namespace c = expDoubleConstants;
    // t = h + tLow exactly, as the x87 multiplication rounds x log2(e): the
    // exact product is h + rest, |rest| < 2^(e - 52.8) for 2^e <= |h| <
    // 2^(e + 1), and rest is known to 2^-42.8 of a unit 2^(e - 63) (its
    // one rounding; y log2eLow's own rounding is folded into it).
    const DoubleDouble head = twoProduct(y, splat(c::log2eHigh));
    const Doubles rest = mulAdd(y, splat(c::log2eLow), head.lo);
    // Adding 1.5 * 2^52 units leaves rest rounded to a multiple of the unit,
    // ties to even, as the extended format rounds t: rest is below 2^11
    // units.
    const Bits exponent = bitsOf(head.hi) & splatBits(0x7FF0000000000000);
    const Doubles shifter = doublesOf(exponent + splatBits(0x0008000000000000 - (std::uint64_t{11} << 52)));
    const Doubles tLow = (rest + shifter) - shifter;
    // Sure unless rest lies within 2^-20 units of a tie (its difference
    // from tLow is exact), or h is a power of two, where t may lie in the
    // binade below h's (elsewhere |rest| below an ulp of h keeps them in
    // one binade).
    const Doubles tieDistance = doublesOf(exponent + splatBits(0x000FFFFC00000000 - (std::uint64_t{65} << 52)));
    const Mask unsure = (tieDistance < magnitude(rest - tLow)) |
                        ((bitsOf(head.hi) & splatBits(0x000FFFFFFFFFFFFF)) == splatBits(0));

    // M = 16 k + i nearest 16 h; its low four bits index the table.
    const Doubles shifted = mulAdd(head.hi, splat(16.0), splat(integerShifter));
    const Doubles m = shifted - splat(integerShifter);
    const Bits index = bitsOf(shifted);
    // h - M / 16 is exact, a multiple of h's ulp (or h itself for M = 0),
    // so larger than tLow (below an ulp of h) or zero: the sum is exact as
    // fastTwoSum forms it, and normalised, so the series past p^2 may
    // ignore its tail.
    const DoubleDouble r = fastTwoSum(mulAdd(m, splat(-1.0 / 16), head.hi), tLow);
    const DoubleDouble em1 = expMinusOne(times(r, DoubleDouble{splat(c::ln2High), splat(c::ln2Low)}));

    const Doubles powerHigh = lookup16(c::powerHigh, index);
    const Doubles powerLow = lookup16(c::powerLow, index);
    const DoubleDouble u = times(em1, powerHigh);
    DoubleDouble w = fastTwoSum(powerHigh, u.hi);
    // Not normalised again: the tail stays within 2^-51 of the head.
    w.lo = w.lo + (u.lo + mulAdd(powerLow, em1.hi, powerLow));
    // k moved to the exponent field: the low 16 bits of M less i, shifted.
    return {w, m, shiftLeft<48>(andNot(index, splatBits(15))), unsure};
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
