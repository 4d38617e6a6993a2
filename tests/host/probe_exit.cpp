// A test-only deliverable with an exit function. The first input picks what
// it registers through mexAtExit: 1 an exit function that makes an array
// and a block and prints, 2 another that prints, 3 one that raises an
// error, 4 none (a null function); 0 or no input registers nothing. The
// output is [calls mexAtExit]: the calls this load of the library has
// served, and what mexAtExit returned (-1 when it was not called).
#include "common/host_adapter.h"

namespace {

int calls = 0;

void sayGoodbye()
{
    mxCreateDoubleMatrix(2, 2, mxREAL);
    mxMalloc(64);
    mexPrintf("exit function after %d calls\n", calls);
}

void sayOther()
{
    mexPrintf("second exit function of %s\n", mexFunctionName());
}

void failToExit()
{
    mexErrMsgTxt("The exit function failed.");
}

} // namespace

FPMEX_EXPORT void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    ++calls;
    const int which = nrhs > 0 ? static_cast<int>(mxGetScalar(prhs[0])) : 0;
    void (*const exitFunctions[])(void) = {sayGoodbye, sayOther, failToExit, nullptr};
    const int registered = which >= 1 && which <= 4 ? mexAtExit(exitFunctions[which - 1]) : -1;
    plhs[0] = mxCreateDoubleMatrix(1, 2, mxREAL);
    mxGetPr(plhs[0])[0] = calls;
    mxGetPr(plhs[0])[1] = registered;
}
