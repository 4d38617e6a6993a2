# fpmex_add_kernels(NAME name SOURCES file...)
#
# An area's kernel library: plain functions on raw buffers, no host
# interface (no mex.h). The deliverables, tests, benchmarks and tools link
# it. Static, position independent (it ends up inside shared libraries) and
# with hidden symbols, so that a deliverable still exports only its entry.
function(fpmex_add_kernels)
  cmake_parse_arguments(K "" "NAME" "SOURCES" ${ARGN})
  add_library(${K_NAME} STATIC ${K_SOURCES})
  target_include_directories(${K_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${K_NAME} PROPERTIES POSITION_INDEPENDENT_CODE ON
                        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(NOT K_NAME STREQUAL "fpmex_levels")
    target_link_libraries(${K_NAME} PUBLIC fpmex_levels)
  endif()
endfunction()
