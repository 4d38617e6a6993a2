#include "fill_ones.h"

#include "common/split_thresholds.h"
#include "common/worker_pool.h"

#include <cstdint>
#include <xmmintrin.h>

namespace fpmex {
namespace {

// Four copies of 1.0f (0x3F800000).
alignas(16) constexpr float fillConstant[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// Stores the first n (0 to 3) lanes of ones at p: a pair with one 64-bit
// store, then a single element with one 32-bit store.
inline void storeFew(float* p, std::size_t n, __m128 ones)
{
    if (n & 2) {
        _mm_storel_pi(reinterpret_cast<__m64*>(p), ones);
        p += 2;
    }
    if (n & 1)
        _mm_store_ss(p, ones);
}

void fillRun(float* buffer, std::size_t count)
{
    const __m128 ones = _mm_loadu_ps(fillConstant);
    float* run = buffer;
    std::size_t remaining = count;

    // Head: the elements below the first 16-byte boundary (a pair for an
    // 8-byte aligned buffer), so that the blocks can use aligned stores.
    const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(run) & 15;
    if (misalignment != 0) {
        std::size_t head = (16 - misalignment) / sizeof(float);
        if (head > remaining)
            head = remaining;
        storeFew(run, head, ones);
        run += head;
        remaining -= head;
    }

    // Top: the elements above the last whole block.
    const std::size_t blocks = remaining / 4;
    storeFew(run + 4 * blocks, remaining % 4, ones);

    // Blocks, highest first, bypassing the cache: the caller does not read
    // the ones back soon, and a large fill would only evict its data.
    for (std::size_t j = blocks; j > 0; --j)
        _mm_stream_ps(run + 4 * (j - 1), ones);
    // Streaming stores are weakly ordered: they must be visible before the
    // buffer is handed on, to the host or from a worker to the caller.
    _mm_sfence();
}

} // namespace

// A large buffer fills in chunks across the worker pool, each chunk a fill
// of its own.
void fillOnes(float* buffer, std::size_t count)
{
    splitWork(count, split::streamingElements,
              [&](std::size_t, std::size_t begin, std::size_t end) { fillRun(buffer + begin, end - begin); });
}

} // namespace fpmex
