#pragma once

#include <cstddef>

namespace fpmex {

// floor of count float elements; the imaginary parts too when inIm is
// non-null.
void floorKernel(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count);

// floor(x + 1/2) of count double elements; the imaginary parts too when inIm
// is non-null.
void roundKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

} // namespace fpmex
