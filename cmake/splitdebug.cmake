# cmake -DBINARY=... -DSTRIPPED=... -DDEBUG_ROOT=... -DOBJCOPY=... -DREADELF=... -P splitdebug.cmake
# Splits a linked ELF file into the stripped copy that is installed and its debug information,
# kept by build ID where debuggers look it up: <DEBUG_ROOT>/.build-id/<2 digits>/<rest>.debug.
# The previous build's debug file for the same binary is removed, so the folder holds exactly
# the debug files of the binaries as last built.
execute_process(COMMAND ${READELF} -n ${BINARY} OUTPUT_VARIABLE notes COMMAND_ERROR_IS_FATAL ANY)
if(NOT notes MATCHES "Build ID: ([0-9a-f]+)")
  message(FATAL_ERROR "${BINARY} carries no build ID")
endif()
string(SUBSTRING ${CMAKE_MATCH_1} 0 2 folder)
string(SUBSTRING ${CMAKE_MATCH_1} 2 -1 rest)
set(debug ${DEBUG_ROOT}/.build-id/${folder}/${rest}.debug)

set(stamp ${STRIPPED}.debugfile)
if(EXISTS ${stamp})
  file(READ ${stamp} previous)
  file(REMOVE ${previous})
endif()
file(MAKE_DIRECTORY ${DEBUG_ROOT}/.build-id/${folder})
execute_process(COMMAND ${OBJCOPY} --only-keep-debug --compress-debug-sections ${BINARY} ${debug}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${OBJCOPY} --strip-unneeded --remove-section=.comment ${BINARY} ${STRIPPED}
                COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${stamp} ${debug})
