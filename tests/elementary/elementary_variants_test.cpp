// The vector variants of exp (real input, both sets), floor, round and sqrt
// (real input) against their x87 references, bit for bit, at every level
// this processor has: hard cases one by one, a fixed sample of the 2^32
// single patterns or a million random doubles, exp's range and its
// near-midpoint doubles, every count up to 67 at buffer ends, complex
// inputs, and under a careless caller's modes.
#include "caller_modes.h"
#include "mex_test.h"
#include "variant_harness.h"

#include "common/fallback.h"
#include "common/x87.h"
#include "common/fp_state.h"
#include "elementary/exp_constants.h"
#include "elementary/exp_kernel.h"
#include "elementary/exp_magnitude.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace fpmex::test {
namespace {

constexpr std::uint64_t sampleStep = 4099; // prime: every residue of the bits

std::string nameAt(const std::string& name, CpuLevel level) { return name + "@" + levelName(level); }

// The reference and the variant of each level, as the harness runs them.
template <class T, class Fn>
struct Contestants {
    KernelRun<T> reference;
    std::vector<KernelRun<T>> variants;
};

template <class T, class Fn>
Contestants<T, Fn> contestants(const std::string& name, const KernelVariants<Fn>& table)
{
    Contestants<T, Fn> c;
    if constexpr (std::is_same_v<Fn, int (*)(T*, T*, const T*, const T*, std::size_t)>) {
        c.reference = flagKernel<T>(name, table.x87);
        for (CpuLevel level : levelsWithOwnVariant(table))
            c.variants.push_back(flagKernel<T>(nameAt(name, level), table.at(level)));
    } else {
        c.reference = plainKernel<T>(name, table.x87);
        for (CpuLevel level : levelsWithOwnVariant(table))
            c.variants.push_back(plainKernel<T>(nameAt(name, level), table.at(level)));
    }
    return c;
}

auto expSingle() { return contestants<float>("exp", expKernelVariants<float>()); }
auto expDouble() { return contestants<double>("double exp", expKernelVariants<double>()); }
auto floorSingle() { return contestants<float>("floor", floorKernelVariants()); }
auto roundDouble() { return contestants<double>("round", roundKernelVariants()); }
auto sqrtDouble() { return contestants<double>("sqrt", sqrtKernelVariants()); }

template <class T, class Fn, class Compare>
void expectSameEverywhere(const Contestants<T, Fn>& c, Compare compare)
{
    for (const KernelRun<T>& variant : c.variants) {
        const Comparison result = compare(c.reference, variant);
        EXPECT_EQ(result.differences, 0u) << result.summary();
    }
}

template <class T, class Fn>
void expectSameOnSinglesSample(const Contestants<T, Fn>& c, bool complex)
{
    expectSameEverywhere(c, [&](const KernelRun<T>& reference, const KernelRun<T>& variant) {
        Comparison result;
        forSinglePatterns(complex ? 7 : 0, sampleStep, 1, [&](const float* block, std::size_t n, unsigned) {
            // A complex input pairs each pattern with the next one's.
            const float* imag = complex && n > 1 ? block + 1 : nullptr;
            result.merge(compareKernels(reference, variant, block, imag, imag != nullptr ? n - 1 : n));
        });
        return result;
    });
}

std::vector<double> hardAndRandomDoubles()
{
    std::vector<double> inputs = specialDoubles();
    const std::vector<double> random = randomDoubles(1000000, 2026);
    const std::vector<double> hard = roundingHardDoubles(100000, 2027);
    inputs.insert(inputs.end(), random.begin(), random.end());
    inputs.insert(inputs.end(), hard.begin(), hard.end());
    return inputs;
}

TEST(ElementaryVariants, GiveTheReferenceBitsForHardCasesOneByOne)
{
    const std::vector<float> singles = specialSingles();
    const std::vector<double> doubles = specialDoubles();
    auto each = [](const auto& inputs) {
        return [&inputs](const auto& reference, const auto& variant) { return compareEach(reference, variant, inputs); };
    };
    expectSameEverywhere(expSingle(), each(singles));
    expectSameEverywhere(floorSingle(), each(singles));
    expectSameEverywhere(expDouble(), each(doubles));
    expectSameEverywhere(roundDouble(), each(doubles));
    expectSameEverywhere(sqrtDouble(), each(doubles));
}

TEST(ElementaryVariants, GiveTheReferenceBitsOverASampleOfAllSinglesAndExpUsesTheFallback)
{
    const std::uint64_t fallbacksBefore = fallbackCount();
    expectSameOnSinglesSample(expSingle(), false);
    const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
    EXPECT_GT(fallbacks, 0u) << "no exp element near a rounding boundary was handed to the reference";
    EXPECT_LT(fallbacks, 1000u * levelsWithOwnVariant(expKernelVariants<float>()).size());
    expectSameOnSinglesSample(floorSingle(), false);
    expectSameOnSinglesSample(floorSingle(), true);
}

TEST(ElementaryVariants, GiveTheReferenceBitsOverAMillionRandomAndHardDoubles)
{
    const std::vector<double> inputs = hardAndRandomDoubles();
    std::vector<double> imaginary(inputs.rbegin(), inputs.rend());
    auto all = [&](bool complex) {
        return [&, complex](const auto& reference, const auto& variant) {
            return compareKernels(reference, variant, inputs.data(), complex ? imaginary.data() : nullptr,
                                  inputs.size());
        };
    };
    expectSameEverywhere(expDouble(), all(false));
    expectSameEverywhere(roundDouble(), all(false));
    expectSameEverywhere(roundDouble(), all(true));
    expectSameEverywhere(sqrtDouble(), all(false));
}

std::vector<double> uniformDoubles(std::size_t count, std::uint64_t seed, double low, double high)
{
    Random random{seed};
    std::vector<double> out(count);
    for (double& x : out)
        x = low + (high - low) * random.uniform();
    return out;
}

// The double exponential reproduces the x87 sequence, whose result is not
// always the correctly rounded one: the inputs cover its whole finite range,
// the ends where the result overflows or becomes subnormal, small
// magnitudes, and the elements whose extended result lies next to a midpoint
// between doubles (searched), which a variant must hand over.
TEST(ElementaryVariants, DoubleExpGivesTheReferenceBitsOverItsRangeEdgesAndMidpoints)
{
    std::vector<double> inputs = uniformDoubles(600000, 31, -708, 709);
    const std::vector<double> midpoints = nearDoubleMidpoints(
        inputs, [log2e = x87::fldl2e()](double x) { return expMagnitude(x87::load(x), log2e); }, 2);
    inputs.insert(inputs.end(), midpoints.begin(), midpoints.end());
    const std::size_t regular = inputs.size();
    for (const auto& [low, high] : {std::pair{700.0, 710.5}, std::pair{-746.5, -700.0}, std::pair{-0x1p-60, 0x1p-60},
                                    std::pair{-1e-5, 1e-5}}) {
        const std::vector<double> edge = uniformDoubles(20000, 37, low, high);
        inputs.insert(inputs.end(), edge.begin(), edge.end());
    }
    const auto c = expDouble();
    expectSameEverywhere(c, [&](const auto& reference, const auto& variant) {
        const std::uint64_t fallbacksBefore = fallbackCount();
        Comparison result = compareKernels(reference, variant, inputs.data(), static_cast<const double*>(nullptr), regular);
        // The midpoints are handed over, and few else are.
        const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
        EXPECT_GT(fallbacks, midpoints.size() / 2) << variant.name;
        EXPECT_LT(fallbacks, regular / 100) << variant.name;
        result.merge(compareKernels(reference, variant, inputs.data() + regular, static_cast<const double*>(nullptr),
                                    inputs.size() - regular));
        return result;
    });
}

TEST(ElementaryVariants, ReadAndWriteOnlyTheirElementsAtEveryCount)
{
    const std::vector<float> singles = specialSingles();
    const std::vector<double> doubles = specialDoubles();
    auto counts = [](const auto& inputs, bool complex) {
        return [&inputs, complex](const auto& reference, const auto& variant) {
            return compareCountsAndOffsets(reference, variant, inputs, 67, complex);
        };
    };
    expectSameEverywhere(expSingle(), counts(singles, false));
    expectSameEverywhere(expDouble(), counts(doubles, false));
    expectSameEverywhere(floorSingle(), counts(singles, false));
    expectSameEverywhere(floorSingle(), counts(singles, true));
    expectSameEverywhere(roundDouble(), counts(doubles, false));
    expectSameEverywhere(roundDouble(), counts(doubles, true));
    expectSameEverywhere(sqrtDouble(), counts(doubles, false));
}

// Outputs of 8 MiB and more are stored past the caches, from the first
// register-aligned element on: the output at several offsets within a cache
// line, both parts, against the reference, and nothing written beside it.
template <class T, class Fn>
void expectSameForLargeOutputs(const Contestants<T, Fn>& c, const std::vector<T>& values)
{
    const std::size_t count = (std::size_t{8} << 20) / sizeof(T) + 37;
    constexpr std::size_t perLine = 64 / sizeof(T);
    std::vector<T> re(count), im(count), wantRe(count), wantIm(count);
    for (std::size_t i = 0; i < count; ++i) {
        re[i] = values[i % values.size()];
        im[i] = values[(3 * i + 1) % values.size()];
    }
    c.reference.run(wantRe.data(), wantIm.data(), re.data(), im.data(), count);
    // Room for a line of guard before and after, and for aligning the start.
    std::vector<T> storeRe(count + 4 * perLine), storeIm(count + 4 * perLine);
    const auto lineStart = [](std::vector<T>& v) {
        const auto address = reinterpret_cast<std::uintptr_t>(v.data());
        return v.data() + ((64 - address % 64) % 64) / sizeof(T) + perLine;
    };
    for (const KernelRun<T>& variant : c.variants)
        for (std::size_t offset : {std::size_t{0}, std::size_t{1}, perLine / 2 + 1, perLine - 1}) {
            std::memset(storeRe.data(), 0xA5, storeRe.size() * sizeof(T));
            std::memset(storeIm.data(), 0xA5, storeIm.size() * sizeof(T));
            T* outRe = lineStart(storeRe) + offset;
            T* outIm = lineStart(storeIm) + offset;
            variant.run(outRe, outIm, re.data(), im.data(), count);
            EXPECT_EQ(std::memcmp(outRe, wantRe.data(), count * sizeof(T)), 0) << variant.name << " at " << offset;
            EXPECT_EQ(std::memcmp(outIm, wantIm.data(), count * sizeof(T)), 0) << variant.name << " at " << offset;
            std::vector<T> guard(perLine);
            std::memset(guard.data(), 0xA5, perLine * sizeof(T));
            for (T* out : {outRe, outIm}) {
                EXPECT_EQ(std::memcmp(out - perLine, guard.data(), perLine * sizeof(T)), 0) << variant.name;
                EXPECT_EQ(std::memcmp(out + count, guard.data(), perLine * sizeof(T)), 0) << variant.name;
            }
        }
}

TEST(ElementaryVariants, FloorAndRoundGiveTheReferenceBitsForOutputsStoredPastTheCaches)
{
    std::vector<float> singles = specialSingles();
    for (int i = -2000; i <= 2000; ++i)
        singles.push_back(static_cast<float>(i) * 0.37f);
    std::vector<double> doubles = specialDoubles();
    const std::vector<double> hard = roundingHardDoubles(4000, 29);
    doubles.insert(doubles.end(), hard.begin(), hard.end());
    expectSameForLargeOutputs(floorSingle(), singles);
    expectSameForLargeOutputs(roundDouble(), doubles);
}

TEST(ElementaryVariants, HandComplexInputsOfSingleExpAndSqrtToTheReferenceAtSse2)
{
    const std::vector<float> re = {1, 0, -1e30f, 88, -0.0f, 3};
    const std::vector<float> im = {0, 6.2831855f, 1, -1e30f, 2, -0.0f};
    expectSameEverywhere(expSingle(), [&](const auto& reference, const auto& variant) {
        return compareEach(reference, variant, re, im);
    });
    const std::vector<double> dre = {3, -3, 0, -4, 1e300, -0.0};
    const std::vector<double> dim = {4, -4, 2, 0, 1e300, -0.0};
    expectSameEverywhere(sqrtDouble(), [&](const auto& reference, const auto& variant) {
        return compareEach(reference, variant, dre, dim);
    });
}

// Every pair of the parts, the real part first.
template <class T, std::size_t n>
void allPairsOf(const T (&parts)[n], std::vector<T>& re, std::vector<T>& im)
{
    for (T x : parts)
        for (T y : parts) {
            re.push_back(x);
            im.push_back(y);
        }
}

// Complex singles through exp: every pair of special parts (zeros,
// infinities, NaNs, magnitudes beyond exp's range), random pairs, and
// imaginary parts at and next to multiples of a quarter period, where the
// remainder is zero or the cosine or sine of the angle is tiny.
TEST(ElementaryVariants, ComplexExpGivesTheReferenceBitsForTablesSamplesAndPeriodMultiples)
{
    const float parts[] = {0.0f,  -0.0f, 1,         -1,          2.5f,         -88.5f,          89.5f,
                           -105,  120,   6.2831855f, -6.2831855f, 0x1p-149f,    0x1.fffffep127f, 0x1p40f,
                           -1e30f, __builtin_inff(), -__builtin_inff(), __builtin_nanf(""), -__builtin_nanf("3")};
    std::vector<float> tableRe, tableIm;
    allPairsOf(parts, tableRe, tableIm);
    std::vector<float> re, im;
    Random generator{71};
    for (int i = 0; i < 200000; ++i) {
        re.push_back(static_cast<float>(-110 + 200 * generator.uniform()));
        const int exponent = static_cast<int>(generator.next() % 170) - 149;
        const float y = std::ldexp(static_cast<float>(1 + generator.uniform()), exponent);
        im.push_back((generator.next() & 1) != 0 ? -y : y);
    }
    const std::size_t random = re.size();
    const double period = 6.2831854820251465;
    for (int i = 0; i < 50000; ++i) {
        // A multiple of P / 4, rounded to single, moved by up to 3 ulps.
        float y = static_cast<float>(static_cast<double>(static_cast<int>(generator.next() % 4000) - 2000) * period / 4);
        for (int k = static_cast<int>(generator.next() % 4); k > 0; --k)
            y = std::nextafter(y, (generator.next() & 1) != 0 ? -1e9f : 1e9f);
        re.push_back(static_cast<float>(-20 + 40 * generator.uniform()));
        im.push_back(y);
    }
    std::vector<float> mixed = tableRe;
    mixed.insert(mixed.end(), re.begin(), re.begin() + 300);
    const auto c = expSingle();
    expectSameEverywhere(c, [&](const auto& reference, const auto& variant) {
        Comparison result = compareEach(reference, variant, tableRe, tableIm);
        const std::uint64_t fallbacksBefore = fallbackCount();
        result.merge(compareKernels(reference, variant, re.data(), im.data(), random));
        // Where a variant evaluates complex elements, it hands few random
        // ones over (next to a quarter period many, by design).
        EXPECT_LT(fallbackCount() - fallbacksBefore, random / 1000) << variant.name;
        result.merge(
            compareKernels(reference, variant, re.data() + random, im.data() + random, re.size() - random));
        result.merge(compareCountsAndOffsets(reference, variant, mixed, 67, true));
        return result;
    });
}

// Complex doubles through exp: every pair of special parts (zeros,
// infinities, NaNs, the ends of the computed range of x and of y, multiples
// of the period), random pairs over exp's range with imaginary parts of
// every binade, imaginary parts at and next to multiples of a quarter
// period (where cos or sin is tiny and FSINCOS's error absolute), and
// pairs whose extended parts, as the reference forms them, lie next to a
// midpoint between doubles (found by search).
TEST(ElementaryVariants, ComplexDoubleExpGivesTheReferenceBitsForTablesSamplesAndPeriodMultiples)
{
    const double period = ExpConstants<double>::period;
    const double parts[] = {0.0,      -0.0,     1,           -1,          2.5,        -707.5,   -706.5,
                            708.5,    709.5,    period,      -period,     4 * period, 0x1p-1074, 0x1p40,
                            -0x1p40,  0x1p-75,  -1e300,      __builtin_inf(), -__builtin_inf(), __builtin_nan(""),
                            -__builtin_nan("3")};
    std::vector<double> tableRe, tableIm;
    allPairsOf(parts, tableRe, tableIm);
    std::vector<double> re = uniformDoubles(200000, 101, -700, 700);
    std::vector<double> im;
    Random generator{103};
    for (std::size_t i = 0; i < re.size(); ++i) {
        const double y = std::ldexp(1 + generator.uniform(), static_cast<int>(generator.next() % 110) - 70);
        im.push_back((generator.next() & 1) != 0 ? -y : y);
    }
    // The search for midpoints among them: cos a E or sin a E, as the
    // reference forms them, within 2 extended ulps of a midpoint.
    {
        FpStateGuard guard;
        x87Reset();
        const long double log2e = x87::fldl2e();
        const long double scale = x87::fromBits(ExpConstants<double>::scaleSignExponent,
                                                ExpConstants<double>::scaleSignificand);
        const std::size_t candidates = re.size();
        for (std::size_t i = 0; i < candidates; ++i) {
            const x87::SinCos angle = x87::fsincos(x87::fprem(x87::load(im[i]), x87::load(period)) * scale);
            const long double e = expMagnitude(x87::load(re[i]), log2e);
            if (nearDoubleMidpoint(angle.cos * e, 2) || nearDoubleMidpoint(angle.sin * e, 2)) {
                re.push_back(re[i]);
                im.push_back(im[i]);
            }
        }
    }
    const std::size_t random = re.size();
    // Imaginary parts whose angle r K = r (1 + 360 2^-63) falls exactly
    // halfway between two extended values, in both parities: significands M
    // with 45 M = 2^48 mod 2^49.
    std::uint64_t inverse = 1; // of 45, modulo 2^64, by Newton's steps
    for (int k = 0; k < 6; ++k)
        inverse *= 2 - 45 * inverse;
    const std::uint64_t tie = ((std::uint64_t{1} << 48) * inverse) & ((std::uint64_t{1} << 49) - 1);
    for (std::uint64_t k = 8; k < 16; ++k)
        for (double binade : {1.0, 2.0, -4.0})
            for (int i = 0; i < 400; ++i) {
                re.push_back(-700 + 1400 * generator.uniform());
                im.push_back(binade * std::ldexp(static_cast<double>(tie + (k << 49)), -52));
            }
    for (int i = 0; i < 50000; ++i) {
        // A multiple of P / 4, rounded to double, moved by up to 3 ulps.
        double y = static_cast<double>(static_cast<int>(generator.next() % 4000) - 2000) * period / 4;
        for (int k = static_cast<int>(generator.next() % 4); k > 0; --k)
            y = std::nextafter(y, (generator.next() & 1) != 0 ? -1e9 : 1e9);
        re.push_back(-20 + 40 * generator.uniform());
        im.push_back(y);
    }
    std::vector<double> mixed = tableRe;
    mixed.insert(mixed.end(), re.begin(), re.begin() + 300);
    expectSameEverywhere(expDouble(), [&](const auto& reference, const auto& variant) {
        Comparison result = compareEach(reference, variant, tableRe, tableIm);
        const std::uint64_t fallbacksBefore = fallbackCount();
        result.merge(compareKernels(reference, variant, re.data(), im.data(), random));
        // The midpoints are handed over, and few else are.
        const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
        EXPECT_GT(fallbacks, (random - 200000) / 2) << variant.name;
        EXPECT_LT(fallbacks, random / 40) << variant.name;
        result.merge(
            compareKernels(reference, variant, re.data() + random, im.data() + random, re.size() - random));
        result.merge(compareCountsAndOffsets(reference, variant, mixed, 67, true));
        // Under a careless caller's modes, the same bits.
        const std::size_t n = 4096;
        std::vector<double> re0(n), im0(n), re1(n), im1(n);
        reference.run(re0.data(), im0.data(), re.data(), im.data(), n);
        underCarelessModes([&] { variant.run(re1.data(), im1.data(), re.data(), im.data(), n); });
        EXPECT_EQ(std::memcmp(re0.data(), re1.data(), n * sizeof(double)), 0) << variant.name;
        EXPECT_EQ(std::memcmp(im0.data(), im1.data(), n * sizeof(double)), 0) << variant.name;
        return result;
    });
}

// Complex doubles through sqrt: every pair of special parts (zeros,
// infinities, NaNs, magnitudes at and past 2^-480 and 2^500 and the ends
// of the doubles), random bit patterns, moderate parts of both signs, and
// parts of very different magnitudes, where the sum of squares rounds the
// smaller away.
TEST(ElementaryVariants, ComplexSqrtGivesTheReferenceBitsForTablesAndSamples)
{
    const double parts[] = {0.0,    -0.0,   1,          -1,          4,         -2.5,     1e-300,
                            -1e300, 0x1p-1074, 0x1.fffffffffffffp1023, 0x1p-501, 0x1.fffffffffffffp-481,
                            -0x1.0000000000001p-480, 0x1.5555555555555p-480, 0x1p500, -0x1p501,
                            __builtin_inf(), -__builtin_inf(), __builtin_nan(""), -__builtin_nan("5")};
    std::vector<double> tableRe, tableIm;
    allPairsOf(parts, tableRe, tableIm);
    std::vector<double> re = uniformDoubles(200000, 91, -1000, 1000);
    std::vector<double> im = uniformDoubles(200000, 93, -1000, 1000);
    Random generator{95};
    for (int i = 0; i < 50000; ++i) {
        const double big = std::ldexp(1 + generator.uniform(), static_cast<int>(generator.next() % 200) - 100);
        const double small = big * std::ldexp(1 + generator.uniform(), -static_cast<int>(generator.next() % 80));
        const bool swap = (generator.next() & 1) != 0;
        re.push_back((swap ? small : big) * ((generator.next() & 1) != 0 ? -1 : 1));
        im.push_back((swap ? big : small) * ((generator.next() & 1) != 0 ? -1 : 1));
    }
    const std::size_t ordinary = re.size();
    const std::vector<double> bitsRe = randomDoubles(100000, 97), bitsIm = randomDoubles(100000, 99);
    re.insert(re.end(), bitsRe.begin(), bitsRe.end());
    im.insert(im.end(), bitsIm.begin(), bitsIm.end());
    std::vector<double> mixed = tableRe;
    mixed.insert(mixed.end(), re.begin(), re.begin() + 300);
    expectSameEverywhere(sqrtDouble(), [&](const auto& reference, const auto& variant) {
        Comparison result = compareEach(reference, variant, tableRe, tableIm);
        const std::uint64_t fallbacksBefore = fallbackCount();
        result.merge(compareKernels(reference, variant, re.data(), im.data(), ordinary));
        // Where a variant evaluates complex elements, it hands few ordinary
        // ones over.
        if (sqrtKernelVariants().levelAt(CpuLevel::avx2) == CpuLevel::avx2 &&
            variant.name.find("sse2") == std::string::npos) {
            EXPECT_LT(fallbackCount() - fallbacksBefore, ordinary / 100) << variant.name;
        }
        result.merge(compareKernels(reference, variant, re.data() + ordinary, im.data() + ordinary,
                                    re.size() - ordinary));
        result.merge(compareCountsAndOffsets(reference, variant, mixed, 67, true));
        return result;
    });
}

// Each variant on the hard cases with a caller's modes it must not depend on
// (denormals-are-zero, flush-to-zero, rounding up) against the reference
// run normally; the caller's modes come back unchanged.
template <class T, class Fn>
void expectIndependentOfCaller(const Contestants<T, Fn>& c, const std::vector<T>& inputs)
{
    const std::size_t n = inputs.size();
    std::vector<T> re0(n), im0(n);
    const int flag0 = c.reference.run(re0.data(), im0.data(), inputs.data(), nullptr, n);
    for (const KernelRun<T>& variant : c.variants) {
        std::vector<T> re(n), im(n);
        int flag = -1;
        underCarelessModes([&] { flag = variant.run(re.data(), im.data(), inputs.data(), nullptr, n); });
        EXPECT_EQ(flag, flag0) << variant.name;
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_EQ(bitsOf(re[i]), bitsOf(re0[i])) << variant.name << " of " << inputs[i];
            if (c.reference.writesImaginary && (!c.reference.imaginaryOnFlag || flag0 != 0)) {
                ASSERT_EQ(bitsOf(im[i]), bitsOf(im0[i])) << variant.name << " of " << inputs[i];
            }
        }
    }
}

TEST(ElementaryVariants, IgnoreTheCallersModesAndRestoreThem)
{
    expectIndependentOfCaller(expSingle(), specialSingles());
    expectIndependentOfCaller(expDouble(), specialDoubles());
    expectIndependentOfCaller(floorSingle(), specialSingles());
    expectIndependentOfCaller(roundDouble(), specialDoubles());
    expectIndependentOfCaller(sqrtDouble(), specialDoubles());
}

} // namespace
} // namespace fpmex::test
