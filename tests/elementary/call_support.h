// Calling the elementary deliverables on one array and reading the result
// bit for bit.
#pragma once

#include "mex_test.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace fpmex::test {

template <class T>
using BitsOf = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;

template <class T>
T valueFromBits(BitsOf<T> bits)
{
    T value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <class T>
constexpr mxClassID classOf()
{
    return sizeof(T) == 4 ? mxSINGLE_CLASS : mxDOUBLE_CLASS;
}

template <class T>
const char* setOf()
{
    return sizeof(T) == 4 ? "single/" : "double/";
}

// The indefinite NaN that NaN-by-rule results take.
template <class T>
T indefinite()
{
    if constexpr (sizeof(T) == 4)
        return valueFromBits<float>(0xFFC00000);
    else
        return valueFromBits<double>(0xFFF8000000000000);
}

template <class T>
struct Outcome {
    std::vector<BitsOf<T>> re;
    std::vector<BitsOf<T>> im; // empty for a real result
    std::vector<mwSize> dims;
};

// One successful call with one output; checks the output's class.
template <class T>
Outcome<T> runDeliverable(const std::string& setAndName, const mxArray* input)
{
    CallResult result = call(setAndName, 1, {input});
    Outcome<T> outcome;
    EXPECT_FALSE(result.failed) << setAndName << ": " << result.error;
    if (result.failed)
        return outcome;
    const mxArray* output = result.outputs.at(0).get();
    EXPECT_EQ(mxGetClassID(output), classOf<T>());
    outcome.dims = dimensionsOf(output);
    for (T value : realPart<T>(output))
        outcome.re.push_back(std::bit_cast<BitsOf<T>>(value));
    if (mxIsComplex(output))
        for (T value : imagPart<T>(output))
            outcome.im.push_back(std::bit_cast<BitsOf<T>>(value));
    return outcome;
}

template <class T>
std::vector<BitsOf<T>> bitsOfAll(const std::vector<T>& values)
{
    std::vector<BitsOf<T>> bits;
    for (T value : values)
        bits.push_back(std::bit_cast<BitsOf<T>>(value));
    return bits;
}

} // namespace fpmex::test
