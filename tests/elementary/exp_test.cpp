// exp of both sets through the embedded host: every special row, the range
// boundaries, and the period of the complex path.
#include "call_support.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace fpmex::test {
namespace {

template <class T>
class ExpTest : public ::testing::Test {
public:
    static std::string name() { return std::string(setOf<T>()) + "exp"; }

    static T bits(BitsOf<T> pattern) { return valueFromBits<T>(pattern); }

    // Real inputs and their expected results, one call for the whole row.
    static void expectReal(const std::vector<T>& in, const std::vector<T>& expected)
    {
        const Outcome<T> outcome = runDeliverable<T>(name(), makeArray<T>(classOf<T>(), in).get());
        EXPECT_EQ(outcome.re, bitsOfAll(expected));
        EXPECT_TRUE(outcome.im.empty());
    }

    struct ComplexCase {
        T xRe;
        T xIm;
        T re;
        T im;
    };
    static void expectComplex(const std::vector<ComplexCase>& cases)
    {
        std::vector<T> inRe, inIm, re, im;
        for (const ComplexCase& c : cases) {
            inRe.push_back(c.xRe);
            inIm.push_back(c.xIm);
            re.push_back(c.re);
            im.push_back(c.im);
        }
        const Outcome<T> outcome = runDeliverable<T>(name(), makeArray<T>(classOf<T>(), inRe, inIm).get());
        ASSERT_EQ(outcome.re.size(), cases.size());
        ASSERT_EQ(outcome.im.size(), cases.size()) << "a complex input gives a complex output";
        for (std::size_t i = 0; i < cases.size(); ++i) {
            EXPECT_EQ(outcome.re[i], std::bit_cast<BitsOf<T>>(re[i])) << "case " << i << " real part";
            EXPECT_EQ(outcome.im[i], std::bit_cast<BitsOf<T>>(im[i])) << "case " << i << " imaginary part";
        }
    }
};

using ElementTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(ExpTest, ElementTypes);


// P, the element type's value nearest to 2*pi, and K = 2*pi / P: the angle
// of an imaginary part y is (y mod P) * K.
template <class T>
long double period()
{
    return sizeof(T) == 4 ? 0x1.921fb6p+2L : 0x1.921fb54442d18p+2L;
}
template <class T>
long double periodScale()
{
    return 6.283185307179586476925286766559005768L / period<T>();
}

TYPED_TEST(ExpTest, SpecialValuesOfTheRealPath)
{
    using T = TypeParam;
    const T inf = std::numeric_limits<T>::infinity();
    const T quiet = sizeof(T) == 4 ? this->bits(0x7FC12345) : this->bits(0x7FF8000000012345);
    const T negativeQuiet = sizeof(T) == 4 ? this->bits(0xFFC00001) : this->bits(0xFFF8000000000001);
    const T signalling = sizeof(T) == 4 ? this->bits(0x7F800001) : this->bits(0x7FF0000000000001);
    const T quieted = sizeof(T) == 4 ? this->bits(0x7FC00001) : this->bits(0x7FF8000000000001);
    const T denormal = std::numeric_limits<T>::denorm_min();
    this->expectReal({0, -0.0, inf, -inf, quiet, negativeQuiet, signalling, denormal, -denormal},
                     {1, 1, inf, 0, quiet, negativeQuiet, quieted, 1, 1});
}

TEST(ExpSingle, RangeBoundariesAndOne)
{
    ExpTest<float>::expectReal({1, -1, 0.5f, 88.72283f, 89, -87.33655f, -100, -103.9f, -104},
                               {valueFromBits<float>(0x402DF854), valueFromBits<float>(0x3EBC5AB2),
                                valueFromBits<float>(0x3FD3094C), valueFromBits<float>(0x7F7FFF84), INFINITY,
                                valueFromBits<float>(0x007FFFE6), valueFromBits<float>(0x0000001B),
                                valueFromBits<float>(0x00000001), 0});
}

TEST(ExpDouble, RangeBoundariesAndOne)
{
    ExpTest<double>::expectReal(
        {1, -1, 0.5, 709, 0x1.62e42fefa39efp+9, 710, -708.5, -745, -745.1332191019411, -746},
        {valueFromBits<double>(0x4005BF0A8B145769), valueFromBits<double>(0x3FD78B56362CEF38),
         valueFromBits<double>(0x3FFA61298E1E069C), valueFromBits<double>(0x7FDD422D2BE5DC9B),
         valueFromBits<double>(0x7FEFFFFFFFFFFF2A), INFINITY, valueFromBits<double>(0x000E6CF6D08897AC),
         valueFromBits<double>(0x0000000000000001), valueFromBits<double>(0x0000000000000001), 0});
}

TYPED_TEST(ExpTest, SpecialRowsOfTheComplexPath)
{
    using T = TypeParam;
    const T inf = std::numeric_limits<T>::infinity();
    const T nan = indefinite<T>();
    const T quiet = sizeof(T) == 4 ? this->bits(0x7FC12345) : this->bits(0x7FF8000000012345);
    const T e = sizeof(T) == 4 ? this->bits(0x402DF854) : this->bits(0x4005BF0A8B145769);
    const T cos1 = static_cast<T>(std::cos(periodScale<T>()));
    const T sin1 = static_cast<T>(std::sin(periodScale<T>()));
    this->expectComplex({
        {0, 0, 1, 0},
        {-0.0, -0.0, 1, -0.0},
        {1, 0, e, 0},
        {1, -0.0, e, -0.0},
        {0, 1, cos1, sin1},
        {inf, 0, inf, nan},
        {inf, -0.0, inf, nan},
        {inf, 1, inf, inf},   // cos 1 > 0, sin 1 > 0
        {inf, -2, -inf, -inf}, // cos 2 < 0, sin -2 < 0
        {inf, quiet, nan, nan},
        {inf, inf, nan, nan},
        {-inf, 0, 0, 0},
        {-inf, -1, 0, 0},
        {-inf, quiet, 0, 0},
        {-inf, inf, 0, 0},
        {-inf, -inf, 0, 0},
        {1, quiet, nan, nan},
        {0, quiet, nan, nan},
        {-3, inf, nan, nan},
        {2, -inf, nan, nan},
        {quiet, 1, quiet, quiet},
        {quiet, inf, quiet, quiet},
        {quiet, 0, quiet, quiet},
    });
}

// The imaginary part is measured in turns of P, the element type's value
// nearest to 2*pi: whole turns have the angle 0 exactly, where the true
// sin(4P) would be about 4e-16 (double) or 7e-7 (single) away from 0.
TYPED_TEST(ExpTest, WholeTurnsOfThePeriodGiveExactlyOne)
{
    using T = TypeParam;
    const T turn = sizeof(T) == 4 ? this->bits(0x40C90FDB) : this->bits(0x401921FB54442D18);
    const T e = sizeof(T) == 4 ? this->bits(0x402DF854) : this->bits(0x4005BF0A8B145769);
    this->expectComplex({
        {0, turn, 1, 0},
        {0, -turn, 1, -0.0},
        {0, 4 * turn, 1, 0},
        {0, std::ldexp(turn, 40), 1, 0},
        {1, turn, e, 0},
        {0, static_cast<T>(2 * std::numbers::pi), 1, 0},
    });
}

// A remainder with y's sign, below P in magnitude, then rescaled by K:
// cos and sin of (y mod P) * 2*pi/P, rounded once.
TYPED_TEST(ExpTest, LargeImaginaryPartsAreReducedByThePeriod)
{
    using T = TypeParam;
    const T ys[] = {static_cast<T>(1e6), static_cast<T>(-12345.678), 100};
    std::vector<typename ExpTest<T>::ComplexCase> cases;
    for (T y : ys) {
        const long double angle = std::fmod(static_cast<long double>(y), period<T>()) * periodScale<T>();
        cases.push_back({0, y, static_cast<T>(std::cos(angle)), static_cast<T>(std::sin(angle))});
    }
    const Outcome<T> outcome = runDeliverable<T>(this->name(), makeArray<T>(classOf<T>(), {0, 0, 0},
                                                                          {ys[0], ys[1], ys[2]}).get());
    ASSERT_EQ(outcome.im.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        // Within one ulp of the long double evaluation of the same angle.
        const T re = valueFromBits<T>(outcome.re[i]);
        const T im = valueFromBits<T>(outcome.im[i]);
        EXPECT_LE(std::fabs(re - cases[i].re), std::fabs(std::nextafter(cases[i].re, T(0)) - cases[i].re) * 1.01)
            << ys[i];
        EXPECT_LE(std::fabs(im - cases[i].im), std::fabs(std::nextafter(cases[i].im, T(0)) - cases[i].im) * 1.01)
            << ys[i];
    }
    if constexpr (sizeof(T) == 8) {
        EXPECT_NE(valueFromBits<double>(outcome.im[0]), std::sin(1e6));
    }
}

} // namespace
} // namespace fpmex::test
