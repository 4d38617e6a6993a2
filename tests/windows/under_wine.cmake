# cmake -DBITS=32|64 -DNOT_RUN=file "-DCOMMAND=program;arguments..." -P under_wine.cmake
# Runs a Windows suite's command. 32-bit programs need 32-bit Wine (Debian's
# wine32:i386, whose loader is /usr/lib/wine/wine); where it is missing the
# suite is reported as not run, never as passed: CTest skips the test on the
# line printed here, and NOT_RUN keeps the reason for scripts/test.
cmake_minimum_required(VERSION 3.25)
set(loader /usr/lib/wine/wine)
if(BITS EQUAL 32 AND NOT EXISTS ${loader})
  set(reason "32-bit Wine is not installed (no ${loader}; scripts/install-deps installs wine32:i386)")
  file(WRITE ${NOT_RUN} "${reason}\n")
  message("NOT RUN: ${reason}")
  return()
endif()
file(REMOVE ${NOT_RUN})
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${COMMAND}: ${status}")
endif()
