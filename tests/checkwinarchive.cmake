# cmake -DARCHIVE=<zip> -DNAME=<folder name inside> -P checkwinarchive.cmake
# The Windows release archive holds the bundle, the VST 2.4 DLL, KT3.clap, the factory presets, the install
# note, the licence and the third-party notice, all in one folder named after the version.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ARCHIVE} OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" entries "${listing}")
foreach(entry KT3.vst3/Contents/x86_64-win/KT3.vst3 KT3.vst3/Contents/Resources/moduleinfo.json
              KT3.dll KT3.clap INSTALL.txt LICENSE NOTICE Presets/Default.vstpreset "Presets/Full Wet Wash.vstpreset")
  if(NOT "${NAME}/${entry}" IN_LIST entries)
    message(FATAL_ERROR "${ARCHIVE} lacks ${NAME}/${entry}:\n${listing}")
  endif()
endforeach()
