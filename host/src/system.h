// What the embedded host needs from the operating system: loading and
// closing a library and finding a symbol in it, the calling thread, the
// machine's memory, and where the running program lives. One implementation per system (system_posix.cpp,
// system_windows.cpp); the rest of the host is the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fpmex::host::detail {

// Loads the library at path; throws std::runtime_error with the system's
// reason when it cannot. Loading a loaded library again gives the same
// handle, and the system counts the loads.
void* openLibrary(const std::string& path);

// Gives back one load of the library; the last one unmaps it. Returns the
// system's reason when it refuses, else an empty string.
std::string closeLibrary(void* library);

// The address of an exported symbol, or null.
void* findSymbol(void* library, const char* name);

// The calling thread, never 0: the host tells the thread of the call in
// progress from any other.
using ThreadId = std::uintptr_t;
ThreadId currentThreadId();

// Physical memory in bytes, or 0 when the system does not say.
std::size_t physicalMemoryBytes();

} // namespace fpmex::host::detail
