// The vector variant of logKernel for complex double elements, one source
// for the levels with a fused multiply-add (avx2, avx512; see
// common/simd/README.md), compiled in files of its own at one register a
// step (log_kernel_complex_double_avx2.cpp, _avx512.cpp). The real double
// variant (log_kernel_double_vector.inl) hands a complex input here.
//
// Inputs: count >= 1 pairs of doubles. Outputs: as the reference
// (log_kernel.h): real and imaginary part of every element, the flag.
//
// Elements with both parts finite and nonzero take the reference's general
// formula and are evaluated here; every other element (a zero, infinite or
// NaN part: the rows of the case table before it) goes to the x87
// reference, as does every element this evaluation cannot decide.
//
// What is reproduced. The reference squares the parts, X = x^2 and
// Y = y^2 each rounded to a 64-bit significand, tests Y S < X and then
// X S < Y (S = 512), and forms on the x87 unit the real part as
// - L + H1 when Y S < X: L = FYL2X(c, |x|), H1 = FYL2XP1(h, r), r = Y / X,
//   the quotient and the sum each rounded to 64 bits;
// - the same with the parts exchanged when X S < Y;
// - FYL2X(h, T) otherwise, T = X + Y rounded to 64 bits;
// and the imaginary part as FPATAN(y, x) times a, rounded to 64 bits. Each
// part is then rounded once to double. Only the larger magnitude l and the
// smaller s matter to the real part (the squares round monotonically, so
// at most one test can hold, and it is s^2 S against l^2), and only s / l
// and the signs to the angle.
//
// Scaling: l and s are multiplied by the power of two that brings l into
// [2, 4) (a subnormal l first by 2^64), l' and s'; the logarithms get the
// shift back as an integer. The extended format neither overflows nor
// underflows on these squares, sums and quotients, so rounding them to 64
// bits commutes with the scaling.
//
// X, Y and T exactly: the square of l' (of s' when s' >= 2^-479) as head and
// tail by an FMA, the tail rounded to the 64-bit grid of its binade
// (roundedToExtended); s'^2 S against l'^2 by the sign of the heads'
// difference plus the tails' (exact when the heads are within a factor of
// two, and decided by the heads otherwise); T from the heads' two-sum, the
// tails added to its error term (exact: with Y >= X / 512 all three are
// multiples of 2^(e - 73) below 2^(e - 50), 2^e the binade of X),
// renormalised and rounded to 64 bits. For s' below 2^-479 only its head
// is kept: r is then below 2^-956.
//
// Evaluation, in double-double:
// - the real part as h log2 of T, or, with a ratio test, of the exact
//   l'^2 + s'^2 (to 2^-103), whose logarithm is log2 l^2 + log2(1 + r) for
//   the exact r; the shift taken off as an integer (log2Of,
//   log_double_evaluation.inl: below 2^-66 relative, whatever the integer
//   part), then times c;
// - the angle: q = s / l as a double-double quotient, j = round(32 q) at
//   most 31, u = (q - j / 32) / (1 + q j / 32) (|u| <= 2^-5.96) as a
//   double-double quotient, atan(q) = atan(j / 32) + u - u^3 / 3 + u^5 P(u^2),
//   the cubic term in double-double, P the Taylor polynomial from 1/5 to
//   -u^6 / 11 (remainder below 2^-75 |u|) in double, then moved to its
//   octant (pi/2 - ., pi - ., the sign of y), which cancels nothing. The
//   terms from u^5 on are below 2^-26.1 |u| and err by below 2^-77 |u|;
//   with the other roundings, below 2^-74 relative in all (|u| is at most
//   |atan q|);
// - times the multipliers c and a as their exact double-double values
//   (log_complex_double_constants.h: split).
//
// Certainty. The x87 results are taken within two extended ulps of their
// instruction's exact value (largest errors measured against MPFR, at most
// 0.69 ulp: docs/accuracy.md), 2^-62 relative, and each further rounding
// to 64 bits within 2^-64. Without a ratio test the reference's real part
// is one FYL2X of the exact T: within 2^-62 |v| of the exact value, which
// lies within 2^-66 |v| of the evaluation v. With one it is
// L + H1 rounded, L within 2^-62 |L| <= 2^-62 (|v| + |H1|), H1 within
// (2^-62 + 3 * 2^-64) |H1| (the roundings of X, Y and r taken as relative
// errors of r), the sum within 2^-64 |v|; with |H1| <= h r / ln 2 and the
// sum l'^2 + s'^2 within 2^-103 of itself: within
// 1.3125 * 2^-62 |v| + 2^-61 c r + 2^-100 of v. The imaginary part lies
// within (2^-62 + 2^-64 + 2^-74) |v|. Where both ends of each window,
// formed as head plus (tail -+ half-width), round to the same double,
// every value between them does, the reference's among them; otherwise the
// element goes to the reference, both parts (about 0.6 % of moderate
// elements).
//
// Angles of tiny ratio: when s' < 2^-300, x > 0 and |x| is the larger
// part, the angle is atan(q) = q (1 - q^2 / 3 ...) = q within 2^-600, and
// q is formed from s' 2^600 so that its tail keeps its bits. The window's
// ends are scaled back by 2^-600, exact for normal doubles; below 2^-1023
// they are rounded to the subnormal grid, 2^-1074, in one step; results
// between go to the reference. In the other octants such an angle is
// pi/2 - q or pi - q, where q's rounding is far below the window.
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored,
// also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct LogComplexDoubleLanes {
    Doubles re;
    Doubles im;
    unsigned regular;
    unsigned uncertain;
};

