// The vector variant of dissectKernel, for single and double elements, one
// source for every level (see common/simd/README.md).
//
// Inputs: count >= 1 elements. Outputs: as the reference (dissect_kernel.h).
// Every result is exact, so no element needs the reference: F is x with its
// exponent field replaced by that of 0.5 (sign and significand kept), E the
// exponent field less 1022. A single is widened to double first (exact; its
// subnormals become normal); a subnormal double is first scaled by 2^64
// (exact) and its E lowered by 64. NaN and +-0 give themselves in both
// outputs, a NaN made quiet as the x87 unit's load makes it; +-Inf give
// themselves and E = +Inf.
//
// Floating-point state: MXCSR set to sseVectorMode (no denormals-are-zero,
// so subnormal doubles keep their values); the caller's is restored.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct Parts {
    Doubles f;
    Doubles e;
};

template <class T>
inline Parts dissectLanes(Doubles x)
{
    constexpr std::uint64_t exponentField = 0x7FF0000000000000;
    const Doubles a = doublesOf(andNot(bitsOf(x), splatBits(0x8000000000000000)));
    Doubles scaled = x;
    Doubles offset = splat(0x1p52 + 1022);
    if constexpr (sizeof(T) == 8) {
        const Mask subnormal = (splat(0.0) < a) & (a < splat(0x1p-1022));
        scaled = select(subnormal, x * splat(0x1p64), x);
        offset = select(subnormal, splat(0x1p52 + 1022 + 64), offset);
    }
    const Bits bits = bitsOf(scaled);
    const Doubles f = doublesOf(andNot(bits, splatBits(exponentField)) | splatBits(std::uint64_t{1022} << 52));
    const Bits field = shiftRight<52>(andNot(bits, splatBits(0x8000000000000000)));
    const Doubles e = doublesOf(field | splatBits(0x4330000000000000)) - offset;

    const Mask regular = (splat(0.0) < a) & (a < splat(__builtin_inf()));
    const Mask nan = isNan(x);
    const Doubles quiet = doublesOf(bitsOf(x) | splatBits(0x0008000000000000));
    const Doubles itself = select(nan, quiet, x);
    const Mask infinite = a == splat(__builtin_inf());
    return {select(regular, f, itself), select(regular, e, select(infinite, splat(__builtin_inf()), itself))};
}

} // namespace

template <class T>
FPMEX_SIMD_KERNEL void dissectKernel(T* outF, T* outE, const T* inRe, std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    walkLanes(count, [&](std::size_t first, auto access) {
        if constexpr (sizeof(T) == 4) {
            const Parts parts = dissectLanes<T>(widen(access.load(inRe + first)));
            access.store(outF + first, narrow(parts.f));
            access.store(outE + first, narrow(parts.e));
        } else {
            const Parts parts = dissectLanes<T>(access.load(inRe + first));
            access.store(outF + first, parts.f);
            access.store(outE + first, parts.e);
        }
    });
}

template void dissectKernel<float>(float*, float*, const float*, std::size_t);
template void dissectKernel<double>(double*, double*, const double*, std::size_t);

} // namespace fpmex::FPMEX_SIMD_LEVEL
