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

// a * b exactly: the rounded product and its error.
FPMEX_SIMD_STEP DoubleDouble twoProduct(Doubles a, Doubles b)
{
    const Doubles p = a * b;
    return {p, mulAdd(a, b, negate(p))};
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

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
