# cmake -DDRAW=<kt3-draw-bitmaps> -DOUT=<scratch folder> -DCOMMITTED=<resources folder>
#       -DRESOURCES=<the editor's resource files, separated by commas> -P comparebitmaps.cmake
# The committed bitmaps are what kt3-draw-bitmaps draws now, byte for byte: a change to the
# drawing code or to what it prints (the version in the credits) is committed with its bitmaps.
# Every bitmap it draws is also among the bundles' resources and in the Windows resource
# script, and no committed bitmap is one it no longer draws.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${DRAW} ${OUT} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "," ";" RESOURCES "${RESOURCES}")
file(READ ${COMMITTED}/kt3.rc script)
file(GLOB drawn RELATIVE ${OUT} ${OUT}/*.png)
file(GLOB committed RELATIVE ${COMMITTED} ${COMMITTED}/*.png)
if(NOT drawn)
  message(FATAL_ERROR "kt3-draw-bitmaps drew nothing")
endif()
foreach(bitmap IN LISTS drawn)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${bitmap} ${COMMITTED}/${bitmap}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "resources/${bitmap} is not what kt3-draw-bitmaps draws: run "
                        "kt3-draw-bitmaps resources and commit the result")
  endif()
  if(NOT "${COMMITTED}/${bitmap}" IN_LIST RESOURCES)
    message(FATAL_ERROR "resources/${bitmap} is not in KT3_EDITOR_RESOURCES (source/editor/CMakeLists.txt)")
  endif()
  string(TOUPPER ${bitmap} name)
  string(FIND "${script}" "\n${name} PNG \"${bitmap}\"\n" plain)
  string(FIND "${script}" "\n\"${name}\" PNG \"${bitmap}\"\n" quoted)
  if(plain EQUAL -1 AND quoted EQUAL -1)
    message(FATAL_ERROR "resources/kt3.rc does not embed ${bitmap} as \"${name}\" PNG")
  endif()
endforeach()
foreach(bitmap IN LISTS committed)
  if(NOT bitmap IN_LIST drawn)
    message(FATAL_ERROR "resources/${bitmap} is not drawn by kt3-draw-bitmaps any more")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
