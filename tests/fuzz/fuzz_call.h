// One fuzzed call of a deliverable: the argument list decoded from the fuzz
// input, the caller's floating-point mode, and the checks every call must
// pass. Shared by the libFuzzer target and the corpus replay program.
#pragma once

#include "fpmex_host.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fpmex::fuzz {

struct Deliverable {
    std::string setAndName; // "single/log2"
    std::string name;       // "log2"
    host::MexFunction function;
};

// Every deliverable of this build, loaded once.
const std::vector<Deliverable>& deliverables();

// The caller's modes: x87 control word and MXCSR, exceptions always masked
// (MATLAB runs that way), precision, rounding, flush-to-zero and
// denormals-are-zero varied.
struct CallerMode {
    std::uint16_t x87Control;
    std::uint32_t mxcsr;
};

struct FuzzCall {
    const Deliverable* target = nullptr;
    int nlhs = 0;
    std::vector<host::Array> inputs;
    std::size_t mallocOffset = 0;
    CallerMode mode{0x037F, 0x1F80};
    // An input asked for a size beyond this platform's mwSize (a 32-bit
    // build) and was replaced: the call is not the one a 64-bit build makes.
    bool narrowed = false;
};

// Decodes a fuzz input; every byte string decodes to some call. Inputs are
// created at the byte offset the input asks for (0 to 15 off a 16-byte
// boundary).
FuzzCall decodeCall(const std::uint8_t* data, std::size_t size);

// Runs the call twice, under the default modes and under the decoded
// caller's modes, and returns a description of everything wrong with it:
// host faults (guard zones, written inputs, changed floating-point state,
// output slots), a message the deliverable does not document, outputs
// that are missing or malformed, blocks that outlive the call, and results
// that depend on the caller's modes. Empty for a sound call.
std::string runAndCheck(const FuzzCall& call);

// A unary call's input through every vector variant of its kernel and
// through the x87 reference: what differs, or empty.
std::string checkLevels(const FuzzCall& call);

// prod of another class than single is the host's own prod, computed in the
// caller's modes as MATLAB's would be, with the host's complex arithmetic
// (NaN signs and payloads differ between C runtimes).
bool hostComputesResult(const FuzzCall& call);

// A 32-bit build asks for all of its address space where the sizes' product
// goes beyond it (seen is what observe() gave), and so for another count
// than a 64-bit build.
bool requestsBeyondAddressSpace(const std::string& seen);

// The MATLAB libraries (the 32-bit Windows suite) hand a call with an
// argument they cannot read to the host's own function of their name; seen is
// what observe() gave. Other builds refuse such calls themselves.
bool handedToHostFunction(const FuzzCall& call, const std::string& seen);

// Outcomes hold raw element bytes: printable ASCII stays as it is, every
// other byte (and the backslash) becomes \xNN. A text longer than limit
// characters is cut there and ends in "...".
std::string printable(const std::string& text, std::size_t limit = std::string::npos);

// Everything the caller sees of the call under the default modes (outputs
// bit for bit, error, warnings, printed text), for comparing builds.
std::string observe(const FuzzCall& call);

// The memory the fuzzed host may hand out: small enough that a huge request
// takes the out-of-memory path at once, large enough for every array the
// decoder builds.
inline constexpr std::size_t fuzzMemoryLimit = std::size_t(4) << 20;

} // namespace fpmex::fuzz
