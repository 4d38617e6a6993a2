# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
set(FPMEX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
set(CMAKE_SYSTEM_PROCESSOR x86)
# The win32 thread model: the libraries use no threads, and so carry no
# threads library.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
# The kernels use SSE2. A 32-bit Windows caller keeps the stack only 4-byte
# aligned, so every function that spills an SSE register realigns its own.
# C++ float and double arithmetic goes to SSE as on x86-64: i686 GCC would
# otherwise compute it on the x87 unit with excess precision, and a value
# could then depend on where the compiler spilled it. The x87 kernels are
# explicit x87 steps, which this does not touch.
string(APPEND CMAKE_C_FLAGS_INIT " -msse2 -mfpmath=sse -mstackrealign")
string(APPEND CMAKE_CXX_FLAGS_INIT " -msse2 -mfpmath=sse -mstackrealign")
