// fpmex_variants_exhaustive: every vector variant against its x87 reference,
// bit for bit, at every level this processor has. Not a test: it takes
// minutes.
//
//   fpmex_variants_exhaustive [--doubles N] [--samples M] [FUNCTION...]
//
// log2, log, log10 (single, real input: real part, imaginary part, flag),
// exp and floor (single, real input; floor's complex path rounds each part
// by the same rule, and is run on pairs of patterns as well) and [F, E]
// (single) see all 2^32 single patterns; round, sqrt (real input) and [F, E]
// (double) see N random doubles (default 10^8: random bit patterns and
// every binade alike) and N/10 of the hard cases (half-integers and their
// neighbours, the 2^52 region, subnormals), plus the fixed table of special
// values. double-log2, double-log10 and double-exp (real input) see M
// generated doubles (default 10^9), block by block from a seed per block:
// for the logarithms random bit patterns of either sign and 1 + d with |d|
// log-uniform from 2^-60 to 2^-1; for exp random bit patterns, the whole
// finite range [-745.2, 709.8], the overflow end [700, 709.8] and the
// subnormal end [-745.2, -700]. complex-log2, complex-log and complex-log10
// (single, complex input) see M generated pairs the same way: random bit
// patterns of both parts, finite parts of every binade, |z| near 1, and
// pairs at the ratio test of the squares; complex-exp (single, complex
// input) M pairs: random bit patterns, the computed range of x and past it,
// imaginary parts next to multiples of a quarter period, and moderate
// parts; complex-sqrt (double, complex input) M pairs: random bit patterns,
// moderate parts, and parts of very different magnitudes; complex-double-log2
// and complex-double-log10 M pairs of those kinds and two more: |z| near 1,
// and ratios of the parts below 2^-250.
// FPMEX_VARIANTS_THREADS sets the number of threads (default: all
// cores). Prints one line per function and level: elements compared,
// differences, elements the variant handed to the reference, and the time;
// exits non-zero on any difference.
#include "variant_harness.h"

