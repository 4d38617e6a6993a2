// The vector variant of logKernel for double elements, one source for the
// levels with a fused multiply-add (avx2, avx512; see common/simd/README.md).
//
// Inputs: count >= 1 doubles, real path; a complex input goes to
// logComplexKernel (log_kernel_complex_double_vector.inl). Outputs: as the
// reference (log_kernel.h): real part, imaginary part P for x < 0 and +0
// otherwise, a NaN made quiet with its sign cleared in both parts, -Inf for
// +-0, +Inf for +-Inf; the flag. The
// imaginary buffer is left untouched while every imaginary part is +0, as
// the frame drops it then.
//
// What is reproduced: the reference stores R, the extended result of FYL2X
// (c times log2|x|, c exactly the multiplier FLD1 or FLDLG2 loads), rounded
// once to double. R is not always the correctly rounded log: it lies next
// to the exact L = c log2|x|, not on it, which decides about 1 rounding in
// 4000 differently. FYL2X's largest error measured against MPFR over 2 * 10^8
// inputs is 0.63 extended ulps (docs/accuracy.md); the bound taken is three
// times that, two ulps: |R - L| <= 2^-62 |L|. So the variant computes L to
// well within that distance and stores its rounding only where every value
// that near to L rounds to the same double: R is among them.
//
// Evaluation, in double-double: log2Quick (log_double_evaluation.inl),
// which computes v with |v - L| < 0.94 * 2^-62 |L| in about two thirds of
// the operations of the complex path's tighter log2Of. Powers of two give
// exactly k, and x = 1 exactly +0, as FYL2X does.
//
// Certainty: with R within 2^-62 |L| of L and v within 0.94 * 2^-62 |L|,
// R lies within 1.94 * 2^-62 |L| < 2^-61 |v| of v (the window, with room
// for the roundings of its ends). The ends are formed as head plus (tail
// -+ half-width), whose only rounding of note is the last, to double; when
// both ends round to the same double, every value between them does
// (rounding to nearest is monotonic), R among them. Every other element
// (about 0.5 %) goes to the x87 reference. Zeros, infinities and NaNs are
// decided by their rules and never handed over. A vector of positive
// normal doubles only, the usual case, skips the scaling of subnormals and
// the special rows.
//
// Floating-point state: MXCSR set to sseVectorMode (round to nearest, no
// flush-to-zero, no denormals-are-zero); the caller's state is restored on
// return, also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct LogDoubleLanes {
    Doubles re;
    Doubles im;
    Mask negative;
    Mask nonzeroImaginary; // negative, or NaN
    unsigned uncertain;
};

constexpr double doubleCertaintyWindow = 0x1p-61;

// The ends of the window around log2|x| times the base's multiplier.
template <LogBase base>
FPMEX_SIMD_STEP WindowEnds logDoubleEnds(Doubles a, Doubles offset)
{
    namespace c = logDoubleConstants;
    DoubleDouble v = log2Quick(a, offset);
    if constexpr (base == LogBase::ten)
        v = times(v, DoubleDouble{splat(c::tenHigh), splat(c::tenLow)});
    return windowEnds(v, magnitude(v.hi) * splat(doubleCertaintyWindow));
}

// Any lanes: zeros, subnormals, negative and special values.
template <LogBase base>
FPMEX_SIMD_STEP LogDoubleLanes logDoubleGeneralLanes(Doubles x)
{
    const Doubles a = magnitude(x);
    const Mask subnormal = a < splat(0x1p-1022);
    const Doubles scaled = select(subnormal, a * splat(0x1p54), a);
    const WindowEnds ends = logDoubleEnds<base>(scaled, select(subnormal, splat(54.0), splat(0.0)));

    const Mask regular = (splat(0.0) < a) & (a < splat(__builtin_inf()));
    const Mask zero = a == splat(0.0);
    const Mask nan = isNan(a);
    const Mask negative = x < splat(0.0);
    const Doubles P = splat(std::bit_cast<double>(TypedLogConstants<double>::P[static_cast<std::size_t>(base)]));
    // a + 0 makes a NaN quiet and keeps its payload.
    const Doubles quiet = a + splat(0.0);

    LogDoubleLanes lanesOut;
    lanesOut.re = select(regular, ends.low, select(zero, splat(-__builtin_inf()), quiet));
    lanesOut.im = select(negative, P, select(nan, quiet, splat(0.0)));
    lanesOut.negative = negative;
    lanesOut.nonzeroImaginary = negative | nan;
    lanesOut.uncertain = laneBits(regular) & ~laneBits(roundToOne(ends));
    return lanesOut;
}

template <LogBase base>
FPMEX_SIMD_STEP LogDoubleLanes logDoubleLanes(Doubles x)
{
    // Most vectors hold positive normal doubles only: no scaling, no
    // special rows, imaginary parts +0.
    if (laneBits((splat(0x1p-1022) <= x) & (x < splat(__builtin_inf()))) != allLanes)
        return logDoubleGeneralLanes<base>(x);
    const WindowEnds ends = logDoubleEnds<base>(x, splat(0.0));
    // No lane is negative or NaN here.
    const Mask negative = x < splat(0.0);
    return {ends.low, splat(0.0), negative, negative, ~laneBits(roundToOne(ends)) & allLanes};
}

} // namespace

template <LogBase base>
FPMEX_SIMD_KERNEL int logKernel(double* outRe, double* outIm, const double* inRe, const double* inIm,
                                std::size_t count)
{
    if (inIm != nullptr)
        return logComplexKernel<base>(outRe, outIm, inRe, inIm, count);
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<double, int> fallback{logKernelX87<double, base>, outRe, outIm, inRe};
    unsigned negative = 0;
    // As for singles: the imaginary parts are written from the first element
    // whose part is not +0, the earlier ones then set to +0.
    bool imaginary = false;
    walkLanes(count, [&](std::size_t first, auto access) {
        const LogDoubleLanes result = logDoubleLanes<base>(access.load(inRe + first));
        access.store(outRe + first, result.re);
        if (!imaginary && (laneBits(result.nonzeroImaginary) & access.valid) != 0) {
            std::memset(outIm, 0, first * sizeof(double));
            imaginary = true;
        }
        if (imaginary)
            access.store(outIm + first, result.im);
        negative |= laneBits(result.negative) & access.valid;
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
    return (negative != 0) | fallback.flag;
}

template int logKernel<LogBase::two>(double*, double*, const double*, const double*, std::size_t);
template int logKernel<LogBase::ten>(double*, double*, const double*, const double*, std::size_t);

} // namespace fpmex::FPMEX_SIMD_LEVEL
