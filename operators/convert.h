// Conversion of plus and lt operands of other classes to single, and the
// element converters it uses. Every converter takes (out, in, count) with
// count >= 1, writes element k of out from element k of in, and computes
// under the operators' SSE mode (round to nearest even, flush-to-zero on,
// denormals-are-zero off, exceptions masked); the caller's MXCSR is restored
// on return. The same converter serves the real and the imaginary part.
#pragma once

#include "common/host_adapter.h"

#include <cstddef>
#include <cstdint>

namespace fpmex::operators {

void doubleToSingle(float* out, const double* in, std::size_t count);
void int32ToSingle(float* out, const std::int32_t* in, std::size_t count);
void uint32ToSingle(float* out, const std::uint32_t* in, std::size_t count);
void int16ToSingle(float* out, const std::int16_t* in, std::size_t count);
void uint16ToSingle(float* out, const std::uint16_t* in, std::size_t count);
void int8ToSingle(float* out, const std::int8_t* in, std::size_t count);
void uint8ToSingle(float* out, const std::uint8_t* in, std::size_t count);

// A new single array with the source's sizes, both parts converted; an empty
// source of any class gives an empty copy without buffers. Ends the call
// with "Wrong data type." for a class that has no converter, and with
// "Sparse operands are not supported." for a sparse source. The copy is a
// temporary that the host releases when the call returns.
mxArray* convertToSingle(const mxArray* source);

} // namespace fpmex::operators