#include "common/fallback.h"
#include "elementary/exp_constants.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/dissect_kernel.h"
#include "logarithms/log_kernel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fpmex::test {
namespace {

struct Tally {
    Comparison comparison;
    std::uint64_t fallbacks = 0;
    double seconds = 0; // the variant's own time, summed over threads
};

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// One function at every level: the reference's results are compared with
// each variant's over the same blocks.
template <class T>
struct Contest {
    std::string name;
    KernelRun<T> reference;
    std::vector<std::pair<CpuLevel, KernelRun<T>>> variants;
};

template <class T, class Fn, class Make>
Contest<T> contest(const std::string& name, const KernelVariants<Fn>& table, Make make)
{
    Contest<T> c{name, make(name, table.x87), {}};
    for (CpuLevel level : levelsWithOwnVariant(table))
        c.variants.emplace_back(level, make(name + "@" + levelName(level), table.at(level)));
    return c;
}

template <class T>
void runBlock(const Contest<T>& c, const T* inRe, const T* inIm, std::size_t n, std::vector<Tally>& tallies)
{
    for (std::size_t v = 0; v < c.variants.size(); ++v) {
        const std::uint64_t before = threadFallbackCount();
        const Clock::time_point start = Clock::now();
        tallies[v].comparison.merge(compareKernels(c.reference, c.variants[v].second, inRe, inIm, n));
        tallies[v].seconds += since(start);
        tallies[v].fallbacks += threadFallbackCount() - before;
    }
}

template <class T>
bool report(const Contest<T>& c, const std::vector<std::vector<Tally>>& perThread, double wall)
{
    bool clean = true;
    for (std::size_t v = 0; v < c.variants.size(); ++v) {
        Tally total;
        for (const std::vector<Tally>& tallies : perThread) {
            total.comparison.merge(tallies[v].comparison);
            total.fallbacks += tallies[v].fallbacks;
            total.seconds += tallies[v].seconds;
        }
        const double share = total.comparison.elements == 0
                                 ? 0
                                 : 100.0 * static_cast<double>(total.fallbacks) / total.comparison.elements;
        std::printf("%-14s %-7s %12llu elements, %llu differ, %llu handed to x87 (%.4f %%)\n", c.name.c_str(),
                    levelName(c.variants[v].first), static_cast<unsigned long long>(total.comparison.elements),
                    static_cast<unsigned long long>(total.comparison.differences),
                    static_cast<unsigned long long>(total.fallbacks), share);
        for (const std::string& e : total.comparison.examples)
            std::printf("    %s\n", e.c_str());
        clean = clean && total.comparison.differences == 0;
    }
    std::printf("%-14s %.1f s wall (reference and %zu variants, both runs compared)\n", c.name.c_str(), wall,
                c.variants.size());
    std::fflush(stdout);
    return clean;
}

template <class T>
bool overAllSingles(const Contest<T>& c, unsigned threads, bool pairs)
{
    std::vector<std::vector<Tally>> perThread(threads, std::vector<Tally>(c.variants.size()));
    const Clock::time_point start = Clock::now();
    forSinglePatterns(0, 1, threads, [&](const float* block, std::size_t n, unsigned worker) {
        runBlock(c, block, pairs && n > 1 ? block + 1 : nullptr, pairs && n > 1 ? n - 1 : n, perThread[worker]);
    });
    return report(c, perThread, since(start));
}

bool overDoubles(const Contest<double>& c, const std::vector<double>& inputs, unsigned threads)
{
    constexpr std::size_t blockSize = std::size_t{1} << 16;
    std::vector<std::vector<Tally>> perThread(threads, std::vector<Tally>(c.variants.size()));
    const Clock::time_point start = Clock::now();
    parallelBlocks((inputs.size() + blockSize - 1) / blockSize, threads, [&](std::uint64_t b, unsigned worker) {
        const std::size_t first = static_cast<std::size_t>(b) * blockSize;
        runBlock(c, inputs.data() + first, static_cast<const double*>(nullptr),
                 std::min(blockSize, inputs.size() - first), perThread[worker]);
    });
    return report(c, perThread, since(start));
}

// samples generated doubles, block b filled by generate(b, block): a block's
// inputs depend on its number alone, not on the thread count.
bool overGeneratedDoubles(const Contest<double>& c, std::uint64_t samples, unsigned threads,
                          void (*generate)(std::uint64_t block, std::vector<double>& inputs))
{
    constexpr std::size_t blockSize = std::size_t{1} << 16;
    std::vector<std::vector<Tally>> perThread(threads, std::vector<Tally>(c.variants.size()));
    std::vector<std::vector<double>> buffers(threads, std::vector<double>(blockSize));
    const Clock::time_point start = Clock::now();
    parallelBlocks((samples + blockSize - 1) / blockSize, threads, [&](std::uint64_t b, unsigned worker) {
        std::vector<double>& block = buffers[worker];
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, samples - b * blockSize)));
        generate(b, block);
        runBlock(c, block.data(), static_cast<const double*>(nullptr), block.size(), perThread[worker]);
    });
    return report(c, perThread, since(start));
}

void logInputs(std::uint64_t block, std::vector<double>& inputs)
{
    Random random{block + 1};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (block % 2 == 0) {
            inputs[i] = std::bit_cast<double>(random.next());
        } else {
            const double d = std::exp2(-1 - 59 * random.uniform());
            inputs[i] = (random.next() & 1) != 0 ? 1 + d : 1 - d;
        }
    }
}

void expInputs(std::uint64_t block, std::vector<double>& inputs)
{
    Random random{block + 1};
    for (double& x : inputs) {
        const double u = random.uniform();
        switch (block % 4) {
        case 0: x = std::bit_cast<double>(random.next()); break;
        case 1: x = -745.2 + u * (709.8 + 745.2); break;
        case 2: x = 700.0 + u * 9.8; break;
        default: x = -745.2 + u * 45.2; break;
        }
    }
}

// samples generated complex elements, block b filled by generate(b, re, im).
template <class T>
bool overGeneratedPairs(const Contest<T>& c, std::uint64_t samples, unsigned threads,
                        void (*generate)(std::uint64_t block, std::vector<T>& re, std::vector<T>& im))
{
    constexpr std::size_t blockSize = std::size_t{1} << 16;
    std::vector<std::vector<Tally>> perThread(threads, std::vector<Tally>(c.variants.size()));
    std::vector<std::vector<T>> re(threads, std::vector<T>(blockSize)), im = re;
    const Clock::time_point start = Clock::now();
    parallelBlocks((samples + blockSize - 1) / blockSize, threads, [&](std::uint64_t b, unsigned worker) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, samples - b * blockSize));
        re[worker].resize(n);
        im[worker].resize(n);
        generate(b, re[worker], im[worker]);
        runBlock(c, re[worker].data(), im[worker].data(), n, perThread[worker]);
    });
    return report(c, perThread, since(start));
}

