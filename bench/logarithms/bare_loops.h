// The x87 work of logKernel without its classification: the yardstick the
// kernels are measured against.
#pragma once

#include "logarithms/log_constants.h"

#include <cstddef>

namespace fpmex::bench {

// Per element: load, FABS, FYL2X with c, store. No NaN test, no imaginary
// part, no flag.
template <class T, LogBase base>
void bareRealLoop(T* outRe, const T* inRe, std::size_t count);

// Per element: the squares, FYL2X of their sum with h, FPATAN (times a),
// two stores. No case tests, no flag.
template <class T, LogBase base>
void bareComplexLoop(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

} // namespace fpmex::bench
