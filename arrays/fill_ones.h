#pragma once

#include <cstddef>

namespace fpmex {

// Stores 1.0f into buffer[0] .. buffer[count - 1] (count >= 1), nothing
// before or after them. A large buffer is filled in chunks across the
// worker pool. In each chunk, whole 16-byte blocks are written with
// non-temporal stores from the highest block down, and the head up to the
// first 16-byte boundary and the elements above the last whole block use
// ordinary stores; a store fence ends each chunk.
// The buffer must be 4-byte aligned; hosts give 8-byte aligned buffers, whose
// head is an element pair. Touches no floating-point state.
void fillOnes(float* buffer, std::size_t count);

} // namespace fpmex
