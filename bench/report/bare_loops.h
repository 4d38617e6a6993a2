// Bare loops of the x87 instructions of exp, sqrt, floor, round and prod: the same
// loads, instructions and stores per element as the kernels' ordinary path,
// walked in the same order, without classifying elements or handling special
// values. Like the kernels, each saves and restores the caller's
// floating-point state and loads the same mode, so that a ratio of kernel to
// bare loop is the cost of the kernel's classification and special cases.
// All have the kernels' signature; a null inIm selects the real path.
#pragma once

#include <cstddef>

namespace fpmex::report {

// Real: FMUL by log2(e), FRNDINT, FSUB, F2XM1, FADD 1, FSCALE. Complex: also
// FPREM by the period, FMUL by the angle scale, FSINCOS, two FMULs.
template <class T>
void bareExp(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

// Real: FSQRT of |x| under 53-bit precision, the root and a zero stored.
// Complex: FSQRT of x^2 + y^2, FSQRT of (|x| + m) / 2, one FDIV.
void bareSqrt(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

// FRNDINT rounding down (after adding 1/2 for round), one pass per part.
void bareFloor(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);
void bareRound(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

// The product of count factors in one extended-precision accumulator, in
// the kernel's order (real: upwards; complex: factor 0, then downwards): prod
// of a single column, whose fixed order of factors leaves one chain of
// multiplications. Complex factors as (a*x - b*y, b*x + a*y).
void bareProd(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);

// The bytes floor, round and the real sqrt move and nothing else: out is a
// copy of in (the compiler's own vector loop), and for sqrt the second
// output is zeros, as both of sqrt's buffers are written.
template <class T>
void plainCopy(T* out, const T* in, std::size_t count);
void plainCopyAndZero(double* outRe, double* outIm, const double* in, std::size_t count);

} // namespace fpmex::report
