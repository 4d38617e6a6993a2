// pi of the single function set: the single nearest to pi as a real 1-by-1
// array. It takes no input count check and prints no banner; inputs are
// ignored.
#include "common/frame.h"

#include <cstdint>
#include <cstring>

namespace {

// 3.1415927410125732421875, the binary32 nearest to pi; written as bits so
// that no conversion at run time can change it.
constexpr std::uint32_t piBits = 0x40490FDB;

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int, const mxArray*[])
{
    fpmex::checkOutputCount(nlhs, 1);
    plhs[0] = mxCreateNumericMatrix(1, 1, mxSINGLE_CLASS, mxREAL);
    std::memcpy(mxGetData(plhs[0]), &piBits, sizeof piBits);
}
