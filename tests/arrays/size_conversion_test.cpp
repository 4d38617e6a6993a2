// Size and dimension arguments to integers: the rounding direction, the
// replacement of negative and NaN sizes, and the sizes that cannot be
// honoured.
#include "arrays/size_conversion.h"
#include "foreign_fp_mode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

struct SizeCase {
    double value;
    std::size_t size;
    bool representable;
};

// Every value is exact as a single too, so both element types share it.
const SizeCase sizeCases[] = {
    {3.0, 3, true},
    {2.9, 2, true},           // rounded toward minus infinity
    {0.5, 0, true},
    {1e-40, 0, true},         // subnormal single
    {-0.0, 0, true},
    {-2.0, 0, true},          // negative sizes become 0
    {-0.5, 0, true},          // not -1
    {-inf, 0, true},
    {nan, 0, true},
    {2147483520.0, 2147483520, true}, // the largest single below 2^31
    {2147483648.0, 0, false}, // 2^31
    {1e20, 0, false},
    {inf, 0, false},
};

template <class T>
void checkSizeCases()
{
    for (const SizeCase& c : sizeCases) {
        const T value = static_cast<T>(c.value);
        std::size_t size = 12345;
        bool representable = false;
        fpmex::test::underForeignFpMode([&] { representable = fpmex::convertSizes(&value, 1, &size); });
        EXPECT_EQ(size, c.size) << c.value;
        EXPECT_EQ(representable, c.representable) << c.value;
    }
}

TEST(ConvertSizes, SingleElements) { checkSizeCases<float>(); }
TEST(ConvertSizes, DoubleElements) { checkSizeCases<double>(); }

// A caller with denormals-are-zero on: a negative subnormal is still no
// elements, not a size of -1 wrapped to 2^64 - 1.
TEST(ConvertSizes, NegativeSubnormalsUnderDenormalsAreZero)
{
    const std::uint32_t savedMxcsr = _mm_getcsr();
    _mm_setcsr(savedMxcsr | 0x8040);
    const float singles[] = {-1e-45f, -1e-40f};
    const double doubles[] = {-5e-324, -1e-310};
    std::size_t sizes[4] = {1, 1, 1, 1};
    fpmex::convertSizes(singles, 2, sizes);
    fpmex::convertSizes(doubles, 2, sizes + 2);
    _mm_setcsr(savedMxcsr);
    for (std::size_t size : sizes)
        EXPECT_EQ(size, 0u);
}

TEST(ConvertSizes, DoublesKeepTheirFullValue)
{
    // 2^31 - 0.1 would round up to 2^31 as a single.
    const std::vector<double> values = {2147483647.9, 16777217.0};
    std::vector<std::size_t> sizes(2);
    EXPECT_TRUE(fpmex::convertSizes(values.data(), values.size(), sizes.data()));
    EXPECT_EQ(sizes[0], std::size_t(2147483647));
    EXPECT_EQ(sizes[1], std::size_t(16777217));
}

TEST(ConvertSizes, ReportsAnyUnrepresentableElementAndConvertsTheOthers)
{
    const std::vector<float> values = {2.0f, 3e9f, 4.5f};
    std::vector<std::size_t> sizes(3, 99);
    EXPECT_FALSE(fpmex::convertSizes(values.data(), values.size(), sizes.data()));
    EXPECT_EQ(sizes, (std::vector<std::size_t>{2, 0, 4}));
}

TEST(TruncateToInt32, TowardZeroWithTheIndefiniteOutOfRange)
{
    constexpr std::int32_t indefinite = std::numeric_limits<std::int32_t>::min();
    const struct {
        double value;
        std::int32_t expected;
    } cases[] = {
        {2.7, 2}, {1.9, 1}, {-2.7, -2}, {0.5, 0}, {-0.5, 0}, {2147483647.9, 2147483647},
        {-2147483648.0, indefinite}, {2147483648.0, indefinite}, {inf, indefinite}, {-inf, indefinite},
        {nan, indefinite},
    };
    for (const auto& c : cases) {
        std::int32_t result = 0;
        fpmex::test::underForeignFpMode([&] { result = fpmex::truncateToInt32(c.value); });
        EXPECT_EQ(result, c.expected) << c.value;
    }
}

} // namespace

namespace {

// The tag word after FNSTENV: 0xFFFF when no x87 register is in use.
std::uint16_t x87TagWord()
{
    std::uint16_t environment[14];
    asm volatile("fnstenv %0\n\tfldenv %0" : "=m"(environment) : : "memory");
    return environment[4];
}

// Repeated conversions must leave the x87 stack as they found it: a value
// left behind on each call overflows the stack after eight calls and turns
// the caller's later x87 results into NaNs.
TEST(SizeConversions, LeaveTheX87StackEmpty)
{
    const float value = 7.0f;
    std::size_t size = 0;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(fpmex::truncateToInt32(7.5), 7);
        EXPECT_TRUE(fpmex::convertSizes(&value, 1, &size));
    }
    EXPECT_EQ(x87TagWord(), 0xFFFF);
}

} // namespace
