// The elementary kernels called directly: accuracy against independent
// references on random samples, and independence from the caller's
// floating-point modes.
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "mpfr_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <random>
#include <vector>
#include <xmmintrin.h>

namespace fpmex::test {
namespace {

template <class T>
T fromBits(std::uint64_t bits)
{
    T value;
    if constexpr (sizeof(T) == 4) {
        const auto narrow = static_cast<std::uint32_t>(bits);
        std::memcpy(&value, &narrow, 4);
    } else {
        std::memcpy(&value, &bits, 8);
    }
    return value;
}

template <class T>
std::uint64_t toBits(T value)
{
    if constexpr (sizeof(T) == 4) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return bits;
    } else {
        std::uint64_t bits;
        std::memcpy(&bits, &value, 8);
        return bits;
    }
}

// Uniform over the bit patterns of [lo, hi] for each sign, so that every
// binade gets its share; values outside the range are drawn again.
template <class T>
std::vector<T> sampleRange(std::size_t count, T lo, T hi, std::uint64_t seed)
{
    std::mt19937_64 generator(seed);
    std::vector<T> values;
    values.reserve(count);
    while (values.size() < count) {
        const T x = fromBits<T>(generator());
        if (x >= lo && x <= hi)
            values.push_back(x);
    }
    return values;
}

TEST(ExpAccuracy, SingleIsCorrectlyRounded)
{
    const std::vector<float> in = sampleRange<float>(400000, -104.0f, 89.0f, 1);
    std::vector<float> out(in.size());
    expKernel<float>(out.data(), nullptr, in.data(), nullptr, in.size());
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (toBits(out[i]) != toBits(mpfrExp(in[i])) && ++wrong <= 5)
            ADD_FAILURE() << "exp(" << in[i] << ") = " << out[i] << ", expected " << mpfrExp(in[i]);
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(ExpAccuracy, DoubleIsWithinOneUlp)
{
    const std::vector<double> in = sampleRange<double>(200000, -746.0, 710.0, 2);
    std::vector<double> out(in.size());
    expKernel<double>(out.data(), nullptr, in.data(), nullptr, in.size());
    std::size_t exact = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const double reference = mpfrExp(in[i]);
        const std::uint64_t distance = ulpDistance(out[i], reference);
        EXPECT_LE(distance, 1u) << "exp(" << in[i] << ")";
        exact += distance == 0 ? 1 : 0;
    }
    const double share = static_cast<double>(exact) / static_cast<double>(in.size());
    std::cout << "double exp correctly rounded: " << exact << " of " << in.size() << " (" << share * 100 << " %)\n";
    RecordProperty("correctlyRoundedShare", std::to_string(share));
}

// The complex path against MPFR: e^x (cos a + i sin a) with the angle
// a = (y mod P) * K, P and K the element type's period and scale. Each part
// within one ulp, or within 2^-60 of e^x where the part is small beside it
// (the angle itself is rounded to 64 bits before FSINCOS).
template <class T>
void expectComplexExpAccurate(double xRange, std::uint64_t periodBits, std::uint64_t scaleSignificand,
                              long scaleExponent)
{
    std::mt19937_64 generator(6);
    std::uniform_real_distribution<double> xs(-xRange, xRange);
    std::uniform_real_distribution<double> ys(-3e4, 3e4);
    const std::size_t count = 20000;
    std::vector<T> x(count), y(count), re(count), im(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<T>(xs(generator));
        y[i] = static_cast<T>(ys(generator));
    }
    expKernel<T>(re.data(), im.data(), x.data(), y.data(), count);

    mpfr_t period, scale, angle, magnitude, part;
    mpfr_inits2(256, period, scale, angle, magnitude, part, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(period, static_cast<double>(fromBits<T>(periodBits)), MPFR_RNDN);
    mpfr_set_ui_2exp(scale, static_cast<unsigned long>(scaleSignificand), scaleExponent, MPFR_RNDN);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < count; ++i) {
        mpfr_set_d(angle, static_cast<double>(y[i]), MPFR_RNDN);
        mpfr_fmod(angle, angle, period, MPFR_RNDN);
        mpfr_mul(angle, angle, scale, MPFR_RNDN);
        mpfr_set_d(magnitude, static_cast<double>(x[i]), MPFR_RNDN);
        mpfr_exp(magnitude, magnitude, MPFR_RNDN);
        const double e = mpfr_get_d(magnitude, MPFR_RNDN);
        for (int k = 0; k < 2; ++k) {
            (k == 0 ? mpfr_cos : mpfr_sin)(part, angle, MPFR_RNDN);
            mpfr_mul(part, part, magnitude, MPFR_RNDN);
            const T expected = sizeof(T) == 4 ? static_cast<T>(mpfr_get_flt(part, MPFR_RNDN))
                                              : static_cast<T>(mpfr_get_d(part, MPFR_RNDN));
            const T got = k == 0 ? re[i] : im[i];
            const double ulp = std::fabs(static_cast<double>(std::nextafter(expected, T(0)) - expected));
            const double error = std::fabs(static_cast<double>(got) - static_cast<double>(expected));
            if (error > std::max(ulp, e * 0x1p-60) && ++wrong <= 5)
                ADD_FAILURE() << "exp(" << x[i] << ", " << y[i] << ") part " << k << " = " << got << ", expected "
                              << expected;
        }
    }
    EXPECT_EQ(wrong, 0u);
    mpfr_clears(period, scale, angle, magnitude, part, static_cast<mpfr_ptr>(nullptr));
}

TEST(ExpAccuracy, ComplexSingle)
{
    expectComplexExpAccurate<float>(80, 0x40C90FDB, 0xFFFFFF887B4D68AE, -64);
}

TEST(ExpAccuracy, ComplexDouble)
{
    expectComplexExpAccurate<double>(700, 0x401921FB54442D18, 0x8000000000000168, -63);
}

// Roots whose 64-bit rounding lies exactly on a 53-bit midpoint, so that
// rounding twice misses the correctly rounded double.
TEST(SqrtAccuracy, RealRootsAreCorrectlyRounded)
{
    std::vector<double> in = {fromBits<double>(0x3EDCA45F5889E607), fromBits<double>(0x3F4A59DC3BF5AF46),
                              fromBits<double>(0x40BC5B81748C7204), fromBits<double>(0x41059468AD83BCAE)};
    const std::vector<double> sampled = sampleRange<double>(300000, 0.0, INFINITY, 3);
    in.insert(in.end(), sampled.begin(), sampled.end());
    std::vector<double> re(in.size());
    std::vector<double> im(in.size());
    EXPECT_EQ(sqrtKernel(re.data(), im.data(), in.data(), nullptr, in.size()), 0);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const double reference = _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(in[i])));
        if (toBits(re[i]) != toBits(reference) && ++wrong <= 5)
            ADD_FAILURE() << std::hexfloat << "sqrt(" << in[i] << ") = " << re[i] << ", expected " << reference;
    }
    EXPECT_EQ(wrong, 0u);

    // A zero imaginary part takes the same root.
    std::vector<double> zeros(in.size(), 0.0);
    std::vector<double> complexRe(in.size());
    EXPECT_EQ(sqrtKernel(complexRe.data(), im.data(), in.data(), zeros.data(), in.size()), 0);
    EXPECT_EQ(std::memcmp(complexRe.data(), re.data(), re.size() * sizeof(double)), 0);
}

