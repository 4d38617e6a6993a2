// A test-only deliverable that breaks one rule on request, so the tests can
// show that the host catches it. The first input's value picks the fault.
#include "common/frame.h"
#include "common/fp_state.h"

#include <cstring>

FPMEX_EXPORT void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const int fault = nrhs > 0 ? static_cast<int>(mxGetScalar(prhs[0])) : 0;
    plhs[0] = mxCreateNumericMatrix(1, 4, mxSINGLE_CLASS, mxREAL);
    auto* out = static_cast<float*>(mxGetData(plhs[0]));
    volatile float* past = out;
    switch (fault) {
    case 1: past[4] = 1.0f; break;                                  // one element past the end
    case 2: past[-1] = 1.0f; break;                                 // one element before the start
    case 3: static_cast<double*>(mxGetData(prhs[0]))[0] = 0.0; break; // writes into its input
    case 4: fpmex::x87LoadControl(fpmex::x87RoundDown); break;      // leaves a rounding mode behind
    case 5: fpmex::sseLoadMode(fpmex::sseKernelMode); break;        // leaves flush-to-zero behind
    case 6: asm volatile("fld1" ::: "memory"); break;               // leaves a value on the x87 stack
    case 7: plhs[1] = mxCreateDoubleScalar(1); break;               // fills a slot nobody asked for
    default: break;
    }
}
