# The Windows builds, driven from the Linux build with -DFPMEX_WINDOWS=ON.
# Both cross-build this same source tree with MinGW-w64:
#   build/windows32   the 32-bit MATLAB libraries, build/windows32/matlab/SET/NAME.dll
#   build/windows64   the embedded host, the deliverables (NAME.mexw64) and
#                     the tests, for 64-bit Windows
# The Linux build's CTest then checks the libraries as files and runs the
# 64-bit tests under Wine (tests/windows).
option(FPMEX_WINDOWS "Also cross-build and test the Windows libraries (MinGW-w64 and Wine)" OFF)
if(NOT FPMEX_WINDOWS OR WIN32)
  return()
endif()

foreach(tool i686-w64-mingw32-g++-win32 i686-w64-mingw32-dlltool i686-w64-mingw32-windres
             x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine)
  string(MAKE_C_IDENTIFIER ${tool} var)
  find_program(FPMEX_TOOL_${var} ${tool})
  if(NOT FPMEX_TOOL_${var})
    message(FATAL_ERROR "FPMEX_WINDOWS needs ${tool}; run scripts/install-deps as root")
  endif()
endforeach()

include(ExternalProject)
foreach(bits 32 64)
  if(bits EQUAL 32)
    set(toolchain ${PROJECT_SOURCE_DIR}/windows/toolchain-i686.cmake)
  else()
    set(toolchain ${PROJECT_SOURCE_DIR}/windows/toolchain-x86_64.cmake)
  endif()
  ExternalProject_Add(windows${bits}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/windows${bits}
    PREFIX ${PROJECT_BINARY_DIR}/windows-builds
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
endforeach()
