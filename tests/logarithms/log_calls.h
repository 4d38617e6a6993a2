// The logarithm deliverables as test parameters, and their results read bit
// for bit.
#pragma once

#include "log_reference.h"
#include "mex_test.h"

#include <bit>
#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace fpmex::test {

template <class T>
using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;

template <class T>
T fromBits(Bits<T> bits)
{
    return std::bit_cast<T>(bits);
}

template <class T>
constexpr mxClassID classOf = sizeof(T) == 4 ? mxSINGLE_CLASS : mxDOUBLE_CLASS;

// A deliverable as a type: its element type, base and file.
template <class T, LogBase B>
struct Log {
    using Type = T;
    static constexpr LogBase base = B;
    static std::string name()
    {
        static const char* const names[] = {"log2", "log", "log10"};
        return std::string(sizeof(T) == 4 ? "single/" : "double/") + names[static_cast<int>(B)];
    }
    static T P() { return std::bit_cast<T>(TypedLogConstants<T>::P[static_cast<int>(B)]); }
    static T Q() { return std::bit_cast<T>(TypedLogConstants<T>::Q[static_cast<int>(B)]); }
};

using LogDeliverables = ::testing::Types<Log<float, LogBase::two>, Log<float, LogBase::natural>,
                                         Log<float, LogBase::ten>, Log<double, LogBase::two>,
                                         Log<double, LogBase::ten>>;

// NaNs with a payload, of either sign; signalling ones come out quiet.
template <class T>
struct Nans {
    static T quiet() { return fromBits<T>(sizeof(T) == 4 ? 0x7FC01234u : 0x7FF8000000001234u); }
    static T negativeQuiet() { return fromBits<T>(sizeof(T) == 4 ? 0xFFC05678u : 0xFFF8000000005678u); }
    static T signalling() { return fromBits<T>(sizeof(T) == 4 ? 0x7F800ABCu : 0x7FF0000000000ABCu); }
    static T negativeSignalling() { return fromBits<T>(sizeof(T) == 4 ? 0xFF800DEFu : 0xFFF0000000000DEFu); }
    // The quiet NaN a load makes of v.
    static T quieted(T v)
    {
        return fromBits<T>(std::bit_cast<Bits<T>>(v) | (sizeof(T) == 4 ? 0x00400000u : 0x0008000000000000u));
    }
    static T signCleared(T v) { return fromBits<T>(std::bit_cast<Bits<T>>(quieted(v)) & ~(Bits<T>{1} << (8 * sizeof(T) - 1))); }
};

template <class T>
std::string hex(T v)
{
    std::ostringstream out;
    out << v << " (0x" << std::hex << std::setfill('0') << std::setw(2 * sizeof(T)) << std::bit_cast<Bits<T>>(v)
        << ")";
    return out.str();
}

// Compares the one output of a call with the expected parts bit for bit; an
// empty expectedIm means the output must be real.
template <class T>
void expectOutput(const mxArray* out, const std::vector<T>& expectedRe, const std::vector<T>& expectedIm)
{
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(mxGetClassID(out), classOf<T>);
    ASSERT_EQ(mxGetNumberOfElements(out), expectedRe.size());
    ASSERT_EQ(mxIsComplex(out), !expectedIm.empty()) << (expectedIm.empty() ? "expected a real output" : "expected a complex output");
    const std::vector<T> re = realPart<T>(out);
    const std::vector<T> im = imagPart<T>(out);
    for (std::size_t i = 0; i < expectedRe.size(); ++i) {
        EXPECT_EQ(std::bit_cast<Bits<T>>(re[i]), std::bit_cast<Bits<T>>(expectedRe[i]))
            << "real part of element " << i << ": " << hex(re[i]) << ", expected " << hex(expectedRe[i]);
        if (!expectedIm.empty()) {
            EXPECT_EQ(std::bit_cast<Bits<T>>(im[i]), std::bit_cast<Bits<T>>(expectedIm[i]))
                << "imaginary part of element " << i << ": " << hex(im[i]) << ", expected " << hex(expectedIm[i]);
        }
    }
}

// One call with one output that must succeed.
template <class D>
host::Array logOf(const mxArray* input)
{
    CallResult result = call(D::name(), 1, {input});
    EXPECT_FALSE(result.failed) << result.error;
    if (result.failed || result.outputs.empty())
        return nullptr;
    return std::move(result.outputs[0]);
}

} // namespace fpmex::test