// (a.hi + a.lo) / (b.hi + b.lo), the head's remainder exact by an FMA.
FPMEX_SIMD_STEP DoubleDouble quotient(DoubleDouble a, DoubleDouble b)
{
    const Doubles hi = a.hi / b.hi;
    const Doubles remainder = negMulAdd(hi, b.hi, a.hi);
    return {hi, (remainder + (a.lo - hi * b.lo)) / b.hi};
}

// A constant's head and tail minus v.
FPMEX_SIMD_STEP DoubleDouble constantMinus(double high, double low, DoubleDouble v)
{
    const DoubleDouble d = twoSum(splat(high), negate(v.hi));
    return {d.hi, d.lo + (splat(low) - v.lo)};
}

FPMEX_SIMD_STEP Doubles lookup32(const double* table, Bits j)
{
    return select((j & splatBits(16)) == splatBits(16), lookup16(table + 16, j), lookup16(table, j));
}

// atan(q) for 0 <= q <= 1, q = q.hi + q.lo.
FPMEX_SIMD_STEP DoubleDouble atanOf(DoubleDouble q)
{
    namespace k = logComplexDoubleConstants;
    const Doubles magic = splat(integerShifter);
    const Doubles nearest = min(mulAdd(q.hi, splat(32.0), magic) - magic, splat(31.0));
    const Bits j = bitsOf(nearest + magic);
    const Doubles centre = nearest * splat(1.0 / 32);
    // q.hi - centre is exact (Sterbenz: q lies within [centre / 2, 2 centre]
    // unless centre is 0), and larger than q.lo unless zero.
    const DoubleDouble numerator = fastTwoSum(q.hi - centre, q.lo);
    const DoubleDouble product = twoProduct(q.hi, centre);
    DoubleDouble denominator = fastTwoSum(splat(1.0), product.hi);
    denominator.lo = denominator.lo + mulAdd(q.lo, centre, product.lo);
    const DoubleDouble u = quotient(numerator, denominator);

    // -u^3 / 3 in double-double (u's tail entering as -u_h^2 u_l), the
    // terms from u^5 on, below 2^-26.1 |u|, in double.
    const DoubleDouble square = twoProduct(u.hi, u.hi);
    const DoubleDouble cube = times(square, u.hi);
    DoubleDouble third = times(cube, DoubleDouble{splat(k::minusThirdHigh), splat(k::minusThirdLow)});
    third.lo = negMulAdd(square.hi, u.lo, third.lo);
    const Doubles rest = (cube.hi * square.hi) * horner(k::series, square.hi);

    // atan(j / 32) is larger than |u| unless j is 0, and |u| larger than
    // u^3 / 3.
    const DoubleDouble lead = fastTwoSum(lookup32(k::atanHigh, j), u.hi);
    const DoubleDouble angle = fastTwoSum(lead.hi, third.hi);
    return fastTwoSum(angle.hi, angle.lo + (lead.lo + ((lookup32(k::atanLow, j) + u.lo) + (third.lo + rest))));
}

