#include "variant_harness.h"

#include "page_buffer.h"

#include "common/fp_state.h"
#include "common/x87.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>

namespace fpmex::test {
namespace {

constexpr std::size_t keptExamples = 8;

template <class T>
auto bitsOf(T x)
{
    if constexpr (sizeof(T) == 4)
        return std::bit_cast<std::uint32_t>(x);
    else
        return std::bit_cast<std::uint64_t>(x);
}

template <class T>
std::string hex(T x)
{
    char text[24];
    std::snprintf(text, sizeof text, sizeof(T) == 4 ? "%08llX" : "%016llX",
                  static_cast<unsigned long long>(bitsOf(x)));
    return text;
}

// Fills a buffer with a pattern no kernel writes, so that an element one
// kernel leaves unwritten differs from the other's.
template <class T>
void poison(T* buffer, std::size_t count)
{
    std::memset(buffer, 0x5A, count * sizeof(T));
}

template <class T>
T* orNull(std::vector<T>& v, bool present)
{
    return present ? v.data() : nullptr;
}

// Runs one kernel into the given buffers; outIm is passed only where the
// kernel writes it.
template <class T>
int runInto(const KernelRun<T>& kernel, T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    const bool imaginary = kernel.writesImaginary || inIm != nullptr;
    return kernel.run(outRe, imaginary ? outIm : nullptr, inRe, inIm, count);
}

// Whether the imaginary outputs take part: for a complex input always, for a
// real one where the kernel writes them and the frame keeps them.
template <class T>
bool imaginaryCompared(const KernelRun<T>& reference, bool complex, int flag)
{
    return complex || (reference.writesImaginary && (!reference.imaginaryOnFlag || flag != 0));
}

template <class T>
void compareOutputs(const std::string& what, const T* inRe, const T* inIm, const T* re0, const T* im0, const T* re1,
                    const T* im1, std::size_t count, bool imaginary, Comparison& result)
{
    for (std::size_t i = 0; i < count; ++i) {
        const bool same = bitsOf(re0[i]) == bitsOf(re1[i]) && (!imaginary || bitsOf(im0[i]) == bitsOf(im1[i]));
        ++result.elements;
        if (same)
            continue;
        if (result.differences++ < keptExamples) {
            std::string text = what + ": input " + hex(inRe[i]);
            if (inIm != nullptr)
                text += " " + hex(inIm[i]);
            text += ": reference " + hex(re0[i]) + (imaginary ? " " + hex(im0[i]) : "") + ", variant " +
                    hex(re1[i]) + (imaginary ? " " + hex(im1[i]) : "");
            result.examples.push_back(text);
        }
    }
}

template <class T>
void addNeighbours(std::vector<T>& out, T x, int ulps)
{
    T below = x, above = x;
    out.push_back(x);
    for (int k = 0; k < ulps; ++k) {
        below = std::nextafter(below, -std::numeric_limits<T>::infinity());
        above = std::nextafter(above, std::numeric_limits<T>::infinity());
        out.push_back(below);
        out.push_back(above);
    }
}

template <class T>
void addBoth(std::vector<T>& out, const std::vector<T>& values)
{
    for (T x : values) {
        out.push_back(x);
        out.push_back(-x);
    }
}

template <class T>
std::vector<T> specials()
{
    using Limits = std::numeric_limits<T>;
    using Bits = decltype(bitsOf(T{}));
    constexpr int significandBits = Limits::digits - 1;
    std::vector<T> positive;
    // Zeros and subnormals, the smallest normals.
    for (Bits b : {Bits{0}, Bits{1}, Bits{2}, Bits{3}, Bits{5}, Bits{1} << (significandBits - 1),
                   (Bits{1} << significandBits) - 1, Bits{1} << significandBits, (Bits{1} << significandBits) + 1})
        positive.push_back(std::bit_cast<T>(b));
    // Powers of two over the whole range, and their neighbours.
    for (int e = Limits::min_exponent - Limits::digits; e < Limits::max_exponent; ++e)
        addNeighbours(positive, std::ldexp(T(1), e), 1);
    // Near 1 and near the bases' powers, where results are small or exact.
    addNeighbours(positive, T(1), 64);
    for (T x : {T(10), T(100), T(1000), T(1e4), T(1e5), T(1e6), T(1e7), T(1e8), T(1e9), T(1e10),
                static_cast<T>(2.718281828459045), static_cast<T>(0.7071067811865476), static_cast<T>(1.4142135623730951)})
        addNeighbours(positive, x, 4);
    // Half-integers, where floor and round change.
    for (T h = 0.5; h < T(64); h += 1)
        addNeighbours(positive, h, 2);
    for (T base : {std::ldexp(T(1), significandBits - 1), std::ldexp(T(1), significandBits),
                   std::ldexp(T(1), significandBits + 1)}) {
        addNeighbours(positive, base - T(0.5), 2);
        addNeighbours(positive, base, 2);
    }
    // The ends of exp's range: overflow, subnormal results, zero results.
    if constexpr (sizeof(T) == 4) {
        for (T x : {88.72283935546875f, 88.7228393554687f, 89.0f, 87.33654022216797f, 103.97207641601562f, 104.0f,
                    100.0f, 149.0f})
            addNeighbours(positive, x, 16);
    } else {
        for (T x : {709.782712893384, 710.0, 708.3964185322641, 744.4400719213812, 745.1332191019411, 746.0})
            addNeighbours(positive, x, 16);
    }
    // The largest finite values and infinity.
    addNeighbours(positive, Limits::max(), 0);
    positive.push_back(std::nextafter(Limits::max(), T(0)));
    positive.push_back(Limits::infinity());

    std::vector<T> out;
    addBoth(out, positive);
    // Quiet and signalling NaNs with payloads, both signs.
    const Bits exponent = std::bit_cast<Bits>(Limits::infinity());
    const Bits quiet = Bits{1} << (significandBits - 1);
    for (Bits payload : {Bits{0}, Bits{1}, Bits{0x2A5}, quiet - 1}) {
        for (Bits sign : {Bits{0}, Bits{1} << (8 * sizeof(T) - 1)}) {
            out.push_back(std::bit_cast<T>(sign | exponent | quiet | payload));
            if (payload != 0)
                out.push_back(std::bit_cast<T>(sign | exponent | payload));
        }
    }
    return out;
}

} // namespace

void Comparison::merge(const Comparison& other)
{
    elements += other.elements;
    differences += other.differences;
    for (const std::string& e : other.examples)
        if (examples.size() < keptExamples)
            examples.push_back(e);
}

std::string Comparison::summary() const
{
    std::string text = std::to_string(differences) + " of " + std::to_string(elements) + " elements differ";
    for (const std::string& e : examples)
        text += "\n  " + e;
    return text;
}

template <class T>
Comparison compareKernels(const KernelRun<T>& reference, const KernelRun<T>& variant, const T* inRe, const T* inIm,
                          std::size_t count)
{
    std::vector<T> re0(count), im0(count), re1(count), im1(count);
    for (std::vector<T>* v : {&re0, &im0, &re1, &im1})
        poison(v->data(), count);
    const int flag0 = runInto(reference, re0.data(), im0.data(), inRe, inIm, count);
    const int flag1 = runInto(variant, re1.data(), im1.data(), inRe, inIm, count);
    Comparison result;
    compareOutputs(variant.name, inRe, inIm, re0.data(), im0.data(), re1.data(), im1.data(), count,
                   imaginaryCompared(reference, inIm != nullptr, flag0), result);
    if (flag0 != flag1) {
        ++result.differences;
        result.examples.push_back(variant.name + ": flag " + std::to_string(flag1) + ", reference " +
                                  std::to_string(flag0) + " over " + std::to_string(count) + " elements from " +
                                  hex(inRe[0]));
    }
    return result;
}

template <class T>
Comparison compareEach(const KernelRun<T>& reference, const KernelRun<T>& variant, const std::vector<T>& inRe,
                       const std::vector<T>& inIm)
{
    Comparison result;
    const bool complex = !inIm.empty();
    for (std::size_t i = 0; i < inRe.size(); ++i)
        result.merge(compareKernels(reference, variant, &inRe[i], complex ? &inIm[i] : nullptr, 1));
    result.merge(compareKernels(reference, variant, inRe.data(), complex ? inIm.data() : nullptr, inRe.size()));
    return result;
}

template <class T>
Comparison compareCountsAndOffsets(const KernelRun<T>& reference, const KernelRun<T>& variant,
                                   const std::vector<T>& values, std::size_t maxCount, bool complex)
{
    Comparison result;
    for (std::size_t count = 1; count <= maxCount; ++count) {
        // Inputs and the variant's outputs end at an inaccessible page, so an
        // access past the count faults; their start moves with the count.
        std::vector<T> re(count), im(count);
        for (std::size_t i = 0; i < count; ++i) {
            re[i] = values[(count * 7 + i) % values.size()];
            im[i] = values[(count * 11 + 3 * i) % values.size()];
        }
        PageEndBuffer<T> inRe(re), inIm(im), outRe(count), outIm(count);
        std::vector<T> re0(count), im0(count);
        poison(re0.data(), count);
        poison(im0.data(), count);
        poison(outRe.data(), count);
        poison(outIm.data(), count);
        const T* imaginaryIn = complex ? inIm.data() : nullptr;
        const int flag0 = runInto(reference, re0.data(), im0.data(), inRe.data(), imaginaryIn, count);
        const int flag1 = runInto(variant, outRe.data(), outIm.data(), inRe.data(), imaginaryIn, count);
        const std::vector<T> re1 = outRe.values(), im1 = outIm.values();
        compareOutputs(variant.name + " at count " + std::to_string(count), inRe.data(), imaginaryIn, re0.data(),
                       im0.data(), re1.data(), im1.data(), count, imaginaryCompared(reference, complex, flag0),
                       result);
        if (flag0 != flag1 || !outRe.untouchedBefore() || !outIm.untouchedBefore()) {
            ++result.differences;
            result.examples.push_back(variant.name + " at count " + std::to_string(count) +
                                      ": a flag differs or a store fell before the buffer");
        }
    }
    return result;
}

std::vector<float> specialSingles() { return specials<float>(); }
std::vector<double> specialDoubles() { return specials<double>(); }

void parallelBlocks(std::uint64_t blocks, unsigned threads,
                    const std::function<void(std::uint64_t block, unsigned worker)>& work)
{
    std::atomic<std::uint64_t> next{0};
    auto run = [&](unsigned worker) {
        for (std::uint64_t b = next++; b < blocks; b = next++)
            work(b, worker);
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(run, t);
    run(0);
    for (std::thread& thread : pool)
        thread.join();
}

void forSinglePatterns(std::uint64_t first, std::uint64_t step, unsigned threads,
                       const std::function<void(const float* block, std::size_t count, unsigned worker)>& visit)
{
    constexpr std::uint64_t patterns = std::uint64_t{1} << 32;
    constexpr std::size_t blockSize = std::size_t{1} << 16;
    const std::uint64_t samples = first < patterns ? (patterns - first + step - 1) / step : 0;
    std::vector<std::vector<float>> buffers(threads == 0 ? 1 : threads, std::vector<float>(blockSize));
    parallelBlocks((samples + blockSize - 1) / blockSize, threads == 0 ? 1 : threads,
                   [&](std::uint64_t b, unsigned worker) {
                       std::vector<float>& block = buffers[worker];
                       const std::uint64_t start = b * blockSize;
                       const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, samples - start));
                       for (std::size_t k = 0; k < n; ++k)
                           block[k] = std::bit_cast<float>(static_cast<std::uint32_t>(first + (start + k) * step));
                       visit(block.data(), n, worker);
                   });
}

