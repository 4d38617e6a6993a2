// floor (single) and round (double) through the embedded host: halves,
// signed zeros, denormals, values that are already integers, specials and
// complex inputs.
#include "call_support.h"

#include <cmath>
#include <limits>

namespace fpmex::test {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

template <class T>
void expectRounding(const std::string& name, const std::vector<T>& in, const std::vector<T>& expected)
{
    const Outcome<T> outcome = runDeliverable<T>(name, makeArray<T>(classOf<T>(), in).get());
    ASSERT_EQ(outcome.re.size(), in.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(outcome.re[i], std::bit_cast<BitsOf<T>>(expected[i])) << std::hexfloat << name << "(" << in[i] << ")";
    EXPECT_TRUE(outcome.im.empty());
}

TEST(Floor, RealValues)
{
    const float denormal = std::numeric_limits<float>::denorm_min();
    const float quiet = valueFromBits<float>(0xFFC12345);
    expectRounding<float>(
        "single/floor",
        {2.7f, -2.7f, 0.5f, -0.5f, 0, -0.0f, 1, -1, 0x1.fffffep-1f, -0x1.fffffep-1f, denormal, -denormal,
         0x1p23f - 0.5f, -0x1p23f + 0.5f, 0x1p23f + 1, 0x1p24f, -0x1p30f, 3.4e38f, -3.4e38f, INFINITY, -INFINITY,
         quiet, valueFromBits<float>(0x7F800001)},
        {2, -3, 0, -1, 0, -0.0f, 1, -1, 0, -1, 0, -1, 0x1p23f - 1, -0x1p23f, 0x1p23f + 1, 0x1p24f, -0x1p30f, 3.4e38f,
         -3.4e38f, INFINITY, -INFINITY, quiet, valueFromBits<float>(0x7FC00001)});
}

TEST(Round, RealValues)
{
    const double below = 0x1.fffffffffffffp-2; // largest double below one half
    const double denormal = std::numeric_limits<double>::denorm_min();
    const double quiet = valueFromBits<double>(0xFFF8000000012345);
    expectRounding<double>(
        "double/round",
        {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 0.7, -0.7, below, -below, 0, -0.0, denormal, -denormal, 0x1p52 - 0.5,
         -0x1p52 + 0.5, 0x1p52 + 1, 0x1p53, -0x1p53, 1e300, -1e300, 0x1p51 + 0.5, 1.7976931348623157e308, inf, -inf,
         quiet, valueFromBits<double>(0x7FF0000000000001)},
        {1, 2, 3, -0.0, -1, -2, 1, -1, 0, 0, 0, 0, 0, 0, 0x1p52, -0x1p52 + 1, 0x1p52 + 1, 0x1p53, -0x1p53, 1e300,
         -1e300, 0x1p51 + 1, 1.7976931348623157e308, inf, -inf, quiet, valueFromBits<double>(0x7FF8000000000001)});
}

TEST(Rounding, ComplexPartsAreRoundedSeparately)
{
    const Outcome<float> floors = runDeliverable<float>("single/floor", makeSingle({1.5f, -0.5f}, {-1.5f, 0}).get());
    EXPECT_EQ(floors.re, bitsOfAll<float>({1, -1}));
    EXPECT_EQ(floors.im, bitsOfAll<float>({-2, 0}));

    const Outcome<double> rounds = runDeliverable<double>("double/round", makeDouble({2.5, -0.5}, {-2.5, -0.0}).get());
    EXPECT_EQ(rounds.re, bitsOfAll<double>({3, -0.0}));
    EXPECT_EQ(rounds.im, bitsOfAll<double>({-2, 0}));
}

// The rounding direction the kernels compute under must not leak into the
// caller.
TEST(Rounding, CallerKeepsRoundingToNearest)
{
    runDeliverable<double>("double/round", makeDouble({0.3}).get());
    runDeliverable<float>("single/floor", makeSingle({0.3f}).get());
    std::uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control));
    EXPECT_EQ(control & 0x0C00, 0);
}

} // namespace
} // namespace fpmex::test
