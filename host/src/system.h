// What the embedded host needs from the operating system: loading a library
// and finding a symbol in it, the machine's memory, and where the running
// program lives. One implementation per system (system_posix.cpp,
// system_windows.cpp); the rest of the host is the same everywhere.
#pragma once

#include <cstddef>
#include <string>

namespace fpmex::host::detail {

// Loads the library at path for the life of the process; throws
// std::runtime_error with the system's reason when it cannot.
void* openLibrary(const std::string& path);

// The address of an exported symbol, or null.
void* findSymbol(void* library, const char* name);

// Physical memory in bytes, or 0 when the system does not say.
std::size_t physicalMemoryBytes();

} // namespace fpmex::host::detail
