// ns per element of the elementary kernels, each beside a bare loop of the
// same x87 instructions without classification, special cases or state
// handling: the ratio of the two is the cost of the kernels' bookkeeping.
#include "common/fp_state.h"
#include "common/x87.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using fpmex::x87::Extended;

template <class T>
struct Buffers {
    std::vector<T> inRe, inIm, outRe, outIm;
};

template <class T>
Buffers<T> makeBuffers(std::size_t count, double lo, double hi, double imLo, double imHi)
{
    std::mt19937_64 generator(11);
    std::uniform_real_distribution<double> re(lo, hi);
    std::uniform_real_distribution<double> im(imLo, imHi);
    Buffers<T> b{std::vector<T>(count), std::vector<T>(count), std::vector<T>(count), std::vector<T>(count)};
    for (std::size_t i = 0; i < count; ++i) {
        b.inRe[i] = static_cast<T>(re(generator));
        b.inIm[i] = static_cast<T>(im(generator));
    }
    return b;
}

void finish(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["ns/elem"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

// e^x by the magnitude step alone, as the exp kernel computes it.
inline Extended bareMagnitude(Extended x, Extended log2e)
{
    const Extended t = x * log2e;
    const Extended n = fpmex::x87::frndint(t);
    return fpmex::x87::fscale(fpmex::x87::f2xm1(t - n) + 1, n);
}

template <class T>
void bareExpReal(T* out, const T* in, std::size_t count)
{
    fpmex::x87Reset();
    const Extended log2e = fpmex::x87::fldl2e();
    for (std::size_t i = count; i-- > 0;)
        out[i] = static_cast<T>(bareMagnitude(in[i], log2e));
}

template <class T>
void bareExpComplex(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    fpmex::x87Reset();
    const Extended log2e = fpmex::x87::fldl2e();
    const Extended period = sizeof(T) == 4 ? 0x1.921fb6p+2L : 0x1.921fb54442d18p+2L;
    const Extended scale = 6.283185307179586476925286766559005768L / period;
    for (std::size_t i = count; i-- > 0;) {
        const fpmex::x87::SinCos sc = fpmex::x87::fsincos(fpmex::x87::fprem(inIm[i], period) * scale);
        const Extended e = bareMagnitude(inRe[i], log2e);
        outRe[i] = static_cast<T>(sc.cos * e);
        outIm[i] = static_cast<T>(sc.sin * e);
    }
}

void bareSqrtReal(double* outRe, double* outIm, const double* inRe, std::size_t count)
{
    fpmex::x87Reset();
    fpmex::x87LoadControl(0x027F);
    for (std::size_t i = count; i-- > 0;) {
        outRe[i] = static_cast<double>(fpmex::x87::fsqrt(std::fabs(static_cast<Extended>(inRe[i]))));
        outIm[i] = 0;
    }
}

void bareSqrtComplex(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    fpmex::x87Reset();
    for (std::size_t i = count; i-- > 0;) {
        const Extended x = inRe[i];
        const Extended y = inIm[i];
        const Extended m = fpmex::x87::fsqrt(x * x + y * y);
        const Extended u = fpmex::x87::fsqrt((std::fabs(x) + m) * 0.5L);
        outRe[i] = static_cast<double>(u);
        outIm[i] = static_cast<double>(y * 0.5L / u);
    }
}

template <class T, bool addHalf>
void bareRounding(T* out, const T* in, std::size_t count)
{
    fpmex::x87LoadControl(fpmex::x87RoundDown);
    for (std::size_t i = count; i-- > 0;) {
        Extended x = in[i];
        if constexpr (addHalf)
            x += 0.5L;
        out[i] = static_cast<T>(fpmex::x87::frndint(x));
    }
}

// Kernel and bare loop under one name each; `complex` picks the input kind.
template <class T>
void run(benchmark::State& state, bool complex, double lo, double hi, double imLo, double imHi, auto body)
{
    Buffers<T> b = makeBuffers<T>(static_cast<std::size_t>(state.range(0)), lo, hi, imLo, imHi);
    const fpmex::FpStateGuard guard;
    for (auto _ : state) {
        body(b.outRe.data(), b.outIm.data(), b.inRe.data(), complex ? b.inIm.data() : nullptr, b.outRe.size());
        benchmark::ClobberMemory();
    }
    finish(state);
}

template <class T>
void expKernelReal(benchmark::State& s)
{
    run<T>(s, false, -80, 80, 0, 0, fpmex::expKernel<T>);
}
template <class T>
void expBareReal(benchmark::State& s)
{
    run<T>(s, false, -80, 80, 0, 0, [](T* o, T*, const T* i, const T*, std::size_t n) { bareExpReal(o, i, n); });
}
template <class T>
void expKernelComplex(benchmark::State& s)
{
    run<T>(s, true, -80, 80, -100, 100, fpmex::expKernel<T>);
}
template <class T>
void expBareComplex(benchmark::State& s)
{
    run<T>(s, true, -80, 80, -100, 100, bareExpComplex<T>);
}
void sqrtKernelReal(benchmark::State& s)
{
    run<double>(s, false, -1e6, 1e6, 0, 0, fpmex::sqrtKernel);
}
void sqrtBareReal(benchmark::State& s)
{
    run<double>(s, false, -1e6, 1e6, 0, 0,
                [](double* o, double* oi, const double* i, const double*, std::size_t n) { bareSqrtReal(o, oi, i, n); });
}
void sqrtKernelComplex(benchmark::State& s)
{
    run<double>(s, true, -1e6, 1e6, -1e6, 1e6, fpmex::sqrtKernel);
}
void sqrtBareComplex(benchmark::State& s)
{
    run<double>(s, true, -1e6, 1e6, -1e6, 1e6, bareSqrtComplex);
}
void floorKernelReal(benchmark::State& s)
{
    run<float>(s, false, -1e6, 1e6, 0, 0, fpmex::floorKernel);
}
void floorBareReal(benchmark::State& s)
{
    run<float>(s, false, -1e6, 1e6, 0, 0,
               [](float* o, float*, const float* i, const float*, std::size_t n) { bareRounding<float, false>(o, i, n); });
}
void floorKernelComplex(benchmark::State& s)
{
    run<float>(s, true, -1e6, 1e6, -1e6, 1e6, fpmex::floorKernel);
}
void floorBareComplex(benchmark::State& s)
{
    run<float>(s, true, -1e6, 1e6, -1e6, 1e6, [](float* o, float* oi, const float* i, const float* ii, std::size_t n) {
        bareRounding<float, false>(o, i, n);
        bareRounding<float, false>(oi, ii, n);
    });
}
void roundKernelReal(benchmark::State& s)
{
    run<double>(s, false, -1e6, 1e6, 0, 0, fpmex::roundKernel);
}
void roundBareReal(benchmark::State& s)
{
    run<double>(s, false, -1e6, 1e6, 0, 0, [](double* o, double*, const double* i, const double*, std::size_t n) {
        bareRounding<double, true>(o, i, n);
    });
}
void roundKernelComplex(benchmark::State& s)
{
    run<double>(s, true, -1e6, 1e6, -1e6, 1e6, fpmex::roundKernel);
}
void roundBareComplex(benchmark::State& s)
{
    run<double>(s, true, -1e6, 1e6, -1e6, 1e6,
                [](double* o, double* oi, const double* i, const double* ii, std::size_t n) {
                    bareRounding<double, true>(o, i, n);
                    bareRounding<double, true>(oi, ii, n);
                });
}

#define SIZES Arg(1000)->Arg(100000)->Arg(10000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(expKernelReal<float>)->SIZES;
BENCHMARK(expBareReal<float>)->SIZES;
BENCHMARK(expKernelComplex<float>)->SIZES;
BENCHMARK(expBareComplex<float>)->SIZES;
BENCHMARK(expKernelReal<double>)->SIZES;
BENCHMARK(expBareReal<double>)->SIZES;
BENCHMARK(expKernelComplex<double>)->SIZES;
BENCHMARK(expBareComplex<double>)->SIZES;
BENCHMARK(sqrtKernelReal)->SIZES;
BENCHMARK(sqrtBareReal)->SIZES;
BENCHMARK(sqrtKernelComplex)->SIZES;
BENCHMARK(sqrtBareComplex)->SIZES;
BENCHMARK(floorKernelReal)->SIZES;
BENCHMARK(floorBareReal)->SIZES;
BENCHMARK(floorKernelComplex)->SIZES;
BENCHMARK(floorBareComplex)->SIZES;
BENCHMARK(roundKernelReal)->SIZES;
BENCHMARK(roundBareReal)->SIZES;
BENCHMARK(roundKernelComplex)->SIZES;
BENCHMARK(roundBareComplex)->SIZES;

} // namespace

BENCHMARK_MAIN();
