// A test-only deliverable that hands its inputs to mexCallMATLAB: the first
// input names the function, the rest are its arguments.
#include "common/frame.h"

#include <string>
#include <vector>

FPMEX_EXPORT void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    const mxChar* units = mxGetChars(prhs[0]);
    std::string name;
    for (std::size_t i = 0; i < mxGetNumberOfElements(prhs[0]); ++i)
        name += static_cast<char>(units[i]);
    std::vector<mxArray*> args;
    for (int i = 1; i < nrhs; ++i)
        args.push_back(const_cast<mxArray*>(prhs[i]));
    mexCallMATLAB(1, plhs, static_cast<int>(args.size()), args.data(), name.c_str());
}
