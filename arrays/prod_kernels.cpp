#include "prod_kernels.h"

#include "common/fp_state.h"
#include "common/split_thresholds.h"
#include "common/worker_pool.h"
#include "common/x87.h"

#include <cstdint>

namespace fpmex {
namespace {

using x87::Extended;

// (a, b) *= (x, y), each step rounded to extended precision.
inline void multiplyComplex(Extended& a, Extended& b, Extended x, Extended y)
{
    const Extended re = a * x - b * y;
    b = b * x + a * y;
    a = re;
}

// Asks for the factors 16 steps ahead of the current ones. Strided real
// columns step a row (often a page) at a time, which the hardware
// prefetchers do not follow; for runs it costs one instruction. (Strided
// complex columns gained nothing from it: see prefetchNextLine.) Prefetches
// never fault, and the address is formed as an integer, so running past the
// buffer is harmless.
inline void prefetchAhead(const float* factors, std::size_t step)
{
    constexpr std::size_t distance = 16;
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(factors) +
                                                     distance * step * sizeof(float)));
}

// N products whose factors are `step` elements apart, the first factors of
// neighbouring products `spacing` elements apart. Runs have step 1 and
// spacing runLength; strided columns have step stride and spacing 1. The N
// accumulators are independent, so consecutive multiplications overlap; the
// loops over them are unrolled so that they live in x87 registers.
template <int N>
void realProducts(float* out, const float* in, std::size_t runLength, std::size_t step, std::size_t spacing)
{
    Extended acc[N];
#pragma GCC unroll 8
    for (int r = 0; r < N; ++r)
        acc[r] = in[r * spacing];
    for (std::size_t k = 1; k < runLength; ++k) {
        const float* factors = in + k * step;
        prefetchAhead(factors, step);
#pragma GCC unroll 8
        for (int r = 0; r < N; ++r)
            acc[r] *= factors[r * spacing];
    }
#pragma GCC unroll 8
    for (int r = 0; r < N; ++r)
        out[r] = static_cast<float>(acc[r]);
}

// Asks for the factors one cache line to the right of the current ones, in
// the same row. Strided complex columns go through all rows a pair at a
// time, so the first pair of each cache line's 16 columns meets, in every
// row, a line not yet read, a page away from the last, where the hardware
// prefetchers do not follow. Asking for the next line of each row hands the
// following pairs' lines over a whole walk before they are needed (the
// lines of two walks stay in the second-level cache). Formed as an integer
// and never faulting, like prefetchAhead.
inline void prefetchNextLine(const float* factors)
{
    constexpr std::size_t lineBytes = 64;
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(factors) + lineBytes));
}

template <int N, bool strided = false>
void complexProducts(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                     std::size_t step, std::size_t spacing)
{
    Extended re[N];
    Extended im[N];
#pragma GCC unroll 8
    for (int r = 0; r < N; ++r) {
        re[r] = inRe[r * spacing];
        im[r] = inIm[r * spacing];
    }
    for (std::size_t k = 1; k < runLength; ++k) {
        const float* factorsRe = inRe + k * step;
        const float* factorsIm = inIm + k * step;
        if constexpr (strided) {
            prefetchNextLine(factorsRe);
            prefetchNextLine(factorsIm);
        }
#pragma GCC unroll 8
        for (int r = 0; r < N; ++r)
            multiplyComplex(re[r], im[r], factorsRe[r * spacing], factorsIm[r * spacing]);
    }
#pragma GCC unroll 8
    for (int r = 0; r < N; ++r) {
        outRe[r] = static_cast<float>(re[r]);
        outIm[r] = static_cast<float>(im[r]);
    }
}

// The odd last complex run: factor 0, then the others from the top down.
void complexRunDownwards(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength)
{
    Extended re = inRe[0];
    Extended im = inIm[0];
    for (std::size_t k = runLength - 1; k > 0; --k)
        multiplyComplex(re, im, inRe[k], inIm[k]);
    *outRe = static_cast<float>(re);
    *outIm = static_cast<float>(im);
}

using RealBlock = void (*)(float*, const float*, std::size_t, std::size_t, std::size_t);

// Blocks of 0 to 6 products, for the tails of the real kernels.
constexpr RealBlock realTail[7] = {nullptr,
                                   &realProducts<1>,
                                   &realProducts<2>,
                                   &realProducts<3>,
                                   &realProducts<4>,
                                   &realProducts<5>,
                                   &realProducts<6>};

// One group of `width` adjacent columns through every outer block.
template <int N>
void realColumnGroup(float* out, const float* in, std::size_t runLength, std::size_t outerCount,
                     std::size_t stride)
{
    for (std::size_t o = 0; o < outerCount; ++o)
        realProducts<N>(out + o * stride, in + o * stride * runLength, runLength, stride, 1);
}

using RealGroup = void (*)(float*, const float*, std::size_t, std::size_t, std::size_t);

constexpr RealGroup realGroupTail[7] = {nullptr,
                                        &realColumnGroup<1>,
                                        &realColumnGroup<2>,
                                        &realColumnGroup<3>,
                                        &realColumnGroup<4>,
                                        &realColumnGroup<5>,
                                        &realColumnGroup<6>};

template <int N>
void complexColumnGroup(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                        std::size_t outerCount, std::size_t stride)
{
    for (std::size_t o = 0; o < outerCount; ++o) {
        const std::size_t in = o * stride * runLength;
        const std::size_t out = o * stride;
        complexProducts<N, true>(outRe + out, outIm + out, inRe + in, inIm + in, runLength, stride, 1);
    }
}

