// The addition kernels of plus.
#pragma once

#include <cstddef>

namespace fpmex::operators {

// Element-wise: outRe[k] = aRe[k] + bRe[k]. With outIm present,
// outIm[k] = bIm[k] + aIm[k] when both operands are complex, else the one
// present imaginary part copied bit for bit. Null imaginary buffers mark real
// operands; a null outIm gives a real result, and a present outIm needs at
// least one complex operand.
//
// Every sum is one IEEE single addition under round to nearest even with
// flush-to-zero (denormal inputs keep their values): overflow gives an
// infinity, +Inf + -Inf the default NaN 0xFFC00000, a NaN addend its own NaN
// made quiet (the first addend's when both are NaN), x + -x gives +0. The
// caller's MXCSR is restored on return. count >= 1.
void addArrays(float* outRe, float* outIm, const float* aRe, const float* aIm, const float* bRe, const float* bIm,
               std::size_t count);

// A scalar s added to every element of v: outRe[k] = vRe[k] + sRe[0], the
// array element first. With outIm present, outIm[k] = vIm[k] + sIm[0] when
// both are complex, else vIm[k] or sIm[0] copied bit for bit. Arithmetic and
// state as addArrays.
void addScalar(float* outRe, float* outIm, const float* sRe, const float* sIm, const float* vRe, const float* vIm,
               std::size_t count);

} // namespace fpmex::operators
