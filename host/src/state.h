// Internal state of the embedded host: the arrays and memory blocks it has
// handed out, the libraries it has loaded, and the scope of the call in
// progress.
#pragma once

#include "fpmex_host.h"
#include "system.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct mxArray_tag {
    mxClassID classId = mxDOUBLE_CLASS;
    bool complex = false;
    bool sparse = false;
    std::vector<mwSize> dims{0, 0};
    void* re = nullptr; // host blocks owned by the array
    void* im = nullptr;
    mwIndex* ir = nullptr;
    mwIndex* jc = nullptr;
    mwSize nzmax = 0;
    std::vector<mxArray*> elements; // cells, or struct field values (field-major per element)
    std::vector<std::string> fields;
};

namespace fpmex::host::detail {

// Thrown by mexErrMsgTxt; caught by call(), which reports the message.
struct CallError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class BlockState { callTemporary, ownedByArray, persistent };

struct Block {
    unsigned char* raw;  // what malloc returned
    std::size_t bytes;   // what the caller asked for
    BlockState state;
};

// A library loadDeliverable opened, with the exit function that its calls
// registered through mexAtExit.
struct Library {
    void* handle = nullptr;
    std::string name;                    // the file's stem: mexFunctionName while the exit function runs
    std::size_t loads = 0;               // loadDeliverable calls not yet matched by unloadDeliverable
    void (*exitFunction)(void) = nullptr;
};

struct Host {
    std::unordered_map<void*, Block> blocks;     // by user pointer
    std::unordered_set<mxArray*> arrays;         // every live array
    std::unordered_set<mxArray*> callArrays;     // created during the call in progress
    std::map<MexFunction, Library> libraries;    // by entry point
    Library* callLibrary = nullptr;              // the call's library; null for a function none holds
    bool inCall = false;
    std::string functionName = "mexFunction";
    std::string printed;
    std::vector<std::string> warnings;
    std::vector<std::string> faults;
    CallStats stats;
    std::size_t mallocOffset = 0;
    std::size_t inputOffset = 0;
    std::size_t liveBytes = 0;
};

Host& host();

// The thread of the call in progress (0 outside calls), and the first host
// function another thread called meanwhile. These two are all a stray
// thread reads or writes: the rest of the host belongs to the caller.
extern std::atomic<ThreadId> callThread;
extern std::atomic<const char*> strayFunction;

// True when a call is in progress on another thread than this one; the
// function is then recorded for the call to report, and must return at once
// without touching the host. Costs one relaxed load outside calls.
inline bool strayCall(const char* function)
{
    const ThreadId owner = callThread.load(std::memory_order_relaxed);
    if (owner == 0 || owner == currentThreadId())
        return false;
    const char* none = nullptr;
    strayFunction.compare_exchange_strong(none, function, std::memory_order_relaxed);
    return true;
}

// Memory blocks with guard zones.
void* allocateBlock(std::size_t bytes, bool zeroed);
void releaseBlock(void* pointer);
bool isBlock(const void* pointer);
void adoptBlock(void* pointer);   // an array takes ownership
void disownBlock(void* pointer);  // an array lets go (replaced by mxSetData)
void checkGuards(const char* when);
std::size_t elementBytes(mxClassID classId);

// Ends the call in progress (or throws outside one) with a message.
[[noreturn]] void raise(const std::string& message);
void fault(const std::string& message);

mxArray* newArray(mxClassID classId, const std::vector<mwSize>& dims, bool complex, bool allocate);
void destroyArray(mxArray* array);
std::size_t countOf(const std::vector<mwSize>& dims); // raises on overflow

} // namespace fpmex::host::detail
