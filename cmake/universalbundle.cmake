# cmake -DBUILDS=<build folder>;<build folder>... -DOUT=<bundle> -P universalbundle.cmake
# One VST 3 bundle for every architecture built: each build's stripped module in its own
# Contents/<architecture> folder, and the Resources (the editor's files, moduleinfo.json, the
# snapshots), which every build writes the same, once, after checking that they are the same.
cmake_minimum_required(VERSION 3.25)
list(GET BUILDS 0 first)
file(GLOB_RECURSE resources LIST_DIRECTORIES false RELATIVE ${first}/KT3.vst3/Contents/Resources
     ${first}/KT3.vst3/Contents/Resources/*)
file(REMOVE_RECURSE ${OUT})
foreach(build IN LISTS BUILDS)
  file(GLOB modules ${build}/KT3.vst3/Contents/*-linux/KT3.so)
  list(LENGTH modules count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "${build}/KT3.vst3 holds no module or several: '${modules}'")
  endif()
  get_filename_component(folder ${modules} DIRECTORY)
  get_filename_component(architecture ${folder} NAME)
  if(EXISTS ${OUT}/Contents/${architecture})
    message(FATAL_ERROR "two builds for ${architecture}")
  endif()
  file(COPY ${build}/stripped/KT3.so DESTINATION ${OUT}/Contents/${architecture})

  file(GLOB_RECURSE these LIST_DIRECTORIES false RELATIVE ${build}/KT3.vst3/Contents/Resources
       ${build}/KT3.vst3/Contents/Resources/*)
  if(NOT these STREQUAL resources)
    message(FATAL_ERROR "${build}'s bundle holds other resources than ${first}'s")
  endif()
  foreach(file IN LISTS resources)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first}/KT3.vst3/Contents/Resources/${file}
                            ${build}/KT3.vst3/Contents/Resources/${file} RESULT_VARIABLE differs)
    if(differs)
      message(FATAL_ERROR "${build}'s ${file} differs from ${first}'s")
    endif()
  endforeach()
endforeach()
file(COPY ${first}/KT3.vst3/Contents/Resources DESTINATION ${OUT}/Contents)
