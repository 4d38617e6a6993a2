// The vector variant of expKernel for complex double elements, one source
// for the levels with a fused multiply-add (avx2, avx512; see
// common/simd/README.md), compiled in files of its own at one register a
// step (exp_kernel_complex_double_avx2.cpp, _avx512.cpp). The real double
// variant (exp_kernel_double_vector.inl) hands a complex input here.
//
// Inputs: count >= 1 pairs of doubles. Outputs: as the reference
// (exp_kernel_x87.cpp): both parts of every element.
//
// Elements with both parts finite and nonzero, x in [-707, 709] and
// |y| < 2^40 are evaluated here; every other element (a zero, infinite or
// NaN part, results that may overflow or turn subnormal, imaginary parts
// whose remainder needs more than one division) goes to the x87 reference,
// as does every element this evaluation cannot decide.
//
// What is reproduced. The reference takes r = y mod P (FPREM: the exact
// remainder of a truncating quotient, the sign of y, |r| < P), the angle
// a = r K rounded to a 64-bit significand, cos a and sin a by FSINCOS, E as
// its real path forms e^x, and rounds cos a * E and sin a * E to 64 bits
// and then once to double.
// - r exactly: the quotient's integer part from y times 1 / P,
//   corrected by one step where r leaves [0, P) on y's side; for the right
//   integer the FMA's result is the exact remainder, and a remainder still
//   out of range sends the element to the reference.
// - a exactly: K = 1 + 360 * 2^-63, so for r = m 2^e (m in [1, 2)),
//   r K = r + 360 m units of 2^(e - 63) and stays in r's binade; r is a
//   multiple of 2^11 units, so a = r + N units, N = 45 M / 2^49 rounded to
//   nearest, ties to even (M = m 2^52, in 64-bit integers).
// - E: as the real path reproduces it (exp_double_evaluation.inl), its
//   value v = 2^t within 2^-67.5 and E within 0x1.1p-63 of 2^t; for
//   |x| < 2^-70 E is exactly 1.
//
// Evaluation, in double-double: a = n pi/32 + d, n the integer nearest
// 32 a / pi (|n| <= 64), d = a - n pi/32 with pi/32 in three parts (the
// first two products exact, the rest within 2^-100), |d| <= pi/64
// (1 + 2^-40); sin d and cos d by their Taylor series (the terms to d^3
// and d^2 in double-double, the rest in double: below 2^-71 absolute, and
// 2^-70 relative for sin d); sin and cos of n pi/32 from the 16-entry
// tables of a quarter turn, moved to n's quadrant; then the sum formulas,
// which cancel nothing (where a zero of sin a or cos a lies within pi/64,
// the table's term for it is exactly 0). In all, below 2^-71 absolute, and
// for n = 0 (d = a, the table terms 0 and 1) 2^-70 relative.
//
// Certainty. FSINCOS's results, measured against MPFR over 10^8 arguments
// (docs/accuracy.md), lie within half an ulp of the extended result (its
// final rounding, at most 2^-64 of the result) plus 0.155 * 2^-64 of the
// exact value on [-2 pi, 2 pi], and below pi/4, where it reduces nothing,
// within 0.54 extended ulps; the bounds taken are 2^-64 relative plus
// 2^-65 absolute (three times the excess), or 2^-62 relative for
// |a| < 0.78. So a part cos a * E (sin a likewise) of the reference lies
// within E (2^-65 + 2^-71) + |v| (2^-64 + 0x1.1p-63 + 2^-67 + 2^-64) of
// the evaluation v = cos a * 2^t (E's window and the product's rounding
// last), or, for |a| < 0.78, within
// |v| (2^-62 + 2^-70 + 0x1.1p-63 + 2^-67 + 2^-64) (+ 2^-71 E for n != 0).
// Where both ends of each window, formed as head plus (tail -+
// half-width) and scaled by 2^-k, round to the same double, every value
// between them does, the reference's among them; the scaling by 2^k is
// exact for the normal results stored. Otherwise the element goes to the
// reference, both parts (about 1 % of moderate elements, most next to a
// rounding boundary, the rest with a part near its zero).
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored,
// also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct ExpComplexDoubleLanes {
    Doubles re;
    Doubles im;
    unsigned uncertain;
};

// a + b where the two do not cancel, as head and a tail within two ulps
// of it: the products that take it round below 2^-100 all the same.
FPMEX_SIMD_STEP DoubleDouble sum(DoubleDouble a, DoubleDouble b)
{
    const DoubleDouble s = twoSum(a.hi, b.hi);
    return {s.hi, s.lo + (a.lo + b.lo)};
}

