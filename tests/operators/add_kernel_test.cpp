// The addition kernels called directly: the sums whose bits are fixed, the
// operand order rules for NaNs and copied imaginary parts, and every count
// shape of the group walk on every path.
#include "caller_mode.h"
#include "mex_test.h"
#include "operators/add_kernel.h"
#include "page_buffer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace fpmex::test {
namespace {

using namespace fpmex::operators;

struct SumCase {
    std::uint32_t first;
    std::uint32_t second;
    std::uint32_t sum;
};

// first + second, first being the array element in addScalar.
const std::vector<SumCase> sumCases = {
    {0x3F800000, 0x40000000, 0x40400000}, // 1 + 2 = 3
    {0x7F61B1E6, 0x7F61B1E6, 0x7F800000}, // 3e38 + 3e38 = +Inf
    {0xFF61B1E6, 0xFF61B1E6, 0xFF800000}, // -3e38 + -3e38 = -Inf
    {0x7F800000, 0xFF800000, 0xFFC00000}, // +Inf + -Inf: the default NaN
    {0x3F800000, 0x33C00000, 0x3F800001}, // 1 + 1.5 * 2^-24 rounds up to nearest
    {0x7F800001, 0x3F800000, 0x7FC00001}, // a signalling NaN is made quiet
    {0x3F800000, 0x7F800003, 0x7FC00003}, // the one NaN wins, whichever side
    {0xFFC00005, 0x7FC00006, 0xFFC00005}, // two NaNs: the first addend's
    {0x7FC00006, 0xFFC00005, 0x7FC00006},
    {0x7F800007, 0x7FC00008, 0x7FC00007},
    {0x7FC00009, 0x7F80000A, 0x7FC00009},
    {0xFF800000, 0x7FC0000B, 0x7FC0000B}, // Inf + NaN
    {0x00A355E6, 0x8098724E, 0x00000000}, // 1.5e-38 + -1.4e-38: a subnormal sum flushes to +0
    {0x80A355E6, 0x0098724E, 0x80000000}, // and to -0 when negative
    {0x00C00000, 0x80400000, 0x00800000}, // subnormal addends keep their value
    {0x40A00000, 0xC0A00000, 0x00000000}, // x + -x = +0
    {0x80000000, 0x80000000, 0x80000000}, // -0 + -0 = -0
    {0x00000000, 0x80000000, 0x00000000},
};

std::vector<float> singles(const std::vector<std::uint32_t>& bits)
{
    std::vector<float> values;
    for (std::uint32_t b : bits)
        values.push_back(singleFromBits(b));
    return values;
}

std::vector<std::uint32_t> bitsOfAll(const std::vector<float>& values)
{
    std::vector<std::uint32_t> bits;
    for (float v : values)
        bits.push_back(bitsOf(v));
    return bits;
}

// Page-end buffers for one kernel call; absent parts stay null.
struct Operand {
    std::optional<PageEndBuffer<float>> re;
    std::optional<PageEndBuffer<float>> im;

    Operand(const std::vector<float>& realValues, const std::vector<float>& imagValues = {})
    {
        re.emplace(realValues);
        if (!imagValues.empty())
            im.emplace(imagValues);
    }
    const float* realData() { return re->data(); }
    const float* imagData() { return im ? im->data() : nullptr; }
};

struct Output {
    PageEndBuffer<float> re;
    std::optional<PageEndBuffer<float>> im;

