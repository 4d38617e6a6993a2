// Shared pieces of the accuracy tool: the conversions between values and bit
// patterns; the seeded generator, the block-parallel loop and the walk over
// single patterns come from the variant harness.
#pragma once

#include "variant_harness.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fpmex::accuracy {

using test::parallelBlocks;
using test::Random;

inline std::uint32_t bitsOf(float x)
{
    std::uint32_t b;
    std::memcpy(&b, &x, 4);
    return b;
}
inline std::uint64_t bitsOf(double x)
{
    std::uint64_t b;
    std::memcpy(&b, &x, 8);
    return b;
}
inline float floatOf(std::uint32_t b)
{
    float x;
    std::memcpy(&x, &b, 4);
    return x;
}
inline double doubleOf(std::uint64_t b)
{
    double x;
    std::memcpy(&x, &b, 8);
    return x;
}

// True when name is among the requested functions, or none was requested.
inline bool isChosen(const std::vector<std::string>& names, const std::string& name)
{
    return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

int runSingleExhaustive(const std::vector<std::string>& functions, unsigned threads);
int runDoubleSampled(const std::vector<std::string>& functions, std::uint64_t samples, unsigned threads);
int runExactSampled(std::uint64_t samples, unsigned threads);
int runInstructionError(const std::vector<std::string>& cases, std::uint64_t samples, unsigned threads);
int runEvaluationError(const std::vector<std::string>& cases, std::uint64_t samples, unsigned threads);

} // namespace fpmex::accuracy
