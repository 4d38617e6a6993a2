// floorKernelX87 and roundKernelX87: the reference rounding of each part of
// real or complex elements to an integer value, with FRNDINT under rounding
// towards minus infinity.
//
// Inputs: count >= 1 elements; the real parts, then (when inIm is non-null)
// the imaginary parts, each pass from the last element to the first.
// Special values: NaN (quiet) and +-Inf are stored unchanged; zeros keep
// their sign in floor. round(x) is floor(x + 1/2) of the exact sum: halves
// go towards +Inf (-0.5 gives -0, -2.5 gives -2), and 0.5 - 2^-54 gives 0
// because the sum is exact in extended precision.
// Accuracy: exact; every result is representable in the element type.
// Floating-point state: loads the control word 0x177F (64-bit significand,
// round towards minus infinity); the caller's x87 environment and MXCSR are
// restored on return, so the caller is never left rounding downwards.
#include "rounding_kernel.h"

#include "common/fp_state.h"
#include "common/x87.h"

namespace fpmex {
namespace {

using x87::Extended;

// One part of every element: floor(x), or floor(x + 1/2) for round. The sum
// is rounded towards minus infinity too, so where x + 1/2 is not representable it cannot step
// over an integer and FRNDINT still gives the floor of the exact sum.
// NaN and +-Inf need no test of their own: FRNDINT and the addition of 1/2
// leave them as they are (a NaN keeps its payload and comes out quiet).
template <class T, bool addHalf>
void roundingPass(T* out, const T* in, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;) {
        Extended x = x87::load(in[i]);
        if constexpr (addHalf)
            x += 0.5L;
        x87::store(out[i], x87::frndint(x));
    }
}

template <class T, bool addHalf>
void roundingKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87LoadControl(x87RoundDown);
    roundingPass<T, addHalf>(outRe, inRe, count);
    if (inIm != nullptr)
        roundingPass<T, addHalf>(outIm, inIm, count);
}

} // namespace

void floorKernelX87(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    roundingKernel<float, false>(outRe, outIm, inRe, inIm, count);
}

void roundKernelX87(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    roundingKernel<double, true>(outRe, outIm, inRe, inIm, count);
}

} // namespace fpmex
