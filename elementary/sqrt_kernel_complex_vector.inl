// The vector variant of sqrtKernel's complex path, one source for the
// levels with a fused multiply-add (avx2, avx512; see common/simd/README.md).
//
// Inputs: count >= 1 pairs of doubles. Outputs: as the reference
// (sqrt_kernel_x87.cpp): both parts of every element, the flag.
//
// Elements with both parts finite and of magnitude from 2^-480 to 2^500 take
// the reference's general formula and are evaluated here; every other
// element (a zero, infinite or NaN part, or a magnitude whose squares'
// error terms or results would leave the normal doubles) goes to the x87
// reference, as does every element this evaluation cannot decide.
//
// What is reproduced: the reference forms m = sqrt(x^2 + y^2) and
// r = sqrt((|x| + m) / 2) in extended precision, each square, sum, root and
// the quotient (y / 2) / r rounded once to a 64-bit significand (IEEE's
// correctly rounded operations, at most 2^-64 relative each), and rounds r
// and the quotient once to double; the sign and the part each goes to
// follow from the signs of x and y. The extended roundings compound to at
// most 2.5 * 2^-64 relative in r (the sum of squares 2 * 2^-64, halved by
// the root, plus its rounding; the sum with |x|, which cancels nothing;
// halved again, plus the second root) and 3.5 * 2^-64 in the quotient.
//
// Evaluation, in double-double (common/simd/double_double.inl), of the
// halved parts (exact), so that (|x| + m) / 2 = |x/2| + |z/2| and y / 2 is
// an input: the squares exact, their sum with its rounding error, each root
// as the double root corrected by its residual times an inverse of the root
// (rootOf), the quotient through that inverse with its remainder. r and
// the quotient are within 2^-66.8 relative of the exact values (derived at
// rootOf and below); the two divisions of each element are multiplications
// by inverses that, where the level has an estimate of 1/a, come from it
// and Newton steps off the divider.
//
// Certainty: r is stored when its value v and every value within
// 2.75 * 2^-64 |v| of it round to the same double, the quotient when that
// holds within 3.75 * 2^-64: the reference's values lie within their bound
// plus 2^-66.8 of v, so they round there too. The windows' ends are formed as
// head plus (tail -+ half-width), one rounding of note, and the stored
// double is one end's rounding. Otherwise the element goes to the
// reference, both parts.
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored,
// also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct SqrtComplexLanes {
    Doubles re;
    Doubles im;
    unsigned regular;
    unsigned uncertain;
};

constexpr double rootWindow = 0x1.6p-63;
constexpr double quotientWindow = 0x1.ep-63;

// 1/a within 2^-bits relative (bits at most 52), a normal. Each Newton step
// y += y (1 - a y) squares the estimate's relative error and adds one
// rounding of y (2^-53; 1 - a y is formed within 2^-53 of itself): from
// 2^-14, 2^-27 after one step and 2^-52.8 after two; `known` counts the
// bits so gained, a little under.
template <int bits>
FPMEX_SIMD_STEP Doubles reciprocal(Doubles a)
{
    Doubles y = reciprocalEstimate(a);
    for (int known = reciprocalEstimateBits; known < bits; known = 2 * known - 1) {
        const Doubles e = negMulAdd(a, y, splat(1.0));
        y = mulAdd(y, e, y);
    }
    return y;
}

// The root of a positive double-double a whose tail is at most t a.hi,
// t <= 2^-51, as the unnormalised pair (g, c): g the correctly rounded root
// of a.hi, so a.hi - g^2 (at most 2^-52 a.hi) is a double and its fused
// multiply-add exact; c that residual plus a.lo, times h = 1 / (2 g) within
// 2^-bits. |c| is at most (2^-53 + t / 2) g, so g + c is within
// (|c| / g) (2^-bits + 2^-52) + 2^-103 of sqrt(a), relative: h's error and
// two roundings on c, then the neglected square term of the root's
// series.
struct Root {
    Doubles g;
    Doubles c;
    Doubles inverse; // 1/g, within 2^-bits
};

template <int bits>
FPMEX_SIMD_STEP Root rootOf(DoubleDouble a)
{
    const Doubles g = sqrt(a.hi);
    const Doubles inverse = reciprocal<bits>(g);
    const Doubles residual = negMulAdd(g, g, a.hi) + a.lo;
    return {g, residual * (inverse * splat(0.5)), inverse};
}

