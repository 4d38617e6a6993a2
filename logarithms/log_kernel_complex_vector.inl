// The vector variant of logKernel for complex single elements, one source
// for the levels with a fused multiply-add (avx2, avx512; see
// common/simd/README.md). Included after log_kernel_vector.inl, whose
// logKernel hands a complex input here.
//
// Inputs: count >= 1 pairs of singles. Outputs: as the reference
// (log_kernel.h): real and imaginary part of every element, the flag.
//
// Elements with both parts finite and nonzero take the reference's general
// formula, and are evaluated here; every other element (a zero, infinite or
// NaN part: the rows of the case table before it, and the infinite squares)
// goes to the x87 reference, as does every element this evaluation cannot
// decide.
//
// What is reproduced: the reference tests the exact squares x^2 and y^2
// (exact in double too) against each other scaled by S = 2^54, in its
// order, and forms the real part as
// - h (log2 x^2 + log2(1 + r)), r = y^2 / x^2 < 2^-54, when y^2 S < x^2,
// - the same with x and y exchanged when x^2 S < y^2,
// - h log2 t otherwise, t = x^2 + y^2 rounded to a 64-bit significand;
// and the imaginary part as atan2(y, x) times a. Each result is rounded
// once to single. Near |z| = 1 the rounding of t moves the logarithm by up
// to 2^-64 absolute, far more than its relative error elsewhere, so t is
// reproduced exactly: x^2 + y^2 is formed exactly as head and tail, and the
// tail rounded to a multiple of 2^(e - 63) (ties to even, which the
// multiple of 2^(e - 52) in the head does not change), 2^e the head's
// binade (one lower when the head is a power of two and the tail negative).
// Apart from that rounding the reference's extended results lie within
// 2^-60 of the exact values of these formulas (each instruction errs by
// less than one extended ulp, docs/accuracy.md; the sums and products round
// once each in extended precision).
//
// Evaluation in double: log2 of t (or of the larger square) as the real
// path does it but by the Taylor polynomial (log_kernel_vector.inl), the
// tail (scaled as z is) entering r = z * inverse[j] - 1 with one rounding
// more, and log2(1 + r) as r / ln 2 (relative error below r / 2 < 2^-55);
// the angle from q = min / max of the magnitudes, reduced to
// |u| <= tan(pi/8) by atan(q) = pi/4 + atan((q - 1) / (q + 1)) for
// q > tan(pi/8), atan(u) = u P(u^2) with P a Chebyshev fit of degree 9
// (relative error 2^-49.8, checked against 300-bit values on 20001 points),
// then moved to its quadrant (pi/2 - ., pi - ., the sign of y), which
// cancels nothing: the reduced parts are at least pi/8 then.
//
// Error bound, relative: the real part within 2^-42.4 (the bound with the
// Taylor polynomial and three roundings more), the imaginary part within
// 2^-48 (the fit, and fewer than twenty roundings of 2^-53, some scaled by 3
// in the reduction).
// Certainty: each part is the single nearest its value v when v (1 - 2^-42)
// and v (1 + 2^-42) round to the same single; the reference's part lies
// between them (its own distance to the exact value is below 2^-60, and v's
// below 2^-42.4), so it rounds there too. Otherwise the element goes to the
// reference, both parts.
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored,
// also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct LogComplexLanes {
    Floats re;
    Floats im;
    unsigned regular;
    unsigned uncertain;
};

// atan(u) / u as a polynomial in u^2 on |u| <= tan(pi/8), lowest degree
// first (a Chebyshev fit computed with 200 bits).
constexpr double atanSeries[10] = {
    0x1.ffffffffffff7p-1,  -0x1.5555555550697p-2, 0x1.999999922cffap-3,  -0x1.249246f68f241p-3,
    0x1.c71bcaa82de12p-4,  -0x1.744ea12fe95dbp-4, 0x1.3a4ed9d1662d7p-4,  -0x1.0a7c2d0b92b5ep-4,
    0x1.9ba0e636ba92ep-5,  -0x1.9ec902f46e221p-6,
};
constexpr double tanPiOver8 = 0x1.a827999fcef32p-2;
constexpr double piOver4 = 0x1.921fb54442d18p-1;
constexpr double piOver2 = 0x1.921fb54442d18p+0;
constexpr double pi = 0x1.921fb54442d18p+1;
// The doubles nearest the angle multipliers a of bases two and ten.
constexpr double angleTwo = 0x1.71547652b82fep+0;
constexpr double angleTen = 0x1.bcb7b1526e50ep-2;
// The doubles nearest 1 / ln 2 and 2^54 (the ratio S).
constexpr double inverseLn2 = 0x1.71547652b82fep+0;
constexpr double ratio = 0x1p54;

