# The Windows builds, driven from the Linux build with -DFPMEX_WINDOWS=ON.
# All cross-build this same source tree with MinGW-w64:
#   build/windows32        the 32-bit MATLAB libraries,
#                          build/windows32/matlab/fpmex/@SET/NAME.dll
#   build/windows32-host   the 32-bit embedded host as libmx.dll and
#                          libmex.dll, the runner and the tests, which call
#                          those very libraries; its programs and DLLs go to
#                          build/windows32/bin
#   build/windows64        the embedded host, the deliverables (NAME.mexw64)
#                          and the tests, for 64-bit Windows
# The Linux build's CTest then checks the libraries as files and runs both
# test suites under Wine (tests/windows).
option(FPMEX_WINDOWS "Also cross-build and test the Windows libraries (MinGW-w64 and Wine)" OFF)
if(NOT FPMEX_WINDOWS OR WIN32)
  return()
endif()

foreach(tool i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++-posix i686-w64-mingw32-dlltool i686-w64-mingw32-windres
             x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine)
  string(MAKE_C_IDENTIFIER ${tool} var)
  find_program(FPMEX_TOOL_${var} ${tool})
  if(NOT FPMEX_TOOL_${var})
    message(FATAL_ERROR "FPMEX_WINDOWS needs ${tool}; run scripts/install-deps as root")
  endif()
endforeach()

include(ExternalProject)
# fpmex_windows_build(NAME toolchain [DEPENDS project] [cmake -D arguments...])
function(fpmex_windows_build name toolchain)
  cmake_parse_arguments(B "" "DEPENDS" "" ${ARGN})
  set(depends "")
  if(B_DEPENDS)
    set(depends DEPENDS ${B_DEPENDS})
  endif()
  ExternalProject_Add(${name}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/${name}
    PREFIX ${PROJECT_BINARY_DIR}/windows-builds
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/windows/${toolchain}
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} ${B_UNPARSED_ARGUMENTS}
    ${depends}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
endfunction()

fpmex_windows_build(windows32 toolchain-i686.cmake)
fpmex_windows_build(windows32-host toolchain-i686-posix.cmake DEPENDS windows32
                    -DFPMEX_WINDOWS32_BUILD=${PROJECT_BINARY_DIR}/windows32)
fpmex_windows_build(windows64 toolchain-x86_64.cmake)