template <LogBase base>
FPMEX_SIMD_STEP LogComplexDoubleLanes logComplexDoubleLanes(Doubles x, Doubles y)
{
    namespace c = logDoubleConstants;
    namespace k = logComplexDoubleConstants;
    const Doubles ax = magnitude(x);
    const Doubles ay = magnitude(y);
    const Mask regular = (splat(0.0) < ax) & (ax < splat(__builtin_inf())) & (splat(0.0) < ay) &
                         (ay < splat(__builtin_inf()));
    // Placeholders keep the other lanes' arithmetic ordinary.
    const Doubles large0 = select(regular, max(ax, ay), splat(1.0));
    const Doubles small0 = select(regular, min(ax, ay), splat(1.0));
    const Mask subnormal = large0 < splat(0x1p-1022);
    const Doubles large1 = select(subnormal, large0 * splat(0x1p64), large0);
    const Doubles small1 = select(subnormal, small0 * splat(0x1p64), small0);
    const Bits field = shiftRight<52>(bitsOf(large1));
    const Doubles scale = doublesOf(shiftLeft<52>(splatBits(2047) - field));
    const Doubles large = large1 * scale;
    const Doubles small = small1 * scale;
    // large = |l| 2^shift.
    const Doubles shift = splat(0x1p52 + 1024) - doublesOf(field | splatBits(0x4330000000000000)) +
                          select(subnormal, splat(64.0), splat(0.0));

    // The squares exactly, and as the extended multiplications round them.
    const DoubleDouble largeSquare = twoProduct(large, large);
    const DoubleDouble X = roundedToExtended(largeSquare);
    const Mask exactSmall = splat(0x1p-479) <= small;
    const Doubles smallHead = small * small;
    const DoubleDouble smallSquare = {smallHead, select(exactSmall, mulSub(small, small, smallHead), splat(0.0))};
    const DoubleDouble smallRounded = roundedToExtended(
        {select(exactSmall, smallSquare.hi, splat(1.0)), smallSquare.lo});
    const DoubleDouble Y = {smallSquare.hi, select(exactSmall, smallRounded.lo, splat(0.0))};
    const Mask byRatio = splat(0.0) < (X.hi - Y.hi * splat(512.0)) + (X.lo - Y.lo * splat(512.0));

    // l^2 + s^2: without a ratio test, T = X + Y rounded to 64 bits; with
    // one, the exact squares' sum, whose logarithm is log2 l^2 + log2(1 + r)
    // for the unrounded r.
    const DoubleDouble P = select(byRatio, largeSquare, X);
    const DoubleDouble Q = select(byRatio, smallSquare, Y);
    const DoubleDouble sum = twoSum(P.hi, Q.hi);
    const DoubleDouble exact = fastTwoSum(sum.hi, (sum.lo + P.lo) + Q.lo);
    const DoubleDouble T = select(byRatio, exact, roundedToExtended(exact));
    const DoubleDouble logarithm = log2Of(T.hi, T.lo, shift + shift);
    DoubleDouble re = {logarithm.hi * splat(0.5), logarithm.lo * splat(0.5)};
    if constexpr (base == LogBase::ten)
        re = times(re, DoubleDouble{splat(c::tenHigh), splat(c::tenLow)});
    constexpr double multiplier = base == LogBase::ten ? c::tenHigh : 1.0;

    // The angle: q = s / l, with s scaled up where it is tiny and alone
    // makes the angle.
    const Mask tinyAngle = (small < splat(0x1p-300)) & (ay < ax) & (splat(0.0) < x);
    // s' itself may have lost bits to the scaling: s 2^(600 - shift) is
    // formed from s with a power of two that stays normal.
    const Mask highField = splat(0x1p-422) <= large1; // exponent field above 600
    const Doubles scaledUp = select(highField, small1 * doublesOf(shiftLeft<52>(splatBits(2647) - field)),
                                    small * splat(0x1p600));
    const Doubles numerator = select(tinyAngle, scaledUp, small);
    const Doubles qh = numerator / large;
    const DoubleDouble q = {qh, negMulAdd(qh, large, numerator) / large};
    const DoubleDouble zero = {splat(0.0), splat(0.0)};
    const DoubleDouble first = select(tinyAngle, q, atanOf(select(tinyAngle, zero, q)));
    const DoubleDouble second = select(ax < ay, constantMinus(k::halfPiHigh, k::halfPiLow, first), first);
    const DoubleDouble upper = select(x < splat(0.0), constantMinus(k::piHigh, k::piLow, second), second);
    const Mask below = y < splat(0.0);
    const DoubleDouble angle = select(below, negate(upper), upper);
    constexpr k::SplitExtended a = k::split(baseMultipliers[static_cast<std::size_t>(base)].a);
    const DoubleDouble im = times(angle, DoubleDouble{splat(a.high), splat(a.low)});

    // The windows; the real part's with |H1| <= h r / ln 2 < c q^2 (q^2
    // within 2^-50 of the reference's r).
    const Doubles ratioSquare = select(byRatio & !tinyAngle, qh * qh, splat(0.0));
    const Doubles reWidth = mulAdd(select(byRatio, splat(0x1.5p-62), splat(0x1.1p-62)), magnitude(re.hi),
                                   mulAdd(splat(0x1p-61 * multiplier), ratioSquare,
                                          select(byRatio, splat(0x1p-100), splat(0.0))));
    const WindowEnds reEnds = windowEnds(re, reWidth);
    const Doubles imWidth = magnitude(im.hi) * splat(0x1.42p-62);
    const Doubles back = select(tinyAngle, splat(0x1p-600), splat(1.0));
    const WindowEnds imEnds = windowEnds(im, imWidth);
    const Doubles normalLow = imEnds.low * back;
    const Doubles normalHigh = imEnds.high * back;
    // A subnormal angle, below 2^-1023, in units of 2^-1074 (the scaled
    // angle times 2^474, below 2^51): the ends rounded once to whole units
    // beside 1.5 * 2^52, with room for the rounding of the head's remainder
    // plus the tail.
    const Mask subnormalAngle = tinyAngle & (magnitude(im.hi) < splat(0x1p-423));
    const Doubles magic = splat(integerShifter);
    const Doubles units = im.hi * splat(0x1p474);
    const Doubles grid = units + magic;
    const Doubles rest = (units - (grid - magic)) + im.lo * splat(0x1p474);
    const Doubles unitsWidth = mulAdd(imWidth, splat(0x1p474), splat(0x1p-53));
    const Doubles unitsLow = (grid + (rest - unitsWidth)) - magic;
    const Doubles unitsHigh = (grid + (rest + unitsWidth)) - magic;
    // A zero keeps the sign of y, as the rounding of the tiny angle does.
    const Doubles subnormalLow = select(unitsLow == splat(0.0), select(below, splat(-0.0), splat(0.0)),
                                        unitsLow * splat(0x1p-1074));
    const Doubles imLow = select(subnormalAngle, subnormalLow, normalLow);
    const Mask imDecided = (subnormalAngle & (unitsLow == unitsHigh)) |
                           (!subnormalAngle & (bitsOf(normalLow) == bitsOf(normalHigh)) &
                            (splat(0x1p-1021) <= magnitude(normalLow)));

    const unsigned decided = laneBits(roundToOne(reEnds)) & laneBits(imDecided);
    const unsigned regularLanes = laneBits(regular);
    return {reEnds.low, imLow, regularLanes, ~(regularLanes & decided) & allLanes};
}

} // namespace

template <LogBase base>
FPMEX_SIMD_KERNEL int logComplexKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,
                                       std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<double, int> fallback{logKernelX87<double, base>, outRe, outIm, inRe, inIm};
    unsigned computed = 0;
    walkLanes(count, [&](std::size_t first, auto access) {
        const LogComplexDoubleLanes result =
            logComplexDoubleLanes<base>(access.load(inRe + first), access.load(inIm + first));
        access.store(outRe + first, result.re);
        access.store(outIm + first, result.im);
        computed |= result.regular & ~result.uncertain & access.valid;
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
    return (computed != 0) | fallback.flag;
}

template int logComplexKernel<LogBase::two>(double*, double*, const double*, const double*, std::size_t);
template int logComplexKernel<LogBase::ten>(double*, double*, const double*, const double*, std::size_t);

} // namespace fpmex::FPMEX_SIMD_LEVEL
