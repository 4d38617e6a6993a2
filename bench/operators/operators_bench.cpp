// Throughput of the plus and lt kernels at 10^4 elements (in cache) and
// 10^7 (in memory), each beside a plain loop with the same traffic in the
// same run. Reported: bytes per second (read plus written) and time per
// element.
#include "operators/add_kernel.h"
#include "operators/less_kernel.h"
#include "plain_loops.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

namespace {

using namespace fpmex::operators;
using namespace fpmex::bench;

struct Buffers {
    explicit Buffers(std::size_t n) : aRe(n), aIm(n), bRe(n), bIm(n), outRe(n), outIm(n), bytes(n)
    {
        for (std::size_t k = 0; k < n; ++k) {
            aRe[k] = static_cast<float>(k % 1000) * 0.5f;
            aIm[k] = -static_cast<float>(k % 777);
            bRe[k] = static_cast<float>(k % 333) + 0.25f;
            bIm[k] = static_cast<float>(k % 555);
        }
    }
    std::vector<float> aRe, aIm, bRe, bIm, outRe, outIm;
    std::vector<unsigned char> bytes;
};

void report(benchmark::State& state, std::size_t bytesPerElement)
{
    const auto n = static_cast<double>(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n * bytesPerElement));
    state.counters["time_per_element"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void PlusReal(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        addArrays(b.outRe.data(), nullptr, b.aRe.data(), nullptr, b.bRe.data(), nullptr, n);
        benchmark::ClobberMemory();
    }
    report(state, 12);
}

void PlainPlusReal(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        plainAdd(b.outRe.data(), b.aRe.data(), b.bRe.data(), n);
        benchmark::ClobberMemory();
    }
    report(state, 12);
}

void PlusComplex(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        addArrays(b.outRe.data(), b.outIm.data(), b.aRe.data(), b.aIm.data(), b.bRe.data(), b.bIm.data(), n);
        benchmark::ClobberMemory();
    }
    report(state, 24);
}

void PlainPlusComplex(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        plainAddComplex(b.outRe.data(), b.outIm.data(), b.aRe.data(), b.aIm.data(), b.bRe.data(), b.bIm.data(), n);
        benchmark::ClobberMemory();
    }
    report(state, 24);
}

void PlusScalar(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    const float s = 3.5f;
    for (auto _ : state) {
        addScalar(b.outRe.data(), nullptr, &s, nullptr, b.aRe.data(), nullptr, n);
        benchmark::ClobberMemory();
    }
    report(state, 8);
}

void PlainPlusScalar(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        plainAddScalar(b.outRe.data(), b.aRe.data(), 3.5f, n);
        benchmark::ClobberMemory();
    }
    report(state, 8);
}

void Lt(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        lessArrays(b.bytes.data(), b.aRe.data(), b.bRe.data(), n);
        benchmark::ClobberMemory();
    }
    report(state, 9);
}

void PlainLt(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        plainLess(b.bytes.data(), b.aRe.data(), b.bRe.data(), n);
        benchmark::ClobberMemory();
    }
    report(state, 9);
}

constexpr std::int64_t inCache = 10'000;
constexpr std::int64_t inMemory = 10'000'000;

BENCHMARK(PlusReal)->Arg(inCache)->Arg(inMemory);
BENCHMARK(PlainPlusReal)->Arg(inCache)->Arg(inMemory);
BENCHMARK(PlusComplex)->Arg(inCache)->Arg(inMemory);
BENCHMARK(PlainPlusComplex)->Arg(inCache)->Arg(inMemory);
BENCHMARK(PlusScalar)->Arg(inCache)->Arg(inMemory);
BENCHMARK(PlainPlusScalar)->Arg(inCache)->Arg(inMemory);
BENCHMARK(Lt)->Arg(inCache)->Arg(inMemory);
BENCHMARK(PlainLt)->Arg(inCache)->Arg(inMemory);

} // namespace

BENCHMARK_MAIN();
