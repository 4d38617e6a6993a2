// Library loading and machine facts on Windows (and under Wine).
#include "system.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <windows.h>

#include "fpmex_host.h"

namespace fpmex::host::detail {

void* openLibrary(const std::string& path)
{
    // Look for the library's own imports (the host DLL) beside it first, the
    // way MATLAB loads a MEX file from its folder.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr,
                                    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (module == nullptr)
        throw std::runtime_error("cannot load " + path + ": Windows error " + std::to_string(GetLastError()));
    return reinterpret_cast<void*>(module);
}

std::string closeLibrary(void* library)
{
    if (FreeLibrary(static_cast<HMODULE>(library)))
        return {};
    return "Windows error " + std::to_string(GetLastError());
}

void* findSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

// No thread has the identifier 0.
ThreadId currentThreadId()
{
    return GetCurrentThreadId();
}

std::size_t physicalMemoryBytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    // A 32-bit process addresses 4 GiB at most: more must not wrap to less.
    return std::size_t(std::min<ULONGLONG>(status.ullTotalPhys, SIZE_MAX));
}

} // namespace fpmex::host::detail

namespace fpmex::host {

std::string executablePath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string result(path, length);
    for (char& c : result)
        if (c == '\\')
            c = '/';
    return result;
}

} // namespace fpmex::host
