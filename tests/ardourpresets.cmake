# cmake -DBUNDLE=<KT3.vst3> -DWORK=<scratch folder> -DKIND=VST3|VST2 -DCYCLES=<n> -DLUA=<ardour7-lua>
#       -DSCANNER=<ardour-vst3-scanner or ardour-vst-scanner> -DSCRIPT=<ardour_presets.lua> -P ardourpresets.cmake
# Runs ardour_presets.lua on a copy of the bundle, in a home folder of its own (Ardour keeps its
# configuration and plug-in cache there), and fails on a hang, a script error or lost values.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(COPY ${BUNDLE} DESTINATION ${WORK}/vst3)
set(module_dir ${WORK}/vst3/KT3.vst3/Contents/x86_64-linux)
# Release builds of Ardour hide the Dummy backend unless told otherwise.
file(WRITE ${WORK}/config/ardour7/config [[<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="hide-dummy-backend" value="0"/></Config></Ardour>
]])
if(KIND STREQUAL "VST3")
  set(paths VST3_PATH=${WORK}/vst3 LXVST_PATH=${WORK}/none)
  set(scan ${WORK}/vst3/KT3.vst3)
else()
  set(paths VST3_PATH=${WORK}/none LXVST_PATH=${module_dir})
  set(scan ${module_dir}/KT3.so)
endif()
set(env ${CMAKE_COMMAND} -E env HOME=${WORK} XDG_CONFIG_HOME=${WORK}/config XDG_CACHE_HOME=${WORK}/cache ${paths})
# ardour7-lua only reads the plug-in cache; Ardour's scanner writes it.
cmake_path(GET SCANNER PARENT_PATH ardour_libs)
execute_process(COMMAND ${env} LD_LIBRARY_PATH=${ardour_libs} ${SCANNER} -q ${scan} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${env} ${LUA} ${SCRIPT} ${KIND} ${WORK}/session ${CYCLES}
                TIMEOUT 30 RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(result MATCHES "timeout")
  message(FATAL_ERROR "Ardour hung (no result within 30 s)")
elseif(NOT out MATCHES "RESULT PASS")
  message(FATAL_ERROR "Warm Hall was not kept (exit: ${result})")
endif()
file(REMOVE_RECURSE ${WORK})
