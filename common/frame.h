// The entry frame every deliverable shares: output and input count checks,
// the banner of a call without inputs, and the creation of outputs with an
// input's shape. A deliverable states only how it departs (its Entry).
#pragma once

#include "host_adapter.h"

#include <cstddef>

namespace fpmex {

enum class FunctionSet { single, doubles };

// Any number of inputs from minInputs on (ones).
inline constexpr int anyInputs = -1;

struct Entry {
    // Banner line, full stop included: FPMEX_DESCRIPTION, the text the build
    // also writes into the Windows version resource.
    const char* description;
    FunctionSet set;
    int maxOutputs;
    int minInputs; // accepted input counts besides 0 (which prints the banner)
    int maxInputs; // or anyInputs
};

// Ends the call with "Too many output arguments." when nlhs exceeds the maximum.
void checkOutputCount(int nlhs, int maxOutputs);

// Runs the count checks in order. Returns false when the call had no inputs:
// the banner has been printed and the deliverable returns without outputs.
[[nodiscard]] bool enterFrame(const Entry& entry, int nlhs, int nrhs);

// Allocates an uninitialised buffer of count elements of elementBytes each.
// A byte size that does not fit in size_t is passed on as the largest
// request, so the host ends the call with its out-of-memory error instead of
// handing out a wrapped, too small buffer.
void* allocateElements(std::size_t count, std::size_t elementBytes);

template <class T>
T* allocateElements(std::size_t count)
{
    return static_cast<T*>(allocateElements(count, sizeof(T)));
}

} // namespace fpmex
