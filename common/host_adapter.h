// The one place where the hosts differ. Every deliverable is built for:
// - the embedded host and MATLAB: MATLAB's interface and semantics
//   (host/include; FPMEX_MATLAB in the MATLAB libraries);
// - Octave's MEX interface (FPMEX_OCTAVE), the flat folders the tests call;
// - the native Octave host (FPMEX_OCTAVE_NATIVE, octave/): MATLAB's interface
//   and semantics implemented over Octave's values, behind the class methods.
// Deliverables call these helpers instead of spelling host differences
// themselves.
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
// Octave's MEX interface has no mxSetLogical and creates the logical array
// directly.
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

// Bytes per character unit: 2 in MATLAB's interface (UTF-16), 1 in Octave's.
inline constexpr std::size_t charUnitBytes = sizeof(mxChar);

// Calls the host's own function `name` through the host's `builtin`, never a
// file of ours: as a class method, or with a flat folder first on Octave's
// path, the name would find our deliverable again. The embedded host serves
// `builtin` for the functions it has itself. The argument list lives in host
// memory, which the host releases when the call ends, also after an error.
inline int callHostFunction(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name)
{
    auto** args = static_cast<mxArray**>(mxMalloc((static_cast<std::size_t>(nrhs) + 1) * sizeof(mxArray*)));
    args[0] = mxCreateString(name);
    for (int i = 0; i < nrhs; ++i)
        args[i + 1] = prhs[i];
    return mexCallMATLAB(nlhs, plhs, nrhs + 1, args, "builtin");
}

// True in the hosts that have their own functions of our names: MATLAB and
// Octave. The embedded host has none.
#if defined(FPMEX_OCTAVE) || defined(FPMEX_OCTAVE_NATIVE) || defined(FPMEX_MATLAB)
inline constexpr bool hostHasOwnFunctions = true;
#else
inline constexpr bool hostHasOwnFunctions = false;
#endif

// Hands a call with an argument the kernels cannot read as the set's type to
// the host's own function of the same name, which computes the result; with
// the embedded host the call ends with the refusal instead. Another class
// comes only from a flat folder in Octave; a sparse array comes through class
// dispatch too (its class is double).
inline void handToHostFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], const char* refusal)
{
    if constexpr (!hostHasOwnFunctions)
        fail(refusal);
    callHostFunction(nlhs < 1 ? 1 : nlhs, plhs, nrhs, const_cast<mxArray**>(prhs), mexFunctionName());
}

} // namespace fpmex
