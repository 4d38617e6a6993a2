# The 32-bit embedded host, runner and tests (windows/CrossBuilds.cmake):
# the same target and code generation as the MATLAB libraries, but the POSIX
# thread model, since GoogleTest needs std::mutex and the variant tests
# std::thread, which GCC 12's win32 thread model lacks.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
# Test programs run under 32-bit Wine (Debian wine32:i386), as the 64-bit
# ones do under wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine)