// atan2(y, x) for finite nonzero x and y.
FPMEX_SIMD_STEP Doubles angleOf(Doubles y, Doubles x)
{
    const Doubles ax = magnitude(x);
    const Doubles ay = magnitude(y);
    const Doubles q = min(ax, ay) / max(ax, ay);
    const Mask far = splat(tanPiOver8) < q;
    const Doubles u = select(far, (q - splat(1.0)) / (q + splat(1.0)), q);
    const Doubles w = u * u;
    const Doubles first = mulAdd(u, horner(atanSeries, w), select(far, splat(piOver4), splat(0.0)));
    const Doubles octant = select(ax < ay, splat(piOver2) - first, first);
    const Doubles half = select(x < splat(0.0), splat(pi) - octant, octant);
    return select(y < splat(0.0), negate(half), half);
}

template <LogBase base>
FPMEX_SIMD_STEP LogComplexLanes logComplexLanes(Floats inRe, Floats inIm)
{
    const Doubles x = widen(inRe);
    const Doubles y = widen(inIm);
    const Mask regular = (splat(0.0) < magnitude(x)) & (magnitude(x) < splat(__builtin_inf())) &
                         (splat(0.0) < magnitude(y)) & (magnitude(y) < splat(__builtin_inf()));
    // Placeholders keep the other lanes' arithmetic ordinary.
    const Doubles xs = select(regular, x, splat(1.0));
    const Doubles ys = select(regular, y, splat(1.0));
    const Doubles x2 = xs * xs;
    const Doubles y2 = ys * ys;
    const Mask byX = y2 * splat(ratio) < x2;
    const Mask byY = (!byX) & (x2 * splat(ratio) < y2);
    const Mask byRatio = byX | byY;

    // t = x^2 + y^2 as the extended addition rounds it: head + tail.
    const DoubleDouble t = roundedToExtended(twoSum(x2, y2));

    const Doubles head = select(byX, x2, select(byY, y2, t.hi));
    const Doubles ratioTerm = select(byX, y2 / x2, x2 / y2) * splat(inverseLn2);
    const Doubles v2 = log2Of<true>(head, select(byRatio, splat(0.0), t.lo), log2Series) +
                       select(byRatio, ratioTerm, splat(0.0));
    const Doubles re = inBase<base>(v2 * splat(0.5));

    Doubles im = angleOf(ys, xs);
    if constexpr (base == LogBase::two)
        im = im * splat(angleTwo);
    else if constexpr (base == LogBase::ten)
        im = im * splat(angleTen);

    const unsigned decided = equalLanes(narrow(re * splat(1 - certaintyWindow)), narrow(re * splat(1 + certaintyWindow))) &
                             equalLanes(narrow(im * splat(1 - certaintyWindow)), narrow(im * splat(1 + certaintyWindow)));
    const unsigned regularLanes = laneBits(regular);
    return {narrow(re), narrow(im), regularLanes, ~(regularLanes & decided) & allLanes};
}

} // namespace

template <LogBase base>
FPMEX_SIMD_KERNEL int logComplexKernel(float* outRe, float* outIm, const float* inRe, const float* inIm,
                                       std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<float, int> fallback{logKernelX87<float, base>, outRe, outIm, inRe, inIm};
    unsigned computed = 0;
    walkLanes(count, [&](std::size_t first, auto access) {
        const LogComplexLanes result = logComplexLanes<base>(access.load(inRe + first), access.load(inIm + first));
        access.store(outRe + first, result.re);
        access.store(outIm + first, result.im);
        computed |= result.regular & ~result.uncertain & access.valid;
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
    return (computed != 0) | fallback.flag;
}

template int logComplexKernel<LogBase::two>(float*, float*, const float*, const float*, std::size_t);
template int logComplexKernel<LogBase::natural>(float*, float*, const float*, const float*, std::size_t);
template int logComplexKernel<LogBase::ten>(float*, float*, const float*, const float*, std::size_t);

} // namespace fpmex::FPMEX_SIMD_LEVEL