    Output(std::size_t count, bool complex) : re(count)
    {
        if (complex)
            im.emplace(count);
    }
    float* imagData() { return im ? im->data() : nullptr; }
    void expectNothingBelow()
    {
        EXPECT_TRUE(re.untouchedBefore());
        if (im) {
            EXPECT_TRUE(im->untouchedBefore());
        }
    }
};

TEST(AddKernels, SumsHaveTheirFixedBits)
{
    std::vector<std::uint32_t> first, second;
    for (const SumCase& c : sumCases) {
        first.push_back(c.first);
        second.push_back(c.second);
    }
    Operand a(singles(first)), b(singles(second));
    Output out(sumCases.size(), false);
    underCallerMode([&] { addArrays(out.re.data(), nullptr, a.realData(), nullptr, b.realData(), nullptr, sumCases.size()); });
    const std::vector<std::uint32_t> arrays = bitsOfAll(out.re.values());
    for (std::size_t k = 0; k < sumCases.size(); ++k) {
        EXPECT_EQ(arrays[k], sumCases[k].sum) << std::hex << "addArrays 0x" << sumCases[k].first << " + 0x" << sumCases[k].second;
        const float scalar = singleFromBits(sumCases[k].second);
        Operand v(std::vector<float>(5, singleFromBits(sumCases[k].first)));
        Output sums(5, false);
        underCallerMode([&] { addScalar(sums.re.data(), nullptr, &scalar, nullptr, v.realData(), nullptr, 5); });
        for (std::uint32_t bits : bitsOfAll(sums.re.values()))
            EXPECT_EQ(bits, sumCases[k].sum) << std::hex << "addScalar 0x" << sumCases[k].first << " + 0x" << sumCases[k].second;
    }
}

// Imaginary parts that are copied keep -0, subnormals and NaN payloads
// (a signalling NaN stays signalling); added ones take the second operand
// first in addArrays and the array element first in addScalar.
const std::vector<std::uint32_t> keptBits = {0x80000000, 0x00000001, 0x7F800001, 0x80400000, 0xFFC00123};

TEST(AddKernels, ImaginaryPartsFollowTheOperandOrderRules)
{
    const std::size_t n = keptBits.size();
    const std::vector<float> kept = singles(keptBits);
    const std::vector<float> ones(n, 1.0f);
    {
        Operand a(ones, kept), b(ones);
        Output out(n, true);
        underCallerMode([&] { addArrays(out.re.data(), out.imagData(), a.realData(), a.imagData(), b.realData(), nullptr, n); });
        EXPECT_EQ(bitsOfAll(out.im->values()), keptBits);
    }
    {
        Operand a(ones), b(ones, kept);
        Output out(n, true);
        underCallerMode([&] { addArrays(out.re.data(), out.imagData(), a.realData(), nullptr, b.realData(), b.imagData(), n); });
        EXPECT_EQ(bitsOfAll(out.im->values()), keptBits);
    }
    {
        Operand a(ones, singles({0x7FC00001, 0x3F800000})), b(ones, singles({0x7FC00002, 0xBF800000}));
        Output out(2, true);
        underCallerMode([&] { addArrays(out.re.data(), out.imagData(), a.realData(), a.imagData(), b.realData(), b.imagData(), 2); });
        EXPECT_EQ(bitsOfAll(out.im->values()), (std::vector<std::uint32_t>{0x7FC00002, 0x00000000}));
    }
    for (std::uint32_t bits : keptBits) {
        const float sRe = 1.0f, sIm = singleFromBits(bits);
        Operand v(ones);
        Output out(n, true);
        underCallerMode([&] { addScalar(out.re.data(), out.imagData(), &sRe, &sIm, v.realData(), nullptr, n); });
        EXPECT_EQ(bitsOfAll(out.im->values()), std::vector<std::uint32_t>(n, bits));
    }
    {
        const float sRe = 1.0f;
        Operand v(ones, kept);
        Output out(n, true);
        underCallerMode([&] { addScalar(out.re.data(), out.imagData(), &sRe, nullptr, v.realData(), v.imagData(), n); });
        EXPECT_EQ(bitsOfAll(out.im->values()), keptBits);
    }
    {
        const float sRe = 1.0f, sIm = singleFromBits(0x7FC00002);
        Operand v(ones, singles({0x7FC00001, 0x7FC00001}));
        Output out(2, true);
        underCallerMode([&] { addScalar(out.re.data(), out.imagData(), &sRe, &sIm, v.realData(), v.imagData(), 2); });
        EXPECT_EQ(bitsOfAll(out.im->values()), (std::vector<std::uint32_t>{0x7FC00001, 0x7FC00001}));
    }
}

// Every path over every count shape, against plain sums of ordinary values.
TEST(AddKernels, EveryPathAndCountShapeAddsEachElementOnce)
{
    for (std::size_t count : {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 1027}) {
        std::vector<float> aRe(count), aIm(count), bRe(count), bIm(count);
        for (std::size_t k = 0; k < count; ++k) {
            aRe[k] = static_cast<float>(k) + 0.25f;
            aIm[k] = -static_cast<float>(k) * 3.0f;
            bRe[k] = static_cast<float>(k * k) * 0.5f;
            bIm[k] = static_cast<float>(k) + 100.0f;
        }
        const float sRe = 7.5f, sIm = -2.0f;
        for (int aComplex = 0; aComplex < 2; ++aComplex) {
            for (int bComplex = 0; bComplex < 2; ++bComplex) {
                const bool complex = aComplex || bComplex;
                Operand a(aRe, aComplex ? aIm : std::vector<float>{});
                Operand b(bRe, bComplex ? bIm : std::vector<float>{});
                Output arrays(count, complex), scalar(count, complex);
                underCallerMode([&] {
                    addArrays(arrays.re.data(), arrays.imagData(), a.realData(), a.imagData(), b.realData(), b.imagData(), count);
                    addScalar(scalar.re.data(), scalar.imagData(), &sRe, bComplex ? &sIm : nullptr, a.realData(), a.imagData(), count);
                });
                arrays.expectNothingBelow();
                scalar.expectNothingBelow();
                const std::vector<float> arraysRe = arrays.re.values(), scalarRe = scalar.re.values();
                for (std::size_t k = 0; k < count; ++k) {
                    ASSERT_EQ(arraysRe[k], aRe[k] + bRe[k]) << count << " " << k;
                    ASSERT_EQ(scalarRe[k], aRe[k] + sRe) << count << " " << k;
                }
                if (!complex)
                    continue;
                const std::vector<float> arraysIm = arrays.im->values(), scalarIm = scalar.im->values();
                for (std::size_t k = 0; k < count; ++k) {
                    const float ai = aComplex ? aIm[k] : 0.0f, bi = bComplex ? bIm[k] : 0.0f;
                    ASSERT_EQ(arraysIm[k], ai + bi) << count << " " << k;
                    ASSERT_EQ(scalarIm[k], ai + (bComplex ? sIm : 0.0f)) << count << " " << k;
                }
            }
        }
    }
}

} // namespace
} // namespace fpmex::test
