# The 32-bit embedded host under the names that MATLAB's libraries import:
# libmx.dll and libmex.dll export exactly the functions of windows/libmx.def
# and windows/libmex.def, each forwarded to the one host, fpmexhost.dll, so
# that the MATLAB libraries, the runner and the tests share its state. Both
# export plain C functions, as the import libraries of the MATLAB build
# declare them (cdecl, undecorated names).
foreach(lib libmx libmex)
  set(list ${PROJECT_SOURCE_DIR}/windows/${lib}.def)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
  file(STRINGS ${list} lines)
  set(forwards "")
  set(exports OFF)
  foreach(line IN LISTS lines)
    if(line MATCHES "^EXPORTS")
      set(exports ON)
    elseif(exports AND line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]*$")
      string(APPEND forwards "    ${CMAKE_MATCH_1} = fpmexhost.${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  if(forwards STREQUAL "")
    message(FATAL_ERROR "${list} lists no exports")
  endif()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${lib}-forwards.def)
  file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${lib}.dll\nEXPORTS\n${forwards}")
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${lib}-forwards.c)
  file(CONFIGURE OUTPUT ${source} CONTENT "/* ${lib}.dll holds no code: its exports are forwarders. */\ntypedef int fpmex_forwards_only;\n")
  add_library(${lib} SHARED ${source} ${def})
  set_target_properties(${lib} PROPERTIES PREFIX "" OUTPUT_NAME ${lib})
endforeach()
