# fpmex_add_deliverable(SET single|double NAME name DESCRIPTION text
#                       SOURCES file... [KERNELS library...] [FILE_VERSION a.b.c.d])
#
# Builds one deliverable from its own sources, its area's kernel libraries
# and common/, once per host:
#   build/host/SET/NAME.so                the embedded host (links libfpmexhost);
#                                         NAME.mexw64 in the 64-bit Windows build
#   build/octave/SET/NAME.mex             GNU Octave's MEX interface, the flat
#                                         folders the tests call directly
#   build/octave/fpmex/@SET/NAME.oct      the class method for Octave, on the
#                                         native Octave host (octave/)
#   build/matlab/fpmex/@SET/NAME.dll      the class method for MATLAB, in the
#                                         32-bit Windows build only (which the
#                                         32-bit host build tests)
# The Octave files need FPMEX_OCTAVE. Only the entry is exported (mexFunction;
# in a .oct file, G followed by NAME). Sources see FPMEX_SET_SINGLE or
# FPMEX_SET_DOUBLE, which picks the element type (common/element.h), and
# FPMEX_DESCRIPTION, the text of the banner and of the version resource.
# FILE_VERSION overrides the set's file version in the Windows resource.
set(FPMEX_COMMON_SOURCES ${PROJECT_SOURCE_DIR}/common/frame.cpp)

if(FPMEX_MATLAB_LIBRARIES)
  set(FPMEX_FLAVOURS matlab)
elseif(FPMEX_WINDOWS32_BUILD)
  # The 32-bit host build tests the MATLAB libraries of that build and makes
  # none of its own.
  set(FPMEX_FLAVOURS "")
else()
  set(FPMEX_FLAVOURS host)
  if(FPMEX_OCTAVE)
    list(APPEND FPMEX_FLAVOURS octave method)
  endif()
endif()
# Where the runner and the tests find deliverable SET/NAME:
# FPMEX_BUILD_ROOT/FPMEX_DELIVERABLE_FOLDER SET/NAME FPMEX_HOST_SUFFIX, and the
# test deliverables in FPMEX_BUILD_ROOT/host/test.
set(FPMEX_BUILD_ROOT ${PROJECT_BINARY_DIR})
set(FPMEX_DELIVERABLE_FOLDER host/)
if(FPMEX_WINDOWS32_BUILD)
  set(FPMEX_BUILD_ROOT ${FPMEX_WINDOWS32_BUILD})
  set(FPMEX_DELIVERABLE_FOLDER matlab/fpmex/@)
  set(FPMEX_HOST_SUFFIX .dll)
elseif(WIN32)
  set(FPMEX_HOST_SUFFIX .mexw64)
else()
  set(FPMEX_HOST_SUFFIX .so)
endif()

# What every library of ours gets: includes, the set, hidden symbols and the
# one export (mexFunction, or the version script EXPORTS names).
function(fpmex_library_defaults target set)
  cmake_parse_arguments(L "" "EXPORTS" "" ${ARGN})
  if(NOT L_EXPORTS)
    set(L_EXPORTS ${PROJECT_SOURCE_DIR}/cmake/exports.map)
  endif()
  string(TOUPPER "${set}" set_upper)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE FPMEX_SET_${set_upper} FPMEX_VERSION="${PROJECT_VERSION}")
  if(NOT WIN32)
    target_compile_options(${target} PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
    target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,--version-script=${L_EXPORTS})
  endif()
endfunction()

# The one export of a class method for Octave: Octave looks up G followed by
# the function's name.
function(fpmex_octave_exports name result)
  set(map ${PROJECT_BINARY_DIR}/octave/exports/${name}.map)
  file(CONFIGURE OUTPUT ${map} CONTENT "{\n  global: G${name};\n  local: *;\n};\n")
  set(${result} ${map} PARENT_SCOPE)
endfunction()