// A random single bit pattern: every special value among them.
float singlePattern(Random& random) { return std::bit_cast<float>(static_cast<std::uint32_t>(random.next())); }

// Complex singles in turn by block: random bit patterns of both parts
// (every special value among them), finite parts of every binade, |z| near
// 1 (y the single nearest sqrt(1 - x^2), moved by up to 3 ulps), and pairs
// at the ratio test of the squares (y near x 2^-27).
void complexInputs(std::uint64_t block, std::vector<float>& re, std::vector<float>& im)
{
    Random random{block + 1};
    auto finite = [&](int lowest) {
        const float significand = 1 + static_cast<float>(random.next() >> 41) * 0x1p-23f;
        const int exponent = static_cast<int>(random.next() % static_cast<std::uint64_t>(128 - lowest)) + lowest;
        return std::ldexp(significand, exponent) * ((random.next() & 1) != 0 ? -1.0f : 1.0f);
    };
    auto moved = [&](float v, float towards) {
        for (int k = static_cast<int>(random.next() % 4); k > 0; --k)
            v = std::nextafter(v, towards);
        return v;
    };
    for (std::size_t i = 0; i < re.size(); ++i) {
        switch (block % 4) {
        case 0:
            re[i] = singlePattern(random);
            im[i] = singlePattern(random);
            break;
        case 1:
            re[i] = finite(-149);
            im[i] = finite(-149);
            break;
        case 2: {
            const float x = static_cast<float>(0.5 + 0.5 * random.uniform());
            re[i] = (random.next() & 1) != 0 ? -x : x;
            im[i] = moved(static_cast<float>(std::sqrt(1.0 - static_cast<double>(x) * x)),
                          (random.next() & 1) != 0 ? 0.0f : 2.0f);
            break;
        }
        default: {
            const float x = finite(-99);
            re[i] = x;
            im[i] = moved(x * 0x1p-27f, (random.next() & 1) != 0 ? 0.0f : x);
            break;
        }
        }
    }
}

// Complex exp's pairs in turn by block: random bit patterns of both parts,
// x over the computed range and past it ([-110, 95] for singles, [-720,
// 715] for doubles) with y of every binade (up to 2^21 and 2^46), y next to
// a multiple of a quarter of the period P (where the remainder is zero or
// the angle's cosine or sine tiny), and moderate parts.
template <class T>
void complexExpInputs(std::uint64_t block, std::vector<T>& re, std::vector<T>& im)
{
    constexpr bool single = sizeof(T) == 4;
    constexpr double xLow = single ? -110 : -720;
    constexpr double xWidth = single ? 205 : 1435;
    constexpr int yLowest = single ? -149 : -1074;
    constexpr std::uint64_t yBinades = single ? 170 : 1120;
    constexpr double period = single ? 6.2831854820251465 : ExpConstants<double>::period;
    Random random{block + 1};
    auto pattern = [&] {
        if constexpr (single)
            return singlePattern(random);
        else
            return std::bit_cast<double>(random.next());
    };
    for (std::size_t i = 0; i < re.size(); ++i) {
        switch (block % 4) {
        case 0:
            re[i] = pattern();
            im[i] = pattern();
            break;
        case 1: {
            re[i] = static_cast<T>(xLow + xWidth * random.uniform());
            const int exponent = static_cast<int>(random.next() % yBinades) + yLowest;
            const T y = std::ldexp(static_cast<T>(1 + random.uniform()), exponent);
            im[i] = (random.next() & 1) != 0 ? -y : y;
            break;
        }
        case 2: {
            const auto quarters = static_cast<double>(static_cast<std::int64_t>(random.next() % 200001) - 100000);
            T y = static_cast<T>(quarters * period / 4);
            for (int k = static_cast<int>(random.next() % 4); k > 0; --k)
                y = std::nextafter(y, (random.next() & 1) != 0 ? T(-1e9) : T(1e9));
            re[i] = static_cast<T>(-20 + 40 * random.uniform());
            im[i] = y;
            break;
        }
        default:
            re[i] = static_cast<T>(-10 + 20 * random.uniform());
            im[i] = static_cast<T>(-100 + 200 * random.uniform());
            break;
        }
    }
}

