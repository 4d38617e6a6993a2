// The vector variant of expKernel for complex single elements, one source
// for the levels with a fused multiply-add (avx2, avx512; see
// common/simd/README.md). Included after exp_kernel_vector.inl, whose
// expKernel hands a complex input here.
//
// Inputs: count >= 1 pairs of singles. Outputs: as the reference
// (exp_kernel_x87.cpp): both parts of every element.
//
// Elements with both parts finite and nonzero, x in [-110, 90] and
// |y| < 2^31 are evaluated here; every other element (a zero, infinite or
// NaN part, or a magnitude beyond the double range of e^x) goes to the x87
// reference, as does every element this evaluation cannot decide.
//
// What is reproduced: the reference takes r = y mod P (the exact remainder
// of a truncating quotient, the sign of y, |r| < P), the angle a = r K
// rounded to the extended format, cos a and sin a by FSINCOS, e^x as its
// real path forms it, and rounds cos a * e^x and sin a * e^x once each to
// single. The variant forms r exactly (the quotient's integer part from the
// double quotient, corrected by one step where r leaves [0, P) in the sign
// of y; the product of that integer below 2^29 with P is exact, and so is
// the difference), a as r times K's exact head and tail, and the reference's
// values lie within 2^-60 e^x absolute of cos a e^x and sin a e^x (the
// rounding of a moves it by at most 2^-61.4; FSINCOS's largest absolute
// error measured against MPFR over 10^8 arguments is 0.66 * 2^-64,
// docs/accuracy.md, and the bound taken is 2^-62; the product rounds by
// 2^-64 relative), and within 2^-56 relative of them where those are not
// tiny (the real path's rounding of x log2(e)). For |a| below pi/4 FSINCOS
// reduces nothing and its error stays relative (measured: at most 0.54
// extended ulps of the result, for arguments of every magnitude).
//
// Evaluation in double: a reduced by k pi/2, k the integer nearest 2 a / pi
// (|k| <= 4), with a 50-bit head of pi/2 (k times it is exact) and a tail;
// sin and cos of the reduced u, |u| <= pi/4 (1 + 2^-40), by their Taylor
// series to u^15 and u^16 (remainders below 2^-54); the quadrant from k;
// e^x by the real path's evaluation (2^-42.5 relative).
//
// Error bound: each part v within 2^-42 |v| of its exact value where no
// reduction is needed (k = 0: the series keep their relative accuracy for
// every angle below pi/4, as FSINCOS does), and within
// 2^-42 |v| + 2^-50 e^x after a reduction (the reduced angle errs by up to
// 2^-52 absolute, which reaches a part near its zero in full; e^x errs by
// 2^-42.5 relative). Certainty: a part is the single nearest v when
// v -+ (2^-40 |v| + s) round to the same single, s = 0 for k = 0 and
// 2^-48 e^x otherwise; the reference's part lies between them, so it rounds
// there too. Otherwise the element goes to the reference, both parts.
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored,
// also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct ExpComplexLanes {
    Floats re;
    Floats im;
    unsigned uncertain;
};

// P, the single nearest 2 pi, and K = 2 pi / P as the reference's extended
// constant, split exactly into a head and an 11-bit tail.
constexpr double period = 0x1.921fb6p+2;
constexpr double scaleHigh = 0x1.ffffff10f69adp-1;
constexpr double scaleLow = 0x1.5cp-57;
// pi / 2 as a 50-bit head (its products with |k| <= 7 are exact) and the
// double nearest the rest; 2 / pi.
constexpr double halfPiHigh = 0x1.921fb54442d18p+0;
constexpr double halfPiLow = 0x1.1a62633145c07p-54;
constexpr double twoOverPi = 0x1.45f306dc9c883p-1;
// The Taylor coefficients of sin u / u - 1 and cos u - 1 in u^2, each the
// double nearest (-1)^k / (2k + 1)! and (-1)^k / (2k)!, from k = 1.
constexpr double sinSeries[7] = {-0x1.5555555555555p-3, 0x1.1111111111111p-7,  -0x1.a01a01a01a01ap-13,
                                 0x1.71de3a556c734p-19, -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33,
                                 -0x1.ae7f3e733b81fp-41};
constexpr double cosSeries[8] = {-0x1p-1,               0x1.5555555555555p-5,  -0x1.6c16c16c16c17p-10,
                                 0x1.a01a01a01a01ap-16, -0x1.27e4fb7789f5cp-22, 0x1.1eed8eff8d898p-29,
                                 -0x1.93974a8c07c9dp-37, 0x1.ae7f3e733b81fp-45};