struct SinCos {
    DoubleDouble sin;
    DoubleDouble cos;
    Mask reduced; // n != 0
};

// sin a and cos a for |a| <= 2 pi (1 + 2^-50), a = a.hi + a.lo normalised.
FPMEX_SIMD_STEP SinCos sinCosOf(DoubleDouble a)
{
    namespace k = expComplexDoubleConstants;
    const Doubles magic = splat(integerShifter);
    const Doubles shifted = mulAdd(a.hi, splat(k::thirtyTwoOverPi), magic);
    const Doubles n = shifted - magic;
    // n mod 64 in the low six bits: the table index j and the quadrant.
    const Bits index = bitsOf(shifted);
    // a.hi - n pi/32's head is exact: for n != 0 the two lie within a
    // factor of 1.5 of each other (Sterbenz' lemma).
    const Doubles s1 = negMulAdd(n, splat(k::piOver32High), a.hi);
    const DoubleDouble s2 = twoSum(s1, negate(n * splat(k::piOver32Middle)));
    const DoubleDouble d = twoSum(s2.hi, s2.lo + negMulAdd(n, splat(k::piOver32Low), a.lo));

    // sin d = d - d^3 / 6 + ..., d^3 / 6 with d's tail as d_h^2 d_l / 2.
    const DoubleDouble square = twoProduct(d.hi, d.hi);
    const DoubleDouble cube = times(square, d.hi);
    DoubleDouble third = times(cube, DoubleDouble{splat(k::minusSixthHigh), splat(k::minusSixthLow)});
    third.lo = mulAdd(square.hi * splat(-0.5), d.lo, third.lo);
    const Doubles sinRest = (cube.hi * square.hi) * horner(k::sinSeries, square.hi);
    const DoubleDouble lead = fastTwoSum(d.hi, third.hi);
    const DoubleDouble sinD = fastTwoSum(lead.hi, lead.lo + (d.lo + (third.lo + sinRest)));
    // cos d = 1 - d^2 / 2 + ..., d^2 / 2 = square / 2 + d_h d_l.
    const Doubles halfLow = mulAdd(d.hi, d.lo, square.lo * splat(0.5));
    const Doubles cosRest = (square.hi * square.hi) * horner(k::cosSeries, square.hi);
    const DoubleDouble one = fastTwoSum(splat(1.0), square.hi * splat(-0.5));
    const DoubleDouble cosD = fastTwoSum(one.hi, one.lo + (cosRest - halfLow));

    // The table angle q pi/2 + j pi/32: sin and cos of j pi/32 exchanged
    // in the odd quadrants, negated in the quadrants where they are.
    const DoubleDouble sinJ = {lookup16(k::sinHigh, index), lookup16(k::sinLow, index)};
    const DoubleDouble cosJ = {lookup16(k::cosHigh, index), lookup16(k::cosLow, index)};
    const Mask odd = (index & splatBits(16)) == splatBits(16);
    const Mask lower = (index & splatBits(32)) == splatBits(32);
    const DoubleDouble sinRaw = select(odd, cosJ, sinJ);
    const DoubleDouble sinTable = select(lower, negate(sinRaw), sinRaw);
    const DoubleDouble cosRaw = select(odd, sinJ, cosJ);
    const DoubleDouble cosTable = select((odd & !lower) | (lower & !odd), negate(cosRaw), cosRaw);
    return {sum(times(sinTable, cosD), times(cosTable, sinD)),
            sum(times(cosTable, cosD), negate(times(sinTable, sinD))), !(n == splat(0.0))};
}

