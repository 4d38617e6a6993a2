// The comparison kernels of lt. Each writes one byte per element, 1 where
// the left value is less than the right one and 0 elsewhere, by the IEEE
// ordered less-than on singles: a NaN on either side gives 0, -0 < +0 gives
// 0, and subnormal values compare by their true values. The left operand is
// always the left side of the comparison. Only real parts take part. They
// compute under the operators' SSE mode (no exception traps, whatever the
// NaN) and restore the caller's MXCSR on return. count >= 1.
#pragma once

#include <cstddef>

namespace fpmex::operators {

// Entry m holds bit j of m in its byte j: the four output bytes of a group
// whose comparison mask is m.
extern const unsigned char maskBytes[16][4];

void lessArrays(unsigned char* out, const float* a, const float* b, std::size_t count);

// s < b[k]. A NaN s gives all zeros without reading b.
void lessScalarLeft(unsigned char* out, const float* s, const float* b, std::size_t count);

// a[k] < s. A NaN s gives all zeros without reading a.
void lessScalarRight(unsigned char* out, const float* a, const float* s, std::size_t count);

// Sets the count bytes of out to 0: ordinary stores below the first 16-byte
// boundary and above the last whole 16-byte block, streaming stores between
// them, written from the top down.
void fillFalse(unsigned char* out, std::size_t count);

} // namespace fpmex::operators
