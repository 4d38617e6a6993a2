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
    static constexpr const char* refusal = "Argument must be a full single array.";
    static constexpr FunctionSet set = FunctionSet::single;
    static mxArray* createEmpty() { return mxCreateNumericMatrix(0, 0, mxSINGLE_CLASS, mxREAL); }
};

template <>
struct ElementClass<double> {
    static constexpr mxClassID id = mxDOUBLE_CLASS;
    static constexpr const char* refusal = "Argument must be a full double array.";
    static constexpr FunctionSet set = FunctionSet::doubles;
    static mxArray* createEmpty() { return mxCreateDoubleMatrix(0, 0, mxREAL); }
};

// True when the kernels can read the array's buffers as T: its class, and
// full storage (a sparse array's buffers hold only its nonzero elements).
template <class T>
bool isServed(const mxArray* array)
{
    return mxGetClassID(array) == ElementClass<T>::id && !mxIsSparse(array);
}

// For an argument the kernels cannot read as T: the host's own function
// computes the result (MATLAB, Octave), or the call ends with a clear error
// (the embedded host).
// Returns true when the call was handed over.
template <class T>
bool handOverUnserved(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const mxArray* argument)
{
    if (isServed<T>(argument))
        return false;
    handToHostFunction(nlhs, plhs, nrhs, prhs, ElementClass<T>::refusal);
    return true;
}

#if defined(FPMEX_SET_SINGLE)
using Real = float;
#elif defined(FPMEX_SET_DOUBLE)
using Real = double;
#endif

} // namespace fpmex
