// The vector variant of expKernel for double elements, one source for the
// levels with a fused multiply-add (avx2, avx512; see common/simd/README.md).
//
// Inputs: count >= 1 doubles, real path; a complex input goes to
// expComplexKernel (exp_kernel_complex_double_vector.inl). Outputs: as the reference: e^x as the x87 sequence
// gives it, +-0 -> exactly 1, -Inf -> +0, +Inf -> +Inf, a NaN made quiet.
//
// What is reproduced: the reference forms t = x * log2(e) on the x87 unit,
// rounded to a 64-bit significand, then n = round(t), f = t - n (exact,
// |f| <= 1/2), E = (F2XM1(f) + 1) * 2^n, and rounds E once to double. The
// rounding of t moves the result by up to 2^-54 relative for |x| in the
// hundreds, so t is reproduced exactly: x times the multiplier's two exact
// parts gives the exact product as h + rest (h the rounded head), and t is h
// plus rest rounded to a multiple of 2^(e - 63), 2^e <= |h| < 2^(e + 1).
// rest is known to 2^-42.8 of that unit, so the rounding is certain unless
// rest lies within 2^-20 units of a tie, or h is a power of two (where the
// binade of t may be the one below h's): those elements go to the x87
// reference. Then E lies within 2^-63 E of 2^t: F2XM1's largest error
// measured against MPFR over 10^8 inputs is 0.69 extended ulps of 2^f - 1
// (docs/accuracy.md); the bound taken is three times that, two ulps. For
// f >= 0 that is at most 2^-64 (2^f - 1 < 1/2), the sum with 1 rounds by at
// most 2^-64, and 2^f >= 1; for f < 0 they are 2^-65 each (2^f - 1 > -1/2,
// the sum below 1) and 2^f > 2^-1/2. Either way below 2^-63 of 2^f.
//
// Evaluation of 2^t, in double-double (expDoubleValue,
// exp_double_evaluation.inl):
// t = (16 k + i) / 16 + r with M = 16 k + i the integer nearest 16 h and
// r = (h - M / 16) + (t - h), the first part exact (Sterbenz' lemma), the
// sum normalised exactly, |r| <= 1/32 (1 + 2^-40); then
// 2^t = 2^k * 2^(i/16) * e^p, p = r ln 2 as double-double, and
// e^p = 1 + p + p^2/2 + p^3 S(p), the square exact, the series S to p^8 in
// double.
//
// Error bound, relative to 2^t:
// - the series' remainder is below 2^-68.2;
// - p^3 S(p) < 2^-19.2, computed in double from the head of p: below
//   2^-70, and the tail's share in it (below 2^-53 |p|^3 / 2) below 2^-70;
// - the products and sums of the double-double steps, the table and ln 2
//   each round below 2^-100.
// In all, |v - 2^t| < 2^-67.5 2^t.
//
// Certainty: E lies within (2^-63 + 2^-67) |v| of v (the window, with room
// for the roundings of its ends). The ends are formed as in the logarithm
// (head plus tail -+ half-width, one rounding of note), and v * 2^-k is
// stored only when both round to the same double, then scaled by 2^k
// exactly: in one step for x in [-707, 707] (a vector of such elements
// only, the usual case, takes nothing else), otherwise for k >= 0 in two
// steps, the last of which overflows to +Inf exactly where E * 2^k rounds
// to +Inf. Where the store may round to a subnormal (x < -707.7), the
// rounding to a multiple of 2^-1074 is decided on the same window (see the
// code). Every other element (about 0.2 %) goes
// to the reference. Beyond [-746, 710], below 2^-70 in magnitude, and for
// NaN the result is decided by its rule (exp_double_constants.h).
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored,
// also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

constexpr double expDoubleWindow = 0x1.1p-63 + 0x1p-67;

struct ExpDoubleLanes {
    Doubles re;
    unsigned uncertain;
};

