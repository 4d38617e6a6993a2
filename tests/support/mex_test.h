// What every test of a deliverable needs: load it from this build, write its
// inputs as MATLAB expressions (the runner's parser), call it through the
// embedded host and read results bit for bit.
#pragma once

#include "fpmex_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace fpmex::test {

using host::Array;
using host::CallResult;

// "single/log2" -> build/host/single/log2.so, loaded once per process.
host::MexFunction deliverable(const std::string& setAndName);

// The file deliverable() loads, for tests that load and unload it themselves.
std::string deliverablePath(const std::string& setAndName);

// A MATLAB expression as the runner accepts it, e.g. "single([-4 8])",
// "complex(single(1), single(-0))", "typecast(uint32(0x7FC00001), 'single')",
// "zeros(2,0)", "{}", "int8([1 2 3])". Throws std::invalid_argument when it
// does not parse.
Array arg(const std::string& expression);

// Calls the deliverable with nlhs outputs. Host faults (guard zones, written
// inputs, floating-point state, leaked blocks) are reported as test failures
// here, so every test checks them without saying so.
CallResult call(const std::string& setAndName, int nlhs, std::initializer_list<const mxArray*> inputs);
CallResult call(const std::string& setAndName, int nlhs, const std::vector<const mxArray*>& inputs);

// Element access for checks.
template <class T>
std::vector<T> realPart(const mxArray* array)
{
    const std::size_t n = mxGetNumberOfElements(array);
    std::vector<T> values(n);
    if (n != 0)
        std::memcpy(values.data(), mxGetData(array), n * sizeof(T));
    return values;
}

template <class T>
std::vector<T> imagPart(const mxArray* array)
{
    const std::size_t n = mxGetNumberOfElements(array);
    std::vector<T> values(n);
    if (n != 0 && mxGetImagData(array) != nullptr)
        std::memcpy(values.data(), mxGetImagData(array), n * sizeof(T));
    return values;
}

std::vector<mwSize> dimensionsOf(const mxArray* array);

// How a call of deliverable `name` with `inputs` arguments ends when it
// cannot read an argument: with its refusal, or, where the deliverables are
// the MATLAB libraries (the 32-bit Windows suite), which hand such a call to
// the host's own function of their name, with the embedded host's answer
// that it has none.
std::string unservedAnswer(const std::string& name, std::size_t inputs, const std::string& refusal);

inline std::uint32_t bitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline std::uint64_t bitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float singleFromBits(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
inline double doubleFromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A real or complex numeric array of T's class from values, column-major,
// with the given sizes (default: a row).
template <class T>
Array makeArray(mxClassID classId, const std::vector<T>& re, const std::vector<T>& im = {},
                std::vector<mwSize> dims = {})
{
    if (dims.empty())
        dims = {1, re.size()};
    Array array(mxCreateNumericArray(dims.size(), dims.data(), classId, im.empty() ? mxREAL : mxCOMPLEX));
    if (!re.empty())
        std::memcpy(mxGetData(array.get()), re.data(), re.size() * sizeof(T));
    if (!im.empty())
        std::memcpy(mxGetImagData(array.get()), im.data(), im.size() * sizeof(T));
    return array;
}

inline Array makeSingle(const std::vector<float>& re, const std::vector<float>& im = {}, std::vector<mwSize> dims = {})
{
    return makeArray<float>(mxSINGLE_CLASS, re, im, std::move(dims));
}
inline Array makeDouble(const std::vector<double>& re, const std::vector<double>& im = {},
                        std::vector<mwSize> dims = {})
{
    return makeArray<double>(mxDOUBLE_CLASS, re, im, std::move(dims));
}

} // namespace fpmex::test
