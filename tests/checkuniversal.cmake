# cmake [-DEMULATOR=<what runs it>] -DPROGRAM=<kt3-moduleinfo> -DBUNDLE=<universal bundle>
#       -P checkuniversal.cmake
# The program loads its architecture's module from the bundle and writes the moduleinfo.json that
# the bundle carries.
cmake_minimum_required(VERSION 3.25)
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(COMMAND ${emulator} ${PROGRAM} ${BUNDLE} OUTPUT_VARIABLE written COMMAND_ERROR_IS_FATAL ANY)
file(READ ${BUNDLE}/Contents/Resources/moduleinfo.json carried)
if(NOT written STREQUAL carried)
  message(FATAL_ERROR "${PROGRAM} describes ${BUNDLE} otherwise than its moduleinfo.json:\n${written}")
endif()