std::vector<double> randomDoubles(std::size_t count, std::uint64_t seed)
{
    Random random{seed};
    std::vector<double> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = random.next();
        if (i % 2 == 0) {
            out[i] = std::bit_cast<double>(bits);
        } else {
            // Uniform in the exponent: every binade as likely.
            const double significand = 1 + static_cast<double>(bits >> 12) * 0x1p-52;
            const int exponent = static_cast<int>(random.next() % 2098) - 1074;
            out[i] = std::ldexp(significand, exponent) * ((bits & 1) != 0 ? -1 : 1);
        }
    }
    return out;
}

std::vector<double> roundingHardDoubles(std::size_t count, std::uint64_t seed)
{
    Random random{seed};
    std::vector<double> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = random.next();
        const double sign = (bits & 1) != 0 ? -1 : 1;
        const int ulps = static_cast<int>((bits >> 1) % 7) - 3;
        double x;
        switch ((bits >> 4) % 4) {
        case 0: { // a half-integer below 2^(1..53)
            const int magnitude = 1 + static_cast<int>(random.next() % 53);
            x = std::floor(random.uniform() * std::ldexp(1.0, magnitude)) + 0.5;
            break;
        }
        case 1: // near 2^52, where the spacing becomes 1
            x = 0x1p52 + std::floor((random.uniform() - 0.5) * 64) + 0.5 * static_cast<double>((bits >> 8) & 1);
            break;
        case 2: // a subnormal
            x = std::bit_cast<double>(random.next() & 0x000FFFFFFFFFFFFF);
            break;
        default: // an integer, or zero
            x = std::floor(random.uniform() * std::ldexp(1.0, static_cast<int>(random.next() % 64)));
            break;
        }
        for (int k = 0; k < ulps; ++k)
            x = std::nextafter(x, INFINITY);
        for (int k = 0; k > ulps; --k)
            x = std::nextafter(x, -INFINITY);
        out[i] = sign * x;
    }
    return out;
}

