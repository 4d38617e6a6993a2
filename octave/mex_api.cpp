// MATLAB's MEX functions that the deliverables call, answered the way
// Octave's own MEX interface answers them, so that messages, warnings and
// printed text are those of the deliverables' MEX files in Octave.
#include "host_array.h"

#include <mex.h>

#include <cstdarg>
#include <cstdio>

using namespace fpmex::octave_host;

extern "C" {

// Octave's MEX interface prefixes errors with the function's name; warnings
// go out as they are.
void mexErrMsgTxt(const char* message)
{
    raiseError(functionName() + ": " + message);
}

void mexWarnMsgTxt(const char* message)
{
    raiseWarning(message);
}

int mexPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    print(text);
    return length;
}

int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name)
{
    callFunction(nlhs, plhs, nrhs, prhs, name);
    return 0;
}

const char* mexFunctionName(void)
{
    return functionName().c_str();
}

// Each .oct file carries its own copy of this host: whatever registers, the
// library is this deliverable's.
int mexAtExit(void (*exitFunction)(void))
{
    setExitFunction(exitFunction);
    return 0;
}

} // extern "C"
