#pragma once

#include <cstddef>

namespace fpmex {

// Square root of count double elements; complex input when inIm is non-null.
// Writes outRe and outIm for every element and returns 1 when some result
// needs its imaginary part, else 0.
int sqrtKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count);

} // namespace fpmex
