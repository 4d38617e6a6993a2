// The vector variant of logKernel for single elements, one source for every
// level (see common/simd/README.md).
//
// Inputs: count >= 1 singles, real path; a complex input goes to the x87
// reference whole at SSE2, and to log_kernel_complex_vector.inl above.
// Outputs: as the reference (log_kernel.h): real part, imaginary part P for
// x < 0 and +0 otherwise, a NaN made quiet with its sign cleared in both
// parts, -Inf for +-0, +Inf for +-Inf; the flag. The imaginary buffer is
// left untouched while every imaginary part is +0, as the frame drops it
// then.
//
// Evaluation: each |x| is widened to double (exact; subnormal singles become
// normal doubles), split as 2^k * z and z reduced by the table of
// log_double_constants.h: r = z * inverse[j] - 1, |r| <= 2^-5, and
// log2|x| = k + table[j] + log2(1 + r), the last as r times a polynomial
// p(r): of degree 5 fitted to log2(1 + r) / r (logConstants::log2Polynomial)
// here, the Taylor polynomial of degree 7 (the series cut after r^8) on the
// complex path, which needs the tighter bound. No division: the quotient of
// an atanh series costs more than the table lookups. The natural and
// base-10 results are that times ln 2 or log10(2).
//
// Error bound, relative to the exact result L (units of 2^-53 where not
// said):
// - p's own error: below 2^-37.80 of log2(1 + r) for the fit; for the
//   series its remainder, below |r|^8 / 9 times 1.05: 2^-43.1;
// - r rounds once where an FMA forms it (1.05 of log2(1 + r)); without one
//   (sse2) z * inverse[j] rounds by 2^-53 absolute, which moves the log by
//   1.5 * 2^-53 absolute, except in interval 5 (inverse 1, r = z - 1 exact);
// - the coefficients and the Horner steps: 2.1 of log2(1 + r); the table's
//   head: 1 of table[j]; k + table[j], the last FMA and the base multiplier
//   with its own rounding: 4 of L;
// - scaled to L: for k = 0 outside interval 5, |L| >= 0.0227 (the intervals
//   beside it), |table[j]| <= 2.02 |L| and |log2(1 + r)| <= 1.2 |L|; for
//   k != 0, |L| >= 0.272 and every term is smaller than that relative to L.
// In all, |v - L| < 2^-37.5 |L| at every level with the fit, and 2^-42.5
// with the series (the worst case in both, k = 0 beside interval 5 at sse2:
// 2^-37.54 and 2^-42.75). x = 1 gives r = 0 and exactly +0, x = 2^k exactly
// k before the base multiplier.
//
// Certainty: |L| is above 2^-26 in every base (or 0 exactly, when v is +0
// too), so every result is a normal single, and nearSingleBoundary
// (common/simd/single_rounding.inl) with a reach of 2^16 ulps (2^-37.1 |L|)
// decides whether L rounds to the single nearest v, as v does. The x87
// reference gives the correctly rounded single for every single input
// (measured over all 2^32 of them, docs/accuracy.md), so the two agree.
// Every other element goes to the x87 reference (about one positive input
// in 2000 lies that near a boundary). Zeros, infinities and NaNs are decided
// by their rules and never handed over.
//
// Floating-point state: MXCSR set to sseVectorMode (round to nearest, no
// flush-to-zero, no denormals-are-zero); the caller's state is restored on
// return, also around the reference's own runs.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct LogLanes {
    Floats re;
    Floats im;
    Mask negative;
    Mask nonzeroImaginary; // negative, or NaN
    unsigned uncertain;
};

// The real path's reach in ulps of v (2^-37.1 relative: its bound is
// 2^-37.5), and the complex path's window, relative (its bound 2^-42.4).
constexpr int reachBits = 16;
constexpr double certaintyWindow = 0x1p-42;

// The Taylor coefficients of log2(1 + r) / r, from r^0 to r^7: the complex
// path's polynomial.
constexpr double log2Series[8] = {
    logDoubleConstants::leadHigh[0], logDoubleConstants::leadHigh[1], logDoubleConstants::leadHigh[2],
    logDoubleConstants::series[0],   logDoubleConstants::series[1],   logDoubleConstants::series[2],
    logDoubleConstants::series[3],   logDoubleConstants::series[4],
};

