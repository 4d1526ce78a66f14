# cmake -DRENDER=<kt3-render, with what runs it> -DBUNDLE=<KT3.vst3> -DWORK=<scratch folder>
#       -P renderdemo.cmake
# kt3-render's demo phrase, through the reverb and dry, is the same file on every architecture:
# the hashes below were taken on x86_64 and hold under emulation on aarch64.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${RENDER} --plugin ${BUNDLE} --out ${WORK}/demo.wav OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(file_and_hash
        demo.wav:cd309b0a1a2fa3f81edfec8ed63112f16bfb7a0573b50b7eac77c89d27c38f9d
        demo-dry.wav:0f55596568ba0d068a1f0fc07eab941ce6c717ac60d0459a229337521649d41a)
  string(REPLACE ":" ";" pair ${file_and_hash})
  list(GET pair 0 name)
  list(GET pair 1 expected)
  file(SHA256 ${WORK}/${name} hash)
  if(NOT hash STREQUAL expected)
    message(FATAL_ERROR "${name} has the SHA-256 ${hash}, not ${expected}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