// Complex doubles in turn by block, over `kinds` kinds: random bit patterns
// of both parts, moderate parts of both signs, parts of very different
// magnitudes (the smaller square rounded away in the sum); with five kinds
// also |z| near 1 (y the double nearest sqrt(1 - x^2), moved by up to 3
// ulps) and ratios s / l from 2^-250 to 2^-1150, where the smaller part
// leaves only its angle. sqrt takes the first three, the logarithms all.
void complexDoubleInputs(std::uint64_t block, std::vector<double>& re, std::vector<double>& im, unsigned kinds)
{
    Random random{block + 1};
    auto sign = [&] { return (random.next() & 1) != 0 ? -1.0 : 1.0; };
    for (std::size_t i = 0; i < re.size(); ++i) {
        double big, small;
        switch (block % kinds) {
        case 0:
            re[i] = std::bit_cast<double>(random.next());
            im[i] = std::bit_cast<double>(random.next());
            continue;
        case 1:
            re[i] = sign() * 1000 * random.uniform();
            im[i] = sign() * 1000 * random.uniform();
            continue;
        case 2:
            big = std::ldexp(1 + random.uniform(), static_cast<int>(random.next() % 900) - 450);
            small = big * std::ldexp(1 + random.uniform(), -static_cast<int>(random.next() % 120));
            break;
        case 3: {
            big = 0.5 + 0.5 * random.uniform();
            small = static_cast<double>(std::sqrt(1.0L - static_cast<long double>(big) * big));
            for (int k = static_cast<int>(random.next() % 4); k > 0; --k)
                small = std::nextafter(small, (random.next() & 1) != 0 ? 0.0 : 1.0);
            break;
        }
        default:
            big = std::ldexp(1 + random.uniform(), static_cast<int>(random.next() % 2046) - 1022);
            small = std::max(big * std::ldexp(1 + random.uniform(), -250 - static_cast<int>(random.next() % 900)),
                             0x1p-1074);
            break;
        }
        const bool swap = (random.next() & 1) != 0;
        re[i] = sign() * (swap ? small : big);
        im[i] = sign() * (swap ? big : small);
    }
}

void complexSqrtInputs(std::uint64_t block, std::vector<double>& re, std::vector<double>& im)
{
    complexDoubleInputs(block, re, im, 3);
}

void complexLogDoubleInputs(std::uint64_t block, std::vector<double>& re, std::vector<double>& im)
{
    complexDoubleInputs(block, re, im, 5);
}

bool chosen(const std::vector<std::string>& names, const char* name)
{
    return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace
} // namespace fpmex::test

