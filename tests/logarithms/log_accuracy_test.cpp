// The logarithm kernels against MPFR on many ordinary values, and the base
// constants against their mathematical values. Kernels are called directly.
#include "log_reference.h"

#include "common/x87.h"
#include "mex_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace fpmex::test {
namespace {

template <class K>
class LogAccuracy : public ::testing::Test {};

using Kernels = ::testing::Types<Kernel<float, LogBase::two>, Kernel<float, LogBase::natural>,
                                 Kernel<float, LogBase::ten>, Kernel<double, LogBase::two>,
                                 Kernel<double, LogBase::ten>>;
TYPED_TEST_SUITE(LogAccuracy, Kernels);

// Finite nonzero values with uniformly random bit patterns: every binade,
// subnormals included, equally likely.
template <class T>
std::vector<T> randomFinite(std::size_t n, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::vector<T> values;
    while (values.size() < n) {
        T v;
        if constexpr (sizeof(T) == 4)
            v = singleFromBits(static_cast<std::uint32_t>(random()));
        else
            v = doubleFromBits(random());
        if (std::isfinite(v) && v != 0)
            values.push_back(v);
    }
    return values;
}

// Values with magnitudes between 2^-range and 2^range and random signs.
template <class T>
std::vector<T> randomModerate(std::size_t n, std::uint64_t seed, int range)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> exponent(-range, range);
    std::vector<T> values(n);
    for (T& v : values)
        v = static_cast<T>((random() & 1 ? -1.0 : 1.0) * std::exp2(exponent(random)));
    return values;
}

// Prints the share of results equal to the correctly rounded value (the
// double set is held to 1 ulp; the share is what the documentation quotes).
void reportExactShare(const char* what, std::size_t exact, std::size_t total)
{
    std::printf("[ share    ] %s: %zu of %zu exact (%.4f%%)\n", what, exact, total, 100.0 * exact / total);
}

TYPED_TEST(LogAccuracy, RealValuesAreRoundedOnceFromTheExactLogarithm)
{
    using T = typename TypeParam::Type;
    const std::vector<T> in = randomFinite<T>(200000, 11);
    std::vector<T> re(in.size()), im(in.size());
    TypeParam::run(re.data(), im.data(), in.data(), nullptr, in.size());

    std::size_t exact = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const T expected = referenceLog<T>(TypeParam::base, in[i]);
        if (bitsOf(re[i]) == bitsOf(expected))
            ++exact;
        else if (sizeof(T) == 4 || ulpsBetween(re[i], expected) > 1)
            ADD_FAILURE() << "log of " << in[i] << " gave " << re[i] << ", reference " << expected;
    }
    if (sizeof(T) == 8)
        reportExactShare("real", exact, in.size());
}

TYPED_TEST(LogAccuracy, ComplexValuesAreRoundedOnceFromTheExactLogarithm)
{
    using T = typename TypeParam::Type;
    // Near |z| = 1 the real part is log of a sum of squares that was rounded
    // to 64 bits, so a double may be off by more than 1 ulp there; the error
    // stays below 2^-63 in absolute terms. Singles are far coarser than that.
    auto withinBound = [](T got, T expected) {
        const long double ulp = std::nextafter(std::fabs(expected), T(INFINITY)) - std::fabs(expected);
        return std::fabs(static_cast<long double>(got) - expected) <= ulp + 0x1p-63L;
    };
    // Parts of similar and of very different sizes: all three formulas of the
    // general case are reached.
    for (const int range : {4, 40}) {
        const std::vector<T> x = randomModerate<T>(30000, 21 + range, range);
        const std::vector<T> y = randomModerate<T>(30000, 31 + range, range);
        std::vector<T> re(x.size()), im(x.size());
        EXPECT_EQ(TypeParam::run(re.data(), im.data(), x.data(), y.data(), x.size()), 1);

        std::size_t exact = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const auto [expectedRe, expectedIm] = referenceComplexLog<T>(TypeParam::base, x[i], y[i]);
            const bool reExact = bitsOf(re[i]) == bitsOf(expectedRe);
            const bool imExact = bitsOf(im[i]) == bitsOf(expectedIm);
            if (reExact && imExact)
                ++exact;
            else if (sizeof(T) == 4 || !withinBound(re[i], expectedRe) || ulpsBetween(im[i], expectedIm) > 1)
                ADD_FAILURE() << "log of " << x[i] << " + " << y[i] << "i gave " << re[i] << " + " << im[i]
                              << "i, reference " << expectedRe << " + " << expectedIm << "i";
        }
        if (sizeof(T) == 8)
            reportExactShare(range == 4 ? "complex, parts within 2^+-4" : "complex, parts within 2^+-40", exact,
                             x.size());
    }
}

