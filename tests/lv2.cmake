# The LV2 plug-in's tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LILV REQUIRED IMPORTED_TARGET lilv-0)

# The LV2 host for the tests: lilv, a URID map and an instance with its buffers.
add_library(kt3hostlv2 STATIC ${PROJECT_SOURCE_DIR}/host/lv2host.cpp)
target_include_directories(kt3hostlv2 PUBLIC ${PROJECT_SOURCE_DIR}/host)
target_compile_options(kt3hostlv2 PRIVATE ${KT3_WARNINGS})
target_link_libraries(kt3hostlv2 PUBLIC PkgConfig::LILV)

kt3_add_test(lv2_tests lv2_bundle_test.cpp lv2_render_test.cpp lv2_state_test.cpp)
add_dependencies(lv2_tests KT3_lv2 KT3)
target_link_libraries(lv2_tests PRIVATE kt3hostlv2 kt3allocationcounter kt3lv2ports)
target_compile_definitions(lv2_tests PRIVATE KT3_LV2_BUNDLE_PATH="${KT3_LV2_BUNDLE}"
                           KT3_BUNDLE_PATH="${KT3_BUNDLE}")

# The bundle's descriptions against the LV2 vocabularies: the files of Debian's lv2-dev (the
# build machine's; with arm64's installed beside it the package name alone is ambiguous), and
# nothing else that is installed (other plug-ins' descriptions carry errors of their own). No
# vocabulary found fails the test rather than validating against nothing.
find_program(SORD_VALIDATE sord_validate REQUIRED)
add_test(NAME lv2_bundle_validates
         COMMAND sh -c "vocabularies=$(dpkg-query -L lv2-dev:$(dpkg --print-architecture) | grep '[.]ttl$') && test -n \"$vocabularies\" && ${SORD_VALIDATE} $vocabularies ${KT3_LV2_BUNDLE}/*.ttl")
set_tests_properties(lv2_bundle_validates PROPERTIES FAIL_REGULAR_EXPRESSION "Error|Warning")

# lv2apply on a WAV file against kt3-render through the VST 3 bundle. Not under the sanitizers:
# lv2apply is not instrumented and cannot load an instrumented plug-in.
if(TARGET kt3-render AND NOT KT3_SANITIZE AND NOT KT3_SANITIZE_THREAD AND NOT CMAKE_CROSSCOMPILING)
  find_program(LV2APPLY lv2apply REQUIRED)
  kt3_add_test(lv2apply_tests lv2_apply_test.cpp)
  add_dependencies(lv2apply_tests KT3_lv2 KT3 kt3-render)
  target_compile_definitions(lv2apply_tests PRIVATE KT3_LV2_BUNDLE_PATH="${KT3_LV2_BUNDLE}"
                             KT3_BUNDLE_PATH="${KT3_BUNDLE}" KT3_RENDER_PATH="$<TARGET_FILE:kt3-render>")
endif()
