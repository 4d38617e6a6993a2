// The vector variant of logKernel for single elements, one source for every
// level (see common/simd/README.md).
//
// Inputs: count >= 1 singles, real path; a complex input goes to the x87
// reference whole at SSE2, and to log_kernel_complex_vector.inl above. Outputs: as the reference (log_kernel.h): real part,
// imaginary part P for x < 0 and +0 otherwise, a NaN made quiet with its sign
// cleared in both parts, -Inf for +-0, +Inf for +-Inf; the flag. The
// imaginary buffer is left untouched while every imaginary part is +0, as
// the frame drops it then.
//
// Evaluation: each |x| is widened to double (exact; subnormal singles become
// normal doubles) and split as 2^k * z, z in [sqrt(2)/2, sqrt(2))
// (log_vector_constants.h). With s = (z - 1) / (z + 1),
// log2|x| = k + (2 / ln 2) atanh(s), the last by its series to s^15. The
// natural and base-10 results are that times ln 2 or log10(2).
//
// Error bound, relative to the exact result L:
// - z - 1 is exact (Sterbenz' lemma) and so is z + 1 (z has 24 significant
//   bits); the quotient s rounds once, by 2^-53 relative, which moves
//   atanh(s) by at most 1.03 times that;
// - the series' remainder, relative to its first term, is below
//   s^16 / (17 (1 - s^2)) < 2^-44.7;
// - s^2, the coefficients, the Horner steps (two roundings each without FMA;
//   every later term is scaled by s^2 < 0.03), the product with s, the sum
//   with k and the base multiplier add at most 10 * 2^-53 < 2^-49.6.
// Where k = 0 these bound the error relative to L itself; where k != 0,
// |L| >= 1/2 >= |log2 z| and the bound holds all the more. In all,
// |v - L| <= 2^-44 |L|. x = 1 gives s = 0 and exactly +0, x = 2^k exactly k.
//
// Certainty: the result is the single nearest v when v (1 - 2^-42) and
// v (1 + 2^-42), whose roundings to double cannot shrink that window below
// the bound, round to the same single: L lies between them, and rounding to
// nearest is monotonic, so L rounds there too. The x87 reference gives the
// correctly rounded single for every single input (measured over all 2^32
// of them, docs/accuracy.md), so the two agree. Every other element goes to
// the x87 reference. Zeros, infinities and NaNs are decided by their rules
// and never handed over.
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

constexpr double certaintyWindow = 0x1p-42;

// log2(a), or log2(a + tail) with |tail| below 2^-52 a (the complex path),
// for a positive normal double a from 2^-300 to 2^300.
template <bool withTail>
inline Doubles log2Of(Doubles a, Doubles tail)
{
    const Bits u = bitsOf(a) + splatBits((std::uint64_t{1024} << 52) - logConstants::offsetBits);
    const Bits kBiased = shiftRight<52>(u); // k + 1024, never negative here
    const Doubles z = doublesOf(bitsOf(a) - shiftLeft<52>(kBiased) + splatBits(std::uint64_t{1024} << 52));
    const Doubles k = doublesOf(kBiased | splatBits(0x4330000000000000)) - splat(0x1p52 + 1024);

    Doubles s;
    if constexpr (withTail) {
        // The tail scaled by 2^-k as z is; z - 1 stays exact, and the tail
        // enters both sums with one rounding each.
        const Doubles t = tail * doublesOf(splatBits(std::uint64_t{2047} << 52) - shiftLeft<52>(kBiased));
        s = ((z - splat(1.0)) + t) / ((z + splat(1.0)) + t);
    } else {
        s = (z - splat(1.0)) / (z + splat(1.0));
    }
    const Doubles s2 = s * s;
    Doubles p = splat(logConstants::series[7]);
    for (int j = 6; j >= 0; --j)
        p = mulAdd(p, s2, splat(logConstants::series[j]));
    return mulAdd(p, s, k);
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

template <LogBase base>
inline LogLanes logLanes(Floats in)
{
    const Doubles x = widen(in);
    const Doubles a = doublesOf(andNot(bitsOf(x), splatBits(0x8000000000000000)));
    const Doubles v = inBase<base>(log2Of<false>(a, a));

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
    const unsigned decided = equalLanes(narrow(v * splat(1 - certaintyWindow)), narrow(v * splat(1 + certaintyWindow)));
    lanesOut.uncertain = laneBits(regular) & ~decided;
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
        const LogLanes result = logLanes<base>(access.load(inRe + first));
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
