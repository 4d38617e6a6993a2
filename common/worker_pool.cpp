#include "worker_pool.h"

#include "pool_threads.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace fpmex {
namespace {

struct Job {
    ChunkTask task;
    void* context;
    std::size_t count;
    std::size_t chunkLength;
    std::size_t chunks;
    unsigned workers; // workers below this index join
    std::atomic<std::size_t> next{0};
};

// The pool, guarded by the lock except where atomic. Constant-initialised
// and trivially destructible: nothing is torn down at process exit while a
// worker may still be waiting.
Job* job = nullptr;              // the split in progress, null between splits
std::uint64_t generation = 0;    // splits published so far
unsigned started = 0;            // workers running
unsigned sleeping = 0;           // workers waiting on the work signal
bool callerWaiting = false;      // the caller waits on the idle signal
std::atomic<std::uint64_t> published{0}; // generation, for workers spinning without the lock
std::atomic<unsigned> active{0};         // workers inside the split in progress
std::atomic<bool> stopping{false};
std::atomic<bool> busy{false};           // a split is in progress
std::atomic<unsigned> chosenCount{0};    // setThreadCount's, 0 for the default

// A worker that has just finished a chunk, and a caller whose workers are
// finishing theirs, poll for a while before they sleep: a wake-up through
// the system costs tens of microseconds, as much as a small split saves
// (on a virtual machine it can stall the caller's processor until the
// woken worker is done), and calls that follow each other, as in a loop of
// the interpreter, then find the workers awake. About 100 microseconds of
// PAUSE at 25 ns each; longer where PAUSE takes longer.
constexpr int spinRounds = 2000;

inline void pause() { __builtin_ia32_pause(); }

void runClaimed(Job& split)
{
    for (;;) {
        const std::size_t chunk = split.next.fetch_add(1, std::memory_order_relaxed);
        if (chunk >= split.chunks)
            return;
        const std::size_t begin = chunk * split.chunkLength;
        const std::size_t end = std::min(split.count, begin + split.chunkLength);
        split.task(split.context, chunk, begin, end);
    }
}

// True when a split newer than `seen`, or the stop, was published.
bool spinForWork(std::uint64_t seen)
{
    for (int round = 0; round < spinRounds; ++round) {
        if (published.load(std::memory_order_acquire) != seen || stopping.load(std::memory_order_acquire))
            return true;
        pause();
    }
    return false;
}

void workerLoop(unsigned index)
{
    std::uint64_t seen = 0;
    pool::lock();
    for (;;) {
        if (stopping.load(std::memory_order_relaxed))
            break;
        if (job != nullptr && generation != seen && index < job->workers) {
            seen = generation;
            Job& split = *job;
            active.fetch_add(1, std::memory_order_relaxed);
            pool::unlock();
            runClaimed(split);
            pool::lock();
            // Release: the caller's acquire load of `active` sees every
            // result this worker stored.
            if (active.fetch_sub(1, std::memory_order_release) == 1 && callerWaiting)
                pool::signalIdle();
            continue;
        }
        seen = generation; // a split missed while spinning is over
        pool::unlock();
        const bool fresh = spinForWork(seen);
        pool::lock();
        if (!fresh && generation == seen && !stopping.load(std::memory_order_relaxed)) {
            ++sleeping;
            pool::waitForWork();
            --sleeping;
        }
    }
    pool::unlock();
}

// Under the lock.
void startWorkers(unsigned wanted)
{
    static const bool registered = (pool::atExit(stopWorkers), true);
    (void)registered;
    while (started < wanted && pool::startThread(started, workerLoop))
        ++started;
}

void waitForWorkers()
{
    for (int round = 0; round < spinRounds && active.load(std::memory_order_acquire) != 0; ++round)
        pause();
    if (active.load(std::memory_order_acquire) == 0)
        return;
    pool::lock();
    while (active.load(std::memory_order_acquire) != 0) {
        callerWaiting = true;
        pool::waitForIdle();
    }
    callerWaiting = false;
    pool::unlock();
}

unsigned defaultCount()
{
    return std::min(pool::availableProcessors(), pool::maxThreads);
}

unsigned environmentCount()
{
    // Digits only: strtoul alone would take a sign or leading blanks.
    const char* text = std::getenv("FPMEX_NUM_THREADS");
    if (text == nullptr || text[0] < '0' || text[0] > '9')
        return defaultCount();
    char* end = nullptr;
    const unsigned long count = std::strtoul(text, &end, 10);
    if (*end != '\0' || count < 1 || count > pool::maxThreads)
        return defaultCount();
    return static_cast<unsigned>(count);
}

} // namespace

unsigned threadCount()
{
    static const unsigned fromEnvironment = environmentCount();
    const unsigned chosen = chosenCount.load(std::memory_order_relaxed);
    return chosen != 0 ? chosen : fromEnvironment;
}

void setThreadCount(unsigned count)
{
    chosenCount.store(std::min(count, pool::maxThreads), std::memory_order_relaxed);
}

void stopWorkers()
{
    pool::lock();
    const unsigned running = started;
    stopping.store(true, std::memory_order_release);
    pool::signalWork();
    pool::unlock();
    for (unsigned index = 0; index < running; ++index)
        pool::joinThread(index);
    pool::lock();
    started = 0;
    stopping.store(false, std::memory_order_relaxed);
    pool::unlock();
}

std::size_t runChunks(std::size_t count, std::size_t granule, ChunkTask task, void* context)
{
    const unsigned threads = threadCount();
    // Several chunks per thread: a worker that wakes late, or shares its
    // core, takes fewer of them instead of holding up the call.
    const std::size_t wanted = std::min<std::size_t>(maxChunks, std::size_t{threads} * 8);
    const std::size_t perChunk = (count + wanted - 1) / wanted;
    const std::size_t chunkLength = (perChunk + granule - 1) / granule * granule;
    const std::size_t chunks = (count + chunkLength - 1) / chunkLength;
    if (threads == 1 || chunks < 2 || busy.exchange(true, std::memory_order_acquire)) {
        task(context, 0, 0, count);
        return 1;
    }
    Job split{task, context, count, chunkLength, chunks, threads - 1};
    pool::lock();
    startWorkers(threads - 1);
    job = &split;
    ++generation;
    published.store(generation, std::memory_order_release);
    // Signalled after the lock is released, so that a woken worker does not
    // wait for it. A worker that is not asleep yet sees the new generation
    // under the lock before it sleeps.
    const bool wake = sleeping > 0;
    pool::unlock();
    if (wake)
        pool::signalWork();

    runClaimed(split);

    // No worker joins after this; those inside finish their chunks.
    pool::lock();
    job = nullptr;
    pool::unlock();
    waitForWorkers();
    busy.store(false, std::memory_order_release);
    return chunks;
}

} // namespace fpmex
