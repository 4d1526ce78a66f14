# cmake [-DEMULATOR=<what runs it>] -DRENDER=<kt3-render> -DBUNDLE=<KT3.vst3> -DWORK=<scratch folder>
#       -P renderdemo.cmake
# kt3-render's demo phrase, through the reverb and dry, is the same file on every architecture:
# the hashes below were taken on x86_64 and hold under emulation on aarch64. AU files hold the
# float samples behind a fixed header (a float WAV file's PEAK chunk carries the time).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(COMMAND ${emulator} ${RENDER} --plugin ${BUNDLE} --out ${WORK}/demo.au OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(file_and_hash
        demo.au:c2b980b80d4385d825afd38903720fcfa1ac42857feddcaeb672944f7ed6b87f
        demo-dry.au:9fc9e1224945726e04e3d7c00565fcd2451893ef9dd2dfae5f3eaefba342d038)
  string(REPLACE ":" ";" pair ${file_and_hash})
  list(GET pair 0 name)
  list(GET pair 1 expected)
  file(SHA256 ${WORK}/${name} hash)
  if(NOT hash STREQUAL expected)
    message(FATAL_ERROR "${name} has the SHA-256 ${hash}, not ${expected}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
