// The real-input path and the frame of log2 (one output), log and log10 in
// both sets, through the embedded host.
#include "log_calls.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <limits>

namespace fpmex::test {
namespace {

template <class D>
class LogReal : public ::testing::Test {};
TYPED_TEST_SUITE(LogReal, LogDeliverables);

TYPED_TEST(LogReal, WithoutNegativeElementsTheOutputIsReal)
{
    using T = typename TypeParam::Type;
    constexpr T inf = std::numeric_limits<T>::infinity();
    const T tiny = std::numeric_limits<T>::denorm_min();
    const std::vector<T> in{8, 0, -0.0, inf, Nans<T>::negativeQuiet(), Nans<T>::signalling(), tiny, 100, 1};
    const std::vector<T> re{referenceLog<T>(TypeParam::base, 8),
                            -inf,
                            -inf,
                            inf,
                            Nans<T>::signCleared(Nans<T>::negativeQuiet()),
                            Nans<T>::quieted(Nans<T>::signalling()),
                            referenceLog<T>(TypeParam::base, tiny),
                            referenceLog<T>(TypeParam::base, 100),
                            0};
    const host::Array out = logOf<TypeParam>(makeArray<T>(classOf<T>, in).get());
    expectOutput<T>(out.get(), re, {});
}

// Every negative element (-Inf included) gets P; every other element +0,
// except NaNs, which get their sign-cleared NaN in both parts.
TYPED_TEST(LogReal, ANegativeElementMakesTheOutputComplex)
{
    using T = typename TypeParam::Type;
    constexpr T inf = std::numeric_limits<T>::infinity();
    const T tiny = std::numeric_limits<T>::denorm_min();
    const T nan = Nans<T>::signCleared(Nans<T>::negativeSignalling());
    const T P = TypeParam::P();
    const std::vector<T> in{-4, 8, Nans<T>::negativeSignalling(), -0.0, -inf, 0, -tiny, inf};
    const std::vector<T> re{referenceLog<T>(TypeParam::base, 4), referenceLog<T>(TypeParam::base, 8), nan, -inf,
                            inf, -inf, referenceLog<T>(TypeParam::base, tiny), inf};
    const std::vector<T> im{P, 0, nan, 0, P, 0, P, 0};
    const host::Array out = logOf<TypeParam>(makeArray<T>(classOf<T>, in).get());
    expectOutput<T>(out.get(), re, im);
}

// Exact results that the examples of each function name.
TEST(LogRealExamples, GiveTheirExactValues)
{
    const host::Array log2Single = logOf<Log<float, LogBase::two>>(arg("single([-4 8 1.4012984643248171e-45])").get());
    expectOutput<float>(log2Single.get(), {2, 3, -149}, {singleFromBits(0x40910918), 0, 0});
    const host::Array log2Double = logOf<Log<double, LogBase::two>>(arg("[-4 4.9406564584124654e-324]").get());
    expectOutput<double>(log2Double.get(), {2, -1074}, {doubleFromBits(0x40122123045B5DEC), 0});
    const host::Array logSingle = logOf<Log<float, LogBase::natural>>(arg("single(-1)").get());
    expectOutput<float>(logSingle.get(), {0}, {singleFromBits(0x40490FDB)});
    const host::Array log10Single = logOf<Log<float, LogBase::ten>>(arg("single([100 1 -10])").get());
    expectOutput<float>(log10Single.get(), {2, 0, 1}, {0, 0, singleFromBits(0x3FAEA3E2)});
    const host::Array log10Double = logOf<Log<double, LogBase::ten>>(arg("[100 1 -10]").get());
    expectOutput<double>(log10Double.get(), {2, 0, 1}, {0, 0, doubleFromBits(0x3FF5D47C4CB2FBA1)});
}

// Lengths 1 to 9 and a long one, with buffers off 16-byte boundaries: every
// element equals the kernel's result for that element alone, and the host's
// guard zones see no access outside the n elements.
TYPED_TEST(LogReal, EveryLengthReadsAndWritesExactlyItsElements)
{
    using T = typename TypeParam::Type;
    for (const std::size_t offset : {0, 8}) {
        host::setMallocOffset(offset);
        host::setInputOffset(offset == 0 ? 0 : sizeof(T));
        for (const std::size_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 1001}) {
            SCOPED_TRACE(::testing::Message() << "n = " << n << ", offset " << offset);
            std::vector<T> x(n), y(n);
            for (std::size_t i = 0; i < n; ++i) {
                x[i] = static_cast<T>(0.75 * i + 0.5);
                y[i] = static_cast<T>(i % 3 == 0 ? 0.0 : -0.25 * i);
            }
            // Only the first element, the last one the kernel reaches, is
            // negative: its flag alone makes the real input's output complex.
            x[0] = -x[0];
            std::vector<T> re(n), im(n), complexRe(n), complexIm(n);
            for (std::size_t i = 0; i < n; ++i) {
                logKernel<T, TypeParam::base>(&re[i], &im[i], &x[i], nullptr, 1);
                logKernel<T, TypeParam::base>(&complexRe[i], &complexIm[i], &x[i], &y[i], 1);
            }
            const host::Array realOut = logOf<TypeParam>(makeArray<T>(classOf<T>, x).get());
            const host::Array complexOut = logOf<TypeParam>(makeArray<T>(classOf<T>, x, y).get());
            expectOutput<T>(realOut.get(), re, im);
            expectOutput<T>(complexOut.get(), complexRe, complexIm);
        }
    }
    host::setMallocOffset(0);
    host::setInputOffset(0);
}

// The kernel computes under its own x87 mode, whatever the caller left: a
// caller with 24-bit precision and rounding up gets the same bits.
TYPED_TEST(LogReal, ResultsDoNotDependOnTheCallersFloatingPointModes)
{
    using T = typename TypeParam::Type;
    const host::Array in = makeArray<T>(classOf<T>, {T(3.3), T(-0.7), T(1e-3)}, {T(0.1), T(0), T(-5)});
    const host::Array plain = logOf<TypeParam>(in.get());

    std::uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control));
    const std::uint32_t mxcsr = _mm_getcsr();
    const std::uint16_t foreignControl = 0x087F;
    asm volatile("fldcw %0" : : "m"(foreignControl));
    _mm_setcsr(0x7FC0);
    const host::Array foreign = logOf<TypeParam>(in.get());
    asm volatile("fldcw %0" : : "m"(control));
    _mm_setcsr(mxcsr);

    expectOutput<T>(foreign.get(), realPart<T>(plain.get()), imagPart<T>(plain.get()));
}