std::vector<double> nearOneDoubles(std::size_t count, std::uint64_t seed)
{
    Random random{seed};
    std::vector<double> out(count);
    for (double& x : out) {
        const double d = std::exp2(-1 - 59 * random.uniform());
        x = (random.next() & 1) != 0 ? 1 + d : 1 - d;
    }
    return out;
}

std::vector<double> nearDoubleMidpoints(const std::vector<double>& candidates,
                                        const std::function<long double(double)>& extendedResult,
                                        unsigned withinUlps)
{
    FpStateGuard guard;
    x87Reset();
    std::vector<double> out;
    for (double x : candidates)
        if (nearDoubleMidpoint(extendedResult(x), withinUlps))
            out.push_back(x);
    return out;
}

bool nearDoubleMidpoint(long double r, unsigned withinUlps)
{
    if (!(std::fabs(r) >= 0x1p-1022L && std::fabs(r) <= 0x1p1023L))
        return false;
    // The eleven significand bits that rounding to double drops; the
    // midpoint is 0x400.
    const auto dropped = static_cast<unsigned>(x87::significandOf(r) & 0x7FF);
    const unsigned distance = dropped > 0x400 ? dropped - 0x400 : 0x400 - dropped;
    return distance <= withinUlps;
}

std::vector<CpuLevel> vectorLevelsHere()
{
    std::vector<CpuLevel> levels;
    for (CpuLevel level : allCpuLevels)
        if (level != CpuLevel::x87 && level <= supportedLevel())
            levels.push_back(level);
    return levels;
}

bool certainSingle(double d, double relativeError, float& rounded)
{
    const double margin = std::fabs(d) * relativeError;
    const float low = static_cast<float>(d - margin);
    if (std::bit_cast<std::uint32_t>(low) != std::bit_cast<std::uint32_t>(static_cast<float>(d + margin)))
        return false;
    rounded = low;
    return true;
}

#define FPMEX_HARNESS(T)                                                                                      \
    template Comparison compareKernels<T>(const KernelRun<T>&, const KernelRun<T>&, const T*, const T*,       \
                                          std::size_t);                                                      \
    template Comparison compareEach<T>(const KernelRun<T>&, const KernelRun<T>&, const std::vector<T>&,       \
                                       const std::vector<T>&);                                               \
    template Comparison compareCountsAndOffsets<T>(const KernelRun<T>&, const KernelRun<T>&,                 \
                                                   const std::vector<T>&, std::size_t, bool);
FPMEX_HARNESS(float)
FPMEX_HARNESS(double)
#undef FPMEX_HARNESS

} // namespace fpmex::test
