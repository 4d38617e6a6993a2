// A test-only deliverable that calls one host function from a thread of its
// own while its call is in progress, then answers from the caller's thread.
// The first input picks the function; the output is what the stray call
// returned: 0 for a null pointer, 1 for any other, or the number.
#include "common/host_adapter.h"

#include <thread>

namespace {

void noExit() {}

double strayCall(int which, const mxArray* input)
{
    switch (which) {
    case 0: return mxCreateDoubleMatrix(1, 1, mxREAL) != nullptr;
    case 1: return mxMalloc(16) != nullptr;
    case 2: return mexPrintf("from a stray thread\n");
    case 3: return static_cast<double>(mxGetNumberOfElements(input));
    case 4: return mexAtExit(noExit);
    case 5: return mxGetData(input) != nullptr;
    case 6: mexErrMsgTxt("Stray error."); // never returns
    default: return -1;
    }
}

} // namespace

FPMEX_EXPORT void mexFunction(int, mxArray* plhs[], int, const mxArray* prhs[])
{
    const int which = static_cast<int>(mxGetScalar(prhs[0]));
    double answer = -1;
    std::thread stray([&] { answer = strayCall(which, prhs[0]); });
    stray.join();
    plhs[0] = mxCreateDoubleScalar(answer);
}
