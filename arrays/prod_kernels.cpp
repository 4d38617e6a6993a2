#include "prod_kernels.h"

#include "common/fp_state.h"
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

} // namespace

void prodRealRuns(float* outRe, const float* inRe, std::size_t runLength, std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    std::size_t j = 0;
    for (; count - j > 4; j += 5)
        realProducts<5>(outRe + j, inRe + j * runLength, runLength, 1, runLength);
    if (count > j)
        realTail[count - j](outRe + j, inRe + j * runLength, runLength, 1, runLength);
}

void prodComplexRuns(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                     std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    std::size_t j = 0;
    for (; count - j >= 2; j += 2) {
        const std::size_t in = j * runLength;
        complexProducts<2>(outRe + j, outIm + j, inRe + in, inIm + in, runLength, 1, runLength);
    }
    if (count > j)
        complexRunDownwards(outRe + j, outIm + j, inRe + j * runLength, inIm + j * runLength, runLength);
}

void prodRealStrided(float* outRe, const float* inRe, std::size_t runLength, std::size_t count, std::size_t stride)
{
    if (stride == 1) {
        prodRealRuns(outRe, inRe, runLength, count);
        return;
    }
    FpStateGuard guard;
    x87Reset();
    const std::size_t outerCount = count / stride;
    std::size_t column = 0;
    for (; stride - column > 6; column += 7)
        realColumnGroup<7>(outRe + column, inRe + column, runLength, outerCount, stride);
    if (stride > column)
        realGroupTail[stride - column](outRe + column, inRe + column, runLength, outerCount, stride);
}

void prodComplexStrided(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t runLength,
                        std::size_t count, std::size_t stride)
{
    if (stride == 1) {
        prodComplexRuns(outRe, outIm, inRe, inIm, runLength, count);
        return;
    }
    FpStateGuard guard;
    x87Reset();
    const std::size_t outerCount = count / stride;
    std::size_t column = 0;
    for (; stride - column >= 2; column += 2)
        complexColumnGroup<2>(outRe + column, outIm + column, inRe + column, inIm + column, runLength, outerCount,
                              stride);
    if (stride > column)
        complexColumnGroup<1>(outRe + column, outIm + column, inRe + column, inIm + column, runLength, outerCount,
                              stride);
}

} // namespace fpmex
