// The call scope: what MATLAB does around a MEX call, plus the checks that
// make a misbehaving deliverable fail loudly in tests.
#include "state.h"
#include "system.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xmmintrin.h>

namespace fpmex::host::detail {

Host& host()
{
    static Host instance;
    return instance;
}

std::atomic<ThreadId> callThread{0};
std::atomic<const char*> strayFunction{nullptr};

void raise(const std::string& message)
{
    throw CallError(message);
}

void fault(const std::string& message)
{
    host().faults.push_back(message);
}

namespace {

// FNV-1a over everything an input consists of: class, sizes, buffers and
// contents, so that any write into an input is seen. It takes 8-byte words
// (then the tail's bytes): each step is a bijection of the hash, so a
// changed word always changes the result, and the sanitizers see one load
// per word instead of eight.
void hashBytes(std::uint64_t& hash, const void* data, std::size_t bytes)
{
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= bytes; i += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        hash = (hash ^ word) * 0x100000001B3ull;
    }
    for (; i < bytes; ++i)
        hash = (hash ^ p[i]) * 0x100000001B3ull;
}

std::size_t blockBytes(const void* block)
{
    auto it = host().blocks.find(const_cast<void*>(block));
    return it == host().blocks.end() ? 0 : it->second.bytes;
}

std::uint64_t checksum(const mxArray* array)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    if (array == nullptr)
        return hash;
    hashBytes(hash, &array->classId, sizeof array->classId);
    hashBytes(hash, &array->complex, sizeof array->complex);
    hashBytes(hash, array->dims.data(), array->dims.size() * sizeof(mwSize));
    for (const void* block : {static_cast<const void*>(array->re), static_cast<const void*>(array->im), static_cast<const void*>(array->ir),
                              static_cast<const void*>(array->jc)}) {
        hashBytes(hash, &block, sizeof block);
        if (block != nullptr)
            hashBytes(hash, block, blockBytes(block));
    }
    for (const mxArray* element : array->elements) {
        const std::uint64_t inner = checksum(element);
        hashBytes(hash, &inner, sizeof inner);
    }
    return hash;
}

struct FpState {
    std::uint16_t control;
    std::uint16_t tags;
    std::uint32_t mxcsrControl;
};

FpState readFpState()
{
    std::uint16_t env[14];
    asm volatile("fnstenv %0" : "=m"(env) : : "memory");
    asm volatile("fldcw %0" : : "m"(env[0]) : "memory");
    // Status flags of MXCSR (bits 0 to 5) are sticky results, not state.
    return {env[0], env[4], _mm_getcsr() & ~0x3Fu};
}

void keepOutput(mxArray* array)
{
    Host& h = host();
    h.callArrays.erase(array);
    for (mxArray* element : array->elements)
        if (element != nullptr)
            keepOutput(element);
}

void beginScope(Library* library, const char* name)
{
    Host& h = host();
    h.faults.clear();
    h.printed.clear();
    h.warnings.clear();
    h.stats = {};
    h.functionName = name;
    h.callLibrary = library;
    h.inCall = true;
    callThread.store(currentThreadId(), std::memory_order_relaxed);
}

// Runs the deliverable's code; an error it raises ends it, as in MATLAB.
// Any other exception would leave the scope open for good: it is a fault.
template <class Body>
void runGuarded(CallResult& result, const char* what, Body body)
{
    try {
        body();
    } catch (const CallError& error) {
        result.failed = true;
        result.error = error.what();
    } catch (const std::bad_alloc&) {
        result.failed = true;
        result.error = "Out of memory.";
    } catch (const std::exception& error) {
        result.failed = true;
        result.error = error.what();
        fault(std::string(what) + " ended with a C++ exception: " + error.what());
    }
}

void checkFpState(const FpState& before, const std::string& what)
{
    const FpState after = readFpState();
    if (after.control != before.control)
        fault("x87 control word changed by " + what);
    if (after.tags != before.tags)
        fault("x87 register stack not empty after " + what);
    if (after.mxcsrControl != before.mxcsrControl)
        fault("MXCSR control bits changed by " + what);
}