function(fpmex_add_deliverable)
  cmake_parse_arguments(D "" "SET;NAME;DESCRIPTION;FILE_VERSION" "SOURCES;KERNELS" ${ARGN})
  # The frame holds the worker pool's exit, whatever the kernels.
  list(APPEND D_KERNELS fpmex_levels)
  if(NOT D_SET MATCHES "^(single|double)$")
    message(FATAL_ERROR "fpmex_add_deliverable: SET must be single or double")
  endif()
  foreach(flavour IN LISTS FPMEX_FLAVOURS)
    set(target ${flavour}_${D_SET}_${D_NAME})
    add_library(${target} MODULE ${D_SOURCES} ${FPMEX_COMMON_SOURCES})
    if(flavour STREQUAL "method")
      fpmex_octave_exports(${D_NAME} exports)
      fpmex_library_defaults(${target} ${D_SET} EXPORTS ${exports})
    else()
      fpmex_library_defaults(${target} ${D_SET})
    endif()
    target_link_libraries(${target} PRIVATE ${D_KERNELS})
    target_compile_definitions(${target} PRIVATE FPMEX_DESCRIPTION="${D_DESCRIPTION}")
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${D_NAME} PREFIX "")
    if(flavour STREQUAL "host")
      target_link_libraries(${target} PRIVATE fpmexhost)
      set_target_properties(${target} PROPERTIES SUFFIX ${FPMEX_HOST_SUFFIX}
                            LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/host/${D_SET})
    elseif(flavour STREQUAL "octave")
      target_link_libraries(${target} PRIVATE fpmex_octave_interface)
      set_target_properties(${target} PROPERTIES SUFFIX ".mex"
                            LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/octave/${D_SET})
    elseif(flavour STREQUAL "method")
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/octave/installer.cpp)
      target_link_libraries(${target} PRIVATE fpmex_octave_host)
      target_compile_definitions(${target} PRIVATE FPMEX_FUNCTION_NAME="${D_NAME}" FPMEX_OCTAVE_INSTALLER=G${D_NAME})
      set_target_properties(${target} PROPERTIES SUFFIX ".oct"
                            LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/octave/fpmex/@${D_SET})
    else()
      # MATLAB's interface as the embedded host declares it, imported from
      # MATLAB's own DLLs.
      target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/host/include)
      target_link_libraries(${target} PRIVATE fpmex_libmx fpmex_libmex)
      target_compile_definitions(${target} PRIVATE FPMEX_MATLAB)
      # What ships carries no debug information.
      target_link_options(${target} PRIVATE -s)
      set_target_properties(${target} PROPERTIES SUFFIX ".dll"
                            LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/matlab/fpmex/@${D_SET})
    endif()
    if(WIN32)
      get_target_property(suffix ${target} SUFFIX)
      fpmex_windows_library(TARGET ${target} SET ${D_SET} NAME ${D_NAME} DESCRIPTION "${D_DESCRIPTION}"
                            FILE_VERSION "${D_FILE_VERSION}" FILE_NAME ${D_NAME}${suffix})
    endif()
    set_property(GLOBAL APPEND PROPERTY FPMEX_TARGETS ${target})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY FPMEX_DELIVERABLES ${D_SET}/${D_NAME})
  # What the Octave package builds from source (octave/package/).
  list(TRANSFORM D_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  set_property(GLOBAL PROPERTY FPMEX_${D_SET}_${D_NAME}_SOURCES ${D_SOURCES})
  set_property(GLOBAL PROPERTY FPMEX_${D_SET}_${D_NAME}_KERNELS ${D_KERNELS})
  set_property(GLOBAL PROPERTY FPMEX_${D_SET}_${D_NAME}_DESCRIPTION "${D_DESCRIPTION}")
endfunction()

# fpmex_add_test_deliverable(NAME name SOURCES file...)
#
# A deliverable that exists only for the tests (frame paths, host checks):
# build/host/test/NAME.so, embedded host only, not part of the demo.
function(fpmex_add_test_deliverable)
  cmake_parse_arguments(D "" "NAME" "SOURCES" ${ARGN})
  set(target test_deliverable_${D_NAME})
  add_library(${target} MODULE ${D_SOURCES} ${FPMEX_COMMON_SOURCES})
  fpmex_library_defaults(${target} single)
  target_link_libraries(${target} PRIVATE fpmexhost fpmex_levels)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${D_NAME} PREFIX "" SUFFIX ${FPMEX_HOST_SUFFIX}
                        LIBRARY_OUTPUT_DIRECTORY ${FPMEX_BUILD_ROOT}/host/test)
  if(WIN32)
    target_sources(${target} PRIVATE ${FPMEX_WINDOWS_EXPORTS})
  endif()
  add_dependencies(fpmex_deliverables ${target})
endfunction()

# One target that builds every deliverable, and the list the runner's demo
# and the tests read.
function(fpmex_finish_deliverables)
  get_property(targets GLOBAL PROPERTY FPMEX_TARGETS)
  get_property(names GLOBAL PROPERTY FPMEX_DELIVERABLES)
  add_custom_target(fpmex_deliverables DEPENDS ${targets})
  list(JOIN names "," joined)
  # The 32-bit host build tests the MATLAB libraries, which hand an argument
  # they cannot read to the host's own function of their name.
  if(FPMEX_WINDOWS32_BUILD)
    set(hand_over 1)
  else()
    set(hand_over 0)
  endif()
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/generated/fpmex_deliverables.h
       CONTENT "// Generated by CMake: the deliverables this build makes.\n#pragma once\n#define FPMEX_BUILD_DIR \"${FPMEX_BUILD_ROOT}\"\n#define FPMEX_DELIVERABLE_FOLDER \"${FPMEX_DELIVERABLE_FOLDER}\"\n#define FPMEX_DELIVERABLE_LIST \"${joined}\"\n#define FPMEX_DELIVERABLE_SUFFIX \"${FPMEX_HOST_SUFFIX}\"\n#define FPMEX_DELIVERABLES_HAND_OVER ${hand_over}\n")
endfunction()
