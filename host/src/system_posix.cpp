// Library loading and machine facts on Linux and other POSIX systems.
#include "system.h"

#include <dlfcn.h>
#include <limits.h>
#include <pthread.h>
#include <stdexcept>
#include <unistd.h>

#include "fpmex_host.h"

namespace fpmex::host::detail {

void* openLibrary(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        throw std::runtime_error("cannot load " + path + ": " + dlerror());
    return handle;
}

std::string closeLibrary(void* library)
{
    if (dlclose(library) == 0)
        return {};
    const char* reason = dlerror();
    return reason != nullptr ? reason : "dlclose failed";
}

void* findSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}

// Linux's pthread_t is the thread's control block address: an integer that
// is never 0.
ThreadId currentThreadId()
{
    return ThreadId(pthread_self());
}

std::size_t physicalMemoryBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return std::size_t(pages) * std::size_t(pageSize);
}

} // namespace fpmex::host::detail

namespace fpmex::host {

std::string executablePath()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    return std::string(path, std::size_t(length));
}

} // namespace fpmex::host
