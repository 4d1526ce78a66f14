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
target_link_libraries(lv2_tests PRIVATE kt3hostlv2 kt3allocationcounter)
target_compile_definitions(lv2_tests PRIVATE KT3_LV2_BUNDLE_PATH="${KT3_LV2_BUNDLE}"
                           KT3_BUNDLE_PATH="${KT3_BUNDLE}")

# The bundle's descriptions against the LV2 vocabularies.
find_program(SORD_VALIDATE sord_validate REQUIRED)
add_test(NAME lv2_bundle_validates
         COMMAND sh -c "${SORD_VALIDATE} /usr/lib/lv2/*.lv2/*.ttl ${KT3_LV2_BUNDLE}/*.ttl")
set_tests_properties(lv2_bundle_validates PROPERTIES FAIL_REGULAR_EXPRESSION "Error|Warning")
