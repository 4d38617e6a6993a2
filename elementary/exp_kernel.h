#pragma once

#include <cstddef>

namespace fpmex {

// Exponential of count elements (float or double); complex when inIm is
// non-null, then outIm receives the imaginary parts. Defined in
// exp_kernel.cpp for both element types.
template <class T>
void expKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

} // namespace fpmex
