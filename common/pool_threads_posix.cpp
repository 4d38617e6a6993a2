#include "pool_threads.h"

#include <pthread.h>
#include <sched.h>
#include <signal.h>

namespace fpmex::pool {
namespace {

pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t work = PTHREAD_COND_INITIALIZER;
pthread_cond_t idle = PTHREAD_COND_INITIALIZER;

struct Worker {
    pthread_t thread;
    void (*run)(unsigned);
    unsigned index;
};

Worker workers[maxThreads - 1];

void* workerMain(void* argument)
{
    const Worker& worker = *static_cast<const Worker*>(argument);
    worker.run(worker.index);
    return nullptr;
}

} // namespace

void lock() { pthread_mutex_lock(&mutex); }
void unlock() { pthread_mutex_unlock(&mutex); }
void waitForWork() { pthread_cond_wait(&work, &mutex); }
void waitForIdle() { pthread_cond_wait(&idle, &mutex); }
void signalWork() { pthread_cond_broadcast(&work); }
void signalIdle() { pthread_cond_signal(&idle); }

bool startThread(unsigned index, void (*run)(unsigned))
{
    Worker& worker = workers[index];
    worker.run = run;
    worker.index = index;
    // The new thread inherits the creating thread's mask.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const bool started = pthread_create(&worker.thread, nullptr, workerMain, &worker) == 0;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return started;
}

void joinThread(unsigned index)
{
    pthread_join(workers[index].thread, nullptr);
}

namespace {

// A static's destructor is registered with the library's own handle, so it
// runs when the library is closed as well as at exit (a plain atexit from a
// shared library does not always follow the library: ThreadSanitizer's
// runs it after the library is gone).
struct ExitHook {
    void (*stop)() = nullptr;
    ~ExitHook()
    {
        if (stop != nullptr)
            stop();
    }
};

ExitHook exitHook;

} // namespace

void atExit(void (*stop)())
{
    exitHook.stop = stop;
}

unsigned availableProcessors()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    const int count = CPU_COUNT(&set);
    return count > 0 ? static_cast<unsigned>(count) : 1;
}

} // namespace fpmex::pool
