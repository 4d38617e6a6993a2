// Operand preparation and shape matching shared by plus and lt: both
// operands are brought to single, then matched element by element or with
// a scalar on either side.
#pragma once

#include "common/host_adapter.h"

#include <cstddef>

namespace fpmex::operators {

// A single operand itself (never copied or changed), else its converted copy.
const mxArray* prepareOperand(const mxArray* operand);

// True when both operands have the same number of dimensions and the same
// size in each. No singleton expansion: 2x3 and 3x2 differ, so do 1x3 and 3x1.
bool sameDimensions(std::size_t dimsA, std::size_t dimsB, const mwSize* sizesA, const mwSize* sizesB);

enum class Shape {
    empty,        // an operand has no elements: the output stays 0x0
    scalarFirst,  // the first operand has one element
    scalarSecond, // the second has one element, the first more
    elementWise,  // equal sizes
};

struct Match {
    Shape shape;
    std::size_t count;         // elements of the output (0 when empty)
    const mxArray* sizesFrom;  // the operand whose sizes the output takes
};

// Matches the prepared operands in the order empty, scalar first, scalar
// second, element-wise; ends the call with "Incompatible dimensions." when
// none applies.
Match matchShapes(const mxArray* first, const mxArray* second);

// Gives the output the sizes of the operand the match names.
void setOutputSizes(mxArray* output, const Match& match);

} // namespace fpmex::operators
