// Plain element loops with the traffic of the plus and lt kernels: the
// yardstick the kernels' throughput is measured against. Kept in their own
// file so that the compiler cannot fold them into the benchmark loop.
#pragma once

#include <cstddef>

namespace fpmex::bench {

void plainAdd(float* out, const float* a, const float* b, std::size_t count);
void plainAddComplex(float* outRe, float* outIm, const float* aRe, const float* aIm, const float* bRe,
                     const float* bIm, std::size_t count);
void plainAddScalar(float* out, const float* v, float s, std::size_t count);
void plainLess(unsigned char* out, const float* a, const float* b, std::size_t count);

} // namespace fpmex::bench
