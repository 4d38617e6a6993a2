# Windows libraries (cross-built with MinGW-w64): the version resource and
# string table of every deliverable, its one export, static runtimes, and
# for the 32-bit MATLAB build the import libraries of libmx.dll and
# libmex.dll made from our own lists of the functions we call.
enable_language(RC)

# No runtime DLL of the compiler's anywhere: a MEX library must load with
# only the system's DLLs and the host's beside it, and the test programs run
# under Wine with nothing installed.
if(NOT FPMEX_WINDOWS32_BUILD)
  add_link_options(-static-libgcc -static-libstdc++ -static)
else()
  # Except in the 32-bit host: it ends a call by throwing through the MATLAB
  # library's frames, and i686 GCC unwinds with DWARF tables that each
  # module registers with the libgcc it finds, the shared libgcc_s_dw2-1.dll
  # when that is loaded already, else its own static copy, which no other
  # module's unwinder sees. So the host and the programs use the shared
  # libgcc, beside them in bin, and a MATLAB library loaded later registers
  # its frames there too, its own static runtime untouched.
  add_link_options(-shared-libgcc -static-libstdc++)
  foreach(dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
    endif()
    file(COPY ${path} DESTINATION ${FPMEX_BUILD_ROOT}/bin)
  endforeach()
endif()

# Programs beside the host DLLs they load (build/bin), as Windows finds DLLs;
# the 32-bit host build puts them into the MATLAB libraries' build.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${FPMEX_BUILD_ROOT}/bin)

# The fixed versions of each set; prod carries a file version of its own.
set(FPMEX_RC_single_FILE_VERSION 1.0.0.4)
set(FPMEX_RC_single_PRODUCT_VERSION 1.0.0.2)
set(FPMEX_RC_single_SUBLANGUAGE 0x01)
set(FPMEX_RC_double_FILE_VERSION 1.0.4.6)
set(FPMEX_RC_double_PRODUCT_VERSION 1.0.4.3)
set(FPMEX_RC_double_SUBLANGUAGE 0x02)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(FPMEX_WINDOWS_EXPORTS ${PROJECT_SOURCE_DIR}/windows/export-i686.def)
else()
  set(FPMEX_WINDOWS_EXPORTS ${PROJECT_SOURCE_DIR}/windows/export-x86_64.def)
endif()

# fpmex_windows_library(TARGET target SET set NAME name DESCRIPTION text
#                       [FILE_VERSION a.b.c.d] FILE_NAME file)
function(fpmex_windows_library)
  cmake_parse_arguments(W "" "TARGET;SET;NAME;DESCRIPTION;FILE_VERSION;FILE_NAME" "" ${ARGN})
  set(FPMEX_RC_NAME ${W_NAME})
  set(FPMEX_RC_SET ${W_SET})
  set(FPMEX_RC_FILE_NAME ${W_FILE_NAME})
  set(FPMEX_RC_DESCRIPTION ${W_DESCRIPTION})
  set(FPMEX_RC_FILE_VERSION ${FPMEX_RC_${W_SET}_FILE_VERSION})
  if(W_FILE_VERSION)
    set(FPMEX_RC_FILE_VERSION ${W_FILE_VERSION})
  endif()
  set(FPMEX_RC_PRODUCT_VERSION ${FPMEX_RC_${W_SET}_PRODUCT_VERSION})
  set(FPMEX_RC_SUBLANGUAGE ${FPMEX_RC_${W_SET}_SUBLANGUAGE})
  string(REPLACE "." "," FPMEX_RC_FILE_VERSION_COMMAS ${FPMEX_RC_FILE_VERSION})
  string(REPLACE "." "," FPMEX_RC_PRODUCT_VERSION_COMMAS ${FPMEX_RC_PRODUCT_VERSION})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${W_TARGET}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/windows/version.rc.in ${rc} @ONLY)
  target_sources(${W_TARGET} PRIVATE ${rc} ${FPMEX_WINDOWS_EXPORTS})
endfunction()

# Import libraries for MATLAB's own (32-bit) libmx.dll and libmex.dll.
if(FPMEX_MATLAB_LIBRARIES)
  find_program(FPMEX_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
  foreach(lib libmx libmex)
    set(implib ${PROJECT_BINARY_DIR}/import/${lib}.dll.a)
    add_custom_command(OUTPUT ${implib}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/import
                       COMMAND ${FPMEX_DLLTOOL} -m i386 -d ${PROJECT_SOURCE_DIR}/windows/${lib}.def -l ${implib}
                       DEPENDS ${PROJECT_SOURCE_DIR}/windows/${lib}.def
                       COMMENT "Import library for ${lib}.dll")
    add_custom_target(fpmex_${lib}_import DEPENDS ${implib})
    add_library(fpmex_${lib} UNKNOWN IMPORTED)
    set_target_properties(fpmex_${lib} PROPERTIES IMPORTED_LOCATION ${implib})
    add_dependencies(fpmex_${lib} fpmex_${lib}_import)
  endforeach()
endif()
