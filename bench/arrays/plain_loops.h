// Baselines for the arrays benchmark, compiled apart from it so that the
// compiler cannot fold them into the measuring loop.
#pragma once

#include <cstddef>

namespace fpmex::bench {

// The product of count factors in N independent extended-precision
// accumulators (5, 7 or 8), walking the buffer once: plain x87 multiply
// throughput with as many chains in flight as the kernel keeps (5 for runs,
// 7 for strided columns), or the whole register stack but one (8).
template <int N>
float plainRealProduct(const float* in, std::size_t count);

// As plainRealProduct for complex factors, in two independent complex
// accumulators (four x87 registers, as the complex kernels keep).
void plainComplexProduct(const float* inRe, const float* inIm, std::size_t count, float* outRe, float* outIm);

} // namespace fpmex::bench
