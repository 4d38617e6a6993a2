// The two-output log2 of both sets: x = F * 2^E, through the embedded host.
#include "log_calls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace fpmex::test {
namespace {

template <class T>
class Dissect : public ::testing::Test {};
using ElementTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(Dissect, ElementTypes);

template <class T>
std::string log2Of()
{
    return sizeof(T) == 4 ? "single/log2" : "double/log2";
}

TYPED_TEST(Dissect, SplitsEveryKindOfElement)
{
    using T = TypeParam;
    using limits = std::numeric_limits<T>;
    constexpr T inf = limits::infinity();
    const T tiny = limits::denorm_min();
    const T subnormalExponent = sizeof(T) == 4 ? -148 : -1073;
    const T largeSubnormal = limits::min() - tiny; // all significand bits set
    struct Case {
        T x, f, e;
    };
    const std::vector<Case> cases{
        {1, 0.5, 1},
        {-3, -0.75, 2},
        {0, 0, 0},
        {-0.0, -0.0, -0.0},
        {inf, inf, inf},
        {-inf, -inf, inf},
        {tiny, 0.5, subnormalExponent},
        {-tiny, -0.5, subnormalExponent},
        {largeSubnormal, std::ldexp(largeSubnormal, 1 - limits::min_exponent), T(limits::min_exponent - 1)},
        {-limits::max(), std::ldexp(-limits::max(), -limits::max_exponent), T(limits::max_exponent)},
        {limits::min(), 0.5, T(limits::min_exponent)},
        {Nans<T>::negativeQuiet(), Nans<T>::negativeQuiet(), Nans<T>::negativeQuiet()},
        {Nans<T>::signalling(), Nans<T>::quieted(Nans<T>::signalling()), Nans<T>::quieted(Nans<T>::signalling())},
    };
    std::vector<T> x, f, e;
    for (const Case& c : cases) {
        x.push_back(c.x);
        f.push_back(c.f);
        e.push_back(c.e);
    }
    const std::vector<mwSize> dims{1, 1, x.size()};
    CallResult result = call(log2Of<T>(), 2, {makeArray<T>(classOf<T>, x, {}, dims).get()});
    ASSERT_FALSE(result.failed) << result.error;
    ASSERT_EQ(result.outputs.size(), 2u);
    expectOutput<T>(result.outputs[0].get(), f, {});
    expectOutput<T>(result.outputs[1].get(), e, {});
    EXPECT_EQ(dimensionsOf(result.outputs[0].get()), dims);
    EXPECT_EQ(dimensionsOf(result.outputs[1].get()), dims);
}

// Every length 1 to 9 and a long one, buffers off 16-byte boundaries; the
// host's guard zones see any access beyond the n elements.
TYPED_TEST(Dissect, EveryLengthWritesExactlyItsElements)
{
    using T = TypeParam;
    host::setMallocOffset(8);
    host::setInputOffset(sizeof(T));
    for (const std::size_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 1001}) {
        std::vector<T> x(n), f(n), e(n);
        for (std::size_t i = 0; i < n; ++i) {
            x[i] = static_cast<T>((i % 2 ? -3.0 : 5.0) * (i + 1));
            int exponent;
            f[i] = std::frexp(x[i], &exponent);
            e[i] = static_cast<T>(exponent);
        }
        CallResult result = call(log2Of<T>(), 2, {makeArray<T>(classOf<T>, x).get()});
        ASSERT_FALSE(result.failed) << result.error;
        expectOutput<T>(result.outputs[0].get(), f, {});
        expectOutput<T>(result.outputs[1].get(), e, {});
    }
    host::setMallocOffset(0);
    host::setInputOffset(0);
}

// A complex input is refused after the first output exists, also when it is
// empty; a real empty input gives two empty outputs of its sizes.
TYPED_TEST(Dissect, RefusesComplexInputsAndKeepsEmptySizes)
{
    using T = TypeParam;
    const std::vector<mwSize> empty{0, 3};
    for (const std::vector<mwSize>& dims : {std::vector<mwSize>{1, 2}, empty}) {
        const host::Array complexInput(mxCreateNumericArray(dims.size(), dims.data(), classOf<T>, mxCOMPLEX));
        const CallResult refused = call(log2Of<T>(), 2, {complexInput.get()});
        EXPECT_TRUE(refused.failed);
        EXPECT_EQ(refused.error, "Argument must be real.");
        EXPECT_EQ(refused.stats.arrays, 1u) << "the first output is created before the check, the second is not";
    }

    const host::Array realEmpty(mxCreateNumericArray(empty.size(), empty.data(), classOf<T>, mxREAL));
    CallResult result = call(log2Of<T>(), 2, {realEmpty.get()});
    ASSERT_FALSE(result.failed) << result.error;
    ASSERT_EQ(result.outputs.size(), 2u);
    for (const host::Array& out : result.outputs) {
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(mxGetClassID(out.get()), classOf<T>);
        EXPECT_EQ(dimensionsOf(out.get()), empty);
        EXPECT_EQ(mxGetData(out.get()), nullptr);
    }
}

} // namespace
} // namespace fpmex::test
