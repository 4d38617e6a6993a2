// The prod kernels against a long double reference that multiplies in the
// order each kernel promises, for every block shape the kernels have (the
// five-run, two-run and seven-column groups and their tails), with guard
// words after the output.
#include "arrays/prod_kernels.h"
#include "foreign_fp_mode.h"
#include "random_factors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using fpmex::test::randomFactors;

using Extended = long double;

constexpr std::uint32_t guardBits = 0xA5A5A5A5;
constexpr std::size_t guardCount = 8;

std::uint32_t bits(float v)
{
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// The output buffer followed by guard words that must survive the kernel.
struct Output {
    explicit Output(std::size_t count) : count(count), words(count + guardCount, guardBits) {}
    float* data() { return reinterpret_cast<float*>(words.data()); }
    float operator[](std::size_t i) const
    {
        float v;
        std::memcpy(&v, &words[i], sizeof v);
        return v;
    }
    void expectGuardsIntact() const
    {
        for (std::size_t i = count; i < words.size(); ++i)
            EXPECT_EQ(words[i], guardBits) << "written past the output at " << i;
    }
    std::size_t count;
    std::vector<std::uint32_t> words;
};

// Factor k of a product lies at first + k * step.
float referenceReal(const float* first, std::size_t runLength, std::size_t step)
{
    Extended product = first[0];
    for (std::size_t k = 1; k < runLength; ++k)
        product *= first[k * step];
    return static_cast<float>(product);
}

struct Complex {
    float re;
    float im;
};

Complex referenceComplex(const float* re, const float* im, std::size_t runLength, std::size_t step, bool downwards)
{
    Extended a = re[0];
    Extended b = im[0];
    for (std::size_t n = 1; n < runLength; ++n) {
        const std::size_t k = downwards ? runLength - n : n;
        const Extended x = re[k * step];
        const Extended y = im[k * step];
        const Extended newRe = a * x - b * y;
        b = b * x + a * y;
        a = newRe;
    }
    return {static_cast<float>(a), static_cast<float>(b)};
}

const std::size_t runCounts[] = {1, 2, 3, 4, 5, 6, 11};
const std::size_t runLengths[] = {2, 3, 9};

TEST(ProdRealRuns, EveryProductOfEveryBlockShape)
{
    for (std::size_t count : runCounts)
        for (std::size_t length : runLengths) {
            const std::vector<float> in = randomFactors(count * length, unsigned(count * 100 + length));
            Output out(count);
            fpmex::prodRealRuns(out.data(), in.data(), length, count);
            for (std::size_t j = 0; j < count; ++j)
                EXPECT_EQ(bits(out[j]), bits(referenceReal(&in[j * length], length, 1)))
                    << "run " << j << " of " << count << ", length " << length;
            out.expectGuardsIntact();
        }
}

TEST(ProdComplexRuns, EveryProductOfEveryBlockShape)
{
    for (std::size_t count : runCounts)
        for (std::size_t length : runLengths) {
            const std::vector<float> re = randomFactors(count * length, unsigned(count * 100 + length));
            const std::vector<float> im = randomFactors(count * length, unsigned(count * 100 + length + 7));
            Output outRe(count);
            Output outIm(count);
            fpmex::prodComplexRuns(outRe.data(), outIm.data(), re.data(), im.data(), length, count);
            for (std::size_t j = 0; j < count; ++j) {
                const bool oddLast = count % 2 == 1 && j == count - 1;
                const Complex expected = referenceComplex(&re[j * length], &im[j * length], length, 1, oddLast);
                EXPECT_EQ(bits(outRe[j]), bits(expected.re)) << "run " << j << " of " << count << ", length " << length;
                EXPECT_EQ(bits(outIm[j]), bits(expected.im)) << "run " << j << " of " << count << ", length " << length;
            }
            outRe.expectGuardsIntact();
            outIm.expectGuardsIntact();
        }
}

// Three factors whose real part cancels to 2^-40 of its terms, so that the
// order of the extended-precision roundings shows in the single result:
// forwards 0x1.f983cp-24, downwards (factor 0, 2, 1) 0x1.f984p-24.
TEST(ProdComplexRuns, PairsGoForwardsTheOddLastRunDownwards)
{
    const std::vector<float> run = {0x1.83e84ap+0f, 0x1.9cbe3p-1f, 0x1.555684p+22f};
    const std::vector<float> runIm = {0x1.1e03acp-1f, 0x1.78289p+0f, 0x1.98c22p+19f};
    std::vector<float> re = run;
    std::vector<float> im = runIm;
    for (int copy = 0; copy < 2; ++copy) {
        re.insert(re.end(), run.begin(), run.end());
        im.insert(im.end(), runIm.begin(), runIm.end());
    }
    Output outRe(3);
    Output outIm(3);
    fpmex::prodComplexRuns(outRe.data(), outIm.data(), re.data(), im.data(), 3, 3);
    EXPECT_EQ(outRe[0], 0x1.f983cp-24f);
    EXPECT_EQ(outRe[1], 0x1.f983cp-24f);
    EXPECT_EQ(outRe[2], 0x1.f984p-24f);
    for (std::size_t j = 0; j < 3; ++j)
        EXPECT_EQ(outIm[j], 0x1.d315a4p+23f) << j;
}

const std::size_t outerCounts[] = {1, 3};
const std::size_t stridedLengths[] = {2, 5};

TEST(ProdRealStrided, ColumnCountsOneToFifteen)
{
    for (std::size_t stride = 1; stride <= 15; ++stride)
        for (std::size_t outer : outerCounts)
            for (std::size_t length : stridedLengths) {
                const std::size_t count = stride * outer;
                const unsigned seed = unsigned(stride * 1000 + outer * 10 + length);
                const std::vector<float> in = randomFactors(count * length, seed);
                Output out(count);
                fpmex::prodRealStrided(out.data(), in.data(), length, count, stride);
                for (std::size_t o = 0; o < outer; ++o)
                    for (std::size_t i = 0; i < stride; ++i)
                        EXPECT_EQ(bits(out[o * stride + i]),
                                  bits(referenceReal(&in[o * stride * length + i], length, stride)))
                            << "block " << o << ", column " << i << " of " << stride << ", length " << length;
                out.expectGuardsIntact();
            }
}

TEST(ProdComplexStrided, ColumnCountsOneToFifteen)
{
    for (std::size_t stride = 1; stride <= 15; ++stride)
        for (std::size_t outer : outerCounts)
            for (std::size_t length : stridedLengths) {
                const std::size_t count = stride * outer;
                const unsigned seed = unsigned(stride * 1000 + outer * 10 + length);
                const std::vector<float> re = randomFactors(count * length, seed);
                const std::vector<float> im = randomFactors(count * length, seed + 5);
                Output outRe(count);
                Output outIm(count);
                fpmex::prodComplexStrided(outRe.data(), outIm.data(), re.data(), im.data(), length, count, stride);
                for (std::size_t o = 0; o < outer; ++o)
                    for (std::size_t i = 0; i < stride; ++i) {
                        // Stride 1 is the run kernel, with its downward odd last run.
                        const bool downwards = stride == 1 && count % 2 == 1 && o == outer - 1;
                        const std::size_t first = o * stride * length + i;
                        const Complex expected = referenceComplex(&re[first], &im[first], length, stride, downwards);
                        EXPECT_EQ(bits(outRe[o * stride + i]), bits(expected.re))
                            << "block " << o << ", column " << i << " of " << stride << ", length " << length;
                        EXPECT_EQ(bits(outIm[o * stride + i]), bits(expected.im))
                            << "block " << o << ", column " << i << " of " << stride << ", length " << length;
                    }
                outRe.expectGuardsIntact();
                outIm.expectGuardsIntact();
            }
}

// Special values, through both the run and the strided path (a single run
// is a single column of stride 1 too, so the strided case uses two columns
// of which the second is all ones).
struct SpecialCase {
    const char* what;
    std::vector<float> factors;
    std::uint32_t expected;
};

const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();

const SpecialCase specialCases[] = {
    {"beyond the single range on the way, back at the end", {1e30f, 1e30f, 1e-30f, 1e-30f, 4.0f}, 0x40800000},
    {"below the single range on the way, back at the end", {1e-30f, 1e-30f, 1e30f, 1e30f, 4.0f}, 0x40800000},
    {"overflow at the end", {1e30f, 1e30f, 1e30f}, 0x7F800000},
    {"negative overflow", {-1e30f, 1e30f, 1e30f}, 0xFF800000},
    {"rounded once into the subnormals", {1e-30f, 1e-15f}, 0x00000001},
    {"underflow to -0", {-1e-30f, 1e-30f}, 0x80000000},
    {"0 times Inf", {0.0f, inf}, 0x7FC00000},
    {"Inf times 0", {inf, 2.0f, 0.0f}, 0x7FC00000},
    {"signs multiply into -0", {-1.0f, 0.0f}, 0x80000000},
    {"two minus signs", {-0.0f, -3.0f}, 0x00000000},
    {"Inf with a sign", {-2.0f, inf}, 0xFF800000},
};

TEST(ProdRealKernels, SpecialValues)
{
    for (const SpecialCase& c : specialCases) {
        const std::size_t length = c.factors.size();
        Output run(1);
        fpmex::prodRealRuns(run.data(), c.factors.data(), length, 1);
        // Any NaN will do: the unit's default NaN is negative (0xFFC00000).
        const bool expectNan = (c.expected & 0x7FFFFFFF) > 0x7F800000;
        if (expectNan)
            EXPECT_TRUE(std::isnan(run[0])) << c.what;
        else
            EXPECT_EQ(bits(run[0]), c.expected) << c.what;

        std::vector<float> columns(2 * length, 1.0f);
        for (std::size_t k = 0; k < length; ++k)
            columns[2 * k] = c.factors[k];
        Output strided(2);
        fpmex::prodRealStrided(strided.data(), columns.data(), length, 2, 2);
        if (expectNan)
            EXPECT_TRUE(std::isnan(strided[0])) << c.what << " (strided)";
        else
            EXPECT_EQ(bits(strided[0]), c.expected) << c.what << " (strided)";
        EXPECT_EQ(bits(strided[1]), 0x3F800000u) << c.what << " (strided)";
    }
}

TEST(ProdComplexKernels, NanFactorsGiveQuietNans)
{
    const std::vector<float> re = {1.0f, nan, 2.0f};
    const std::vector<float> im = {0.0f, 0.0f, 0.0f};
    Output outRe(1);
    Output outIm(1);
    fpmex::prodComplexRuns(outRe.data(), outIm.data(), re.data(), im.data(), 3, 1);
    EXPECT_TRUE(std::isnan(outRe[0]));
    EXPECT_TRUE(std::isnan(outIm[0]));
}

// The kernels compute in their own mode, not the caller's, and leave the
// caller's modes as they were.
TEST(ProdKernels, IgnoreAndRestoreTheCallersModes)
{
    const std::size_t length = 40;
    const std::size_t stride = 9;
    const std::vector<float> re = randomFactors(stride * length, 11);
    const std::vector<float> im = randomFactors(stride * length, 12);
    Output real(stride);
    Output outRe(stride);
    Output outIm(stride);
    fpmex::test::underForeignFpMode([&] {
        fpmex::prodRealStrided(real.data(), re.data(), length, stride, stride);
        fpmex::prodComplexStrided(outRe.data(), outIm.data(), re.data(), im.data(), length, stride, stride);
    });
    for (std::size_t i = 0; i < stride; ++i) {
        EXPECT_EQ(bits(real[i]), bits(referenceReal(&re[i], length, stride))) << i;
        const Complex expected = referenceComplex(&re[i], &im[i], length, stride, false);
        EXPECT_EQ(bits(outRe[i]), bits(expected.re)) << i;
        EXPECT_EQ(bits(outIm[i]), bits(expected.im)) << i;
    }
}

} // namespace