int main(int argc, char** argv)
{
    using namespace fpmex;
    using namespace fpmex::test;
    std::size_t doubles = 100000000;
    std::uint64_t samples = 1000000000;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--doubles" && i + 1 < argc)
            doubles = std::strtoull(argv[++i], nullptr, 10);
        else if (std::string(argv[i]) == "--samples" && i + 1 < argc)
            samples = std::strtoull(argv[++i], nullptr, 10);
        else
            names.emplace_back(argv[i]);
    }
    unsigned threads = std::thread::hardware_concurrency();
    if (const char* text = std::getenv("FPMEX_VARIANTS_THREADS"))
        threads = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    threads = std::max(threads, 1u);
    std::printf("levels here: up to %s; %u threads\n", levelName(supportedLevel()), threads);

    const auto flagF = [](const std::string& n, LogKernelFn<float> k) { return flagKernel<float>(n, k); };
    const auto plainF = [](const std::string& n, RoundingKernelFn<float> k) { return plainKernel<float>(n, k); };
    const auto plainD = [](const std::string& n, RoundingKernelFn<double> k) { return plainKernel<double>(n, k); };
    const auto flagD = [](const std::string& n, SqrtKernelFn k) { return flagKernel<double>(n, k); };
    bool clean = true;
    if (chosen(names, "log2"))
        clean &= overAllSingles(contest<float>("log2", logKernelVariants<float, LogBase::two>(), flagF), threads, false);
    if (chosen(names, "log"))
        clean &= overAllSingles(contest<float>("log", logKernelVariants<float, LogBase::natural>(), flagF), threads, false);
    if (chosen(names, "log10"))
        clean &= overAllSingles(contest<float>("log10", logKernelVariants<float, LogBase::ten>(), flagF), threads, false);
    if (chosen(names, "exp"))
        clean &= overAllSingles(contest<float>("exp", expKernelVariants<float>(), plainF), threads, false);
    if (chosen(names, "floor")) {
        const auto c = contest<float>("floor", floorKernelVariants(), plainF);
        clean &= overAllSingles(c, threads, false);
        clean &= overAllSingles(Contest<float>{"floor complex", c.reference, c.variants}, threads, true);
    }
    const auto dissectF = [](const std::string& n, DissectKernelFn<float> k) { return dissectionKernel<float>(n, k); };
    const auto dissectD = [](const std::string& n, DissectKernelFn<double> k) { return dissectionKernel<double>(n, k); };
    if (chosen(names, "dissect"))
        clean &= overAllSingles(contest<float>("[F,E] single", dissectKernelVariants<float>(), dissectF), threads, false);
    if (chosen(names, "round") || chosen(names, "sqrt") || chosen(names, "dissect")) {
        std::vector<double> inputs = specialDoubles();
        const std::vector<double> random = randomDoubles(doubles, 1);
        const std::vector<double> hard = roundingHardDoubles(doubles / 10, 2);
        inputs.insert(inputs.end(), random.begin(), random.end());
        inputs.insert(inputs.end(), hard.begin(), hard.end());
        if (chosen(names, "round"))
            clean &= overDoubles(contest<double>("round", roundKernelVariants(), plainD), inputs, threads);
        if (chosen(names, "sqrt"))
            clean &= overDoubles(contest<double>("sqrt", sqrtKernelVariants(), flagD), inputs, threads);
        if (chosen(names, "dissect"))
            clean &= overDoubles(contest<double>("[F,E] double", dissectKernelVariants<double>(), dissectD), inputs,
                                 threads);
    }
    const auto flagDouble = [](const std::string& n, LogKernelFn<double> k) { return flagKernel<double>(n, k); };
    const auto plainDouble = [](const std::string& n, ExpKernelFn<double> k) { return plainKernel<double>(n, k); };
    if (chosen(names, "double-log2"))
        clean &= overGeneratedDoubles(contest<double>("double log2", logKernelVariants<double, LogBase::two>(), flagDouble),
                                      samples, threads, logInputs);
    if (chosen(names, "double-log10"))
        clean &= overGeneratedDoubles(contest<double>("double log10", logKernelVariants<double, LogBase::ten>(), flagDouble),
                                      samples, threads, logInputs);
    const std::pair<const char*, const KernelVariants<LogKernelFn<float>>*> complexLogs[] = {
        {"complex-log2", &logKernelVariants<float, LogBase::two>()},
        {"complex-log", &logKernelVariants<float, LogBase::natural>()},
        {"complex-log10", &logKernelVariants<float, LogBase::ten>()}};
    for (const auto& [name, table] : complexLogs)
        if (chosen(names, name))
            clean &= overGeneratedPairs(contest<float>(name, *table, flagF), samples, threads, complexInputs);
    const std::pair<const char*, const KernelVariants<LogKernelFn<double>>*> complexDoubleLogs[] = {
        {"complex-double-log2", &logKernelVariants<double, LogBase::two>()},
        {"complex-double-log10", &logKernelVariants<double, LogBase::ten>()}};
    for (const auto& [name, table] : complexDoubleLogs)
        if (chosen(names, name))
            clean &= overGeneratedPairs(contest<double>(name, *table, flagDouble), samples, threads,
                                        complexLogDoubleInputs);
    if (chosen(names, "complex-exp"))
        clean &= overGeneratedPairs(contest<float>("complex-exp", expKernelVariants<float>(), plainF), samples, threads,
                                    complexExpInputs<float>);
    if (chosen(names, "complex-double-exp"))
        clean &= overGeneratedPairs(contest<double>("complex-double-exp", expKernelVariants<double>(), plainDouble),
                                    samples, threads, complexExpInputs<double>);
    if (chosen(names, "complex-sqrt"))
        clean &= overGeneratedPairs(contest<double>("complex-sqrt", sqrtKernelVariants(), flagD), samples, threads,
                                    complexSqrtInputs);
    if (chosen(names, "double-exp"))
        clean &= overGeneratedDoubles(contest<double>("double exp", expKernelVariants<double>(), plainDouble), samples,
                                      threads, expInputs);
    return clean ? 0 : 1;
}