FPMEX_SIMD_STEP SqrtComplexLanes sqrtComplexLanes(Doubles x, Doubles y)
{
    // Irregular lanes compute on whatever they hold, with every exception
    // masked, and are replaced by the reference's results.
    const Doubles halfX = magnitude(x) * splat(0.5);
    const Doubles halfY = y * splat(0.5);

    // The squares' error terms are exact (multiples of 2^-1066, however
    // small), and the sum's tail is at most 2^-52 of its head: the sum of
    // squares within 2^-105.
    const DoubleDouble xx = twoProduct(halfX, halfX);
    const DoubleDouble yy = twoProduct(halfY, halfY);
    // max and min give their second operand when either is NaN: a NaN
    // square reaches larger or smaller, in this order of the operands.
    const Doubles larger = max(xx.hi, yy.hi);
    const Doubles smaller = min(yy.hi, xx.hi);
    const DoubleDouble sum = fastTwoSum(larger, smaller);
    // Both parts in [2^-480, 2^500] exactly when both rounded squares of the
    // halves are in [2^-962, 2^998]: rounding is monotonic, the ends are
    // squares of doubles, and the square of the double next to an end rounds
    // beyond it. A NaN square fails its test.
    const Mask regular = (splat(0x1p-962) <= smaller) & (larger <= splat(0x1p998));
    // m within 2^-65.9: the tail is at most 2^-52 of the head, so |c| at
    // most 2^-52 g, and 1 / (2 g) is the bare estimate, within 2^-14.
    const Root m = rootOf<14>(DoubleDouble{sum.hi, sum.lo + (xx.lo + yy.lo)});
    // m.g >= |x/2|, as the rounded root of the rounded square of |x/2| is
    // |x/2| itself and rounding is monotonic: a fast two-sum is exact, and
    // the tail, with m.c, at most 1.5 * 2^-52 of the head.
    const Doubles a = m.g + halfX;
    const Doubles aTail = (halfX - (a - m.g)) + m.c;
    // r within 2^-66.8: m's error halved (the sum with |x/2| cancels
    // nothing), then its own 2^-102.
    const Root r = rootOf<51>(DoubleDouble{a, aTail});

    // (y / 2) / r: a first quotient q by the inverse (1/r.g within 2^-52.8,
    // two Newton steps), within 2^-50.5; its remainder, within 2^-102.5 of
    // y / 2; that remainder by the inverse: within 2^-100 of
    // (y / 2) / (r.g + r.c), so within 2^-66.8 of the exact quotient.
    const Doubles q = halfY * r.inverse;
    const Doubles remainder = negMulAdd(q, r.g, halfY) - q * r.c;
    // The windows, each half-width taken of the head (its sign for the
    // quotient's merely swaps the ends).
    const WindowEnds root = windowEnds({r.g, r.c}, r.g * splat(rootWindow));
    const DoubleDouble quotient = {q, remainder * r.inverse};
    const WindowEnds other = windowEnds(quotient, q * splat(quotientWindow));

    // x >= 0: r and the quotient, which has y's sign. x < 0: the quotient's
    // magnitude, and r with y's sign.
    const Mask xNegative = signBitSet(x);
    const Doubles signedRoot = doublesOf(bitsOf(root.high) | (bitsOf(y) & splatBits(0x8000000000000000)));
    const unsigned regularLanes = laneBits(regular);
    const unsigned decided = laneBits(roundToOne(root) & roundToOne(other));
    return {select(xNegative, magnitude(other.high), root.high), select(xNegative, signedRoot, other.high),
            regularLanes, ~(regularLanes & decided) & allLanes};
}

} // namespace

FPMEX_SIMD_KERNEL int sqrtComplexKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,
                                        std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<double, int> fallback{sqrtKernelX87, outRe, outIm, inRe, inIm};
    unsigned computed = 0;
    walkLanes(count, [&](std::size_t first, auto access) {
        const SqrtComplexLanes result = sqrtComplexLanes(access.load(inRe + first), access.load(inIm + first));
        access.store(outRe + first, result.re);
        access.store(outIm + first, result.im);
        computed |= result.regular & ~result.uncertain & access.valid;
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
    return (computed != 0) | fallback.flag;
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
