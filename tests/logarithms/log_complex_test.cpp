// The complex-input path of log2, log and log10 in both sets, through the
// embedded host: every row of the case table in its order, NaN payloads and
// signs, infinite and zero parts, and when the output is complex.
#include "log_calls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace fpmex::test {
namespace {

template <class D>
class LogComplex : public ::testing::Test {};
TYPED_TEST_SUITE(LogComplex, LogDeliverables);

// What an element gives, by the row of the case table it falls in.
enum class Expect {
    imagNaN,       // y is NaN: y in both parts
    realNaN,       // y = 0 or not, x is NaN: x in both parts
    negativeAxis,  // y = 0, x < 0: log|x| + iP, flag
    positiveAxis,  // y = 0, x >= 0: log|x| + iy, no flag
    imaginaryAxis, // x = 0: log|y| +- iQ, flag
    general,       // log|z| + i arg(z) (scaled), flag
};

template <class T>
struct Row {
    T x;
    T y;
    Expect expect;
};

template <class T>
std::vector<Row<T>> caseRows()
{
    using N = Nans<T>;
    constexpr T inf = std::numeric_limits<T>::infinity();
    constexpr T tiny = std::numeric_limits<T>::denorm_min();
    constexpr T huge = std::numeric_limits<T>::max();
    // The ratio threshold pairs: in single y^2 * 2^54 = x^2 exactly at
    // 1 + 2^-27 i (last row), in double 1 + 2^-5 i is below 512 and
    // 1 + 2^-4 i above it.
    const T belowThreshold = sizeof(T) == 4 ? T(0x1p-28) : T(0x1p-5);
    const T atOrAboveThreshold = sizeof(T) == 4 ? T(0x1p-27) : T(0x1p-4);
    return {
        {1, N::negativeQuiet(), Expect::imagNaN},
        {N::quiet(), N::signalling(), Expect::imagNaN},
        {inf, N::negativeSignalling(), Expect::imagNaN},
        {0, N::quiet(), Expect::imagNaN},
        {N::quiet(), 0, Expect::realNaN},
        {N::negativeSignalling(), -0.0, Expect::realNaN},
        {-4, 0, Expect::negativeAxis},
        {-4, -0.0, Expect::negativeAxis},
        {-inf, 0, Expect::negativeAxis},
        {-tiny, -0.0, Expect::negativeAxis},
        {8, -0.0, Expect::positiveAxis},
        {0, 0, Expect::positiveAxis},
        {-0.0, -0.0, Expect::positiveAxis},
        {inf, 0, Expect::positiveAxis},
        {tiny, 0, Expect::positiveAxis},
        {N::negativeQuiet(), 2, Expect::realNaN},
        {N::signalling(), -inf, Expect::realNaN},
        {0, 8, Expect::imaginaryAxis},
        {-0.0, -8, Expect::imaginaryAxis},
        {0, -inf, Expect::imaginaryAxis},
        {0, tiny, Expect::imaginaryAxis},
        {3, 4, Expect::general},
        {-3, -4, Expect::general},
        {-3, 4, Expect::general},
        {1, belowThreshold, Expect::general},
        {1, atOrAboveThreshold, Expect::general},
        {-1, -belowThreshold, Expect::general},
        {atOrAboveThreshold, 1, Expect::general},
        {belowThreshold, -1, Expect::general},
        {T(0x1p-30), 1, Expect::general},
        {inf, 1, Expect::general},
        {-inf, -1, Expect::general},
        {2, inf, Expect::general},
        {-2, -inf, Expect::general},
        {inf, -inf, Expect::general},
        {-inf, inf, Expect::general},
        {tiny, tiny, Expect::general},
        {huge, -huge, Expect::general},
        {huge, tiny, Expect::general},
    };
}

template <class D>
std::pair<typename D::Type, typename D::Type> expected(const Row<typename D::Type>& row)
{
    using T = typename D::Type;
    switch (row.expect) {
    case Expect::imagNaN:
        return {Nans<T>::quieted(row.y), Nans<T>::quieted(row.y)};
    case Expect::realNaN:
        return {Nans<T>::quieted(row.x), Nans<T>::quieted(row.x)};
    case Expect::negativeAxis:
        return {referenceLog<T>(D::base, row.x), D::P()};
    case Expect::positiveAxis:
        return {referenceLog<T>(D::base, row.x), row.y};
    case Expect::imaginaryAxis:
        return {referenceLog<T>(D::base, row.y), row.y > 0 ? D::Q() : -D::Q()};
    case Expect::general:
        break;
    }
    return referenceComplexLog<T>(D::base, row.x, row.y);
}

bool setsFlag(Expect expect)
{
    return expect == Expect::negativeAxis || expect == Expect::imaginaryAxis || expect == Expect::general;
}

// Each row alone: the output is complex exactly when the row sets the flag.
TYPED_TEST(LogComplex, EveryRowAloneGivesItsValueAndOutputKind)
{
    using T = typename TypeParam::Type;
    for (const Row<T>& row : caseRows<T>()) {
        SCOPED_TRACE(::testing::Message() << "x = " << hex(row.x) << ", y = " << hex(row.y));
        const auto [re, im] = expected<TypeParam>(row);
        const host::Array out = logOf<TypeParam>(makeArray<T>(classOf<T>, {row.x}, {row.y}).get());
        if (setsFlag(row.expect))
            expectOutput<T>(out.get(), {re}, {im});
        else
            expectOutput<T>(out.get(), {re}, {});
    }
}

// All rows in one array: elements that set no flag keep their own imaginary
// part (a signed zero or a NaN) in the complex output.
TYPED_TEST(LogComplex, AllRowsTogetherGiveOneComplexArray)
{
    using T = typename TypeParam::Type;
    std::vector<T> x, y, re, im;
    for (const Row<T>& row : caseRows<T>()) {
        x.push_back(row.x);
        y.push_back(row.y);
        const auto [r, i] = expected<TypeParam>(row);
        re.push_back(r);
        im.push_back(i);
    }
    const host::Array out = logOf<TypeParam>(makeArray<T>(classOf<T>, x, y).get());
    expectOutput<T>(out.get(), re, im);
}

TYPED_TEST(LogComplex, InputWhoseResultsAreAllRealGivesARealOutput)
{
    using T = typename TypeParam::Type;
    const std::vector<T> x{2, 0, -0.0, std::numeric_limits<T>::infinity(), Nans<T>::quiet()};
    const std::vector<T> y{0, -0.0, 0, -0.0, 0};
    std::vector<T> re;
    for (std::size_t i = 0; i < 4; ++i)
        re.push_back(referenceLog<T>(TypeParam::base, x[i]));
    re.push_back(Nans<T>::quiet());
    const host::Array out = logOf<TypeParam>(makeArray<T>(classOf<T>, x, y).get());
    expectOutput<T>(out.get(), re, {});
}

// One negative real part among zero imaginary parts makes the whole output
// complex; the other elements keep their zero imaginary parts with sign.
TYPED_TEST(LogComplex, OneNegativeRealPartMakesTheOutputComplex)
{
    using T = typename TypeParam::Type;
    const host::Array out = logOf<TypeParam>(makeArray<T>(classOf<T>, {1, -1, 4}, {-0.0, 0, 0}).get());
    expectOutput<T>(out.get(), {0, 0, referenceLog<T>(TypeParam::base, 4)}, {-0.0, TypeParam::P(), 0});
}

} // namespace
} // namespace fpmex::test