void endScope(std::vector<mxArray*>& slots, bool keep)
{
    Host& h = host();
    for (mxArray*& slot : slots) {
        if (slot == nullptr)
            continue;
        if (h.arrays.count(slot) == 0) {
            fault("an output slot holds something that is not a live array");
            slot = nullptr;
        } else if (keep) {
            keepOutput(slot);
        } else if (h.callArrays.count(slot) == 0) {
            slot = nullptr; // an input handed back: MATLAB would copy; nothing to release
        }
    }
    while (!h.callArrays.empty())
        destroyArray(*h.callArrays.begin());
    std::vector<void*> temporaries;
    for (auto& [user, block] : h.blocks)
        if (block.state == BlockState::callTemporary)
            temporaries.push_back(user);
    for (void* user : temporaries)
        releaseBlock(user);
    h.stats.releasedBlocks = temporaries.size();
    h.inCall = false;
    h.callLibrary = nullptr;
}

// Hands over what the scope collected. The caller's thread gives up the
// host last, so that a stray call up to here is still refused and reported.
void finishScope(CallResult& result)
{
    Host& h = host();
    result.printed = std::move(h.printed);
    result.warnings = std::move(h.warnings);
    result.stats = h.stats;
    result.faults = std::move(h.faults);
    h.faults.clear();
    callThread.store(0, std::memory_order_relaxed);
    if (const char* stray = strayFunction.exchange(nullptr, std::memory_order_relaxed))
        result.faults.push_back(std::string(stray) + " called from a thread other than the caller's; the host ignored it");
}

CallResult runExitFunction(Library& library)
{
    CallResult result;
    beginScope(&library, library.name.c_str());
    const FpState fpBefore = readFpState();
    runGuarded(result, "the exit function", library.exitFunction);
    checkFpState(fpBefore, "the exit function");
    checkGuards("after the exit function");
    std::vector<mxArray*> noOutputs;
    endScope(noOutputs, false);
    finishScope(result);
    return result;
}

std::string fileStem(const std::string& path)
{
    const std::size_t start = path.find_last_of("/\\") + 1; // npos + 1 is 0
    return path.substr(start, path.find('.', start) - start);
}

} // namespace

} // namespace fpmex::host::detail

