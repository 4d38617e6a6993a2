#include "measure.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

namespace fpmex::report {
namespace {

using Clock = std::chrono::steady_clock;

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Calls of under ten elements are timed in 30000 calls a sample, which
// steadies their median as well.
std::size_t repetitions(std::size_t count)
{
    return std::clamp<std::size_t>(300000 / count, 1, 30000);
}

int samples(std::size_t count)
{
    return count < 1000000 ? 5 : count <= 10000000 ? 3 : 1;
}

// ns per element of one sample.
double sample(std::size_t count, std::size_t reps, const Work& work)
{
    const auto start = Clock::now();
    for (std::size_t r = 0; r < reps; ++r)
        work();
    const std::chrono::duration<double, std::nano> took = Clock::now() - start;
    return took.count() / double(reps) / double(count);
}

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

} // namespace

double measure(std::size_t count, const Work& work, double* faultsPerRun)
{
    if (count < 1000000)
        work();
    const std::size_t reps = repetitions(count);
    std::vector<double> ns;
    const long faults = minorFaults();
    for (int s = 0; s < samples(count); ++s)
        ns.push_back(sample(count, reps, work));
    if (faultsPerRun)
        *faultsPerRun = double(minorFaults() - faults) / double(reps * ns.size());
    return median(ns);
}

Rounds measureRounds(std::size_t count, const std::vector<Work>& works, int rounds)
{
    if (count < 1000000)
        for (const Work& w : works)
            w();
    const std::size_t reps = repetitions(count);
    const std::size_t kinds = works.size();
    std::vector<std::vector<double>> ns(kinds), ratios(kinds);
    const int total = std::max(rounds, count < 1000000 ? 11 : 7);
    for (int s = 0; s < total; ++s) {
        // Each goes first in turn, so none always runs on the caches and
        // predictors another left behind.
        for (std::size_t k = 0; k < kinds; ++k) {
            const std::size_t j = (k + std::size_t(s)) % kinds;
            ns[j].push_back(sample(count, reps, works[j]));
        }
        for (std::size_t j = 0; j < kinds; ++j)
            ratios[j].push_back(ns[0].back() / ns[j].back());
    }
    Rounds result;
    for (std::size_t j = 0; j < kinds; ++j) {
        result.medians.push_back(median(ns[j]));
        result.ratios.push_back(median(ratios[j]));
    }
    return result;
}

void emit(const char* column, const std::string& function, const char* variant, std::size_t count, double value)
{
    std::printf("%s,%s,%s,%zu,%.4g\n", column, function.c_str(), variant, count, value);
    std::fflush(stdout);
}

template <class T>
Buffer<T> values(std::size_t count, double low, double high, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(low, high);
    Buffer<T> v(count);
    const std::size_t block = std::min<std::size_t>(count, 1 << 16);
    for (std::size_t k = 0; k < block; ++k)
        v[k] = T(dist(rng));
    for (std::size_t k = block; k < count; k += block)
        std::copy_n(v.begin(), std::min(block, count - k), v.begin() + std::ptrdiff_t(k));
    return v;
}

template Buffer<float> values<float>(std::size_t, double, double, unsigned);
template Buffer<double> values<double>(std::size_t, double, double, unsigned);

} // namespace fpmex::report
