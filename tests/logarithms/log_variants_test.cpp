// The vector variants of logKernel (real input, both sets) and dissectKernel
// against their x87 references, bit for bit, at every level this processor
// has: hard cases one by one, a fixed sample of the 2^32 single patterns,
// random and near-midpoint doubles, every count up to 67 at buffer ends, the
// +0 imaginary parts after a negative input, and under a careless caller's
// modes.
#include "caller_modes.h"
#include "mex_test.h"
#include "variant_harness.h"

#include "common/fallback.h"
#include "common/fp_state.h"
#include "common/x87.h"
#include "logarithms/dissect_kernel.h"
#include "logarithms/log_kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace fpmex::test {
namespace {

// Every 4099th pattern (a prime step, so the sample meets every residue of
// the exponent and significand bits): about a million inputs.
constexpr std::uint64_t sampleStep = 4099;

struct LogCase {
    const char* name;
    LogBase base;
};

const LogCase logCases[] = {{"log2", LogBase::two}, {"log", LogBase::natural}, {"log10", LogBase::ten}};

template <LogBase base>
const KernelVariants<LogKernelFn<float>>& singleLogVariants()
{
    return logKernelVariants<float, base>();
}

const KernelVariants<LogKernelFn<float>>& variantsOf(LogBase base)
{
    switch (base) {
    case LogBase::two:
        return singleLogVariants<LogBase::two>();
    case LogBase::natural:
        return singleLogVariants<LogBase::natural>();
    case LogBase::ten:
        break;
    }
    return singleLogVariants<LogBase::ten>();
}

struct DoubleLogCase {
    const char* name;
    LogBase base;
};

const DoubleLogCase doubleLogCases[] = {{"double log2", LogBase::two}, {"double log10", LogBase::ten}};

const KernelVariants<LogKernelFn<double>>& doubleVariantsOf(LogBase base)
{
    return base == LogBase::two ? logKernelVariants<double, LogBase::two>() : logKernelVariants<double, LogBase::ten>();
}

std::string nameAt(const char* name, CpuLevel level) { return std::string(name) + "@" + levelName(level); }

TEST(LogVariants, GiveTheReferenceBitsForHardCasesOneByOne)
{
    const std::vector<float> inputs = specialSingles();
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        const auto reference = flagKernel<float>(c.name, variants.x87);
        for (CpuLevel level : vectorLevelsHere()) {
            const Comparison result =
                compareEach(reference, flagKernel<float>(nameAt(c.name, level), variants.at(level)), inputs);
            EXPECT_EQ(result.differences, 0u) << result.summary();
        }
    }
}

TEST(LogVariants, GiveTheReferenceBitsOverASampleOfAllPatternsAndUseTheFallback)
{
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        const auto reference = flagKernel<float>(c.name, variants.x87);
        for (CpuLevel level : vectorLevelsHere()) {
            const auto variant = flagKernel<float>(nameAt(c.name, level), variants.at(level));
            const std::uint64_t fallbacksBefore = fallbackCount();
            Comparison result;
            forSinglePatterns(0, sampleStep, 1, [&](const float* block, std::size_t n, unsigned) {
                result.merge(compareKernels(reference, variant, block, static_cast<const float*>(nullptr), n));
            });
            EXPECT_EQ(result.differences, 0u) << result.summary();
            // Some of a million inputs lie near a rounding boundary: the
            // fallback is taken, and its results are among those compared.
            const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
            EXPECT_GT(fallbacks, 0u) << variant.name;
            EXPECT_LT(fallbacks, result.elements / 1000) << variant.name;
        }
    }
}

TEST(LogVariants, ReadAndWriteOnlyTheirElementsAtEveryCount)
{
    const std::vector<float> inputs = specialSingles();
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        for (CpuLevel level : vectorLevelsHere()) {
            const Comparison result =
                compareCountsAndOffsets(flagKernel<float>(c.name, variants.x87),
                                        flagKernel<float>(nameAt(c.name, level), variants.at(level)), inputs, 67,
                                        false);
            EXPECT_EQ(result.differences, 0u) << result.summary();
        }
    }
}

TEST(LogVariants, WriteTheZeroImaginaryPartsThatFollowANegativeInput)
{
    // The imaginary parts start to count at the negative element; the
    // positive ones after it fill whole vectors, whose +0 parts are written
    // all the same.
    std::vector<float> inputs(150);
    for (std::size_t i = 0; i < inputs.size(); ++i)
        inputs[i] = 0.75f + static_cast<float>(i);
    inputs[3] = -2.0f;
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        for (CpuLevel level : vectorLevelsHere()) {
            const Comparison result =
                compareKernels(flagKernel<float>(c.name, variants.x87),
                               flagKernel<float>(nameAt(c.name, level), variants.at(level)), inputs.data(),
                               static_cast<const float*>(nullptr), inputs.size());
            EXPECT_EQ(result.differences, 0u) << result.summary();
        }
    }
}

