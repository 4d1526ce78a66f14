# cmake -DDRAW=<kt3-draw-bitmaps> -DOUT=<scratch folder> -DCOMMITTED=<resources folder>
#       -P comparebitmaps.cmake
# The committed bitmaps are what kt3-draw-bitmaps draws now, byte for byte: a change to the
# drawing code or to what it prints (the version in the credits) is committed with its bitmaps.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${DRAW} ${OUT} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(bitmap kt3.png knob_kt3.png about_kt3.png)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${bitmap} ${COMMITTED}/${bitmap}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "resources/${bitmap} is not what kt3-draw-bitmaps draws: run "
                        "kt3-draw-bitmaps resources and commit the result")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
