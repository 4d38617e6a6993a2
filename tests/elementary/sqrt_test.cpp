// sqrt of the double set through the embedded host: every row of the case
// table, the flag that decides between a real and a complex result, and
// correctly rounded real roots.
#include "call_support.h"

#include <cmath>
#include <limits>

namespace fpmex::test {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

double bits(std::uint64_t pattern)
{
    return valueFromBits<double>(pattern);
}

struct SqrtCase {
    const char* row;
    double x;
    double y;
    bool complexInput;
    double re;
    double im;
    bool complexOutput;
};

void expectCase(const SqrtCase& c)
{
    const Array input = c.complexInput ? makeDouble({c.x}, {c.y}) : makeDouble({c.x});
    const Outcome<double> outcome = runDeliverable<double>("double/sqrt", input.get());
    ASSERT_EQ(outcome.re.size(), 1u) << c.row;
    EXPECT_EQ(outcome.re[0], std::bit_cast<std::uint64_t>(c.re)) << c.row << ": real part";
    if (!c.complexOutput) {
        EXPECT_TRUE(outcome.im.empty()) << c.row << ": the result must be real";
        return;
    }
    ASSERT_EQ(outcome.im.size(), 1u) << c.row << ": the result must be complex";
    EXPECT_EQ(outcome.im[0], std::bit_cast<std::uint64_t>(c.im)) << c.row << ": imaginary part";
}

const double quiet = bits(0x7FF8000000012345);
const double negativeQuiet = bits(0xFFF8000000012345);

TEST(Sqrt, RealPath)
{
    const double denormal = std::numeric_limits<double>::denorm_min();
    const SqrtCase cases[] = {
        {"4", 4, 0, false, 2, 0, false},
        {"-4", -4, 0, false, 0, 2, true},
        {"+0", 0, 0, false, 0, 0, false},
        {"-0 counts as negative", -0.0, 0, false, 0, 0, true},
        {"+Inf", inf, 0, false, inf, 0, false},
        {"-Inf", -inf, 0, false, 0, inf, true},
        {"NaN loses its sign", negativeQuiet, 0, false, quiet, 0, false},
        {"signalling NaN comes out quiet", bits(0x7FF0000000012345), 0, false, quiet, 0, false},
        {"2", 2, 0, false, bits(0x3FF6A09E667F3BCD), 0, false},
        {"smallest denormal", denormal, 0, false, 0x1p-537, 0, false},
        {"-2", -2, 0, false, 0, bits(0x3FF6A09E667F3BCD), true},
    };
    for (const SqrtCase& c : cases)
        expectCase(c);
}

// Roots whose 64-bit rounding falls exactly on a 53-bit midpoint: rounding
// twice would give the neighbour of the correctly rounded double.
TEST(Sqrt, RealRootsAreRoundedOnce)
{
    const std::vector<double> in = {bits(0x3EDCA45F5889E607), bits(0x3F4A59DC3BF5AF46), bits(0x40BC5B81748C7204),
                                    bits(0x41059468AD83BCAE), -bits(0x3FA4C400612267B7)};
    const std::vector<std::uint64_t> roots = {0x3F656846037DC4C1, 0x3F9D09D8F0A780A3, 0x40554CF993313249,
                                              0x407A47413D3A7B0F, 0x3FC9C72486D45545};
    const Outcome<double> outcome = runDeliverable<double>("double/sqrt", makeDouble(in).get());
    ASSERT_EQ(outcome.im.size(), in.size());
    for (std::size_t i = 0; i + 1 < in.size(); ++i) {
        EXPECT_EQ(outcome.re[i], roots[i]) << i;
        EXPECT_EQ(outcome.im[i], 0u) << i;
    }
    EXPECT_EQ(outcome.re.back(), 0u);
    EXPECT_EQ(outcome.im.back(), roots.back());

    // A zero imaginary part takes the same root.
    const Outcome<double> complexOutcome =
        runDeliverable<double>("double/sqrt", makeDouble({in[0], in[1]}, {0.0, -0.0}).get());
    EXPECT_EQ(complexOutcome.re, (std::vector<std::uint64_t>{roots[0], roots[1]}));
}

TEST(Sqrt, ComplexRows)
{
    const double nan = indefinite<double>();
    const SqrtCase cases[] = {
        {"NaN x", quiet, 1, true, quiet, quiet, false},
        {"NaN x, NaN y", negativeQuiet, quiet, true, negativeQuiet, negativeQuiet, false},
        {"+Inf x, NaN y", inf, quiet, true, nan, nan, false},
        {"+Inf x, +Inf y", inf, inf, true, nan, nan, false},
        {"-Inf x, NaN y", -inf, quiet, true, nan, nan, false},
        {"-Inf x, -Inf y", -inf, -inf, true, nan, nan, false},
        {"+Inf x, finite y", inf, 1, true, inf, 0, false},
        {"+Inf x, negative y", inf, -1, true, inf, 0, false},
        {"-Inf x, -1", -inf, -1, true, 0, inf, true},
        {"-Inf x, +0", -inf, 0, true, 0, inf, true},
        {"+0, +0", 0, 0, true, 0, -0.0, false},
        {"+0, -0", 0, -0.0, true, -0.0, 0, false},
        {"-0, +0", -0.0, 0, true, 0, -0.0, false},
        {"0, 2", 0, 2, true, 1, 1, true},
        {"-0, -2", -0.0, -2, true, 1, -1, true},
        {"0, +Inf", 0, inf, true, inf, inf, true},
        {"0, -Inf", 0, -inf, true, inf, -inf, true},
        {"0, NaN", 0, quiet, true, quiet, quiet, true},
        {"0, negative NaN", 0, negativeQuiet, true, quiet, negativeQuiet, true},
        {"finite x, NaN y", 1, negativeQuiet, true, quiet, negativeQuiet, false},
        {"finite x, +Inf y", -1, inf, true, inf, inf, true},
        {"finite x, -Inf y", 1, -inf, true, inf, -inf, true},
        {"4, +0", 4, 0, true, 2, 0, false},
        {"4, -0", 4, -0.0, true, 2, -0.0, false},
        {"-4, +0", -4, 0, true, 0, 2, true},
        {"-4, -0", -4, -0.0, true, -0.0, 2, true},
        {"3, 4", 3, 4, true, 2, 1, true},
        {"3, -4", 3, -4, true, 2, -1, true},
        {"-3, 4", -3, 4, true, 1, 2, true},
        {"-3, -4", -3, -4, true, 1, -2, true},
    };
    for (const SqrtCase& c : cases)
        expectCase(c);
}

// The squares of these parts overflow or underflow in double; the result
// must still be the root, scaled correctly (within 2 ulps of long double).
TEST(Sqrt, ExtremePartsNeitherOverflowNorUnderflow)
{
    for (double scale : {1e300, 1e-310, 1.7e308}) {
        const Outcome<double> outcome = runDeliverable<double>("double/sqrt", makeDouble({scale}, {scale}).get());
        ASSERT_EQ(outcome.im.size(), 1u);
        const long double x = scale;
        const long double m = std::sqrt(x * x + x * x);
        const long double u = std::sqrt((x + m) / 2);
        const double re = static_cast<double>(u);
        const double im = static_cast<double>(x / 2 / u);
        EXPECT_NEAR(valueFromBits<double>(outcome.re[0]), re, 2 * (std::nextafter(re, inf) - re)) << scale;
        EXPECT_NEAR(valueFromBits<double>(outcome.im[0]), im, 2 * (std::nextafter(im, inf) - im)) << scale;
    }
}

TEST(Sqrt, OneElementDecidesForTheWholeArray)
{
    const Outcome<double> mixed = runDeliverable<double>("double/sqrt", makeDouble({4, -4}).get());
    EXPECT_EQ(mixed.re, bitsOfAll<double>({2, 0}));
    EXPECT_EQ(mixed.im, bitsOfAll<double>({0, 2}));

    const Outcome<double> real = runDeliverable<double>("double/sqrt", makeDouble({quiet, 4, 0, inf}).get());
    EXPECT_EQ(real.re, bitsOfAll<double>({quiet, 2, 0, inf}));
    EXPECT_TRUE(real.im.empty());

    // A complex input whose roots are all real gives a real result; one
    // element that needs an imaginary part makes every element complex.
    const Outcome<double> complexReal =
        runDeliverable<double>("double/sqrt", makeDouble({4, 9, inf, 1}, {0, -0.0, 1, quiet}).get());
    EXPECT_EQ(complexReal.re, bitsOfAll<double>({2, 3, inf, quiet}));
    EXPECT_TRUE(complexReal.im.empty());

    const Outcome<double> complexMixed =
        runDeliverable<double>("double/sqrt", makeDouble({4, 1, -9}, {-0.0, quiet, 0}).get());
    EXPECT_EQ(complexMixed.re, bitsOfAll<double>({2, quiet, 0}));
    EXPECT_EQ(complexMixed.im, bitsOfAll<double>({-0.0, quiet, 3}));
}

} // namespace
} // namespace fpmex::test
