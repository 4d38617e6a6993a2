// The comparison kernels called directly: the IEEE ordered less-than on the
// special values, the operand order, the NaN-scalar short cut (which must not
// read the array at all), the group walk, and fillFalse at every alignment.
#include "caller_mode.h"
#include "mex_test.h"
#include "operators/less_kernel.h"
#include "page_buffer.h"

#include <cstdint>
#include <vector>

namespace fpmex::test {
namespace {

using namespace fpmex::operators;

struct LessCase {
    std::uint32_t left;
    std::uint32_t right;
    unsigned char less;
};

const std::vector<LessCase> lessCases = {
    {0x3F800000, 0x40000000, 1}, // 1 < 2
    {0x40000000, 0x3F800000, 0}, // 2 < 1
    {0x3F800000, 0x3F800000, 0}, // 1 < 1
    {0x7FC00000, 0x3F800000, 0}, // NaN on the left
    {0x3F800000, 0x7FC00000, 0}, // NaN on the right
    {0xFF800000, 0x7FC00000, 0}, // -Inf < NaN
    {0x7F800001, 0x7F800000, 0}, // signalling NaN, no trap
    {0x80000000, 0x00000000, 0}, // -0 < +0: the zeros are equal
    {0x00000000, 0x80000000, 0},
    {0xFF800000, 0xFF7FFFFF, 1}, // -Inf < -3.4e38
    {0xFF800000, 0xFF800000, 0}, // -Inf < -Inf
    {0x7F800000, 0x7F800000, 0}, // +Inf < +Inf
    {0x7F7FFFFF, 0x7F800000, 1},
    {0x00000001, 0x00000002, 1}, // subnormals by their true values
    {0x80000001, 0x00000000, 1},
    {0x00000000, 0x00000001, 1},
};

std::vector<float> column(bool left)
{
    std::vector<float> values;
    for (const LessCase& c : lessCases)
        values.push_back(singleFromBits(left ? c.left : c.right));
    return values;
}

TEST(LessKernels, OrderedLessThanOnSpecialValues)
{
    const std::size_t n = lessCases.size();
    PageEndBuffer<float> a(column(true)), b(column(false));
    PageEndBuffer<unsigned char> out(n);
    underCallerMode([&] { lessArrays(out.data(), a.data(), b.data(), n); });
    const std::vector<unsigned char> arrays = out.values();
    for (std::size_t k = 0; k < n; ++k) {
        const LessCase& c = lessCases[k];
        EXPECT_EQ(arrays[k], c.less) << std::hex << "lessArrays 0x" << c.left << " < 0x" << c.right;
        const float left = singleFromBits(c.left), right = singleFromBits(c.right);
        PageEndBuffer<float> lefts(std::vector<float>(5, left)), rights(std::vector<float>(5, right));
        PageEndBuffer<unsigned char> scalarLeft(5), scalarRight(5);
        underCallerMode([&] {
            lessScalarLeft(scalarLeft.data(), &left, rights.data(), 5);
            lessScalarRight(scalarRight.data(), lefts.data(), &right, 5);
        });
        EXPECT_EQ(scalarLeft.values(), std::vector<unsigned char>(5, c.less)) << std::hex << "lessScalarLeft 0x" << c.left;
        EXPECT_EQ(scalarRight.values(), std::vector<unsigned char>(5, c.less)) << std::hex << "lessScalarRight 0x" << c.right;
    }
}

TEST(LessKernels, ScalarSideIsNeverExchanged)
{
    const float one = 1.0f;
    PageEndBuffer<float> values(std::vector<float>{0.0f, 1.0f, 2.0f});
    PageEndBuffer<unsigned char> left(3), right(3);
    underCallerMode([&] {
        lessScalarLeft(left.data(), &one, values.data(), 3);
        lessScalarRight(right.data(), values.data(), &one, 3);
    });
    EXPECT_EQ(left.values(), (std::vector<unsigned char>{0, 0, 1}));
    EXPECT_EQ(right.values(), (std::vector<unsigned char>{1, 0, 0}));
}

// A NaN scalar gives zeros without touching the array: here the array is a
// page that faults on any access.
TEST(LessKernels, NaNScalarFillsFalseWithoutReadingTheArray)
{
    const NoAccessPage unreadable;
    for (std::uint32_t nanBits : {0x7FC00000u, 0xFF800001u}) {
        const float nan = singleFromBits(nanBits);
        for (std::size_t count : {1, 5, 1000}) {
            PageEndBuffer<unsigned char> left(count), right(count);
            std::memset(left.data(), 0xAA, count);
            std::memset(right.data(), 0xAA, count);
            underCallerMode([&] {
                lessScalarLeft(left.data(), &nan, unreadable.as<float>(), count);
                lessScalarRight(right.data(), unreadable.as<float>(), &nan, count);
            });
            EXPECT_EQ(left.values(), std::vector<unsigned char>(count, 0));
            EXPECT_EQ(right.values(), std::vector<unsigned char>(count, 0));
        }
    }
    const float nan = singleFromBits(0x7FC00000);
    PageEndBuffer<float> allNaN(std::vector<float>(7, nan));
    PageEndBuffer<unsigned char> out(7);
    underCallerMode([&] { lessScalarLeft(out.data(), &nan, allNaN.data(), 7); });
    EXPECT_EQ(out.values(), std::vector<unsigned char>(7, 0));
}

// Values chosen so that the groups run through all sixteen masks.
TEST(LessKernels, EveryCountShapeWritesOnlyItsOwnBytes)
{
    for (std::size_t count : {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 1027}) {
        std::vector<float> a(count), b(count);
        for (std::size_t k = 0; k < count; ++k) {
            a[k] = static_cast<float>((k * 7) % 5);
            b[k] = static_cast<float>((k * 3) % 4);
        }
        const float s = 2.0f;
        PageEndBuffer<float> left(a), right(b);
        PageEndBuffer<unsigned char> arrays(count), scalarLeft(count), scalarRight(count);
        underCallerMode([&] {
            lessArrays(arrays.data(), left.data(), right.data(), count);
            lessScalarLeft(scalarLeft.data(), &s, right.data(), count);
            lessScalarRight(scalarRight.data(), left.data(), &s, count);
        });
        EXPECT_TRUE(arrays.untouchedBefore() && scalarLeft.untouchedBefore() && scalarRight.untouchedBefore());
        const std::vector<unsigned char> outArrays = arrays.values(), outLeft = scalarLeft.values(),
                                         outRight = scalarRight.values();
        for (std::size_t k = 0; k < count; ++k) {
            ASSERT_EQ(outArrays[k], a[k] < b[k] ? 1 : 0) << count << " " << k;
            ASSERT_EQ(outLeft[k], s < b[k] ? 1 : 0) << count << " " << k;
            ASSERT_EQ(outRight[k], a[k] < s ? 1 : 0) << count << " " << k;
        }
    }
}

TEST(LessKernels, FillFalseClearsExactlyItsBytesAtEveryAlignment)
{
    constexpr std::size_t margin = 32;
    std::vector<std::size_t> counts;
    for (std::size_t n = 1; n <= 48; ++n)
        counts.push_back(n);
    counts.push_back(1000);
    for (std::size_t offset = 0; offset < 16; ++offset) {
        for (std::size_t count : counts) {
            alignas(16) static unsigned char block[margin + 16 + 1000 + margin];
            std::memset(block, 0xAA, sizeof block);
            unsigned char* out = block + margin + offset;
            fillFalse(out, count);
            for (std::size_t k = 0; k < sizeof block; ++k) {
                const bool inside = block + k >= out && block + k < out + count;
                ASSERT_EQ(block[k], inside ? 0 : 0xAA) << "offset " << offset << ", count " << count << ", byte " << k;
            }
        }
    }
}

} // namespace
} // namespace fpmex::test
