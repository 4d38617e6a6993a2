// The vector variant of sqrtKernel's complex path, one source for the
// levels with a fused multiply-add (avx2, avx512; see common/simd/README.md).
//
// Inputs: count >= 1 pairs of doubles. Outputs: as the reference
// (sqrt_kernel_x87.cpp): both parts of every element, the flag.
//
// Elements with both parts finite and of magnitude from 2^-500 to 2^500 take
// the reference's general formula and are evaluated here; every other
// element (a zero, infinite or NaN part, or a magnitude whose squares or
// results would leave the normal doubles) goes to the x87 reference, as does
// every element this evaluation cannot decide.
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
// Evaluation, in double-double (common/simd/double_double.inl): the squares
// exact, their sum, each root as the double root corrected by one Newton
// step whose residual the fused multiply-add forms exactly, and the
// quotient with its remainder: within 2^-100 of the exact values.
//
// Certainty: r is stored when its value v and every value within
// 2.75 * 2^-64 |v| of it round to the same double, the quotient when that
// holds within 3.75 * 2^-64 (the windows' ends formed as head plus
// (tail -+ half-width), one rounding of note); the reference's values lie
// there, so they round there too. Otherwise the element goes to the
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

// sqrt(a) for a positive normalised double-double a.
FPMEX_SIMD_STEP DoubleDouble rootOf(DoubleDouble a)
{
    const Doubles head = sqrt(a.hi);
    // a.hi - head^2 is exact, and so is its fused multiply-add.
    const Doubles residual = negMulAdd(head, head, a.hi) + a.lo;
    return fastTwoSum(head, residual / (head + head));
}

// Whether every value within width |v| of v rounds to the same double.
FPMEX_SIMD_STEP Mask certain(DoubleDouble v, double width)
{
    const Doubles halfWidth = magnitude(v.hi) * splat(width);
    return bitsOf(v.hi + (v.lo - halfWidth)) == bitsOf(v.hi + (v.lo + halfWidth));
}

FPMEX_SIMD_STEP SqrtComplexLanes sqrtComplexLanes(Doubles xIn, Doubles yIn)
{
    const Doubles ax = magnitude(xIn);
    const Doubles ay = magnitude(yIn);
    const Mask regular = (splat(0x1p-500) <= ax) & (ax <= splat(0x1p500)) & (splat(0x1p-500) <= ay) &
                         (ay <= splat(0x1p500));
    const Doubles x = select(regular, xIn, splat(1.0));
    const Doubles y = select(regular, yIn, splat(1.0));

    const DoubleDouble xx = twoProduct(x, x);
    const DoubleDouble yy = twoProduct(y, y);
    DoubleDouble sum = twoSum(xx.hi, yy.hi);
    sum = fastTwoSum(sum.hi, sum.lo + (xx.lo + yy.lo));
    const DoubleDouble m = rootOf(sum);
    DoubleDouble a = twoSum(magnitude(x), m.hi);
    a = fastTwoSum(a.hi, a.lo + m.lo);
    const DoubleDouble r = rootOf(DoubleDouble{a.hi * splat(0.5), a.lo * splat(0.5)});

    // (y / 2) / r with its remainder.
    const Doubles half = y * splat(0.5);
    const Doubles q = half / r.hi;
    const Doubles remainder = negMulAdd(q, r.hi, half) - q * r.lo;
    const DoubleDouble quotient = fastTwoSum(q, remainder / r.hi);

    const unsigned decided = laneBits(certain(r, rootWindow) & certain(quotient, quotientWindow));
    const Doubles root = r.hi + r.lo;
    const Doubles other = quotient.hi + quotient.lo;
    // Both parts negative: the root and the quotient change sign.
    const Mask bothNegative = signBitSet(x) & signBitSet(y);
    const Doubles first = select(bothNegative, negate(root), root);
    const Doubles second = select(bothNegative, negate(other), other);
    const Mask xNegative = signBitSet(x);
    const unsigned regularLanes = laneBits(regular);
    return {select(xNegative, second, first), select(xNegative, first, second), regularLanes,
            ~(regularLanes & decided) & allLanes};
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
