// Win32's own primitives, so that both Windows builds (the 32-bit one has no
// C++ threads) carry no threads library.
#include "pool_threads.h"

#include <windows.h>

namespace fpmex::pool {
namespace {

SRWLOCK mutex = SRWLOCK_INIT;
CONDITION_VARIABLE work = CONDITION_VARIABLE_INIT;
CONDITION_VARIABLE idle = CONDITION_VARIABLE_INIT;

struct Worker {
    HANDLE thread;
    void (*run)(unsigned);
    unsigned index;
};

Worker workers[maxThreads - 1];

DWORD WINAPI workerMain(LPVOID argument)
{
    const Worker& worker = *static_cast<const Worker*>(argument);
    worker.run(worker.index);
    return 0;
}

} // namespace

void lock() { AcquireSRWLockExclusive(&mutex); }
void unlock() { ReleaseSRWLockExclusive(&mutex); }
void waitForWork() { SleepConditionVariableSRW(&work, &mutex, INFINITE, 0); }
void waitForIdle() { SleepConditionVariableSRW(&idle, &mutex, INFINITE, 0); }
void signalWork() { WakeAllConditionVariable(&work); }
void signalIdle() { WakeConditionVariable(&idle); }

// Windows delivers console interrupts on a thread of its own, so there is no
// mask to set.
bool startThread(unsigned index, void (*run)(unsigned))
{
    Worker& worker = workers[index];
    worker.run = run;
    worker.index = index;
    worker.thread = CreateThread(nullptr, 0, workerMain, &worker, 0, nullptr);
    return worker.thread != nullptr;
}

void joinThread(unsigned index)
{
    WaitForSingleObject(workers[index].thread, INFINITE);
    CloseHandle(workers[index].thread);
}

void atExit(void (*)()) {}

unsigned availableProcessors()
{
    const DWORD count = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return count > 0 ? static_cast<unsigned>(count) : 1;
}

} // namespace fpmex::pool