// The general complex case against the exact root in 200-bit arithmetic:
// both parts within 2 ulps, also where one part is tiny beside the other.
TEST(SqrtAccuracy, GeneralComplexCaseIsAccurate)
{
    std::mt19937_64 generator(4);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-1000, 1000);
    const std::size_t count = 20000;
    std::vector<double> x(count);
    std::vector<double> y(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = std::ldexp(mantissa(generator), exponent(generator));
        y[i] = std::ldexp(mantissa(generator), exponent(generator));
    }
    std::vector<double> re(count);
    std::vector<double> im(count);
    EXPECT_EQ(sqrtKernel(re.data(), im.data(), x.data(), y.data(), count), 1);
    mpfr_t a, b, m, root, other;
    mpfr_inits2(200, a, b, m, root, other, static_cast<mpfr_ptr>(nullptr));
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // With r = sqrt((|z| + |x|) / 2), the part of x's sign side is r and
        // the other is |y| / (2r); the imaginary part takes y's sign.
        mpfr_set_d(a, x[i], MPFR_RNDN);
        mpfr_set_d(b, y[i], MPFR_RNDN);
        mpfr_hypot(m, a, b, MPFR_RNDN);
        mpfr_abs(a, a, MPFR_RNDN);
        mpfr_add(root, m, a, MPFR_RNDN);
        mpfr_div_2ui(root, root, 1, MPFR_RNDN);
        mpfr_sqrt(root, root, MPFR_RNDN);
        mpfr_abs(b, b, MPFR_RNDN);
        mpfr_div(other, b, root, MPFR_RNDN);
        mpfr_div_2ui(other, other, 1, MPFR_RNDN);
        const double big = mpfr_get_d(root, MPFR_RNDN);
        const double small = mpfr_get_d(other, MPFR_RNDN);
        const double expectedRe = x[i] >= 0 ? big : small;
        const double expectedIm = std::copysign(x[i] >= 0 ? small : big, y[i]);
        if ((ulpDistance(re[i], expectedRe) > 2 || ulpDistance(im[i], expectedIm) > 2) && ++wrong <= 5)
            ADD_FAILURE() << "sqrt(" << x[i] << ", " << y[i] << ") = " << re[i] << ", " << im[i] << "; expected "
                          << expectedRe << ", " << expectedIm;
    }
    EXPECT_EQ(wrong, 0u);
    mpfr_clears(a, b, m, root, other, static_cast<mpfr_ptr>(nullptr));
}