// log2(a), or log2(a + tail) with |tail| below 2^-52 a (the complex path),
// for a positive normal double a from 2^-300 to 2^300, with log2(1 + r) / r
// by the given coefficients (from r^0).
template <bool withTail, std::size_t terms>
inline Doubles log2Of(Doubles a, Doubles tail, const double (&coefficients)[terms])
{
    namespace c = logDoubleConstants;
    const LogReduction reduced = reduceLog(a);
    const Doubles inverse = lookup16(c::inverse, reduced.j);
    Doubles r = mulAdd(reduced.z, inverse, splat(-1.0));
    if constexpr (withTail) {
        // The tail scaled by 2^-k as z is, then by the reciprocal: r gains
        // one rounding.
        r = r + tail * reduced.scale * inverse;
    }
    return mulAdd(r, horner(coefficients, r), reduced.k + lookup16(c::tableHigh, reduced.j));
}

// log2 times the base's multiplier.
template <LogBase base>
inline Doubles inBase(Doubles v)
{
    if constexpr (base == LogBase::natural)
        return v * splat(logConstants::toNatural);
    else if constexpr (base == LogBase::ten)
        return v * splat(logConstants::toTen);
    else
        return v;
}

// Every lane of x (widened) and its v, special values included.
template <LogBase base>
inline LogLanes logLanes(Doubles x, Doubles v)
{
    const Doubles a = magnitude(x);
    const Mask regular = (splat(0.0) < a) & (a < splat(__builtin_inf()));
    const Mask zero = a == splat(0.0);
    const Mask negative = x < splat(0.0);
    const Doubles P = splat(static_cast<double>(
        std::bit_cast<float>(TypedLogConstants<float>::P[static_cast<std::size_t>(base)])));

    LogLanes lanesOut;
    // Not regular: -Inf for a zero, else the magnitude itself (+Inf, or the
    // NaN, quiet since the widening and with its sign cleared).
    lanesOut.re = narrow(select(regular, v, select(zero, splat(-__builtin_inf()), a)));
    lanesOut.im = narrow(select(negative, P, select(isNan(a), a, splat(0.0))));
    lanesOut.negative = negative;
    lanesOut.nonzeroImaginary = negative | isNan(a);
    lanesOut.uncertain = laneBits(regular) & nearSingleBoundary<reachBits>(v);
    return lanesOut;
}

} // namespace

template <LogBase base>
FPMEX_SIMD_KERNEL int logKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    if (inIm != nullptr) {
#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) == FPMEX_SIMD_sse2
        return logKernelX87<float, base>(outRe, outIm, inRe, inIm, count);
#else
        return logComplexKernel<base>(outRe, outIm, inRe, inIm, count);
#endif
    }
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<float, int> fallback{logKernelX87<float, base>, outRe, outIm, inRe};
    unsigned negative = 0;
    // The imaginary parts are written from the first element whose part is
    // not +0 (a negative or a NaN), the earlier ones then set to +0: while
    // the flag stays 0 the frame drops the buffer, which is then never
    // touched.
    bool imaginary = false;
    walkLanes(count, [&](std::size_t first, auto access) {
        const Doubles x = widen(access.load(inRe + first));
        const Doubles v = inBase<base>(log2Of<false>(magnitude(x), x, logConstants::log2Polynomial));
        // Positive finite inputs need none of the special values' work.
        if (laneBits((splat(0.0) < x) & (x < splat(__builtin_inf()))) == allLanes) {
            access.store(outRe + first, narrow(v));
            if (imaginary)
                access.store(outIm + first, narrow(splat(0.0)));
            fallback.addLanes(first, nearSingleBoundary<reachBits>(v) & access.valid);
            return;
        }
        const LogLanes result = logLanes<base>(x, v);
        access.store(outRe + first, result.re);
        if (!imaginary && (laneBits(result.nonzeroImaginary) & access.valid) != 0) {
            std::memset(outIm, 0, first * sizeof(float));
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

template int logKernel<LogBase::two>(float*, float*, const float*, const float*, std::size_t);
template int logKernel<LogBase::natural>(float*, float*, const float*, const float*, std::size_t);
template int logKernel<LogBase::ten>(float*, float*, const float*, const float*, std::size_t);

} // namespace fpmex::FPMEX_SIMD_LEVEL
