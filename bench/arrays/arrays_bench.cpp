// prod and ones kernels beside plain loops doing the same work in the same
// run: extended-precision multiply loops with independent accumulators for
// prod, memset of the same bytes for ones. Compare within one run only.
#include "arrays/fill_ones.h"
#include "arrays/prod_kernels.h"
#include "plain_loops.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr std::size_t side = 1000; // 1000-by-1000 input

// Factors close to 1, so that no product reaches the subnormals, where the
// x87 unit slows down by orders of magnitude.
std::vector<float> factors(unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> near1(0.999f, 1.001f);
    std::vector<float> values(side * side);
    for (float& v : values)
        v = near1(engine);
    return values;
}

const std::vector<float>& realInput()
{
    static const std::vector<float> values = factors(1);
    return values;
}
const std::vector<float>& imagInput()
{
    static const std::vector<float> values = factors(2);
    return values;
}

void setProdCounters(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * side * side);
}

// prod(x) of a 1000-by-1000 x: 1000 runs of 1000 consecutive factors.
void prodRealAlong1(benchmark::State& state)
{
    std::vector<float> out(side);
    for (auto _ : state) {
        fpmex::prodRealStrided(out.data(), realInput().data(), side, side, 1);
        benchmark::DoNotOptimize(out.data());
    }
    setProdCounters(state);
}

// prod(x, 2): 1000 columns, factors 1000 elements apart.
void prodRealAlong2(benchmark::State& state)
{
    std::vector<float> out(side);
    for (auto _ : state) {
        fpmex::prodRealStrided(out.data(), realInput().data(), side, side, side);
        benchmark::DoNotOptimize(out.data());
    }
    setProdCounters(state);
}

template <int N>
void plainReal(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(fpmex::bench::plainRealProduct<N>(realInput().data(), side * side));
    setProdCounters(state);
}

void prodComplexAlong1(benchmark::State& state)
{
    std::vector<float> outRe(side), outIm(side);
    for (auto _ : state) {
        fpmex::prodComplexStrided(outRe.data(), outIm.data(), realInput().data(), imagInput().data(), side, side, 1);
        benchmark::DoNotOptimize(outRe.data());
    }
    setProdCounters(state);
}

void prodComplexAlong2(benchmark::State& state)
{
    std::vector<float> outRe(side), outIm(side);
    for (auto _ : state) {
        fpmex::prodComplexStrided(outRe.data(), outIm.data(), realInput().data(), imagInput().data(), side, side,
                                  side);
        benchmark::DoNotOptimize(outRe.data());
    }
    setProdCounters(state);
}

void plainComplex(benchmark::State& state)
{
    float re, im;
    for (auto _ : state) {
        fpmex::bench::plainComplexProduct(realInput().data(), imagInput().data(), side * side, &re, &im);
        benchmark::DoNotOptimize(re);
        benchmark::DoNotOptimize(im);
    }
    setProdCounters(state);
}

// Buffers 8 bytes past a 16-byte boundary, as the host's mxMalloc gives them.
struct FillBuffer {
    explicit FillBuffer(std::size_t count) : storage(count + 4)
    {
        auto address = reinterpret_cast<std::uintptr_t>(storage.data());
        data = reinterpret_cast<float*>((address + 15) / 16 * 16 + 8);
    }
    std::vector<float> storage;
    float* data;
};

void onesFill(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    FillBuffer buffer(count);
    for (auto _ : state) {
        fpmex::fillOnes(buffer.data, count);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(float));
}

void memsetFill(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    FillBuffer buffer(count);
    for (auto _ : state) {
        std::memset(buffer.data, 0x3F, count * sizeof(float));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(float));
}

} // namespace

BENCHMARK(prodRealAlong1)->Unit(benchmark::kMicrosecond);
BENCHMARK(prodRealAlong2)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainReal<5>)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainReal<7>)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainReal<8>)->Unit(benchmark::kMicrosecond);
BENCHMARK(prodComplexAlong1)->Unit(benchmark::kMicrosecond);
BENCHMARK(prodComplexAlong2)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainComplex)->Unit(benchmark::kMicrosecond);
BENCHMARK(onesFill)->Arg(10000)->Arg(10000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(memsetFill)->Arg(10000)->Arg(10000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
