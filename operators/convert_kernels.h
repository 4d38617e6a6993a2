// The element converters of plus and lt operands: each takes (out, in,
// count) with count >= 1, writes element k of out from element k of in, and
// computes under the operators' SSE mode (round to nearest even,
// flush-to-zero on, denormals-are-zero off, exceptions masked); the caller's
// MXCSR is restored on return. The same converter serves the real and the
// imaginary part.
#pragma once

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

} // namespace fpmex::operators
