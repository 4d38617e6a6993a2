# What both MinGW-w64 toolchains share; the including file sets
# FPMEX_MINGW_TRIPLE (and its compilers, whose thread model differs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_RC_COMPILER ${FPMEX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FPMEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# GCC may keep a 32- or 64-byte vector on a stack that Windows aligns to 16
# bytes only (GCC bug 54412); the assembler then turns its aligned moves into
# unaligned ones, which cost the same on aligned data.
string(APPEND CMAKE_C_FLAGS_INIT " -Wa,-muse-unaligned-vector-move")
string(APPEND CMAKE_CXX_FLAGS_INIT " -Wa,-muse-unaligned-vector-move")
