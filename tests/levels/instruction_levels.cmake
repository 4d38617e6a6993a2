# Every instruction of a level above SSE2 in a deliverable lies in that
# level's own code: a function that uses AVX registers (ymm) belongs to the
# namespace fpmex::avx2 or fpmex::avx512, one that uses AVX-512 registers
# (zmm, mask registers) to fpmex::avx512. Anything else would run on a
# processor without those instructions, for example a helper that one level's
# file compiled for its level and the linker then kept for all callers.
#   cmake -DOBJDUMP=... -DLIBRARIES=a.so;b.so -P instruction_levels.cmake
set(failures "")
foreach(library IN LISTS LIBRARIES)
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn -C ${library}
                  OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/disassembly.txt RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${library}")
  endif()
  file(STRINGS ${CMAKE_CURRENT_BINARY_DIR}/disassembly.txt lines REGEX "^[0-9a-f]+ <.*>:$|%[yz]mm|%k[0-7]")
  set(function "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]+ <(.*)>:$")
      set(function "${CMAKE_MATCH_1}")
    elseif(line MATCHES "%zmm|%k[0-7]")
      if(NOT function MATCHES "fpmex::avx512::")
        list(APPEND failures "${library}: AVX-512 in ${function}")
      endif()
    elseif(NOT function MATCHES "fpmex::avx2::|fpmex::avx512::")
      list(APPEND failures "${library}: AVX in ${function}")
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES failures)
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "no instruction above SSE2 outside its level's code")
