# cmake -DBUILD=<build folder> -DSTAGE=<scratch folder> <checkinstalled.cmake's variables>
#       -P installtree.cmake
# `cmake --install` into DESTDIR=STAGE with the prefix /usr, component by component, as a
# packager does: every file that lands in STAGE is in the manifests, the tree passes
# checkinstalled.cmake, and the uninstall script then removes every file again, with KT3's own
# folders.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${STAGE})
set(manifests)
foreach(component runtime debug)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
                          ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr --component ${component}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  # Kept apart: the next install or package run rewrites the build folder's copy.
  file(COPY_FILE ${BUILD}/install_manifest_${component}.txt ${STAGE}-${component}.manifest)
  list(APPEND manifests ${STAGE}-${component}.manifest)
endforeach()

set(listed)
foreach(manifest IN LISTS manifests)
  file(STRINGS ${manifest} files)
  list(APPEND listed ${files})
endforeach()
file(GLOB_RECURSE landed LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
foreach(file IN LISTS landed)
  if(NOT "/${file}" IN_LIST listed)
    message(FATAL_ERROR "installed but not in the manifest, so never uninstalled: /${file}")
  endif()
endforeach()

set(PREFIX ${STAGE}/usr)
set(CHECK_DEBUG ON)
include(${CMAKE_CURRENT_LIST_DIR}/checkinstalled.cmake)

foreach(manifest IN LISTS manifests)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
                          ${CMAKE_COMMAND} -DMANIFEST=${manifest} -P ${UNINSTALL}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(GLOB_RECURSE left LIST_DIRECTORIES false ${STAGE}/*)
if(left)
  message(FATAL_ERROR "left after uninstalling: ${left}")
endif()
foreach(folder lib/vst3/KT3.vst3 lib/lv2/KT3.lv2 lib/clap/KT3 share/doc/kt3 share/doc/kt3-dbgsym share/vst3/presets/Orvix/KT3)
  if(EXISTS ${PREFIX}/${folder})
    message(FATAL_ERROR "left after uninstalling: the folder ${PREFIX}/${folder}")
  endif()
endforeach()
file(REMOVE_RECURSE ${STAGE})