// The variant of `level` under a careless caller's modes gives the
// reference's bits and leaves the modes as they were.
template <class T>
void expectModesIgnored(const KernelVariants<LogKernelFn<T>>& variants, const char* name,
                        const std::vector<T>& inputs)
{
    std::vector<T> re0(inputs.size()), im0(inputs.size());
    const int flag0 = variants.x87(re0.data(), im0.data(), inputs.data(), nullptr, inputs.size());
    // The table has negative inputs: the flag is set and the imaginary
    // parts count.
    ASSERT_EQ(flag0, 1);
    for (CpuLevel level : vectorLevelsHere()) {
        std::vector<T> re(inputs.size()), im(inputs.size());
        int flag = -1;
        underCarelessModes([&] { flag = variants.at(level)(re.data(), im.data(), inputs.data(), nullptr, inputs.size()); });
        EXPECT_EQ(flag, flag0);
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            ASSERT_EQ(bitsOf(re[i]), bitsOf(re0[i])) << nameAt(name, level) << " of " << inputs[i];
            ASSERT_EQ(bitsOf(im[i]), bitsOf(im0[i])) << nameAt(name, level) << " of " << inputs[i];
        }
    }
}

TEST(LogVariants, IgnoreTheCallersModesAndRestoreThem)
{
    for (const LogCase& c : logCases)
        expectModesIgnored(variantsOf(c.base), c.name, specialSingles());
    for (const DoubleLogCase& c : doubleLogCases)
        expectModesIgnored(doubleVariantsOf(c.base), c.name, specialDoubles());
}

// Complex singles: every row of the case table (zero, infinite and NaN
// parts, which the variants hand over), the ratio tests of the squares at
// their threshold (y^2 2^54 against x^2), |z| near 1, where the rounding of
// x^2 + y^2 to the extended format decides the real part, and random pairs
// of every magnitude.
template <class T>
struct ComplexInputs {
    std::vector<T> re;
    std::vector<T> im;
    void add(T x, T y)
    {
        re.push_back(x);
        im.push_back(y);
    }
};

// Every pair of the parts, the real part first.
template <class T, std::size_t n>
ComplexInputs<T> allPairsOf(const T (&parts)[n])
{
    ComplexInputs<T> in;
    for (T x : parts)
        for (T y : parts)
            in.add(x, y);
    return in;
}

ComplexInputs<float> complexTableInputs()
{
    const float parts[] = {0.0f, -0.0f, 1, -1, 2, -3, 0.5f, 1e-30f, -1e30f, 0x1p-149f, 0x1.fffffep127f,
                           __builtin_inff(), -__builtin_inff(), __builtin_nanf(""), -__builtin_nanf("7")};
    return allPairsOf(parts);
}

ComplexInputs<float> complexSampleInputs()
{
    ComplexInputs<float> in;
    Random random{61};
    // Every binade from 2^lowest up alike, both signs, finite.
    auto single = [&](int lowest) {
        const float significand = 1 + static_cast<float>(random.next() >> 41) * 0x1p-23f;
        const int exponent = static_cast<int>(random.next() % static_cast<std::uint64_t>(128 - lowest)) + lowest;
        return std::ldexp(significand, exponent) * ((random.next() & 1) != 0 ? -1.0f : 1.0f);
    };
    for (int i = 0; i < 200000; ++i)
        in.add(single(-149), single(-149));
    for (int i = 0; i < 20000; ++i) {
        // y^2 2^54 against x^2: y near x 2^-27, a few ulps either side (x
        // large enough for y to stay normal).
        const float x = single(-99);
        const float y = x * 0x1p-27f;
        float near = y;
        for (int k = static_cast<int>(random.next() % 7); k > 0; --k)
            near = std::nextafter(near, (random.next() & 1) != 0 ? 0.0f : 2 * y);
        in.add(x, near);
        in.add(near, x);
    }
    for (int i = 0; i < 50000; ++i) {
        // |z| near 1: y the single nearest sqrt(1 - x^2), and neighbours.
        const float x = static_cast<float>(0.5 + 0.5 * random.uniform());
        float y = static_cast<float>(std::sqrt(1.0 - static_cast<double>(x) * x));
        for (int k = static_cast<int>(random.next() % 5); k > 0; --k)
            y = std::nextafter(y, (random.next() & 1) != 0 ? 0.0f : 1.0f);
        in.add((random.next() & 1) != 0 ? -x : x, (random.next() & 1) != 0 ? -y : y);
    }
    return in;
}

