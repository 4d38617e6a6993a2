// Every kernel that has vector variants, at every level this processor has
// (x87 is the reference), on warm buffers at 10^5 and 10^7 elements: the
// figures of docs/performance.md's table of levels. Real inputs in the
// ranges scripts/bench uses.
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/dissect_kernel.h"
#include "logarithms/log_kernel.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace fpmex;

template <class T>
std::vector<T> values(std::size_t n, double low, double high)
{
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> spread(low, high);
    std::vector<T> v(n);
    for (T& x : v)
        x = static_cast<T>(spread(random));
    return v;
}

template <class T>
void addKernel(const std::string& name, CpuLevel level, double low, double high,
               std::function<void(T*, T*, const T*, std::size_t)> run)
{
    for (std::size_t n : {std::size_t{100000}, std::size_t{10000000}}) {
        benchmark::RegisterBenchmark((name + "/" + levelName(level) + "/" + std::to_string(n)).c_str(),
                                     [=](benchmark::State& state) {
                                         const std::vector<T> in = values<T>(n, low, high);
                                         std::vector<T> re(n), im(n);
                                         for (auto _ : state) {
                                             run(re.data(), im.data(), in.data(), n);
                                             benchmark::ClobberMemory();
                                         }
                                         state.counters["ns/element"] = benchmark::Counter(
                                             double(n), benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
                                     })
            ->Unit(benchmark::kMicrosecond);
    }
}

// Levels here with a variant of their own, the reference first.
template <class Fn>
std::vector<CpuLevel> levels(const KernelVariants<Fn>& table)
{
    std::vector<CpuLevel> out;
    for (CpuLevel level : allCpuLevels)
        if (level <= supportedLevel() && table.levelAt(level) == level)
            out.push_back(level);
    return out;
}

template <class T, LogBase base>
void addLog(const char* name)
{
    const auto& table = logKernelVariants<T, base>();
    for (CpuLevel level : levels(table)) {
        const auto kernel = table.at(level);
        addKernel<T>(name, level, 0.5, 1000,
                     [kernel](T* re, T* im, const T* in, std::size_t n) { kernel(re, im, in, nullptr, n); });
    }
}

template <class T>
void addExp(const char* name)
{
    for (CpuLevel level : levels(expKernelVariants<T>())) {
        const auto kernel = expKernelVariants<T>().at(level);
        addKernel<T>(name, level, -10, 10, [kernel](T* re, T*, const T* in, std::size_t n) { kernel(re, nullptr, in, nullptr, n); });
    }
}

int registerAll()
{
    addLog<float, LogBase::two>("single/log2");
    addLog<float, LogBase::natural>("single/log");
    addLog<float, LogBase::ten>("single/log10");
    addExp<float>("single/exp");
    addLog<double, LogBase::two>("double/log2");
    addLog<double, LogBase::ten>("double/log10");
    addExp<double>("double/exp");
    for (CpuLevel level : levels(floorKernelVariants())) {
        const auto kernel = floorKernelVariants().at(level);
        addKernel<float>("single/floor", level, -1000, 1000,
                         [kernel](float* re, float*, const float* in, std::size_t n) { kernel(re, nullptr, in, nullptr, n); });
    }
    for (CpuLevel level : levels(dissectKernelVariants<float>())) {
        const auto kernel = dissectKernelVariants<float>().at(level);
        addKernel<float>("single/[F,E]", level, -1000, 1000,
                         [kernel](float* f, float* e, const float* in, std::size_t n) { kernel(f, e, in, n); });
    }
    for (CpuLevel level : levels(roundKernelVariants())) {
        const auto kernel = roundKernelVariants().at(level);
        addKernel<double>("double/round", level, -1000, 1000,
                          [kernel](double* re, double*, const double* in, std::size_t n) { kernel(re, nullptr, in, nullptr, n); });
    }
    for (CpuLevel level : levels(sqrtKernelVariants())) {
        const auto kernel = sqrtKernelVariants().at(level);
        addKernel<double>("double/sqrt", level, 0.5, 1000,
                          [kernel](double* re, double* im, const double* in, std::size_t n) { kernel(re, im, in, nullptr, n); });
    }
    for (CpuLevel level : levels(dissectKernelVariants<double>())) {
        const auto kernel = dissectKernelVariants<double>().at(level);
        addKernel<double>("double/[F,E]", level, -1000, 1000,
                          [kernel](double* f, double* e, const double* in, std::size_t n) { kernel(f, e, in, n); });
    }
    return 0;
}

const int registered = registerAll();

} // namespace

BENCHMARK_MAIN();
