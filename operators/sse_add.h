// Single-precision SSE addition with a fixed operand order. The order decides
// which NaN a sum of two NaNs gives (the first addend's, made quiet), and a
// compiler may swap the operands of _mm_add_ps because addition commutes, so
// the instruction is written out.
#pragma once

#include <xmmintrin.h>

namespace fpmex::operators {

inline __m128 addInOrder(__m128 first, __m128 second)
{
    asm("addps %1, %0" : "+x"(first) : "x"(second));
    return first;
}

} // namespace fpmex::operators
