/* MEX interface of the embedded host: errors, warnings, printing, calls
 * back into the host and exit functions, with MATLAB's names and semantics.
 *
 * The host serves one call at a time, on the thread that made it. While a
 * call is in progress, a call of any mx or mex function from another thread
 * changes nothing: it returns null, 0 or false (mexCallMATLAB,
 * mxSetDimensions and mexAtExit: 1, their failure), and the call reports a
 * host fault naming the function. mexErrMsgTxt and mexErrMsgIdAndTxt cannot
 * end a call from another thread: they print the message to stderr and
 * abort the process. */
#ifndef FPMEX_HOST_MEX_H
#define FPMEX_HOST_MEX_H

#include "matrix.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The entry point every deliverable exports. */
void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]);

/* Ends the current call; the host reports the message. */
[[noreturn]] FPMEX_HOST_API void mexErrMsgTxt(const char *message);
[[noreturn]] FPMEX_HOST_API void mexErrMsgIdAndTxt(const char *id, const char *format, ...);
FPMEX_HOST_API void mexWarnMsgTxt(const char *message);
FPMEX_HOST_API int mexPrintf(const char *format, ...);
FPMEX_HOST_API int mexCallMATLAB(int nlhs, mxArray *plhs[], int nrhs, mxArray *prhs[], const char *name);
FPMEX_HOST_API const char *mexFunctionName(void);

/* Registers the function the host calls before it closes the library of the
 * call in progress (fpmex::host::unloadDeliverable); a later registration
 * from the same library replaces it, a null one removes it. Returns 0.
 * Outside a call no library is running: nothing is registered, a warning
 * goes to stderr and the result is 1; during a call of a function that no
 * loaded library holds, the call reports a host fault and the result is 1. */
FPMEX_HOST_API int mexAtExit(void (*exitFunction)(void));

#ifdef __cplusplus
}
#endif

#endif
