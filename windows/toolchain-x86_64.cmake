# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
set(FPMEX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# The POSIX thread model: GoogleTest needs std::mutex, which GCC 12's win32
# thread model lacks. Its threads library is linked in statically.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
# Test programs run under Wine (Debian wine64), quietly: no debug channels,
# and no offer to install Wine's .NET and HTML engines into a new prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine)
