# cmake -DBUILT=<the build's presets folder> -DCOMMITTED=<tests/data/presets> -P comparepresets.cmake
# The .vstpreset files the build wrote are the committed ones, byte for byte and no more or fewer:
# the same on every platform, and changed only with the presets or the state they store.
cmake_minimum_required(VERSION 3.25)
file(GLOB built RELATIVE ${BUILT} ${BUILT}/*.vstpreset)
file(GLOB committed RELATIVE ${COMMITTED} ${COMMITTED}/*.vstpreset)
list(SORT built)
list(SORT committed)
if(NOT built STREQUAL committed)
  message(FATAL_ERROR "the build wrote '${built}', committed are '${committed}'")
endif()
foreach(preset IN LISTS built)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${BUILT}/${preset}" "${COMMITTED}/${preset}"
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${BUILT}/${preset} differs from tests/data/presets/${preset}: when the "
                        "presets are meant to change, copy the build's files there")
  endif()
endforeach()
