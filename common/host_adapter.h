// The one place where the two hosts differ: the embedded host (MATLAB's
// interface and semantics) and GNU Octave's MEX interface. Deliverables call
// these helpers instead of spelling host differences themselves.
#pragma once

#include <mex.h>

#include <cstddef>
#include <cstdlib>

// Marks a deliverable's mexFunction, its only exported symbol. Windows
// libraries export it through their module definition file instead, under
// the name their platform's MATLAB looks up.
#ifdef _WIN32
#define FPMEX_EXPORT extern "C"
#else
#define FPMEX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace fpmex {

// Ends the call with a message. Octave's prototype is not marked noreturn,
// so the abort only tells the compiler what every host guarantees.
[[noreturn]] inline void fail(const char* message)
{
    mexErrMsgTxt(message);
    std::abort();
}

// An empty 0-by-0 logical array. MATLAB marks a uint8 array logical;
// Octave has no mxSetLogical and creates the logical array directly.
inline mxArray* createEmptyLogical()
{
#if defined(FPMEX_OCTAVE)
    return mxCreateLogicalMatrix(0, 0);
#else
    mxArray* array = mxCreateNumericMatrix(0, 0, mxUINT8_CLASS, mxREAL);
    mxSetLogical(array);
    return array;
#endif
}

// Bytes per character unit: 2 in MATLAB (UTF-16), 1 in Octave.
inline constexpr std::size_t charUnitBytes = sizeof(mxChar);

// Calls the host's own function `name`, never a MEX file of the same name
// that shadows it: Octave would otherwise find our deliverable again and
// recurse. The embedded host serves its own functions directly.
inline int callHostFunction(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name)
{
#if defined(FPMEX_OCTAVE)
    constexpr int maxArgs = 8;
    mxArray* args[maxArgs + 1];
    if (nrhs > maxArgs)
        fail("Too many arguments for a host function.");
    args[0] = mxCreateString(name);
    for (int i = 0; i < nrhs; ++i)
        args[i + 1] = prhs[i];
    return mexCallMATLAB(nlhs, plhs, nrhs + 1, args, "builtin");
#else
    return mexCallMATLAB(nlhs, plhs, nrhs, prhs, name);
#endif
}

// Hands a call this file does not serve (an argument of another class than
// its set's) to the host's own function of the same name. MATLAB never sends
// such a call, as it dispatches on class; Octave does. The embedded host has
// no builtin to hand it to, so there the call ends with the refusal.
inline void handToHostFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const char* refusal)
{
#if defined(FPMEX_OCTAVE)
    (void)refusal;
    callHostFunction(nlhs < 1 ? 1 : nlhs, plhs, nrhs, const_cast<mxArray**>(prhs), mexFunctionName());
#else
    (void)nlhs, (void)plhs, (void)nrhs, (void)prhs;
    fail(refusal);
#endif
}

} // namespace fpmex