TYPED_TEST(LogReal, EmptyInputsKeepTheirSizes)
{
    using T = typename TypeParam::Type;
    for (const std::vector<mwSize>& dims : std::vector<std::vector<mwSize>>{{0, 3}, {2, 0, 4}, {0, 0}}) {
        for (const bool complex : {false, true}) {
            const host::Array in(mxCreateNumericArray(dims.size(), dims.data(), classOf<T>, complex ? mxCOMPLEX : mxREAL));
            const host::Array out = logOf<TypeParam>(in.get());
            ASSERT_NE(out, nullptr);
            EXPECT_EQ(mxGetClassID(out.get()), classOf<T>);
            EXPECT_EQ(dimensionsOf(out.get()), dims);
            EXPECT_FALSE(mxIsComplex(out.get()));
            EXPECT_EQ(mxGetData(out.get()), nullptr);
        }
    }
}

TYPED_TEST(LogReal, ArgumentCountsAndBanner)
{
    using T = typename TypeParam::Type;
    const host::Array x = makeArray<T>(classOf<T>, {2});
    const int maxOutputs = TypeParam::base == LogBase::two ? 2 : 1;

    const CallResult tooMany = call(TypeParam::name(), maxOutputs + 1, {});
    EXPECT_TRUE(tooMany.failed);
    EXPECT_EQ(tooMany.error, "Too many output arguments.");
    EXPECT_EQ(tooMany.printed, "");

    const CallResult twoInputs = call(TypeParam::name(), 1, {x.get(), x.get()});
    EXPECT_TRUE(twoInputs.failed);
    EXPECT_EQ(twoInputs.error, "Wrong number of input arguments.");

    const char* const descriptions[] = {"Base 2 logarithm and dissect floating point number.", "Natural logarithm.",
                                        "Base 10 logarithm."};
    const CallResult banner = call(TypeParam::name(), 1, {});
    EXPECT_FALSE(banner.failed);
    EXPECT_EQ(banner.printed.rfind(std::string("\n") + descriptions[static_cast<int>(TypeParam::base)] + "\n\n\t", 0),
              0u)
        << banner.printed;
    ASSERT_FALSE(banner.outputs.empty());
    EXPECT_EQ(banner.outputs[0], nullptr);

    // No requested output still fills the first slot.
    const CallResult none = call(TypeParam::name(), 0, {x.get()});
    ASSERT_FALSE(none.outputs.empty());
    expectOutput<T>(none.outputs[0].get(), {referenceLog<T>(TypeParam::base, 2)}, {});
}

} // namespace
} // namespace fpmex::test