TEST(LogVariants, GiveTheReferenceBitsForComplexSingles)
{
    const ComplexInputs<float> table = complexTableInputs();
    const ComplexInputs<float> sample = complexSampleInputs();
    // For the counts and offsets: special and ordinary parts mixed.
    std::vector<float> mixed = table.re;
    mixed.insert(mixed.end(), sample.re.begin(), sample.re.begin() + 300);
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        const auto reference = flagKernel<float>(c.name, variants.x87);
        for (CpuLevel level : vectorLevelsHere()) {
            const auto variant = flagKernel<float>(nameAt(c.name, level), variants.at(level));
            Comparison result = compareEach(reference, variant, table.re, table.im);
            const std::uint64_t fallbacksBefore = fallbackCount();
            result.merge(compareKernels(reference, variant, sample.re.data(), sample.im.data(), sample.re.size()));
            const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
            result.merge(compareCountsAndOffsets(reference, variant, mixed, 67, true));
            EXPECT_EQ(result.differences, 0u) << result.summary();
            // Where a variant evaluates complex elements, it hands few over.
            if (variants.levelAt(level) >= CpuLevel::avx2) {
                EXPECT_LT(fallbacks, sample.re.size() / 1000) << variant.name;
            }
        }
    }
}

// Complex doubles: every row of the case table, random patterns and
// moderate pairs, the ratio tests at their threshold (y^2 512 against x^2),
// |z| near 1, angles of tiny ratio (s / l from 2^-290 to below 2^-1074,
// where the angle's result turns subnormal), and pairs whose extended parts,
// as the reference forms them, lie next to a midpoint between doubles.
ComplexInputs<double> complexDoubleTableInputs()
{
    const double parts[] = {0.0, -0.0, 1, -1, 2, -3, 0.5, 1e-300, -1e300, 0x1p-1074, 0x1.fffffffffffffp1023,
                            __builtin_inf(), -__builtin_inf(), __builtin_nan(""), -__builtin_nan("7")};
    return allPairsOf(parts);
}

// The reference's parts before their rounding to double, for both parts
// finite and nonzero: its squares, ratio tests and instructions in its order.
std::pair<long double, long double> extendedParts(LogBase base, double x, double y)
{
    const BaseMultipliers& m = baseMultipliers[static_cast<std::size_t>(base)];
    const long double c = x87::fromBits(m.c.signExponent, m.c.significand);
    const long double h = x87::fromBits(m.h.signExponent, m.h.significand);
    const long double a = x87::fromBits(m.a.signExponent, m.a.significand);
    const long double ex = x87::load(x), ey = x87::load(y);
    const long double x2 = ex * ex, y2 = ey * ey;
    long double re;
    if (y2 * 512 < x2)
        re = x87::fyl2x(c, std::fabs(ex)) + x87::fyl2xp1(h, y2 / x2);
    else if (x2 * 512 < y2)
        re = x87::fyl2x(c, std::fabs(ey)) + x87::fyl2xp1(h, x2 / y2);
    else
        re = x87::fyl2x(h, x2 + y2);
    return {re, x87::fpatan(ey, ex) * a};
}

