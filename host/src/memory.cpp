// Host memory: every block carries guard zones before and after it, filled
// with a pattern that is checked after each call and when the block is
// released. Under AddressSanitizer the zones are also poisoned, so a read
// past an element buffer is reported where it happens.
#include "state.h"
#include "system.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// GCC announces AddressSanitizer with __SANITIZE_ADDRESS__, clang only
// through __has_feature.
#if !defined(__SANITIZE_ADDRESS__) && defined(__has_feature)
#if __has_feature(address_sanitizer)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define FPMEX_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define FPMEX_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define FPMEX_POISON(p, n) ((void)(p), (void)(n))
#define FPMEX_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace fpmex::host::detail {
namespace {

constexpr unsigned char guardPattern = 0xA5;
// Room before the user pointer: alignment slack (16), offset (up to 15) and
// the front guard zone.
constexpr std::size_t frontRoom = 16 + 16 + guardBytes;

// The host refuses requests beyond three quarters of the machine's memory,
// the way MATLAB reports out of memory instead of letting the system kill it.
std::size_t limitOverride = 0;

std::size_t memoryLimit()
{
    if (limitOverride != 0)
        return limitOverride;
    static const std::size_t limit = [] {
        const std::size_t bytes = physicalMemoryBytes();
        // 16 GiB when the system does not say, or all of a 32-bit address space.
        if (bytes == 0)
            return std::size_t(std::min<std::uint64_t>(std::uint64_t(1) << 34, SIZE_MAX));
        return bytes / 4 * 3;
    }();
    return limit;
}

unsigned char* frontGuard(void* user)
{
    return static_cast<unsigned char*>(user) - guardBytes;
}
unsigned char* backGuard(void* user, std::size_t bytes)
{
    return static_cast<unsigned char*>(user) + bytes;
}

bool guardsIntact(void* user, const Block& block)
{
    unsigned char* front = frontGuard(user);
    unsigned char* back = backGuard(user, block.bytes);
    FPMEX_UNPOISON(front, guardBytes);
    FPMEX_UNPOISON(back, guardBytes);
    bool intact = true;
    for (std::size_t i = 0; i < guardBytes; ++i)
        intact = intact && front[i] == guardPattern && back[i] == guardPattern;
    FPMEX_POISON(front, guardBytes);
    FPMEX_POISON(back, guardBytes);
    return intact;
}

} // namespace

std::size_t elementBytes(mxClassID classId)
{
    switch (classId) {
    case mxLOGICAL_CLASS:
    case mxINT8_CLASS:
    case mxUINT8_CLASS:
        return 1;
    case mxCHAR_CLASS:
        return sizeof(mxChar);
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
        return 2;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS:
        return 4;
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS:
        return 8;
    case mxCELL_CLASS:
    case mxSTRUCT_CLASS:
        return sizeof(mxArray*);
    default:
        return 0;
    }
}

void* allocateBlock(std::size_t bytes, bool zeroed)
{
    Host& h = host();
    if (bytes > memoryLimit() || h.liveBytes + bytes > memoryLimit())
        raise("Out of memory: the request for " + std::to_string(bytes) + " bytes exceeds the available memory.");
    const std::size_t offset = h.inCall ? h.mallocOffset : h.inputOffset;
    auto* raw = static_cast<unsigned char*>(std::malloc(frontRoom + bytes + guardBytes));
    if (raw == nullptr)
        raise("Out of memory: the request for " + std::to_string(bytes) + " bytes could not be met.");
    // malloc aligns to 8 bytes only on 32-bit Windows: the rounding up takes
    // the slack of frontRoom, so that the block and its guards stay inside.
    const auto base = reinterpret_cast<std::uintptr_t>(raw) + guardBytes;
    auto* user = reinterpret_cast<unsigned char*>((base + 15) / 16 * 16 + offset);
    std::memset(frontGuard(user), guardPattern, guardBytes);
    std::memset(backGuard(user, bytes), guardPattern, guardBytes);
    if (zeroed)
        std::memset(user, 0, bytes);
    FPMEX_POISON(frontGuard(user), guardBytes);
    FPMEX_POISON(backGuard(user, bytes), guardBytes);
    h.blocks.emplace(user, Block{raw, bytes, h.inCall ? BlockState::callTemporary : BlockState::persistent});
    h.liveBytes += bytes;
    if (h.inCall) {
        ++h.stats.blocks;
        h.stats.bytes += bytes;
    }
    return user;
}

void releaseBlock(void* pointer)
{
    Host& h = host();
    auto it = h.blocks.find(pointer);
    if (it == h.blocks.end()) {
        fault("a pointer that is not a live host block was released");
        return;
    }
    if (!guardsIntact(pointer, it->second))
        fault("guard zone overwritten around a block of " + std::to_string(it->second.bytes) + " bytes");
    FPMEX_UNPOISON(frontGuard(pointer), guardBytes);
    FPMEX_UNPOISON(backGuard(pointer, it->second.bytes), guardBytes);
    h.liveBytes -= it->second.bytes;
    std::free(it->second.raw);
    h.blocks.erase(it);
}

bool isBlock(const void* pointer)
{
    return host().blocks.count(const_cast<void*>(pointer)) != 0;
}

void adoptBlock(void* pointer)
{
    auto it = host().blocks.find(pointer);
    if (it == host().blocks.end()) {
        fault("a buffer that does not come from mxMalloc was attached to an array");
        return;
    }
    it->second.state = BlockState::ownedByArray;
}

void disownBlock(void* pointer)
{
    auto it = host().blocks.find(pointer);
    if (it != host().blocks.end())
        it->second.state = host().inCall ? BlockState::callTemporary : BlockState::persistent;
}

void checkGuards(const char* when)
{
    for (auto& [user, block] : host().blocks)
        if (!guardsIntact(user, block))
            fault(std::string("guard zone overwritten around a block of ") + std::to_string(block.bytes) +
                  " bytes (" + when + ")");
}

} // namespace fpmex::host::detail

using namespace fpmex::host::detail;

extern "C" {

void* mxMalloc(size_t bytes)
{
    if (strayCall(__func__))
        return nullptr;
    return allocateBlock(bytes, false);
}

void* mxCalloc(size_t count, size_t size)
{
    if (strayCall(__func__))
        return nullptr;
    if (size != 0 && count > SIZE_MAX / size)
        raise("Out of memory: the requested number of bytes does not fit in the address space.");
    return allocateBlock(count * size, true);
}

void* mxRealloc(void* block, size_t bytes)
{
    if (strayCall(__func__))
        return nullptr;
    if (block == nullptr)
        return mxMalloc(bytes);
    auto it = host().blocks.find(block);
    if (it == host().blocks.end()) {
        fault("mxRealloc of a pointer that is not a live host block");
        return nullptr;
    }
    const std::size_t old = it->second.bytes;
    const BlockState state = it->second.state;
    void* fresh = allocateBlock(bytes, false);
    std::memcpy(fresh, block, old < bytes ? old : bytes);
    host().blocks.at(fresh).state = state;
    releaseBlock(block);
    return fresh;
}

void mxFree(void* block)
{
    if (strayCall(__func__))
        return;
    if (block == nullptr)
        return;
    auto it = host().blocks.find(block);
    if (it != host().blocks.end() && it->second.state == BlockState::ownedByArray) {
        fault("mxFree of a buffer that an array owns");
        return;
    }
    releaseBlock(block);
}
}

namespace fpmex::host {

void setMemoryLimit(std::size_t bytes)
{
    detail::limitOverride = bytes;
}

} // namespace fpmex::host
