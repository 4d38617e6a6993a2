// lt of the single function set: a logical array, 1 where the first
// operand's element is less than the second's, element by element or
// against a scalar on either side. Only real parts are compared; operands
// of other classes are converted to single first.
#include "common/frame.h"
#include "less_kernel.h"
#include "operands.h"

using namespace fpmex;
using namespace fpmex::operators;

namespace {

const Entry ltEntry{FPMEX_DESCRIPTION, FunctionSet::single, 1, 2, 2};

const float* realData(const mxArray* operand)
{
    return static_cast<const float*>(mxGetData(operand));
}

} // namespace

FPMEX_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
{
    if (!enterFrame(ltEntry, nlhs, nrhs))
        return;
    const mxArray* first = prepareOperand(prhs[0]);
    const mxArray* second = prepareOperand(prhs[1]);
    plhs[0] = createEmptyLogical();
    const Match match = matchShapes(first, second);
    if (match.shape == Shape::empty)
        return;
    setOutputSizes(plhs[0], match);
    auto* out = static_cast<unsigned char*>(mxMalloc(match.count));
    mxSetData(plhs[0], out);
    switch (match.shape) {
    case Shape::scalarFirst:
        lessScalarLeft(out, realData(first), realData(second), match.count);
        break;
    case Shape::scalarSecond:
        lessScalarRight(out, realData(first), realData(second), match.count);
        break;
    case Shape::elementWise:
        lessArrays(out, realData(first), realData(second), match.count);
        break;
    case Shape::empty:
        break;
    }
}
