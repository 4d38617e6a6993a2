// The vector variant of sqrtKernel's real path, one source for every level
// (see common/simd/README.md).
//
// Inputs: count >= 1 doubles; a complex input goes to the x87 reference
// whole at SSE2, and to sqrt_kernel_complex_vector.inl above it. Outputs: as the reference, bit for bit, by construction: the root
// of |x| is IEEE's correctly rounded square root, which the reference's
// FSQRT under 53-bit precision gives too (a subnormal x is normal on the x87
// unit and its root a normal double in both). x with its sign bit set (-0
// and -Inf included) gives +0 + sqrt|x| i and sets the flag; a NaN gives
// its quiet magnitude in both parts; every other x gives sqrt(x) + 0i. The
// imaginary buffer is left untouched while every imaginary part is +0, as
// the frame drops it then.
//
// Floating-point state: MXCSR set to sseVectorMode (no denormals-are-zero);
// the caller's restored on return.

namespace fpmex::FPMEX_SIMD_LEVEL {

FPMEX_SIMD_KERNEL int sqrtKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    if (inIm != nullptr) {
#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) == FPMEX_SIMD_sse2
        return sqrtKernelX87(outRe, outIm, inRe, inIm, count);
#else
        return sqrtComplexKernel(outRe, outIm, inRe, inIm, count);
#endif
    }
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    unsigned negative = 0;
    // The imaginary parts are written from the first element whose part is
    // not +0 (a negative or a NaN), the earlier ones then set to +0: while
    // the flag stays 0 the frame drops the buffer, which is then never
    // touched.
    bool started = false;
    walkLanes(count, [&](std::size_t first, auto access) {
        const Doubles x = access.load(inRe + first);
        const Doubles root = sqrt(doublesOf(andNot(bitsOf(x), splatBits(0x8000000000000000))));
        const Mask nan = isNan(x);
        const Mask imaginary = signBitSet(x) & !nan;
        access.store(outRe + first, select(imaginary, splat(0.0), root));
        if (!started && (laneBits(imaginary | nan) & access.valid) != 0) {
            std::memset(outIm, 0, first * sizeof(double));
            started = true;
        }
        if (started)
            access.store(outIm + first, select(imaginary | nan, root, splat(0.0)));
        negative |= laneBits(imaginary) & access.valid;
    });
    return negative != 0;
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