FPMEX_SIMD_STEP ExpComplexDoubleLanes expComplexDoubleLanes(Doubles x, Doubles y)
{
    namespace k = expComplexDoubleConstants;
    const Doubles ay = magnitude(y);
    const Mask regular = (splat(-707.0) <= x) & (x <= splat(709.0)) & !(x == splat(0.0)) & (splat(0.0) < ay) &
                         (ay < splat(0x1p40));
    // Placeholders keep the other lanes' arithmetic ordinary.
    const Doubles xs = select(regular, x, splat(1.0));
    const Doubles ys = select(regular, y, splat(1.0));

    // r = y mod P.
    const Doubles P = splat(k::period);
    // The quotient's integer part from y times the double nearest 1 / P:
    // below 2^40 it is off by at most one, which the step below corrects.
    const Doubles n0 = truncate(ys * splat(k::inversePeriod));
    const Doubles r0 = negMulAdd(n0, P, ys);
    const Mask positive = splat(0.0) < ys;
    const Mask negative = !positive;
    const Mask up = (positive & (P <= r0)) | (negative & (splat(0.0) < r0));
    const Mask down = (positive & (r0 < splat(0.0))) | (negative & (r0 <= negate(P)));
    const Doubles n = n0 + select(up, splat(1.0), select(down, splat(-1.0), splat(0.0)));
    const Doubles r = negMulAdd(n, P, ys);
    const Mask inRange = (select(positive, splat(-0x1p-1074), negate(P)) < r) & (r < select(positive, P, splat(0x1p-1074)));

    // a = r K as the extended multiplication rounds it.
    const Bits rBits = bitsOf(magnitude(r));
    const Bits M = (rBits & splatBits(0x000FFFFFFFFFFFFF)) | splatBits(0x0010000000000000);
    const Bits times45 = shiftLeft<5>(M) + shiftLeft<3>(M) + shiftLeft<2>(M) + M;
    static_assert(k::scaleUnits == 45 * 8);
    const Bits N = shiftRight<49>(times45 + splatBits((std::uint64_t{1} << 48) - 1) +
                                  (shiftRight<49>(times45) & splatBits(1)));
    const Doubles units = doublesOf(N | splatBits(0x4330000000000000)) - splat(0x1p52);
    const Doubles unit = doublesOf((rBits & splatBits(0x7FF0000000000000)) - splatBits(std::uint64_t{63} << 52));
    const Doubles added = units * unit;
    const DoubleDouble a = {r, select(r < splat(0.0), negate(added), added)};
    const SinCos angle = sinCosOf(a);

    // E, exactly 1 for |x| < 2^-70.
    const Mask unity = magnitude(xs) < splat(0x1p-70);
    const ExpDoubleValue value = expDoubleValue(select(unity, splat(1.0), xs));
    const DoubleDouble w = select(unity, DoubleDouble{splat(1.0), splat(0.0)}, value.w);
    const Bits kBits = bitsOf(select(unity, splat(0.0), doublesOf(value.kBits)));

    const DoubleDouble re = times(angle.cos, w);
    const DoubleDouble im = times(angle.sin, w);
    const Mask unreduced = magnitude(a.hi) < splat(k::unreduced);
    const Doubles relative =
        splat(0x1.1p-63 + 0x1p-67 + 0x1p-64) + select(unreduced, splat(0x1p-62 + 0x1p-70), splat(0x1p-64));
    const Doubles absolute =
        w.hi * (select(unreduced, splat(0.0), splat(0x1p-65)) + select(angle.reduced, splat(0x1p-71), splat(0.0)));
    const Doubles reWidth = mulAdd(relative, magnitude(re.hi), absolute);
    const Doubles imWidth = mulAdd(relative, magnitude(im.hi), absolute);

    // 2^k, a normal double: k is within [-1021, 1022] for x in [-707, 709].
    const Doubles kPower = doublesOf(splatBits(0x3FF0000000000000) + kBits);
    // The ends are compared before the scaling, which is exact (so keeps
    // equal ends equal and different ones different) where the result is
    // normal.
    const WindowEnds reEnds = windowEnds(re, reWidth);
    const WindowEnds imEnds = windowEnds(im, imWidth);
    const Doubles reLow = reEnds.low * kPower;
    const Doubles imLow = imEnds.low * kPower;
    const Mask decided = regular & inRange & (splat(0x1p-959) <= magnitude(r)) & !(value.unsure & !unity) &
                         roundToOne(reEnds) & roundToOne(imEnds) &
                         (splat(0x1p-1021) <= magnitude(reLow)) & (splat(0x1p-1021) <= magnitude(imLow));
    return {reLow, imLow, ~laneBits(decided) & allLanes};
}

} // namespace

FPMEX_SIMD_KERNEL void expComplexKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,
                                        std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<double, void> fallback{expKernelX87<double>, outRe, outIm, inRe, inIm};
    walkLanes(count, [&](std::size_t first, auto access) {
        const ExpComplexDoubleLanes result = expComplexDoubleLanes(access.load(inRe + first), access.load(inIm + first));
        access.store(outRe + first, result.re);
        access.store(outIm + first, result.im);
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
