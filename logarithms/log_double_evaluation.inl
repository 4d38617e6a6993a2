// The double-double logarithm of the vector logarithms of doubles, for a
// kernel's .inl at the levels with a fused multiply-add, after
// double_double.inl and log_reduction.inl (constants:
// log_double_constants.h).
//
// Evaluation: a positive normal double x (the real kernel scales a
// subnormal by 2^54 first) is split as 2^k * z and z reduced by the table
// of log_double_constants.h to r = z * inverse[j] - 1, exactly as head and
// tail (the product by an FMA, its head minus 1 by Sterbenz' lemma, then
// normalised: the tail below 2^-53 |r|). Then
// log2 x = k + table[j] + log2(1 + r), the last by its Taylor series to
// r^13: the terms from r^4 in double, the first three coefficients as
// double-double in a Horner scheme whose products keep their exact heads.
//
// Error bound, relative to L = log2 x:
// - the series' remainder is below 2^-68.8;
// - the double part of the Horner scheme errs by at most 2^-52 of itself,
//   which reaches the result scaled by r^3 / 3 < 2^-16.5: below 2^-68;
//   it uses the head of r alone, which leaves out below 2^-53 r^3 / 4:
//   below 2^-70;
// - the double-double steps, the table and the multiplier each round below
//   2^-100;
// - for k = 0 the sum table[j] + log2(1 + r) can be as small as 0.98 times
//   its second term (in the two intervals beside 1), so the bound of that
//   term carries over within 2 %.
// In all, |v - L| < 2^-66 |L|, for every integer k (the callers' offsets
// change only k). Powers of two give exactly k (r = 0), and x = 1 exactly
// +0.
//
namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

// log2(1 + r) for r = rh + rl, |r| < 2^-5.
FPMEX_SIMD_STEP DoubleDouble log2OnePlus(DoubleDouble r)
{
    namespace c = logDoubleConstants;
    Doubles p = splat(c::series[9]);
    for (int n = 8; n >= 0; --n)
        p = mulAdd(p, r.hi, splat(c::series[n]));
    // Each coefficient is larger than r times what follows it, so the sums
    // with the heads are exact as fastTwoSum forms them.
    DoubleDouble q = fastTwoSum(splat(c::leadHigh[2]), r.hi * p);
    q.lo = q.lo + splat(c::leadLow[2]);
    for (int n = 1; n >= 0; --n) {
        const DoubleDouble rq = times(r, q);
        q = fastTwoSum(splat(c::leadHigh[n]), rq.hi);
        q.lo = q.lo + (rq.lo + splat(c::leadLow[n]));
    }
    return times(r, q);
}

// log2(a + tail) - offset for a positive normal double a, an integer offset
// and, withTail, |tail| <= 2^-53 a and a below 2^1022 (the tail enters r,
// scaled as z is, with one rounding more), as head and tail: the evaluation
// above.
template <bool withTail>
FPMEX_SIMD_STEP DoubleDouble log2Of(Doubles a, Doubles tail, Doubles offset)
{
    namespace c = logDoubleConstants;
    const LogReduction reduced = reduceLog(a);
    const Doubles inverse = lookup16(c::inverse, reduced.j);
    const DoubleDouble zc = twoProduct(reduced.z, inverse);
    // Normalised, so that the tail is below 2^-53 of r and the terms of the
    // series past the third may ignore it.
    const Doubles rTail = withTail ? mulAdd(tail * reduced.scale, inverse, zc.lo) : zc.lo;
    const DoubleDouble r = twoSum(zc.hi - splat(1.0), rTail);
    const DoubleDouble l = log2OnePlus(r);

    // k + table[j] is larger than log2(1 + r) in magnitude, or zero.
    DoubleDouble g = fastTwoSum(reduced.k - offset, lookup16(c::tableHigh, reduced.j));
    g.lo = g.lo + lookup16(c::tableLow, reduced.j);
    DoubleDouble v = fastTwoSum(g.hi, l.hi);
    v.lo = v.lo + (g.lo + l.lo);
    return v;
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