// Any lanes: special values, subnormal and overflowing results.
FPMEX_SIMD_STEP ExpDoubleLanes expDoubleGeneralLanes(Doubles x)
{
    namespace c = expDoubleConstants;
    const Mask nan = isNan(x);
    const Mask over = splat(c::highest) < x;
    const Mask under = x < splat(c::lowest);
    const Mask one = magnitude(x) < splat(c::tiny);
    const Mask decided = nan | over | under | one;
    const Doubles y = select(decided, splat(1.0), x);
    const ExpDoubleValue value = expDoubleValue(y);
    // Normalised, so that the tail stays below half an ulp of the head, also
    // once both are scaled for a subnormal result.
    const DoubleDouble w = fastTwoSum(value.w.hi, value.w.lo);
    const Doubles m = value.m;

    const WindowEnds ends = windowEnds(w, w.hi * splat(expDoubleWindow));
    const Bits kBits = value.kBits;
    // From k = -1021 up the result is normal, and for k = -1022 when
    // v >= 1: v 2^k, or 2 v 2^(k - 1) for k >= 0, up to 1024.
    const Mask normal = (splat(-1021.0 * 16) <= m) | ((splat(-1022.0 * 16) <= m) & (splat(1.0) <= w.hi));
    const Doubles normalValue = select(m < splat(0.0), ends.low * doublesOf(splatBits(0x3FF0000000000000) + kBits),
                                       (ends.low * splat(2.0)) * doublesOf(splatBits(0x3FE0000000000000) + kBits));
    const Mask normalDecided = roundToOne(ends);

    // Below, the store rounds to a multiple of 2^-1074: v 2^(k + 1074) in
    // those units (exact scaling) is rounded to the nearest integer, decided
    // when the window around it stays within that integer +- 1/2; the
    // result, the integer times 2^-1074, is exact. The units are positive
    // and below 2^52, so adding 2^52 rounds them to an integer.
    // In the lanes of normal results the scales are 1, so that none of them
    // forms a subnormal, which costs a microcode assist.
    const Doubles unitScale = select(normal, splat(1.0), doublesOf(splatBits(std::uint64_t{2097} << 52) + kBits));
    const Doubles units1074 = w.hi * unitScale;
    // The head alone may be a half-integer (its ulp reaches 1/2), so the
    // integer nearest it is moved by one where the tail passes 1/2.
    const Doubles headNearest = (units1074 + splat(0x1p52)) - splat(0x1p52);
    const Doubles headFraction = (units1074 - headNearest) + w.lo * unitScale;
    const Mask up = splat(0.5) < headFraction;
    const Mask down = headFraction < splat(-0.5);
    const Doubles step = select(up, splat(1.0), select(down, splat(-1.0), splat(0.0)));
    const Doubles nearest = headNearest + step;
    const Doubles fraction = headFraction - step;
    const Mask subnormalDecided = magnitude(fraction) + units1074 * splat(expDoubleWindow) < splat(0.5 - 0x1p-40);
    const Doubles subnormalValue = nearest * select(normal, splat(1.0), splat(0x1p-1074));

    const Doubles special = select(nan, x + splat(0.0),
                                   select(over, splat(__builtin_inf()), select(under, splat(0.0), splat(1.0))));
    const unsigned sure =
        laneBits(((normal & normalDecided) | ((!normal) & subnormalDecided)) & (!value.unsure));
    return {select(decided, special, select(normal, normalValue, subnormalValue)), ~sure & ~laneBits(decided) & allLanes};
}

// Lanes of x in [-707, 707] but not below 2^-70 in magnitude: results
// normal and none special, so v 2^k needs one exact scaling.
FPMEX_SIMD_STEP ExpDoubleLanes expDoubleOrdinaryLanes(Doubles x)
{
    const ExpDoubleValue value = expDoubleValue(x);
    const WindowEnds ends = windowEnds(value.w, value.w.hi * splat(expDoubleWindow));
    const Doubles power = doublesOf(splatBits(0x3FF0000000000000) + value.kBits);
    const unsigned sure = laneBits(roundToOne(ends) & !value.unsure);
    return {ends.low * power, ~sure & allLanes};
}

FPMEX_SIMD_STEP ExpDoubleLanes expDoubleLanes(Doubles x)
{
    namespace c = expDoubleConstants;
    const Doubles a = magnitude(x);
    if (laneBits((splat(c::tiny) <= a) & (a <= splat(c::ordinary))) == allLanes)
        return expDoubleOrdinaryLanes(x);
    return expDoubleGeneralLanes(x);
}

} // namespace

FPMEX_SIMD_KERNEL void expKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,
                                 std::size_t count)
{
    if (inIm != nullptr) {
        expComplexKernel(outRe, outIm, inRe, inIm, count);
        return;
    }
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<double, void> fallback{expKernelX87<double>, outRe, nullptr, inRe};
    walkLanes(count, [&](std::size_t first, auto access) {
        const ExpDoubleLanes result = expDoubleLanes(access.load(inRe + first));
        access.store(outRe + first, result.re);
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
