// Kernel variants against their x87 reference, bit for bit: the same inputs
// through both, every output element compared, over a table of hard cases, a
// fixed sample of the 2^32 single patterns or all of them. The tests of each
// area, the opt-in exhaustive run and the accuracy tool share it; it needs no
// test framework.
#pragma once

#include "common/cpu_level.h"
#include "common/kernel_variants.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fpmex::test {

// A kernel in the shape every comparison uses: (outRe, outIm, inRe, inIm,
// count) -> imaginary-part flag (0 for kernels without one). For the
// dissection outRe is F and outIm is E.
template <class T>
struct KernelRun {
    std::string name;
    std::function<int(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)> run;
    bool writesImaginary; // outIm is written for a real input (and compared)
    // For a real input outIm matters only when the flag is 1: the frames drop
    // the imaginary buffer otherwise, and a variant may leave it unwritten.
    bool imaginaryOnFlag = false;
};

template <class T>
KernelRun<T> flagKernel(std::string name, int (*kernel)(T*, T*, const T*, const T*, std::size_t))
{
    return {std::move(name), kernel, true, true};
}

template <class T>
KernelRun<T> plainKernel(std::string name, void (*kernel)(T*, T*, const T*, const T*, std::size_t))
{
    return {std::move(name),
            [kernel](T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count) {
                kernel(outRe, outIm, inRe, inIm, count);
                return 0;
            },
            false};
}

template <class T>
KernelRun<T> dissectionKernel(std::string name, void (*kernel)(T*, T*, const T*, std::size_t))
{
    return {std::move(name),
            [kernel](T* outF, T* outE, const T* inRe, const T*, std::size_t count) {
                kernel(outF, outE, inRe, count);
                return 0;
            },
            true};
}

// What a comparison found. Differences name the input and both results in
// hexadecimal; only the first few are kept.
struct Comparison {
    std::uint64_t elements = 0;
    std::uint64_t differences = 0;
    std::vector<std::string> examples;

    void merge(const Comparison& other);
    std::string summary() const;
};

// One run of both kernels over the same inputs (inIm null: real input),
// every element of each written output compared, and the flags.
template <class T>
Comparison compareKernels(const KernelRun<T>& reference, const KernelRun<T>& variant, const T* inRe, const T* inIm,
                          std::size_t count);

// Each input alone (count 1), so that a flag is compared element by
// element; then all of them in one run.
template <class T>
Comparison compareEach(const KernelRun<T>& reference, const KernelRun<T>& variant, const std::vector<T>& inRe,
                       const std::vector<T>& inIm = {});

// Hard cases: +-0, subnormals, +-Inf, quiet and signalling NaNs with
// payloads, powers of two, values near 1, half-integers and their
// neighbours, the largest finite values, and the ends of exp's range.
std::vector<float> specialSingles();
std::vector<double> specialDoubles();

// splitmix64: small, fast, and the same stream for a given seed everywhere.
struct Random {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }
};

// Runs work(block, worker) for blocks 0 .. blocks - 1 on `threads` threads
// (the calling one among them), each taking the next free block.
void parallelBlocks(std::uint64_t blocks, unsigned threads,
                    const std::function<void(std::uint64_t block, unsigned worker)>& work);

// The single patterns first, first + step, ... below 2^32, in blocks of up to
// blockSize consecutive sample elements, on `threads` threads:
// visit(block, count, worker) where worker < threads. step 1 is every
// pattern.
void forSinglePatterns(std::uint64_t first, std::uint64_t step, unsigned threads,
                       const std::function<void(const float* block, std::size_t count, unsigned worker)>& visit);

// Random double bit patterns, and doubles spread over every binade, from a
// fixed seed: the same list everywhere for the same seed and count.
std::vector<double> randomDoubles(std::size_t count, std::uint64_t seed);

// Doubles where round and sqrt are hardest, from a fixed seed:
// half-integers of every magnitude up to 2^53 and a few ulps around them,
// the region around 2^52, subnormals; both signs.
std::vector<double> roundingHardDoubles(std::size_t count, std::uint64_t seed);

// 1 + d with |d| log-uniform from 2^-60 to 2^-1, both signs: where a
// logarithm's result is small and its relative accuracy hardest to keep.
std::vector<double> nearOneDoubles(std::size_t count, std::uint64_t seed);

// The candidates whose extended-precision result (as an x87 kernel forms it
// before its one rounding to double) lies within `withinUlps` extended units
// in the last place of a midpoint between two doubles: the elements whose
// stored double a vector variant cannot be sure of, and those just beside
// them. extendedResult runs under the x87 kernels' own state.
std::vector<double> nearDoubleMidpoints(const std::vector<double>& candidates,
                                        const std::function<long double(double)>& extendedResult,
                                        unsigned withinUlps);
// Whether a normal extended value lies within `withinUlps` extended units in
// the last place of a midpoint between two doubles.
bool nearDoubleMidpoint(long double r, unsigned withinUlps);

// A variant's inputs shifted to every offset within 64 bytes and run at
// every count from 1 to maxCount, each compared with the reference, so
// that every vector tail and every misalignment is taken.
template <class T>
Comparison compareCountsAndOffsets(const KernelRun<T>& reference, const KernelRun<T>& variant,
                                   const std::vector<T>& values, std::size_t maxCount, bool complex);

// The vector levels this processor has, lowest first: the variants that can
// be run and compared here.
std::vector<CpuLevel> vectorLevelsHere();

// Those of them at which a kernel has a variant of its own (floor and round
// have none at SSE2, the double set's logarithms and exp none at SSE2).
template <class Fn>
std::vector<CpuLevel> levelsWithOwnVariant(const KernelVariants<Fn>& table)
{
    std::vector<CpuLevel> levels;
    for (CpuLevel level : vectorLevelsHere())
        if (table.levelAt(level) == level)
            levels.push_back(level);
    return levels;
}

// The certain rounding of an approximation to single: d is within
// |d| * relativeError of the exact value; when every value of that window
// rounds to the same single, it is stored in `rounded` and true returned.
bool certainSingle(double d, double relativeError, float& rounded);

} // namespace fpmex::test