ComplexInputs<double> complexDoubleSampleInputs(LogBase base)
{
    ComplexInputs<double> in;
    Random random{83};
    auto sign = [&](double v) { return (random.next() & 1) != 0 ? -v : v; };
    auto binade = [&](int lowest, int highest) {
        const double significand = 1 + static_cast<double>(random.next() >> 12) * 0x1p-52;
        return std::ldexp(significand,
                          lowest + static_cast<int>(random.next() % static_cast<std::uint64_t>(highest - lowest + 1)));
    };
    auto nudged = [&](double v, int most) {
        for (int k = static_cast<int>(random.next() % static_cast<std::uint64_t>(most + 1)); k > 0; --k)
            v = std::nextafter(v, (random.next() & 1) != 0 ? 0.0 : 2 * v);
        return v;
    };
    const std::vector<double> patterns = randomDoubles(200000, 89);
    for (std::size_t i = 0; i + 1 < patterns.size(); i += 2)
        in.add(patterns[i], patterns[i + 1]);
    ComplexInputs<double> moderate;
    for (int i = 0; i < 200000; ++i)
        moderate.add(8 * random.uniform() - 4, 8 * random.uniform() - 4);
    for (int i = 0; i < 20000; ++i) {
        const double x = binade(-500, 500);
        const double y = nudged(x * 0x1.6a09e667f3bcdp-5, 6); // x / sqrt(512)
        in.add(sign(x), sign(y));
        in.add(sign(y), sign(x));
    }
    // Pairs whose extended squares meet the threshold exactly, X = 512 Y,
    // and their neighbours.
    FpStateGuard guard;
    x87Reset();
    for (int i = 0; i < 40000; ++i) {
        const double y = binade(-400, 400);
        const long double Y = x87::load(y) * x87::load(y);
        double x = std::nextafter(std::nextafter(y * 0x1.6a09e667f3bcdp+4, 0.0), 0.0); // y sqrt(512)
        for (int k = 0; k < 5; ++k, x = std::nextafter(x, 2 * x))
            if (x87::load(x) * x87::load(x) == 512 * Y) {
                in.add(sign(x), sign(y));
                in.add(sign(std::nextafter(x, 0.0)), sign(y));
                in.add(sign(y), sign(x));
            }
    }
    for (int i = 0; i < 50000; ++i) {
        const double x = 0.5 + 0.5 * random.uniform();
        const double y = nudged(static_cast<double>(std::sqrt(1.0L - static_cast<long double>(x) * x)), 4);
        in.add(sign(x), sign(y));
    }
    for (int i = 0; i < 20000; ++i) {
        // s / l = 2^-d, d around the scalings' thresholds and the ends of
        // the normal and subnormal results.
        const int ends[] = {290, 300, 479, 600, 1020, 1022, 1074, 1100};
        const int d = ends[random.next() % 8] + static_cast<int>(random.next() % 9) - 4;
        const int lowest = std::max(-1022, d - 1074);
        const double l = binade(lowest, 1023);
        const double s = std::ldexp(binade(0, 0), std::ilogb(l) - d);
        if (s == 0)
            continue;
        in.add(sign(l), sign(s));
        in.add(sign(s), sign(l));
    }
    // The search for midpoints, among the moderate pairs and the random
    // patterns so far.
    const std::size_t candidates = in.re.size();
    auto search = [&](const std::vector<double>& re, const std::vector<double>& im, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!std::isfinite(re[i]) || !std::isfinite(im[i]) || re[i] == 0 || im[i] == 0)
                continue;
            const auto [r, a] = extendedParts(base, re[i], im[i]);
            if (nearDoubleMidpoint(r, 2) || nearDoubleMidpoint(a, 2))
                in.add(re[i], im[i]);
        }
    };
    search(in.re, in.im, candidates);
    search(moderate.re, moderate.im, moderate.re.size());
    in.re.insert(in.re.end(), moderate.re.begin(), moderate.re.end());
    in.im.insert(in.im.end(), moderate.im.begin(), moderate.im.end());
    return in;
}

TEST(DoubleLogVariants, GiveTheReferenceBitsForComplexElements)
{
    const ComplexInputs<double> table = complexDoubleTableInputs();
    std::vector<double> mixed = table.re;
    for (const DoubleLogCase& c : doubleLogCases) {
        const auto& variants = doubleVariantsOf(c.base);
        const auto reference = flagKernel<double>(c.name, variants.x87);
        const ComplexInputs<double> sample = complexDoubleSampleInputs(c.base);
        const std::size_t searched = sample.re.size() - 200000;
        mixed.insert(mixed.end(), sample.re.end() - 300, sample.re.end());
        for (CpuLevel level : levelsWithOwnVariant(variants)) {
            const auto variant = flagKernel<double>(nameAt(c.name, level), variants.at(level));
            Comparison result = compareEach(reference, variant, table.re, table.im);
            result.merge(compareKernels(reference, variant, sample.re.data(), sample.im.data(), sample.re.size()));
            result.merge(compareCountsAndOffsets(reference, variant, mixed, 67, true));
            EXPECT_EQ(result.differences, 0u) << result.summary();
            // Moderate pairs are decided here, but for a few.
            const std::uint64_t fallbacksBefore = fallbackCount();
            result.merge(compareKernels(reference, variant, sample.re.data() + searched, sample.im.data() + searched,
                                        200000));
            EXPECT_LT(fallbackCount() - fallbacksBefore, 200000u / 100) << variant.name;
            EXPECT_EQ(result.differences, 0u) << result.summary();
            // Under a careless caller's modes, the same bits.
            const std::size_t n = 4096;
            std::vector<double> re0(n), im0(n), re1(n), im1(n);
            const int flag0 =
                variants.x87(re0.data(), im0.data(), sample.re.data() + searched, sample.im.data() + searched, n);
            int flag1 = -1;
            underCarelessModes([&] {
                flag1 = variants.at(level)(re1.data(), im1.data(), sample.re.data() + searched,
                                           sample.im.data() + searched, n);
            });
            EXPECT_EQ(flag1, flag0);
            EXPECT_EQ(std::memcmp(re0.data(), re1.data(), n * sizeof(double)), 0) << variant.name;
            EXPECT_EQ(std::memcmp(im0.data(), im1.data(), n * sizeof(double)), 0) << variant.name;
        }
    }
}

