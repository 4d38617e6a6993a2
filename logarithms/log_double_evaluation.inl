// The double-double logarithms of the vector logarithms of doubles, for a
// kernel's .inl at the levels with a fused multiply-add, after
// double_double.inl and log_reduction.inl (constants:
// log_double_constants.h). Two evaluations of one reduction: log2Of,
// within 2^-66, for the complex kernel, whose windows are built on that
// bound and which passes a tail; log2Quick, within 0.94 * 2^-62 and about
// two thirds of the operations, for the real kernel (its own contract is
// below).
//
// log2Of: a positive normal double x is split as 2^k * z and z reduced by
// the table of log_double_constants.h to r = z * inverse[j] - 1, exactly
// as head and tail (the product by an FMA, its head minus 1 by Sterbenz'
// lemma, then normalised: the tail below 2^-53 |r|). Then
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
// +0; so does log2Quick.
//
namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

// log2(1 + r) for r = rh + rl, |r| < 2^-5.
FPMEX_SIMD_STEP DoubleDouble log2OnePlus(DoubleDouble r)
{
    namespace c = logDoubleConstants;
    const Doubles p = horner(c::series, r.hi);
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

// k - offset + table[j] + l, l = log2(1 + r) as head and tail: k +
// table[j] is larger than l in magnitude, or zero, so both sums of heads are
// exact as fastTwoSum forms them.
FPMEX_SIMD_STEP DoubleDouble plusTable(const LogReduction& reduced, Doubles offset, DoubleDouble l)
{
    namespace c = logDoubleConstants;
    DoubleDouble g = fastTwoSum(reduced.k - offset, lookup16(c::tableHigh, reduced.j));
    g.lo = g.lo + lookup16(c::tableLow, reduced.j);
    DoubleDouble v = fastTwoSum(g.hi, l.hi);
    v.lo = v.lo + (g.lo + l.lo);
    return v;
}

// log2(a + tail) - offset for a positive normal double a below 2^1022, an
// integer offset and |tail| <= 2^-53 a (the tail enters r, scaled as z
// is, with one rounding more), as head and tail: log2Of above.
FPMEX_SIMD_STEP DoubleDouble log2Of(Doubles a, Doubles tail, Doubles offset)
{
    namespace c = logDoubleConstants;
    const LogReduction reduced = reduceLog(a);
    const Doubles inverse = lookup16(c::inverse, reduced.j);
    const DoubleDouble zc = twoProduct(reduced.z, inverse);
    // Normalised, so that the tail is below 2^-53 of r and the terms of the
    // series past the third may ignore it.
    const Doubles rTail = mulAdd(tail * reduced.scale, inverse, zc.lo);
    const DoubleDouble r = twoSum(zc.hi - splat(1.0), rTail);
    const DoubleDouble l = log2OnePlus(r);

    return plusTable(reduced, offset, l);
}

// log2(a) - offset for a positive normal double a and an integer offset,
// as head and tail, within 0.94 * 2^-62 of it: the real kernel's
// evaluation, for which that suffices (its window is mostly FYL2X's own
// error, 2^-62).
//
// Reduction as above, r = rh + rl exact, |r| <= 2^-5 (in the interval
// around 1, whose reciprocal is 1); then log2(1 + r) = ln(1 + r) / ln 2
// with ln(1 + r) = r - r^2 / 2 + r^3 W(r), W the series 1/3 - r/4 ... +
// r^10/13 in double from rh. rh - rh^2 / 2 is formed as head and exact
// error; the tail gathers that error, the rest of r^2 / 2 (the square's
// exact error, rh rl), rl's share in the cube (rh^2 rl) and r^3 W; then
// one double-double product by 1 / ln 2, and k + table[j] added as above.
//
// Error bound: r^3 W, at most r^2 / 3 of |r|, carries five and a half
// roundings' worth of relative error (two in the cube, one and a half in
// W, one in the sum it ends in, one in the product by 1 / ln 2); the
// series' remainder is below 2^-68.7 |r|, the other steps round below
// 2^-88. The worst case is the interval around 1 (k = 0, table[j] = 0,
// r up to 2^-5, ln(1 + r) >= 0.984 r): 5.5 * 2^-53 * 2^-10 / 3 / 0.984 is
// below 0.94 * 2^-62 |L|. In the other intervals r^2 is smaller or |L|
// larger than ln(1 + r) / ln 2 by enough to stay below it, for every
// integer k (the offset changes only k).
FPMEX_SIMD_STEP DoubleDouble log2Quick(Doubles a, Doubles offset)
{
    namespace c = logDoubleConstants;
    const LogReduction reduced = reduceLog(a);
    const Doubles inverse = lookup16(c::inverse, reduced.j);
    const DoubleDouble zc = twoProduct(reduced.z, inverse);
    // zc.hi - 1 is exact, and zero or at least an ulp of zc.hi: at least
    // zc.lo in magnitude, so the sum is exact as fastTwoSum forms it.
    const DoubleDouble r = fastTwoSum(zc.hi - splat(1.0), zc.lo);

    const Doubles square = r.hi * r.hi;
    const Doubles squareLow = mulSub(r.hi, r.hi, square);
    // r.hi - square / 2 and its rounding error, exactly (Sterbenz' lemma
    // for the difference r.hi - head).
    const Doubles head = mulAdd(splat(-0.5), square, r.hi);
    const Doubles headError = mulAdd(splat(-0.5), square, r.hi - head);
    const Doubles w = horner(c::lnSeries, r.hi);
    // rl (1 - rh + rh^2), the first-order share of rl, within 2^-106 |r|.
    const Doubles lowShare = mulAdd(square, r.lo, negMulAdd(r.hi, r.lo, r.lo));
    const Doubles tail = mulAdd(square * r.hi, w, mulAdd(splat(-0.5), squareLow, lowShare + headError));
    // The tail's product last, so that its rounding is the only one of note.
    const DoubleDouble m = twoProduct(head, splat(c::leadHigh[0]));
    const Doubles mLow = mulAdd(tail, splat(c::leadHigh[0]), mulAdd(head, splat(c::leadLow[0]), m.lo));

    return plusTable(reduced, offset, {m.hi, mLow});
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
