// The call scope: what MATLAB does around a MEX call, plus the checks that
// make a misbehaving deliverable fail loudly in tests.
#include "state.h"
#include "system.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <xmmintrin.h>

namespace fpmex::host::detail {

Host& host()
{
    static Host instance;
    return instance;
}

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
// contents, so that any write into an input is seen.
void hashBytes(std::uint64_t& hash, const void* data, std::size_t bytes)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < bytes; ++i)
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
}

} // namespace

} // namespace fpmex::host::detail

namespace fpmex::host {

using namespace detail;

MexFunction loadDeliverable(const std::string& path)
{
    // 32-bit Windows MATLAB looks up the C entry under its decorated name.
#if defined(_WIN32) && !defined(_WIN64)
    void* symbol = findSymbol(openLibrary(path), "_mexFunction");
#else
    void* symbol = findSymbol(openLibrary(path), "mexFunction");
#endif
    if (symbol == nullptr)
        throw std::runtime_error(path + " has no mexFunction");
    return reinterpret_cast<MexFunction>(symbol);
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
    h.faults.clear();
    h.printed.clear();
    h.warnings.clear();
    h.stats = {};
    h.functionName = name;
    h.inCall = true;

    // Room for one output even when nlhs is 0, and spare slots behind the
    // requested ones that must stay untouched.
    constexpr std::size_t spare = 4;
    const std::size_t used = nlhs > 0 ? std::size_t(nlhs) : 1;
    std::vector<mxArray*> slots(used + spare, nullptr);
    std::vector<const mxArray*> arguments(inputs.begin(), inputs.end());
    const FpState fpBefore = readFpState();

    try {
        fn(nlhs, slots.data(), static_cast<int>(arguments.size()), arguments.data());
    } catch (const CallError& error) {
        result.failed = true;
        result.error = error.what();
    } catch (const std::bad_alloc&) {
        result.failed = true;
        result.error = "Out of memory.";
    }

    const FpState fpAfter = readFpState();
    if (fpAfter.control != fpBefore.control)
        fault("x87 control word changed by the call");
    if (fpAfter.tags != fpBefore.tags)
        fault("x87 register stack not empty after the call");
    if (fpAfter.mxcsrControl != fpBefore.mxcsrControl)
        fault("MXCSR control bits changed by the call");
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
    result.printed = std::move(h.printed);
    result.warnings = std::move(h.warnings);
    result.stats = h.stats;
    result.faults = std::move(h.faults);
    h.faults.clear();
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

extern "C" {

void mexErrMsgTxt(const char* message)
{
    raise(message);
}

void mexErrMsgIdAndTxt(const char*, const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    raise(buffer);
}

void mexWarnMsgTxt(const char* message)
{
    if (host().inCall)
        host().warnings.emplace_back(message);
    else
        std::fprintf(stderr, "Warning: %s\n", message);
}

int mexPrintf(const char* format, ...)
{
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
    return host().functionName.c_str();
}
}
