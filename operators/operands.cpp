#include "operands.h"

#include "convert.h"

namespace fpmex::operators {

const mxArray* prepareOperand(const mxArray* operand)
{
    return mxIsSingle(operand) ? operand : convertToSingle(operand);
}

bool sameDimensions(std::size_t dimsA, std::size_t dimsB, const mwSize* sizesA, const mwSize* sizesB)
{
    if (dimsA != dimsB)
        return false;
    for (std::size_t d = 0; d < dimsA; ++d) {
        if (sizesA[d] != sizesB[d])
            return false;
    }
    return true;
}

Match matchShapes(const mxArray* first, const mxArray* second)
{
    const std::size_t countA = static_cast<std::size_t>(mxGetNumberOfElements(first));
    const std::size_t countB = static_cast<std::size_t>(mxGetNumberOfElements(second));
    if (countA == 0 || countB == 0)
        return {Shape::empty, 0, nullptr};
    if (countA == 1)
        return {Shape::scalarFirst, countB, second};
    if (countB == 1)
        return {Shape::scalarSecond, countA, first};
    const bool same = countA == countB &&
                      sameDimensions(static_cast<std::size_t>(mxGetNumberOfDimensions(first)),
                                     static_cast<std::size_t>(mxGetNumberOfDimensions(second)),
                                     mxGetDimensions(first), mxGetDimensions(second));
    if (!same)
        fail("Incompatible dimensions.");
    return {Shape::elementWise, countB, first};
}

void setOutputSizes(mxArray* output, const Match& match)
{
    mxSetDimensions(output, mxGetDimensions(match.sizesFrom), mxGetNumberOfDimensions(match.sizesFrom));
}

} // namespace fpmex::operators
