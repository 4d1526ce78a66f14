# The LV2 bundle in the build tree; installed to ${KT3_INSTALL_LV2_DIR}/KT3.lv2.
set(KT3_LV2_BUNDLE ${CMAKE_BINARY_DIR}/KT3.lv2 CACHE INTERNAL "The built LV2 bundle")

# An LV2 binary in the bundle: OUTPUT.so from the sources after EXPORTS, exporting only what the
# version script EXPORTS names, with every symbol resolved at link time (except in the fuzzing
# build, as for the VST 3 module).
function(kt3_lv2_binary target output exports)
  add_library(${target} MODULE ${ARGN})
  target_compile_options(${target} PRIVATE ${KT3_WARNINGS})
  target_link_options(${target} PRIVATE -Wl,--version-script=${exports})
  if(NOT KT3_FUZZ)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output}
    LIBRARY_OUTPUT_DIRECTORY ${KT3_LV2_BUNDLE} LINK_DEPENDS ${exports})
endfunction()

# The DSP binary: the processor host behind LV2's entry, exporting lv2_descriptor only.
kt3_lv2_binary(KT3_lv2 KT3_dsp ${PROJECT_SOURCE_DIR}/source/lv2dsp.exports
  ${PROJECT_SOURCE_DIR}/source/lv2entry.cpp
  ${PROJECT_SOURCE_DIR}/source/lv2plugin.cpp)
target_link_libraries(KT3_lv2 PRIVATE kt3formats)

# The bundle's descriptions, written from the parameter and factory preset tables.
add_executable(kt3-write-lv2-ttl ${PROJECT_SOURCE_DIR}/tools/writelv2ttl.cpp)
target_compile_options(kt3-write-lv2-ttl PRIVATE ${KT3_WARNINGS})
target_link_libraries(kt3-write-lv2-ttl PRIVATE kt3core)
target_compile_definitions(kt3-write-lv2-ttl PRIVATE KT3_LV2_MINOR_VERSION=${PROJECT_VERSION_MINOR}
                           KT3_LV2_MICRO_VERSION=${PROJECT_VERSION_PATCH})
set(KT3_LV2_TTL ${KT3_LV2_BUNDLE}/manifest.ttl ${KT3_LV2_BUNDLE}/KT3.ttl ${KT3_LV2_BUNDLE}/presets.ttl)
add_custom_command(OUTPUT ${KT3_LV2_TTL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KT3_LV2_BUNDLE}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:kt3-write-lv2-ttl> ${KT3_LV2_BUNDLE}
  DEPENDS kt3-write-lv2-ttl
  COMMENT "Writing the LV2 bundle's descriptions")
add_custom_target(kt3-lv2-ttl ALL DEPENDS ${KT3_LV2_TTL})
add_dependencies(KT3_lv2 kt3-lv2-ttl)

kt3_strip_for_install(KT3_lv2)
install(FILES ${KT3_LV2_TTL} ${KT3_STRIPPED_DIR}/KT3_dsp.so DESTINATION ${KT3_INSTALL_LV2_DIR}/KT3.lv2
        COMPONENT runtime)