namespace fpmex::host {

using namespace detail;

MexFunction loadDeliverable(const std::string& path)
{
    void* library = openLibrary(path);
    // 32-bit Windows MATLAB looks up the C entry under its decorated name.
#if defined(_WIN32) && !defined(_WIN64)
    void* symbol = findSymbol(library, "_mexFunction");
#else
    void* symbol = findSymbol(library, "mexFunction");
#endif
    if (symbol == nullptr) {
        closeLibrary(library);
        throw std::runtime_error(path + " has no mexFunction");
    }
    const auto entry = reinterpret_cast<MexFunction>(symbol);
    Library& loaded = host().libraries[entry];
    if (loaded.loads++ == 0) {
        loaded.handle = library;
        loaded.name = fileStem(path);
    } else {
        closeLibrary(library); // the system counted this load too; the host counts it instead
    }
    return entry;
}

CallResult unloadDeliverable(MexFunction fn)
{
    Host& h = host();
    if (h.inCall)
        throw std::logic_error("fpmex::host::unloadDeliverable while a call is in progress");
    const auto it = h.libraries.find(fn);
    if (it == h.libraries.end())
        throw std::invalid_argument("fpmex::host::unloadDeliverable of a function that no loaded library holds");
    CallResult result;
    if (--it->second.loads != 0)
        return result;
    if (it->second.exitFunction != nullptr)
        result = runExitFunction(it->second);
    const std::string refusal = closeLibrary(it->second.handle);
    if (!refusal.empty())
        result.faults.push_back("the library could not be closed: " + refusal);
    h.libraries.erase(it);
    return result;
}

CallResult call(MexFunction fn, int nlhs, std::span<const mxArray* const> inputs, const char* name)
{
    Host& h = host();
    CallResult result;
    if (h.inCall)
        throw std::logic_error("fpmex::host::call while a call is in progress");

    std::vector<std::uint64_t> before;
    for (const mxArray* input : inputs)
        before.push_back(checksum(input));
    const auto library = h.libraries.find(fn);
    beginScope(library == h.libraries.end() ? nullptr : &library->second, name);

    // Room for one output even when nlhs is 0, and spare slots behind the
    // requested ones that must stay untouched.
    constexpr std::size_t spare = 4;
    const std::size_t used = nlhs > 0 ? std::size_t(nlhs) : 1;
    std::vector<mxArray*> slots(used + spare, nullptr);
    std::vector<const mxArray*> arguments(inputs.begin(), inputs.end());
    const FpState fpBefore = readFpState();

    runGuarded(result, "the call",
               [&] { fn(nlhs, slots.data(), static_cast<int>(arguments.size()), arguments.data()); });

    checkFpState(fpBefore, "the call");
    for (std::size_t i = used; i < slots.size(); ++i)
        if (slots[i] != nullptr)
            fault("output slot " + std::to_string(i) + " beyond the requested outputs was written");
    slots.resize(used);
    checkGuards("after the call");
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (checksum(inputs[i]) != before[i])
            fault("input " + std::to_string(i + 1) + " was modified by the call");

    endScope(slots, !result.failed);
    if (!result.failed)
        for (mxArray* slot : slots)
            result.outputs.emplace_back(slot);
    finishScope(result);
    return result;
}

void setMallocOffset(std::size_t offset)
{
    if (offset != 0 && offset != 8)
        throw std::invalid_argument("mxMalloc keeps 8-byte alignment: offset 0 or 8");
    host().mallocOffset = offset;
}

void setInputOffset(std::size_t offset)
{
    if (offset > 15)
        throw std::invalid_argument("input offset must be below 16");
    host().inputOffset = offset;
}

std::size_t liveBlocks()
{
    return host().blocks.size();
}

} // namespace fpmex::host

using namespace fpmex::host::detail;

namespace {

// An error cannot end a call from another thread: unwinding that thread
// would never reach the call scope. The process stops with the message.
[[noreturn]] void abortStray(const char* function, const char* message)
{
    std::fprintf(stderr, "fpmex host: %s called from a thread other than the caller's: %s\n", function, message);
    std::abort();
}

} // namespace

extern "C" {

void mexErrMsgTxt(const char* message)
{
    if (strayCall(__func__))
        abortStray(__func__, message);
    raise(message);
}

void mexErrMsgIdAndTxt(const char*, const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (strayCall(__func__))
        abortStray(__func__, buffer);
    raise(buffer);
}

void mexWarnMsgTxt(const char* message)
{
    if (strayCall(__func__))
        return;
    if (host().inCall)
        host().warnings.emplace_back(message);
    else
        std::fprintf(stderr, "Warning: %s\n", message);
}

int mexPrintf(const char* format, ...)
{
    if (strayCall(__func__))
        return 0;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? std::size_t(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    if (host().inCall)
        host().printed += text;
    else
        std::fputs(text.c_str(), stdout);
    return length;
}

const char* mexFunctionName(void)
{
    if (strayCall(__func__))
        return nullptr;
    return host().functionName.c_str();
}

int mexAtExit(void (*exitFunction)(void))
{
    if (strayCall(__func__))
        return 1;
    Host& h = host();
    if (!h.inCall) {
        std::fputs("Warning: mexAtExit outside a call, where no library is running: nothing registered\n", stderr);
        return 1;
    }
    if (h.callLibrary == nullptr) {
        fault("mexAtExit during a call of a function that no loaded library holds");
        return 1;
    }
    h.callLibrary->exitFunction = exitFunction;
    return 0;
}
}
