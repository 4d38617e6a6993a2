/* MEX interface of the embedded host: errors, warnings, printing and calls
 * back into the host, with MATLAB's names and semantics. */
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

#ifdef __cplusplus
}
#endif

#endif
