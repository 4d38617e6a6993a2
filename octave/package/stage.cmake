# Lays out the Octave package and packs it (cmake -P, from the build):
#   fpmex/DESCRIPTION, fpmex/COPYING   from GENERATED
#   fpmex/src/                         the Makefile, defs/ and exports/ from
#                                      GENERATED, and every file of FILES
#                                      at its path below SOURCE_DIR
# into STAGE, then PACKAGE, a gzipped tar of fpmex/.
file(REMOVE_RECURSE ${STAGE})
set(root ${STAGE}/fpmex)
file(COPY ${GENERATED}/DESCRIPTION ${GENERATED}/COPYING DESTINATION ${root})
file(COPY ${GENERATED}/Makefile ${GENERATED}/defs ${GENERATED}/exports DESTINATION ${root}/src)
file(STRINGS ${FILES} files)
foreach(file IN LISTS files)
  file(RELATIVE_PATH path ${SOURCE_DIR} ${file})
  get_filename_component(folder ${root}/src/${path} DIRECTORY)
  file(COPY ${file} DESTINATION ${folder})
endforeach()
file(REMOVE ${PACKAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${PACKAGE} fpmex WORKING_DIRECTORY ${STAGE}
                COMMAND_ERROR_IS_FATAL ANY)