// Runs forwards through the buffers, five runs at a time, the last zero to
// four in one block.
void realRuns(float* outRe, const float* inRe, std::size_t runLength, std::size_t count)
{
    std::size_t j = 0;
    for (; count - j > 4; j += 5)
        realProducts<5>(outRe + j, inRe + j * runLength, runLength, 1, runLength);
    if (count > j)
        realTail[count - j](outRe + j, inRe + j * runLength, runLength, 1, runLength);
}

// Two runs at a time; an odd last run downwards.
void complexRuns(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                 std::size_t count)
{
    std::size_t j = 0;
    for (; count - j >= 2; j += 2) {
        const std::size_t in = j * runLength;
        complexProducts<2>(outRe + j, outIm + j, inRe + in, inIm + in, runLength, 1, runLength);
    }
    if (count > j)
        complexRunDownwards(outRe + j, outIm + j, inRe + j * runLength, inIm + j * runLength, runLength);
}

// `columns` adjacent columns of outer blocks `stride` elements apart, seven
// at a time (the last group one to six).
void realColumns(float* outRe, const float* inRe, std::size_t runLength, std::size_t outerCount, std::size_t stride,
                 std::size_t columns)
{
    std::size_t column = 0;
    for (; columns - column > 6; column += 7)
        realColumnGroup<7>(outRe + column, inRe + column, runLength, outerCount, stride);
    if (columns > column)
        realGroupTail[columns - column](outRe + column, inRe + column, runLength, outerCount, stride);
}

// Pairs of columns, an odd last one alone; every column's factors in order.
void complexColumns(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                    std::size_t outerCount, std::size_t stride, std::size_t columns)
{
    std::size_t column = 0;
    for (; columns - column >= 2; column += 2)
        complexColumnGroup<2>(outRe + column, outIm + column, inRe + column, inIm + column, runLength, outerCount,
                              stride);
    if (columns > column)
        complexColumnGroup<1>(outRe + column, outIm + column, inRe + column, inIm + column, runLength, outerCount,
                              stride);
}

// Products split across the worker pool once they hold enough factors, in
// chunks of outputs; each chunk sets up the x87 unit on its own thread.
// Every product is computed whole, in the same order, by one thread, so
// the split changes no bit. A chunk of complex runs holds whole pairs
// (chunkGranule is even), so only the last run of all may be odd.
bool worthSplitting(std::size_t outputs, std::size_t runLength)
{
    return outputs * runLength >= split::vectorMathElements;
}

template <class Run>
void splitOutputs(std::size_t outputs, std::size_t runLength, std::size_t granule, Run run)
{
    splitWhen(worthSplitting(outputs, runLength), outputs, granule,
              [&](std::size_t, std::size_t begin, std::size_t end) {
                  FpStateGuard guard;
                  x87Reset();
                  run(begin, end - begin);
              });
}

// Strided products split by outer blocks when there are at least as many
// of them as columns, else by groups of columns, each a whole cache line
// of outputs.
template <class Blocks, class Columns>
void splitStrided(std::size_t count, std::size_t stride, std::size_t runLength, Blocks blocks, Columns columns)
{
    const std::size_t outerCount = count / stride;
    constexpr std::size_t lineColumns = 16;
    if (outerCount >= stride)
        splitOutputs(outerCount, stride * runLength, 1, blocks);
    else
        splitOutputs(stride, outerCount * runLength, lineColumns, columns);
}

} // namespace

void prodRealRuns(float* outRe, const float* inRe, std::size_t runLength, std::size_t count)
{
    splitOutputs(count, runLength, chunkGranule, [&](std::size_t first, std::size_t n) {
        realRuns(outRe + first, inRe + first * runLength, runLength, n);
    });
}

void prodComplexRuns(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                     std::size_t count)
{
    splitOutputs(count, runLength, chunkGranule, [&](std::size_t first, std::size_t n) {
        const std::size_t in = first * runLength;
        complexRuns(outRe + first, outIm + first, inRe + in, inIm + in, runLength, n);
    });
}

void prodRealStrided(float* outRe, const float* inRe, std::size_t runLength, std::size_t count, std::size_t stride)
{
    if (stride == 1) {
        prodRealRuns(outRe, inRe, runLength, count);
        return;
    }
    const std::size_t outerCount = count / stride;
    splitStrided(
        count, stride, runLength,
        [&](std::size_t first, std::size_t n) {
            realColumns(outRe + first * stride, inRe + first * stride * runLength, runLength, n, stride, stride);
        },
        [&](std::size_t first, std::size_t n) {
            realColumns(outRe + first, inRe + first, runLength, outerCount, stride, n);
        });
}

void prodComplexStrided(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                        std::size_t count, std::size_t stride)
{
    if (stride == 1) {
        prodComplexRuns(outRe, outIm, inRe, inIm, runLength, count);
        return;
    }
    const std::size_t outerCount = count / stride;
    splitStrided(
        count, stride, runLength,
        [&](std::size_t first, std::size_t n) {
            const std::size_t out = first * stride;
            const std::size_t in = out * runLength;
            complexColumns(outRe + out, outIm + out, inRe + in, inIm + in, runLength, n, stride, stride);
        },
        [&](std::size_t first, std::size_t n) {
            complexColumns(outRe + first, outIm + first, inRe + first, inIm + first, runLength, outerCount, stride, n);
        });
}

} // namespace fpmex
