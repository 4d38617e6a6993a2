// The parser's working value: an array of one class held as raw element
// bytes, so that conversions and bit patterns (NaN payloads, signalling
// NaNs, 64-bit integers) pass through unchanged.
#pragma once

#include "fpmex_host.h"

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace fpmex::runner {

struct Value {
    mxClassID classId = mxDOUBLE_CLASS;
    std::vector<mwSize> dims{0, 0};
    bool complex = false;
    bool sparse = false;
    std::vector<unsigned char> re, im;         // raw elements of classId
    std::vector<Value> cells;                  // cell contents
    std::size_t count() const;
};

std::size_t elementSize(mxClassID classId);
bool isNumericClass(mxClassID classId);
const char* className(mxClassID classId);
mxClassID classFromName(const std::string& name); // mxUNKNOWN_CLASS when unknown

// Element i as a complex double (exact for every class but 64-bit integers
// beyond 2^53).
std::complex<double> elementAt(const Value& value, std::size_t i);
// A double array from complex values; real when every imaginary part is +0
// and forceComplex is false.
Value doubleValue(const std::vector<std::complex<double>>& values, std::vector<mwSize> dims, bool forceComplex = false);
// MATLAB's conversion of any numeric, char or logical value to a class:
// integers round half away from zero and saturate, NaN becomes 0.
Value convert(const Value& value, mxClassID target);

host::Array toArray(const Value& value);

} // namespace fpmex::runner
