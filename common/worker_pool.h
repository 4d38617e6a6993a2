// Large kernel runs split across threads. The calling thread and the
// library's pool of workers claim chunks of the elements in turn, and the
// call returns when every chunk is done, so no work outlives it. Each
// chunk runs the same kernel on its own elements; the kernels' results are
// element by element, so the bits do not depend on the thread count.
//
// The workers are started at the first split and then wait for the next
// one; stopWorkers ends them (the deliverables register it with the host,
// which calls it before it unloads the library). A split that finds the
// pool busy (another thread of the host, or a chunk splitting again) runs
// all of its chunks on its own thread.
#pragma once

#include <cstddef>
#include <type_traits>

namespace fpmex {

// Threads a split uses, the caller's included: FPMEX_NUM_THREADS (a whole
// number from 1 to 64; anything else is ignored) when set, else the
// processors the process may run on, at most 64. Read once.
unsigned threadCount();

// For tests and benchmarks: the thread count of the splits from now on (1 to
// 64; 0 goes back to the default). Workers beyond it stay idle.
void setThreadCount(unsigned count);

// Ends and joins every worker. Call it between splits only; the next split
// starts them again.
void stopWorkers();

// The most chunks a split makes.
inline constexpr std::size_t maxChunks = 512;

// Element chunks start on multiples of this many elements: 256 bytes of
// single elements, so that neighbouring chunks never write to one cache
// line, and complex runs split in whole pairs.
inline constexpr std::size_t chunkGranule = 64;

using ChunkTask = void (*)(void* context, std::size_t chunk, std::size_t begin, std::size_t end);

// Splits [0, count) into at most maxChunks chunks, their boundaries on
// multiples of granule, and runs task(context, chunk, begin, end) for each
// on the pool's threads. Returns the number of chunks (1 when the elements
// are too few to split, the thread count is 1 or the pool is busy: the one
// chunk is then [0, count) on the calling thread).
std::size_t runChunks(std::size_t count, std::size_t granule, ChunkTask task, void* context);

// runChunks with a callable body(chunk, begin, end) when the work is worth
// splitting; otherwise body(0, 0, count) on the calling thread. Returns the
// number of chunks.
template <class Body>
std::size_t splitWhen(bool worthSplitting, std::size_t count, std::size_t granule, Body&& body)
{
    if (!worthSplitting || threadCount() == 1) {
        body(std::size_t{0}, std::size_t{0}, count);
        return 1;
    }
    using Callable = std::remove_reference_t<Body>;
    return runChunks(
        count, granule,
        [](void* context, std::size_t chunk, std::size_t begin, std::size_t end) {
            (*static_cast<Callable*>(context))(chunk, begin, end);
        },
        &body);
}

// Elements split from `threshold` of them on, on chunkGranule boundaries.
template <class Body>
std::size_t splitWork(std::size_t count, std::size_t threshold, Body&& body)
{
    return splitWhen(count >= threshold, count, chunkGranule, body);
}

} // namespace fpmex