// floor(x + 1/2) of the exact sum: halves upwards, -0.5 to -0, every other
// zero result +0.
double roundReference(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= 0x1p52)
        return x;
    if (x == -0.5)
        return -0.0;
    double r = std::floor(x);
    if (x - r >= 0.5)
        r += 1;
    return r == 0 ? 0.0 : r;
}

TEST(RoundingAccuracy, MatchesFloorOnRandomPatterns)
{
    std::mt19937_64 generator(5);
    const std::size_t count = 1000000;
    std::vector<float> singles(count);
    std::vector<double> doubles(count);
    for (std::size_t i = 0; i < count; ++i) {
        singles[i] = fromBits<float>(generator());
        // Bias the exponents towards the interesting range around 2^0..2^53.
        doubles[i] = fromBits<double>((generator() & 0x800FFFFFFFFFFFFF) |
                                      (static_cast<std::uint64_t>(0x3C0 + generator() % 0x90) << 52));
    }
    std::vector<float> floors(count);
    std::vector<double> rounds(count);
    floorKernel(floors.data(), nullptr, singles.data(), nullptr, count);
    roundKernel(rounds.data(), nullptr, doubles.data(), nullptr, count);
    for (std::size_t i = 0; i < count; ++i) {
        const float f = std::isnan(singles[i]) ? singles[i] : std::floor(singles[i]);
        ASSERT_EQ(toBits(floors[i]), toBits(f) | (std::isnan(f) ? 0x00400000 : 0)) << std::hexfloat << singles[i];
        ASSERT_EQ(toBits(rounds[i]), toBits(roundReference(doubles[i]))) << std::hexfloat << doubles[i];
    }
}

// The caller's x87 control word and MXCSR neither change a result nor
// survive a kernel: each kernel sets its own mode and restores the caller's.
struct CallerMode {
    std::uint16_t x87;
    std::uint32_t mxcsr;
};

template <class Kernel>
void expectModeIndependent(Kernel runKernel)
{
    const std::vector<std::uint64_t> reference = runKernel();
    const CallerMode modes[] = {
        {0x0F7F, 0x7F80}, // truncating x87 and SSE
        {0x007F, 0x9FC0}, // 24-bit x87 significand; flush-to-zero and denormals-are-zero
        {0x077F, 0x3F80}, // rounding downwards in both units
        {0x0B7F, 0x5F80}, // rounding upwards in both units
    };
    for (const CallerMode& mode : modes) {
        std::uint16_t savedX87;
        asm volatile("fnstcw %0" : "=m"(savedX87));
        const std::uint32_t savedMxcsr = _mm_getcsr();
        asm volatile("fldcw %0" : : "m"(mode.x87));
        _mm_setcsr(mode.mxcsr);
        const std::vector<std::uint64_t> bits = runKernel();
        std::uint16_t afterX87;
        asm volatile("fnstcw %0" : "=m"(afterX87));
        const std::uint32_t afterMxcsr = _mm_getcsr();
        asm volatile("fldcw %0" : : "m"(savedX87));
        _mm_setcsr(savedMxcsr);
        EXPECT_EQ(afterX87, mode.x87);
        EXPECT_EQ(afterMxcsr, mode.mxcsr);
        EXPECT_EQ(bits, reference) << std::hex << "x87 " << mode.x87 << " mxcsr " << mode.mxcsr;
    }
}

