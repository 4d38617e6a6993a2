// The vector variants of floorKernel and roundKernel, one source for every
// level (see common/simd/README.md).
//
// Inputs: count >= 1 elements; the imaginary parts too when inIm is
// non-null. Outputs: as the references, bit for bit, by construction: every
// step is exact.
// - floor: the rounding instruction's floor of a single is exact, as the
//   x87 unit's of the same value: an integer that the single holds. A NaN
//   comes out quiet with its payload (as from the x87 load), zeros and
//   infinities unchanged, floor(-0.5) = -1.
// - round: s = x + 1/2 is added under rounding towards minus infinity, as the
//   x87 reference adds it in extended precision. Where the sum is not a
//   double, the largest double below it has the same floor: every integer of
//   magnitude up to 2^53 is a double, so none lies between. A sum that is
//   exactly zero (x = -0.5) is -0 in that mode, and floor keeps it; every
//   other x in (-0.5, 0] gives a positive sum and +0. Magnitudes of 2^52 and
//   more are integers already and their sums round back to them.
//
// Floating-point state: MXCSR set to sseVectorMode (floor) or
// sseVectorRoundDown (round); the caller's restored on return.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

// One pass over a part; a large output is stored past the caches
// (walk.inl).
template <class T, class Step>
inline void onePart(T* out, const T* in, std::size_t count, Step step)
{
    const auto each = [&](std::size_t first, auto access) { access.store(out + first, step(access.load(in + first))); };
    if (count * sizeof(T) >= streamingOutputBytes)
        walkLanesStreaming(out, count, each);
    else
        walkLanes(count, each);
}

template <class T, class Step>
inline void eachPart(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count, Step step)
{
    onePart(outRe, inRe, count, step);
    if (inIm != nullptr)
        onePart(outIm, inIm, count, step);
}

} // namespace

FPMEX_SIMD_KERNEL void floorKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorMode);
    eachPart(outRe, outIm, inRe, inIm, count, [](Floats x) { return floor(x); });
}

FPMEX_SIMD_KERNEL void roundKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    FpStateGuard guard;
    sseLoadMode(sseVectorRoundDown);
    eachPart(outRe, outIm, inRe, inIm, count, [](Doubles x) { return floor(x + splat(0.5)); });
}

} // namespace fpmex::FPMEX_SIMD_LEVEL
