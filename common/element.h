// The element type a deliverable serves, chosen by its function set: the
// build compiles a deliverable's sources with FPMEX_SET_SINGLE or
// FPMEX_SET_DOUBLE, so one source serves both sets where a function exists
// in both (log2, log10, exp).
#pragma once

#include "frame.h"

namespace fpmex {

template <class T>
struct ElementClass;

template <>
struct ElementClass<float> {
    static constexpr mxClassID id = mxSINGLE_CLASS;
    static constexpr FunctionSet set = FunctionSet::single;
    static mxArray* createEmpty() { return mxCreateNumericMatrix(0, 0, mxSINGLE_CLASS, mxREAL); }
};

template <>
struct ElementClass<double> {
    static constexpr mxClassID id = mxDOUBLE_CLASS;
    static constexpr FunctionSet set = FunctionSet::doubles;
    static mxArray* createEmpty() { return mxCreateDoubleMatrix(0, 0, mxREAL); }
};

#if defined(FPMEX_SET_SINGLE)
using Real = float;
#elif defined(FPMEX_SET_DOUBLE)
using Real = double;
#endif

} // namespace fpmex