// Values that see every path: halves, denormals, values near rounding
// boundaries, specials.
template <class T>
std::vector<T> mixedValues()
{
    std::vector<T> values = {0.5, -0.5, 2.5, -2.5, 0.7, -0.7, 1, -1, 3, -3, 4, -4, 1e-3, 0x1p-30, 100, -100,
                             static_cast<T>(0x1p-140), static_cast<T>(-0x1p-140), 0, -0.0, INFINITY, -INFINITY, NAN};
    if constexpr (sizeof(T) == 8) {
        for (double v : {0x1.ffffffffffffp-2, -0x1.ffffffffffffp-2, 0x1p-1060, -0x1p-1060, 700.5, -740.25,
                         fromBits<double>(0x3F4A59DC3BF5AF46), 0x1p52 - 0.5, 1e300})
            values.push_back(v);
    }
    return values;
}

template <class T>
std::vector<std::uint64_t> bitsOfAll(const std::vector<T>& a, const std::vector<T>& b)
{
    std::vector<std::uint64_t> bits;
    for (T v : a)
        bits.push_back(toBits(v));
    for (T v : b)
        bits.push_back(toBits(v));
    return bits;
}

template <class T>
void expectExpModeIndependent()
{
    const std::vector<T> re = mixedValues<T>();
    std::vector<T> im = re;
    std::reverse(im.begin(), im.end());
    expectModeIndependent([&] {
        std::vector<T> outRe(re.size());
        std::vector<T> outIm(re.size());
        std::vector<T> realOut(re.size());
        expKernel<T>(outRe.data(), outIm.data(), re.data(), im.data(), re.size());
        expKernel<T>(realOut.data(), nullptr, re.data(), nullptr, re.size());
        std::vector<std::uint64_t> bits = bitsOfAll(outRe, outIm);
        for (T v : realOut)
            bits.push_back(toBits(v));
        return bits;
    });
}

TEST(CallerMode, ExpSingle) { expectExpModeIndependent<float>(); }
TEST(CallerMode, ExpDouble) { expectExpModeIndependent<double>(); }

TEST(CallerMode, Sqrt)
{
    const std::vector<double> re = mixedValues<double>();
    std::vector<double> im = re;
    std::reverse(im.begin(), im.end());
    expectModeIndependent([&] {
        std::vector<double> a(re.size()), b(re.size()), c(re.size()), d(re.size());
        const int complexFlag = sqrtKernel(a.data(), b.data(), re.data(), im.data(), re.size());
        const int realFlag = sqrtKernel(c.data(), d.data(), re.data(), nullptr, re.size());
        std::vector<std::uint64_t> bits = bitsOfAll(a, b);
        const std::vector<std::uint64_t> realBits = bitsOfAll(c, d);
        bits.insert(bits.end(), realBits.begin(), realBits.end());
        bits.push_back(static_cast<std::uint64_t>(complexFlag * 2 + realFlag));
        return bits;
    });
}

TEST(CallerMode, FloorAndRound)
{
    const std::vector<float> singles = mixedValues<float>();
    const std::vector<double> doubles = mixedValues<double>();
    expectModeIndependent([&] {
        std::vector<float> f(singles.size()), fi(singles.size());
        std::vector<double> r(doubles.size()), ri(doubles.size());
        floorKernel(f.data(), fi.data(), singles.data(), singles.data(), singles.size());
        roundKernel(r.data(), ri.data(), doubles.data(), doubles.data(), doubles.size());
        std::vector<std::uint64_t> bits = bitsOfAll(f, fi);
        const std::vector<std::uint64_t> roundBits = bitsOfAll(r, ri);
        bits.insert(bits.end(), roundBits.begin(), roundBits.end());
        return bits;
    });
}

} // namespace
} // namespace fpmex::test
