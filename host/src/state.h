// Internal state of the embedded host: the arrays and memory blocks it has
// handed out, and the scope of the call in progress.
#pragma once

#include "fpmex_host.h"

#include <cstddef>
#include <cstdint>
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

struct Host {
    std::unordered_map<void*, Block> blocks;     // by user pointer
    std::unordered_set<mxArray*> arrays;         // every live array
    std::unordered_set<mxArray*> callArrays;     // created during the call in progress
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
