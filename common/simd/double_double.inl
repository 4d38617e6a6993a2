// Double-double arithmetic for a kernel's .inl (between level_begin.h and
// level_end.h): a value carried as an unevaluated sum hi + lo of two
// doubles, about 106 significant bits. The exact error terms come from fused
// multiply-adds, so only the levels with FMA (avx2, avx512) include this.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

static_assert(FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) != FPMEX_SIMD_sse2, "double-double needs a fused multiply-add");

struct DoubleDouble {
    Doubles hi;
    Doubles lo;
};

// 1.5 * 2^52: added to a value below 2^51 in magnitude it leaves the nearest
// integer (ties to even) in the low bits of the sum.
constexpr double integerShifter = 0x1.8p52;

FPMEX_SIMD_STEP DoubleDouble select(Mask m, DoubleDouble yes, DoubleDouble no)
{
    return {select(m, yes.hi, no.hi), select(m, yes.lo, no.lo)};
}

FPMEX_SIMD_STEP DoubleDouble negate(DoubleDouble a) { return {negate(a.hi), negate(a.lo)}; }

// a * b exactly: the rounded product and its error.
FPMEX_SIMD_STEP DoubleDouble twoProduct(Doubles a, Doubles b)
{
    const Doubles p = a * b;
    return {p, mulSub(a, b, p)};
}

// a + b exactly, when |a| >= |b| or a is zero.
FPMEX_SIMD_STEP DoubleDouble fastTwoSum(Doubles a, Doubles b)
{
    const Doubles s = a + b;
    return {s, b - (s - a)};
}

// a + b exactly, whatever their magnitudes (Knuth's two-sum).
FPMEX_SIMD_STEP DoubleDouble twoSum(Doubles a, Doubles b)
{
    const Doubles s = a + b;
    const Doubles bPart = s - a;
    return {s, (a - (s - bPart)) + (b - bPart)};
}

// (a.hi + a.lo) * b with b exact: the product of the heads exact, the rest
// rounded; the error is below 2^-104 |a b| plus the rounding of a.lo * b.
FPMEX_SIMD_STEP DoubleDouble times(DoubleDouble a, Doubles b)
{
    const DoubleDouble p = twoProduct(a.hi, b);
    return {p.hi, mulAdd(a.lo, b, p.lo)};
}

// (a.hi + a.lo) * (b.hi + b.lo) with the cross terms rounded and lo * lo
// dropped.
FPMEX_SIMD_STEP DoubleDouble times(DoubleDouble a, DoubleDouble b)
{
    const DoubleDouble p = twoProduct(a.hi, b.hi);
    return {p.hi, mulAdd(a.hi, b.lo, mulAdd(a.lo, b.hi, p.lo))};
}

// The ends of a certainty window v -+ halfWidth (either sign), each formed
// as head plus (tail -+ halfWidth): with the tail and the half-width far
// below the head, the one rounding of note is the last, to double. Where
// both ends round to one double, so does every value between them, as
// rounding to nearest is monotonic.
struct WindowEnds {
    Doubles low;
    Doubles high;
};

FPMEX_SIMD_STEP WindowEnds windowEnds(DoubleDouble v, Doubles halfWidth)
{
    return {v.hi + (v.lo - halfWidth), v.hi + (v.lo + halfWidth)};
}

FPMEX_SIMD_STEP Mask roundToOne(WindowEnds ends) { return bitsOf(ends.low) == bitsOf(ends.high); }

// hi + lo rounded to a 64-bit significand, ties to even, as the extended
// format stores it: the tail to a multiple of 2^(e - 63), 2^e the binade of
// hi + lo (one below hi's when hi is a power of two and lo negative). The
// multiple of 2^(e - 52) in hi leaves the parity of that multiple to the
// tail alone. For positive hi of at least 2^-959 (the unit is then a
// normal double) and |lo| <= ulp(hi) / 2.
FPMEX_SIMD_STEP DoubleDouble roundedToExtended(DoubleDouble v)
{
    const Bits exponent = bitsOf(v.hi) & splatBits(0x7FF0000000000000);
    const Mask lower = ((bitsOf(v.hi) & splatBits(0x000FFFFFFFFFFFFF)) == splatBits(0)) & (v.lo < splat(0.0));
    const Doubles unit =
        select(lower, splat(0.5), splat(1.0)) * doublesOf(exponent - splatBits(std::uint64_t{63} << 52));
    const Doubles perUnit =
        select(lower, splat(2.0), splat(1.0)) * doublesOf(splatBits(std::uint64_t{2046 + 63} << 52) - exponent);
    const Doubles units = v.lo * perUnit;
    return {v.hi, ((units + splat(integerShifter)) - splat(integerShifter)) * unit};
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
