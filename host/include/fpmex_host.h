// Control interface of the embedded host, for the runner and the tests: load
// a deliverable, call it the way MATLAB does, and see everything the call
// did (outputs, error, warnings, printed text, allocations) plus the faults
// the host detected (guard zones, written inputs, floating-point state,
// calls from other threads); unload it, which runs its exit function.
#pragma once

#include "mex.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace fpmex::host {

struct ArrayDeleter {
    void operator()(mxArray* array) const noexcept { mxDestroyArray(array); }
};
using Array = std::unique_ptr<mxArray, ArrayDeleter>;

using MexFunction = void (*)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Loads a deliverable (dlopen, LoadLibrary on Windows) and finds its
// mexFunction. Throws std::runtime_error naming the file when either fails.
// Loading a loaded library again gives the same function; the host counts
// the loads. A library stays loaded until unloadDeliverable has been called
// once for each load, or until the process ends (its exit function then
// never runs).
FPMEX_HOST_API MexFunction loadDeliverable(const std::string& path);

// The running program's own file, with forward slashes; empty when the
// system does not say.
FPMEX_HOST_API std::string executablePath();

struct CallStats {
    std::size_t blocks = 0;       // mxMalloc/mxCalloc/mxRealloc blocks handed out during the call
    std::size_t bytes = 0;        // their total size
    std::size_t arrays = 0;       // arrays created during the call
    std::size_t releasedBlocks = 0; // blocks the host released when the call ended
};

struct CallResult {
    bool failed = false;                // the call ended through mexErrMsgTxt
    std::string error;                  // its message
    std::vector<std::string> warnings;  // mexWarnMsgTxt messages, in order
    std::string printed;                // everything mexPrintf wrote
    std::vector<Array> outputs;         // max(nlhs, 1) slots; empty when failed
    std::vector<std::string> faults;    // misbehaviour the host detected; empty for a sound call
    CallStats stats;
};

// Calls fn with nlhs outputs and the inputs, inside a call scope: blocks and
// arrays not handed back through the output slots are released at the end,
// also after an error. Every slot from 0 to max(nlhs,1)-1 that holds an
// array is returned. A slot left empty when nlhs is 0 is not a fault.
FPMEX_HOST_API CallResult call(MexFunction fn, int nlhs, std::span<const mxArray* const> inputs, const char* name = "mexFunction");

// Gives back one load of fn's library. At the last one, the host runs the
// exit function the library registered through mexAtExit, if any, inside a
// call scope of its own, and closes the library; loading the same path
// again then gives a freshly initialised library. The result is that of the
// exit function, as of a call without outputs: an error it raised, warnings,
// printed text and host faults (also when the system refuses to close the
// library); empty when no exit function ran. Throws std::invalid_argument
// when fn is no loaded library's, std::logic_error during a call.
FPMEX_HOST_API CallResult unloadDeliverable(MexFunction fn);

// Where host blocks start relative to a 16-byte boundary. mxMalloc keeps
// MATLAB's 8-byte alignment, so its offset is 0 or 8; arrays created outside
// a call (test inputs) may be placed at any byte offset to exercise
// unaligned access.
FPMEX_HOST_API void setMallocOffset(std::size_t offset);
FPMEX_HOST_API void setInputOffset(std::size_t offset);

// The most memory the host hands out before it reports out of memory; 0
// restores the default (three quarters of the machine's memory). The fuzzer
// lowers it so that huge requests take the out-of-memory path cheaply.
FPMEX_HOST_API void setMemoryLimit(std::size_t bytes);

// Guard zone bytes around every block; any change is a fault.
inline constexpr std::size_t guardBytes = 32;

// Blocks currently alive in the host (outside calls: those owned by arrays).
FPMEX_HOST_API std::size_t liveBlocks();

} // namespace fpmex::host
