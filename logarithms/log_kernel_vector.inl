// The vector variant of logKernel for single elements, one source for every
// level (see common/simd/README.md).
//
// Inputs: count >= 1 singles, real path only; a complex input goes to the
// x87 reference whole. Outputs: as the reference (log_kernel.h): real part,
// imaginary part P for x < 0 and +0 otherwise, a NaN made quiet with its sign
// cleared in both parts, -Inf for +-0, +Inf for +-Inf; the flag.
//
// Evaluation: each |x| is widened to double (exact; subnormal singles become
// normal doubles) and split as 2^k * z, z in [sqrt(2)/2, sqrt(2)). With
// r = z * invC[i] - 1 (exact: a 24-bit z times a 20-bit invC needs 44 bits,
// and the difference from 1 is exact by Sterbenz' lemma),
// log2|x| = k + logC[i] + log2(1 + r), the last by the series to r^8.
// The natural and base-10 results are that times ln 2 or log10(2).
//
// Error bound, relative to the exact result L (log_vector_table.h has the
// ranges of r):
// - the series' remainder is below |r|^9 / (9 ln 2 (1 - |r|)): relative to
//   log2(1 + r) (k = 0 and i = 9, where L is smallest against its own
//   terms) below 0.0393^8 / 9 < 2^-40.4; where k = 0 and i != 9, |L| is at
//   least log2(1.039) and the remainder is below 2^-43 relative; for k != 0,
//   |log2|x|| >= 1/2 and it is smaller still;
// - the rounding of the coefficients, of logC, of the Horner steps (two per
//   step without FMA), of the sums and of the base multiplier adds at most
//   24 * 2^-53 < 2^-48.4 relative (|k + logC| and |p| never cancel:
//   for k != 0, |k + logC| >= 0.53 and |p| <= 0.06).
// In all, |v - L| <= 2^-40 |L|.
//
// Certainty: the result is the single nearest v when v (1 - 2^-38) and
// v (1 + 2^-38), whose roundings to double cannot shrink that window below
// 2^-39 |v|, round to the same single: L lies between them, and rounding to
// nearest is monotonic, so L rounds there too. The x87 reference gives the
// correctly rounded single for every single input (measured over all 2^32
// of them, docs/accuracy.md), so the two agree. Every other element (about
// 1 in 8000) goes to the x87 reference. Zeros, infinities and NaNs are
// decided by their rules and never handed over.
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
    unsigned uncertain;
};

constexpr double certaintyWindow = 0x1p-38;

template <LogBase base>
inline LogLanes logLanes(Floats in)
{
    const Doubles x = widen(in);
    const Doubles a = doublesOf(andNot(bitsOf(x), splatBits(0x8000000000000000)));

    const Bits u = bitsOf(a) + splatBits((std::uint64_t{1024} << 52) - logTable::offsetBits);
    const Bits kBiased = shiftRight<52>(u); // k + 1024, never negative for a single
    const Bits index = shiftRight<48>(u);   // the subinterval in the low four bits
    const Doubles z = doublesOf(bitsOf(a) - shiftLeft<52>(kBiased) + splatBits(std::uint64_t{1024} << 52));
    const Doubles k = doublesOf(kBiased | splatBits(0x4330000000000000)) - splat(0x1p52 + 1024);

    const Doubles r = mulAdd(z, lookup16(logTable::invC, index), splat(-1.0));
    Doubles p = splat(logTable::series[7]);
    for (int j = 6; j >= 0; --j)
        p = mulAdd(p, r, splat(logTable::series[j]));
    Doubles v = mulAdd(p, r, k + lookup16(logTable::logC, index));
    if constexpr (base == LogBase::natural)
        v = v * splat(logTable::toNatural);
    else if constexpr (base == LogBase::ten)
        v = v * splat(logTable::toTen);

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
    const unsigned decided = equalLanes(narrow(v * splat(1 - certaintyWindow)), narrow(v * splat(1 + certaintyWindow)));
    lanesOut.uncertain = laneBits(regular) & ~decided;
    return lanesOut;
}

} // namespace

template <LogBase base>
FPMEX_SIMD_KERNEL int logKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    if (inIm != nullptr)
        return logKernelX87<float, base>(outRe, outIm, inRe, inIm, count);
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<float, int> fallback{logKernelX87<float, base>, outRe, outIm, inRe};
    unsigned negative = 0;
    walkLanes(count, [&](std::size_t first, auto access) {
        const LogLanes result = logLanes<base>(access.load(inRe + first));
        access.store(outRe + first, result.re);
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
