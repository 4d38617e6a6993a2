// Element converters called directly: the values whose rounding is fixed,
// and every count shape of the group walk with buffers that end at an
// inaccessible page.
#include "caller_mode.h"
#include "mex_test.h"
#include "operators/convert_kernels.h"
#include "page_buffer.h"

#include <cstdint>
#include <vector>

namespace fpmex::test {
namespace {

using namespace fpmex::operators;

const std::vector<std::size_t> walkCounts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 1027};

template <class T>
std::vector<std::uint32_t> convertBits(void (*convert)(float*, const T*, std::size_t), const std::vector<T>& values)
{
    PageEndBuffer<T> in(values);
    PageEndBuffer<float> out(values.size());
    underCallerMode([&] { convert(out.data(), in.data(), values.size()); });
    EXPECT_TRUE(out.untouchedBefore());
    std::vector<std::uint32_t> bits;
    for (float value : out.values())
        bits.push_back(bitsOf(value));
    return bits;
}

struct DoubleCase {
    std::uint64_t in;
    std::uint32_t out;
};

TEST(Converters, DoubleRoundsToNearestAndFlushesTinyResults)
{
    const std::vector<DoubleCase> cases = {
        {bitsOf(0.1), 0x3DCCCCCD},
        {bitsOf(1e300), 0x7F800000},
        {bitsOf(-1e300), 0xFF800000},
        {bitsOf(1e-40), 0x00000000},
        {bitsOf(-1e-40), 0x80000000},
        {bitsOf(-0.0), 0x80000000},
        {0x7FF0000000000000, 0x7F800000},          // +Inf
        {0xFFF0000000000000, 0xFF800000},          // -Inf
        {0x47EFFFFFEFFFFFFF, 0x7F7FFFFF},          // just below half an ulp above the largest single
        {0x47EFFFFFF0000000, 0x7F800000},          // half an ulp above it: ties to even, overflows
        {0x3FF0000018000000, 0x3F800001},          // 1 + 1.5 * 2^-24 rounds up (towards zero: 1)
        {0xBFF0000018000000, 0xBF800001},
        {0x3FF0000010000000, 0x3F800000},          // 1 + 2^-24: tie, to even
        {0x3810000000000000, 0x00800000},          // 2^-126 stays
        {0x380FFFFFF8000000, 0x00800000},          // rounds up to 2^-126: kept
        {0x3800000000000000, 0x00000000},          // 2^-127 flushes
        {0x7FF0000000000001, 0x7FC00000},          // signalling NaN made quiet
        {0xFFF8000020000000, 0xFFC00001},          // quiet NaN keeps sign and top payload bits
    };
    std::vector<double> in;
    for (const DoubleCase& c : cases)
        in.push_back(doubleFromBits(c.in));
    const std::vector<std::uint32_t> out = convertBits(doubleToSingle, in);
    for (std::size_t k = 0; k < cases.size(); ++k)
        EXPECT_EQ(out[k], cases[k].out) << std::hex << "double 0x" << cases[k].in;
}

TEST(Converters, Int32RoundsToNearestEven)
{
    const std::vector<std::int32_t> in = {(1 << 24) + 1, (1 << 24) + 3, INT32_MIN, INT32_MAX, -((1 << 24) + 1), 0, -7};
    const std::vector<float> expected = {16777216.0f, 16777220.0f, -2147483648.0f, 2147483648.0f, -16777216.0f, 0.0f,
                                         -7.0f};
    const std::vector<std::uint32_t> out = convertBits(int32ToSingle, in);
    for (std::size_t k = 0; k < in.size(); ++k)
        EXPECT_EQ(out[k], bitsOf(expected[k])) << in[k];
}

// Words of 2^31 and above take the signed conversion and then 2^32 added,
// two roundings whose result is kept on purpose.
TEST(Converters, Uint32RoundsTwiceAboveTwoTo31)
{
    const std::vector<std::uint32_t> in = {0xFFFFFFFF, 0x80000081, 0x80000000, 0x7FFFFFFF, 0, (1u << 24) + 1, 0xC0000000};
    const std::vector<float> expected = {4294967296.0f, 2147483648.0f, 2147483648.0f, 2147483648.0f, 0.0f,
                                         16777216.0f,   3221225472.0f};
    const std::vector<std::uint32_t> out = convertBits(uint32ToSingle, in);
    for (std::size_t k = 0; k < in.size(); ++k)
        EXPECT_EQ(out[k], bitsOf(expected[k])) << in[k];
}

// Every converter over every count shape: exact values, each element in its
// own position, nothing read or written beyond the count.
template <class T>
void checkWalk(void (*convert)(float*, const T*, std::size_t), T (*valueAt)(std::size_t))
{
    for (std::size_t count : walkCounts) {
        std::vector<T> in(count);
        for (std::size_t k = 0; k < count; ++k)
            in[k] = valueAt(k);
        const std::vector<std::uint32_t> out = convertBits(convert, in);
        for (std::size_t k = 0; k < count; ++k)
            ASSERT_EQ(out[k], bitsOf(static_cast<float>(in[k]))) << "count " << count << ", element " << k;
    }
}

TEST(Converters, EveryCountShapeKeepsPositions)
{
    checkWalk<std::int8_t>(int8ToSingle, [](std::size_t k) { return static_cast<std::int8_t>(k * 37 + 128); });
    checkWalk<std::uint8_t>(uint8ToSingle, [](std::size_t k) { return static_cast<std::uint8_t>(255 - k * 13); });
    checkWalk<std::int16_t>(int16ToSingle, [](std::size_t k) { return static_cast<std::int16_t>(k * 4099 + 32768); });
    checkWalk<std::uint16_t>(uint16ToSingle, [](std::size_t k) { return static_cast<std::uint16_t>(65535 - k * 257); });
    checkWalk<std::int32_t>(int32ToSingle,
                            [](std::size_t k) { return static_cast<std::int32_t>(k * 1000003) - (1 << 23); });
    checkWalk<std::uint32_t>(uint32ToSingle,
                             [](std::size_t k) { return static_cast<std::uint32_t>(0xFFFFFF00u - k * 0x01000000u); });
    checkWalk<double>(doubleToSingle, [](std::size_t k) { return (static_cast<double>(k) - 7.0) * 0.1; });
}

} // namespace
} // namespace fpmex::test