constexpr double relativeWindow = 0x1p-40;
constexpr double absoluteWindow = 0x1p-48;

FPMEX_SIMD_STEP ExpComplexLanes expComplexLanes(Floats inRe, Floats inIm)
{
    const Doubles x = widen(inRe);
    const Doubles y = widen(inIm);
    // x within expValue's range (it does not clamp), |y| below 2^31, both
    // nonzero.
    const Mask regular = (splat(expTable::lowest) <= x) & (x <= splat(expTable::highest)) & !(x == splat(0.0)) &
                         (magnitude(y) < splat(0x1p31)) & !(y == splat(0.0));
    const Doubles ys = select(regular, y, splat(1.0));

    // r = y mod P, exact, with the sign of y.
    Doubles r = mulAdd(negate(truncate(ys / splat(period))), splat(period), ys);
    const Mask positive = splat(0.0) < ys;
    r = select(positive & (r < splat(0.0)), r + splat(period), r);
    r = select(positive & (splat(period) <= r), r - splat(period), r);
    r = select((!positive) & (splat(0.0) < r), r - splat(period), r);
    r = select((!positive) & (r <= splat(-period)), r + splat(period), r);

    // A zero remainder keeps the sign of y, as FPREM's does, and its sine is
    // that zero: the sums below would make it +0.
    const Mask zero = r == splat(0.0);
    r = select(zero, ys * splat(0.0), r);

    // a = r K, then u = a - k pi / 2.
    const DoubleDouble a = twoProduct(r, splat(scaleHigh));
    const Doubles aLow = mulAdd(r, splat(scaleLow), a.lo);
    const Doubles k = (mulAdd(a.hi, splat(twoOverPi), splat(integerShifter))) - splat(integerShifter);
    const Doubles u = (negMulAdd(k, splat(halfPiHigh), a.hi) + aLow) - k * splat(halfPiLow);
    const Doubles w = u * u;
    const Doubles sinU = mulAdd(u * w, horner(sinSeries, w), u);
    const Doubles cosU = mulAdd(w, horner(cosSeries, w), splat(1.0));

    // The quadrant: k mod 4 from the low bits of k + 1.5 2^52.
    const Bits quadrant = bitsOf(k + splat(integerShifter));
    const Mask odd = (quadrant & splatBits(1)) == splatBits(1);
    const Mask cosNegative = ((quadrant + splatBits(1)) & splatBits(2)) == splatBits(2); // k mod 4 in {1, 2}
    const Mask sinNegative = (quadrant & splatBits(2)) == splatBits(2);                  // k mod 4 in {2, 3}
    const Doubles cosA = select(odd, sinU, cosU);
    const Doubles sinA = select(odd, cosU, sinU);
    const Doubles cosSigned = select(zero, splat(1.0), select(cosNegative, negate(cosA), cosA));
    const Doubles sinSigned = select(zero, r, select(sinNegative, negate(sinA), sinA));

    const Doubles e = expValue(select(regular, x, splat(0.0)), expTable::series);
    const Doubles re = cosSigned * e;
    const Doubles im = sinSigned * e;
    // Without reduction (k = 0) sine and cosine keep their relative accuracy,
    // also for a tiny angle; after it, the reduced angle's absolute error
    // reaches a part near a zero.
    const Doubles slack = select(k == splat(0.0), splat(0.0), e * splat(absoluteWindow));
    const Doubles reWidth = mulAdd(magnitude(re), splat(relativeWindow), slack);
    const Doubles imWidth = mulAdd(magnitude(im), splat(relativeWindow), slack);
    const unsigned decided = equalLanes(narrow(re - reWidth), narrow(re + reWidth)) &
                             equalLanes(narrow(im - imWidth), narrow(im + imWidth));
    return {narrow(re), narrow(im), ~(laneBits(regular) & decided) & allLanes};
}

} // namespace

FPMEX_SIMD_KERNEL void expComplexKernel(float* outRe, float* outIm, const float* inRe, const float* inIm,
                                        std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<float, void> fallback{expKernelX87<float>, outRe, outIm, inRe, inIm};
    walkLanes(count, [&](std::size_t first, auto access) {
        const ExpComplexLanes result = expComplexLanes(access.load(inRe + first), access.load(inIm + first));
        access.store(outRe + first, result.re);
        access.store(outIm + first, result.im);
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