// The multipliers are what the x87 constant loads give, or the nearest
// extended values to their mathematical values; P and Q are the nearest
// values of the element type.
TEST(LogConstants, MatchTheirMathematicalValues)
{
    using x87::Extended;
    auto extended = [](ExtendedBits bits) { return x87::fromBits(bits.signExponent, bits.significand); };
    auto nearestExtended = [](const mpfr_t value) { return mpfr_get_ld(value, MPFR_RNDN); };

    const BaseMultipliers& two = baseMultipliers[static_cast<int>(LogBase::two)];
    const BaseMultipliers& natural = baseMultipliers[static_cast<int>(LogBase::natural)];
    const BaseMultipliers& ten = baseMultipliers[static_cast<int>(LogBase::ten)];
    EXPECT_EQ(extended(two.c), 1.0L);
    EXPECT_EQ(extended(two.h), 0.5L);
    EXPECT_EQ(extended(two.a), x87::fldl2e());
    EXPECT_EQ(extended(natural.c), x87::fldln2());
    EXPECT_EQ(extended(natural.a), 1.0L);
    EXPECT_EQ(extended(ten.c), x87::fldlg2());

    for (const LogBase base : {LogBase::two, LogBase::natural, LogBase::ten}) {
        SCOPED_TRACE(static_cast<int>(base));
        const BaseMultipliers& m = baseMultipliers[static_cast<int>(base)];
        Mp lnBase, value;
        logOfBase(lnBase.v, base);
        // h = log_b(2) / 2
        mpfr_const_log2(value.v, MPFR_RNDN);
        mpfr_div(value.v, value.v, lnBase.v, MPFR_RNDN);
        mpfr_div_2ui(value.v, value.v, 1, MPFR_RNDN);
        EXPECT_EQ(extended(m.h), nearestExtended(value.v));
        // a = log_b(e); base 10 deliberately one unit in the last place above.
        mpfr_ui_div(value.v, 1, lnBase.v, MPFR_RNDN);
        const Extended a = nearestExtended(value.v);
        EXPECT_EQ(extended(m.a), base == LogBase::ten ? std::nextafter(a, 1.0L) : a);
        EXPECT_EQ(m.scaleAngle, base != LogBase::natural);
        // P = pi * log_b(e), Q = P / 2, in each element type.
        mpfr_const_pi(value.v, MPFR_RNDN);
        mpfr_div(value.v, value.v, lnBase.v, MPFR_RNDN);
        const auto i = static_cast<std::size_t>(base);
        EXPECT_EQ(TypedLogConstants<float>::P[i], bitsOf(mpfr_get_flt(value.v, MPFR_RNDN)));
        EXPECT_EQ(TypedLogConstants<double>::P[i], bitsOf(mpfr_get_d(value.v, MPFR_RNDN)));
        mpfr_div_2ui(value.v, value.v, 1, MPFR_RNDN);
        EXPECT_EQ(TypedLogConstants<float>::Q[i], bitsOf(mpfr_get_flt(value.v, MPFR_RNDN)));
        EXPECT_EQ(TypedLogConstants<double>::Q[i], bitsOf(mpfr_get_d(value.v, MPFR_RNDN)));
    }
    EXPECT_EQ(singleFromBits(TypedLogConstants<float>::S), 0x1p54f);
    EXPECT_EQ(singleFromBits(TypedLogConstants<double>::S), 512.0f);
}

// Near the double set's ratio threshold (y^2 * 512 against x^2) the direct
// formula 0.5 * log2(x^2 + y^2) and the ratio formula log2|x| +
// 0.5 * log2(1 + y^2/x^2) sometimes round to different doubles, because
// x^2 + y^2 is rounded to 64 bits first. Where they do, the kernel must give
// the one its side of the threshold calls for.
TEST(LogThreshold, DoubleSetTakesTheRatioFormulaStrictlyBelowTheThreshold)
{
    using x87::Extended;
    auto ratioFormula = [](double x, double y) {
        const Extended x2 = Extended{x} * x, y2 = Extended{y} * y;
        return static_cast<double>(x87::fyl2x(1.0L, std::fabs(Extended{x})) + x87::fyl2xp1(0.5L, y2 / x2));
    };
    auto directFormula = [](double x, double y) {
        const Extended x2 = Extended{x} * x, y2 = Extended{y} * y;
        return static_cast<double>(x87::fyl2x(0.5L, x2 + y2));
    };

    const double threshold = std::sqrt(1.0 / 512); // y/x where y^2 * 512 = x^2 (never exactly)
    const double x = 1.0;
    double lo = threshold, hi = threshold;
    int below = 0, above = 0;
    for (int step = 0; step < 100000 && (below < 3 || above < 3); ++step) {
        const double y = step % 2 ? (hi = std::nextafter(hi, 1.0)) : (lo = std::nextafter(lo, 0.0));
        const bool firstRatioRow = Extended{y} * y * 512 < Extended{x} * x;
        const double viaRatio = ratioFormula(x, y), viaDirect = directFormula(x, y);
        if (viaRatio == viaDirect)
            continue;
        double re, im;
        logKernel<double, LogBase::two>(&re, &im, &x, &y, 1);
        EXPECT_EQ(re, firstRatioRow ? viaRatio : viaDirect) << "y = " << y;
        ++(firstRatioRow ? below : above);
    }
    EXPECT_GE(below, 1);
    EXPECT_GE(above, 1);
}

} // namespace
} // namespace fpmex::test
