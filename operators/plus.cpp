// plus of the single function set: the sum of two operands, element by
// element or with a scalar on either side, real or complex. Operands of
// other classes are converted to single first.
#include "add_kernel.h"
#include "common/frame.h"
#include "operands.h"

using namespace fpmex;
using namespace fpmex::operators;

namespace {

const Entry plusEntry{FPMEX_DESCRIPTION, FunctionSet::single, 1, 2, 2};

const float* realData(const mxArray* operand)
{
    return static_cast<const float*>(mxGetData(operand));
}

const float* imagData(const mxArray* operand)
{
    return static_cast<const float*>(mxGetImagData(operand));
}

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!enterFrame(plusEntry, nlhs, nrhs))
        return;
    const mxArray* first = prepareOperand(prhs[0]);
    const mxArray* second = prepareOperand(prhs[1]);
    plhs[0] = mxCreateNumericMatrix(0, 0, mxSINGLE_CLASS, mxREAL);
    const Match match = matchShapes(first, second);
    if (match.shape == Shape::empty)
        return;
    // Complex when either operand is, even if every imaginary sum is zero.
    const bool complex = mxIsComplex(first) || mxIsComplex(second);
    setOutputSizes(plhs[0], match);
    float* outRe = allocateElements<float>(match.count);
    mxSetData(plhs[0], outRe);
    float* outIm = nullptr;
    if (complex) {
        outIm = allocateElements<float>(match.count);
        mxSetImagData(plhs[0], outIm);
    }
    switch (match.shape) {
    case Shape::scalarFirst:
        addScalar(outRe, outIm, realData(first), imagData(first), realData(second), imagData(second), match.count);
        break;
    case Shape::scalarSecond:
        addScalar(outRe, outIm, realData(second), imagData(second), realData(first), imagData(first), match.count);
        break;
    case Shape::elementWise:
        addArrays(outRe, outIm, realData(first), imagData(first), realData(second), imagData(second), match.count);
        break;
    case Shape::empty:
        break;
    }
}
