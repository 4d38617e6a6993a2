// Reading the sizes that ones is asked for: one size argument (a scalar or
// a row vector of sizes) or one size per argument.
#pragma once

#include <mex.h>

#include <cstddef>

namespace fpmex {

struct SizeList {
    const mwSize* sizes; // a block of the call or a constant vector; never freed here
    mwSize count;        // number of dimensions, at least 2
};

// {1, 1} for count 0, {s, s} for count 1, count sizes otherwise; ends the
// call when a size is 2^31 or more.
template <class T>
const mwSize* sizeVectorDims(const T* values, std::size_t count);

// ones(v): v a scalar or a row vector; sizes of any class other than single
// are read by value.
SizeList sizesFromVector(const mxArray* vector);

// ones(a, b, ...): one size per argument.
SizeList sizesFromArguments(int nrhs, const mxArray* prhs[]);

// The number of elements of an array with these sizes; SIZE_MAX when the
// product does not fit, so that the allocation fails in the host.
std::size_t elementCount(const mwSize* sizes, mwSize count);

} // namespace fpmex
