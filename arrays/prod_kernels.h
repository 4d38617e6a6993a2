// The product kernels of prod. Common contract:
// - count (>= 1) output elements; each is the product of runLength (>= 2)
//   factors, accumulated on the x87 unit (FNINIT state: 64-bit significand,
//   round to nearest, exceptions masked) from factor 0 upwards and rounded
//   to single once, when it is stored. An intermediate product leaves the
//   single range without harm; only the stored result overflows to +-Inf or
//   underflows. 0 * Inf and NaN factors give quiet NaNs; nothing is reported.
// - Complex factors multiply the accumulator (a, b) by (x, y) as
//   (a*x - b*y, b*x + a*y), every product, sum and difference rounded to
//   extended precision.
// - Each factor is read once, no buffer is allocated, and the caller's x87
//   and SSE state is restored on return.
// - From 16384 factors on, the outputs are split across the worker pool
//   (runs in chunks of whole pairs; strided products by outer blocks or by
//   groups of columns). The orders below hold within each chunk, and every
//   product is computed whole by one thread, so the results are the same.
#pragma once

#include <cstddef>

namespace fpmex {

// Output j is the product of the run in[j*runLength .. (j+1)*runLength - 1].
// Five runs at a time in independent accumulators, the last zero to four in
// one block. Runs forwards through the buffers.
void prodRealRuns(float* outRe, const float* inRe, std::size_t runLength, std::size_t count);

// As prodRealRuns for complex runs, two at a time; an odd last run is
// multiplied in the order factor 0, then factors runLength-1 down to 1.
void prodComplexRuns(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                     std::size_t count);

// Factors stride elements apart: for outer block o and column i (i below
// stride), output o*stride + i is the product over k of
// in[o*stride*runLength + k*stride + i]. count is a multiple of stride.
// Columns go in groups of seven (the last group one to six), each group
// through every outer block in turn. stride 1 hands over to prodRealRuns.
void prodRealStrided(float* outRe, const float* inRe, std::size_t runLength, std::size_t count, std::size_t stride);

// As prodRealStrided for complex factors, columns in pairs and an odd last
// column alone (factors in order). stride 1 hands over to prodComplexRuns.
void prodComplexStrided(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                        std::size_t count, std::size_t stride);

} // namespace fpmex