// The double set reproduces FYL2X's extended result rounded to double, which
// is not always the correctly rounded logarithm: the hard inputs are those
// whose extended result lies next to a midpoint between doubles (searched
// among random and near-1 inputs), where a variant must hand the element
// over, and the region near 1.
std::vector<double> doubleLogInputs(const DoubleLogCase& c)
{
    std::vector<double> inputs = randomDoubles(1000000, 41);
    const std::vector<double> nearOne = nearOneDoubles(200000, 43);
    inputs.insert(inputs.end(), nearOne.begin(), nearOne.end());
    const long double multiplier = x87::fromBits(baseMultipliers[static_cast<std::size_t>(c.base)].c.signExponent,
                                                 baseMultipliers[static_cast<std::size_t>(c.base)].c.significand);
    const std::vector<double> midpoints = nearDoubleMidpoints(
        inputs, [&](double x) { return x87::fyl2x(multiplier, std::fabs(x87::load(x))); }, 2);
    inputs.insert(inputs.end(), midpoints.begin(), midpoints.end());
    return inputs;
}

TEST(DoubleLogVariants, GiveTheReferenceBitsOnHardCasesSamplesAndMidpoints)
{
    for (const DoubleLogCase& c : doubleLogCases) {
        const auto& variants = doubleVariantsOf(c.base);
        const auto reference = flagKernel<double>(c.name, variants.x87);
        const std::vector<double> inputs = doubleLogInputs(c);
        for (CpuLevel level : levelsWithOwnVariant(variants)) {
            const auto variant = flagKernel<double>(nameAt(c.name, level), variants.at(level));
            Comparison result = compareEach(reference, variant, specialDoubles());
            const std::uint64_t fallbacksBefore = fallbackCount();
            result.merge(compareKernels(reference, variant, inputs.data(), static_cast<const double*>(nullptr),
                                        inputs.size()));
            result.merge(compareCountsAndOffsets(reference, variant, specialDoubles(), 67, false));
            EXPECT_EQ(result.differences, 0u) << result.summary();
            // The midpoints are handed over, and few else are.
            const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
            EXPECT_GT(fallbacks, 1000u) << variant.name;
            EXPECT_LT(fallbacks, inputs.size() / 100) << variant.name;
        }
    }
}

TEST(DissectVariants, GiveTheReferenceBitsForBothSets)
{
    const auto& singles = dissectKernelVariants<float>();
    const auto& doubles = dissectKernelVariants<double>();
    std::vector<double> doubleInputs = specialDoubles();
    const std::vector<double> random = randomDoubles(200000, 17);
    doubleInputs.insert(doubleInputs.end(), random.begin(), random.end());
    for (CpuLevel level : vectorLevelsHere()) {
        const auto singleVariant = dissectionKernel<float>(nameAt("[F,E] single", level), singles.at(level));
        const auto singleReference = dissectionKernel<float>("[F,E] single", singles.x87);
        Comparison result = compareEach(singleReference, singleVariant, specialSingles());
        forSinglePatterns(1, sampleStep, 1, [&](const float* block, std::size_t n, unsigned) {
            result.merge(compareKernels(singleReference, singleVariant, block, static_cast<const float*>(nullptr), n));
        });
        result.merge(compareCountsAndOffsets(singleReference, singleVariant, specialSingles(), 67, false));
        const auto doubleVariant = dissectionKernel<double>(nameAt("[F,E] double", level), doubles.at(level));
        const auto doubleReference = dissectionKernel<double>("[F,E] double", doubles.x87);
        result.merge(compareKernels(doubleReference, doubleVariant, doubleInputs.data(),
                                    static_cast<const double*>(nullptr), doubleInputs.size()));
        result.merge(compareCountsAndOffsets(doubleReference, doubleVariant, specialDoubles(), 67, false));
        EXPECT_EQ(result.differences, 0u) << result.summary();
    }
}

} // namespace
} // namespace fpmex::test
