# cmake -DBUILD=<build folder> -DWORK=<scratch folder> -DVERSION=... -DARCH=... -DLINTIAN=...
#       <checkinstalled.cmake's variables> -P debpackage.cmake
# Makes the Debian packages with CPack, has lintian check them (no errors or warnings
# allowed), reads its control fields, unpacks both packages into a scratch root with dpkg -x
# and checks the tree there with checkinstalled.cmake.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND cpack --config ${BUILD}/CPackConfig.cmake -B ${WORK}
                WORKING_DIRECTORY ${BUILD} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
set(deb ${WORK}/kt3_${VERSION}_${ARCH}.deb)
set(dbgsym ${WORK}/kt3-dbgsym_${VERSION}_${ARCH}.deb)
foreach(package ${deb} ${dbgsym})
  if(NOT EXISTS ${package})
    message(FATAL_ERROR "cpack made no ${package}")
  endif()
endforeach()

execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${deb} ${dbgsym} RESULT_VARIABLE result
                OUTPUT_VARIABLE report ERROR_VARIABLE report)
message(STATUS "lintian: ${report}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian reports errors or warnings on the packages")
endif()

execute_process(COMMAND dpkg-deb -f ${deb} Package Version Section Architecture Depends
                OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
foreach(field "Package: kt3" "Version: ${VERSION}" "Section: sound" "Architecture: ${ARCH}")
  string(FIND "${fields}" "${field}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "control fields lack '${field}':\n${fields}")
  endif()
endforeach()
# The dependencies come from the binaries' own needs.
foreach(library libc6 libstdc\\+\\+6 libxcb1)
  if(NOT fields MATCHES "Depends: [^\n]*${library}")
    message(FATAL_ERROR "Depends lacks ${library}:\n${fields}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE contents COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " \\./[^ \n]*" paths "${contents}")
foreach(path IN LISTS paths)
  if(NOT path MATCHES "^ \\./(usr/)?$" AND NOT path MATCHES "^ \\./usr/(bin|lib/vst3|lib/vst|lib/lv2/KT3.lv2|lib/clap/KT3|share/doc/kt3|share/doc/kt3-dbgsym|share/man/man1|share/vst3/presets/Orvix/KT3)(/|$)"
     AND NOT path MATCHES "^ \\./usr/(lib|lib/lv2|lib/clap|share|share/doc|share/man|share/vst3|share/vst3/presets|share/vst3/presets/Orvix)/$")
    message(FATAL_ERROR "the package installs outside KT3's places:${path}")
  endif()
endforeach()

foreach(package ${deb} ${dbgsym})
  execute_process(COMMAND dpkg -x ${package} ${WORK}/root COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(PREFIX ${WORK}/root/usr)
set(CHECK_DEBUG ON)
include(${CMAKE_CURRENT_LIST_DIR}/checkinstalled.cmake)
file(REMOVE_RECURSE ${WORK})
