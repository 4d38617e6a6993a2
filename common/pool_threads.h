// What the worker pool needs from the operating system: one lock, two
// signals that wait under it, threads, and the number of processors the
// process may use. One implementation per system (pool_threads_posix.cpp,
// pool_threads_windows.cpp). The objects are statics of the library that
// holds the pool, constant-initialised and never destroyed, so that no
// destructor runs while a worker might still use them.
#pragma once

namespace fpmex::pool {

// The most threads a split may use, the caller's included.
inline constexpr unsigned maxThreads = 64;

void lock();
void unlock();

// Waits on one of the two signals; the lock is held on entry and on return.
// Spurious wake-ups are allowed: callers wait in a loop.
void waitForWork();
void waitForIdle();
// Wakes every thread waiting for work, or the one caller waiting for idle.
void signalWork();
void signalIdle();

// Starts worker `index` (below maxThreads - 1) running run(index) with every
// signal blocked, so that the host's handlers (Ctrl-C) keep running on its
// own threads. Returns false when the system refuses.
bool startThread(unsigned index, void (*run)(unsigned));
// Waits until worker `index` has returned, and releases it.
void joinThread(unsigned index);

// Runs stop when the process exits, or when the library is unloaded
// without the host's exit function, while no split is in progress: on
// Linux the workers are joined then, so that nothing looks at threads whose
// code is going away (LeakSanitizer's check at exit inspects every thread).
// Windows ends the other threads itself before it detaches a library at
// exit, and joining there, under the loader lock, could not end: there it
// does nothing.
void atExit(void (*stop)());

// The processors the process may run on (its affinity mask on Linux, the
// active processors on Windows); at least 1.
unsigned availableProcessors();

} // namespace fpmex::pool
