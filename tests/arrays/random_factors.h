// Factors of magnitude 0.5 to 2 with both signs: products stay in range and
// keep all their rounding in the last bits, where an accumulator of the
// wrong precision or order shows.
#pragma once

#include <cstddef>
#include <random>
#include <vector>

namespace fpmex::test {

inline std::vector<float> randomFactors(std::size_t n, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> magnitude(0.5f, 2.0f);
    std::vector<float> values(n);
    for (float& v : values)
        v = (engine() & 1) ? -magnitude(engine) : magnitude(engine);
    return values;
}

} // namespace fpmex::test
