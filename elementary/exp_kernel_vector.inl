// The vector variant of expKernel for single elements, one source for every
// level (see common/simd/README.md).
//
// Inputs: count >= 1 singles, real path; a complex input goes to the x87
// reference whole at SSE2, and to exp_kernel_complex_vector.inl above.
// Outputs: as the reference: e^x rounded once to single (subnormal results
// included), +-0 -> exactly 1, -Inf -> +0, +Inf -> +Inf, a NaN made quiet.
//
// Evaluation in double: x (widened, exact; clamped to [-110, 90],
// exp_vector_table.h, in a step with other values), n = round(16 x / ln 2)
// = 16 k + j and r = x - n ln(2) / 16, with |r| <= ln(2) / 32 (1 + 2^-40);
// then e^x = 2^k * 2^(j/16) * e^r, e^r by a polynomial of degree 4
// (expTable::polynomial).
//
// Error bound, relative to the exact e^x:
// - the polynomial's own error is below 2^-38.55 of e^r;
// - r itself is within 2^-47.9 of x - n ln(2) / 16 with an FMA: the
//   constant's error times |n| <= 2540 (exp_vector_table.h), and one
//   rounding of 2^-53 |r|; without one (sse2) the product's rounding adds
//   at most 2^-47 (|n ln(2) / 16| <= 110.1);
// - the table entries, the Horner steps (two roundings each without FMA) and
//   the final product round at most 12 times by 2^-53.
// In all, |v - e^x| <= 2^-38.5 e^x: the polynomial's 2.4836 * 10^-12, then
// 3.7 and 1.4 * 10^-15, and 7.1 * 10^-15 at sse2. Zeros give 1 within that
// bound (r = 0, entry 1): the single 1.
//
// Certainty: where every x of a step lies in [-87, 88.5], the results are
// normal singles, x needs no clamp and no NaN rule, and nearSingleBoundary
// (common/simd/single_rounding.inl) with a reach of 2^15 ulps (2^-38.1 |L|)
// decides whether e^x rounds to the single nearest v. Otherwise the result
// is the single nearest v when v (1 - 2^-38) and v (1 + 2^-38) round to the
// same single (rounding to single is monotonic, and no double rounding of
// those products can shrink the window below the bound); the conversion
// rounds subnormal and overflowing results as the x87 store does. The x87
// reference gives the correctly rounded single for every single input (all
// 2^32 measured, docs/accuracy.md), so the two agree. Every other element
// goes to the reference (about one normal result in 8000 lies that near a
// boundary).
//
// Floating-point state: MXCSR set to sseVectorMode; the caller's restored.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

constexpr int reachBits = 15;
constexpr double certaintyWindow = 0x1p-38;

struct ExpLanes {
    Floats re;
    unsigned uncertain;
};

// The inputs whose results are normal singles: e^-87 is above 2^-126 and
// e^88.5 below the largest single.
constexpr double normalLowest = -87;
constexpr double normalHighest = 88.5;

// e^x for x in [expTable::lowest, expTable::highest], e^r by the given
// coefficients (from r^0): within 2^-38.5 relative with
// expTable::polynomial, 2^-42.5 with expTable::series.
template <std::size_t terms>
inline Doubles expValue(Doubles x, const double (&coefficients)[terms])
{
    const Doubles shifted = mulAdd(x, splat(expTable::sixteenthsPerLn2), splat(expTable::shifter));
    const Doubles n = shifted - splat(expTable::shifter);
    const Doubles r = mulAdd(n, splat(-expTable::ln2Over16), x);

    const Bits nBits = bitsOf(shifted); // n + 2^51 in the low bits, j in the lowest four
    const Doubles scale = doublesOf(bitsOf(lookup16(expTable::scale, nBits)) + shiftLeft<48>(nBits));
    return scale * horner(coefficients, r);
}

inline ExpLanes expLanes(Floats in)
{
    const Doubles x = widen(in);
    if (laneBits((splat(normalLowest) <= x) & (x <= splat(normalHighest))) == allLanes) {
        const Doubles v = expValue(x, expTable::polynomial);
        return {narrow(v), nearSingleBoundary<reachBits>(v)};
    }
    const Doubles v = expValue(min(max(x, splat(expTable::lowest)), splat(expTable::highest)), expTable::polynomial);
    const Mask nan = isNan(x);
    const unsigned decided =
        equalLanes(narrow(v * splat(1 - certaintyWindow)), narrow(v * splat(1 + certaintyWindow)));
    return {narrow(select(nan, x, v)), ~laneBits(nan) & ~decided & allLanes};
}

} // namespace

FPMEX_SIMD_KERNEL void expKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    if (inIm != nullptr) {
#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) == FPMEX_SIMD_sse2
        expKernelX87<float>(outRe, outIm, inRe, inIm, count);
#else
        expComplexKernel(outRe, outIm, inRe, inIm, count);
#endif
        return;
    }
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    Fallback<float, void> fallback{expKernelX87<float>, outRe, nullptr, inRe};
    walkLanes(count, [&](std::size_t first, auto access) {
        const ExpLanes result = expLanes(access.load(inRe + first));
        access.store(outRe + first, result.re);
        fallback.addLanes(first, result.uncertain & access.valid);
    });
    fallback.flush();
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
