// ns per element of logKernel for the five deliverables, real and complex
// inputs of 10^3, 10^5 and 10^7 elements, each beside the bare loop of the
// same x87 instructions on the same data (bare_loops.h).
#include "bare_loops.h"
#include "logarithms/log_kernel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <vector>

namespace {

using fpmex::LogBase;

// Ordinary values, a quarter of them negative so that the real path sets
// its flag; parts of similar size so that the complex path takes its
// general formula.
template <class T>
struct Data {
    explicit Data(std::size_t n) : x(n), y(n), re(n), im(n)
    {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> magnitude(0.01, 1000.0);
        for (std::size_t i = 0; i < n; ++i) {
            x[i] = static_cast<T>((random() % 4 == 0 ? -1 : 1) * magnitude(random));
            y[i] = static_cast<T>((random() % 2 == 0 ? -1 : 1) * magnitude(random));
        }
    }
    std::vector<T> x, y, re, im;
};

void perElement(benchmark::State& state)
{
    // Seconds per element, printed with an SI prefix ("19.1n" is 19.1 ns).
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

template <class T, LogBase base>
void kernelReal(benchmark::State& state)
{
    Data<T> d(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(fpmex::logKernel<T, base>(d.re.data(), d.im.data(), d.x.data(), nullptr, d.x.size()));
        benchmark::ClobberMemory();
    }
    perElement(state);
}

template <class T, LogBase base>
void bareReal(benchmark::State& state)
{
    Data<T> d(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        fpmex::bench::bareRealLoop<T, base>(d.re.data(), d.x.data(), d.x.size());
        benchmark::ClobberMemory();
    }
    perElement(state);
}

template <class T, LogBase base>
void kernelComplex(benchmark::State& state)
{
    Data<T> d(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            fpmex::logKernel<T, base>(d.re.data(), d.im.data(), d.x.data(), d.y.data(), d.x.size()));
        benchmark::ClobberMemory();
    }
    perElement(state);
}

template <class T, LogBase base>
void bareComplex(benchmark::State& state)
{
    Data<T> d(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        fpmex::bench::bareComplexLoop<T, base>(d.re.data(), d.im.data(), d.x.data(), d.y.data(), d.x.size());
        benchmark::ClobberMemory();
    }
    perElement(state);
}

// With repetitions, the fastest one is the least disturbed by other work on
// a shared machine: report it beside the mean and median.
void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1000)->Arg(100000)->Arg(10000000);
    b->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

#define FPMEX_LOG_BENCH(T, base, label)                                              \
    BENCHMARK(kernelReal<T, base>)->Name(label "/real/kernel")->Apply(sizes);       \
    BENCHMARK(bareReal<T, base>)->Name(label "/real/bare")->Apply(sizes);           \
    BENCHMARK(kernelComplex<T, base>)->Name(label "/complex/kernel")->Apply(sizes); \
    BENCHMARK(bareComplex<T, base>)->Name(label "/complex/bare")->Apply(sizes)

FPMEX_LOG_BENCH(float, LogBase::two, "single/log2");
FPMEX_LOG_BENCH(float, LogBase::natural, "single/log");
FPMEX_LOG_BENCH(float, LogBase::ten, "single/log10");
FPMEX_LOG_BENCH(double, LogBase::two, "double/log2");
FPMEX_LOG_BENCH(double, LogBase::ten, "double/log10");

} // namespace

BENCHMARK_MAIN();
