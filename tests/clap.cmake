# The CLAP plug-in's tests, through the host library's CLAP host.

kt3_add_test(clap_tests clap_plugin_test.cpp clap_hostile_test.cpp clapreference.cpp referencerender.cpp)
add_dependencies(clap_tests KT3_clap KT3)
target_link_libraries(clap_tests PRIVATE kt3hostclap kt3allocationcounter)
target_compile_definitions(clap_tests PRIVATE KT3_CLAP_PATH="$<TARGET_FILE:KT3_clap>" KT3_BUNDLE_PATH="${KT3_BUNDLE}")

# The module exports clap_entry and nothing else.
add_test(NAME clap_exports_only_the_entry
         COMMAND sh -c "test \"$(${CMAKE_NM} -D --defined-only $<TARGET_FILE:KT3_clap> | awk '{print $3}')\" = clap_entry")

# Debian's Qtractor lists KT3 from KT3.clap with its plug-in scanner, as the DAW does before it
# offers a plug-in: name, 2 audio inputs and 2 outputs, no MIDI, 5 parameters in and none out.
# Not under the sanitizers, whose module the scanner cannot load.
find_program(QTRACTOR_PLUGIN_SCAN qtractor_plugin_scan PATHS /usr/lib/x86_64-linux-gnu/qtractor NO_DEFAULT_PATH)
if(QTRACTOR_PLUGIN_SCAN AND NOT KT3_SANITIZE AND NOT KT3_SANITIZE_THREAD AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME clap_qtractor_scan
           COMMAND sh -c "echo 'CLAP:$<TARGET_FILE:KT3_clap>' | ${QTRACTOR_PLUGIN_SCAN}")
  set_tests_properties(clap_qtractor_scan PROPERTIES TIMEOUT 30
    PASS_REGULAR_EXPRESSION "(^|\n)CLAP\\|KT3\\|2:2\\|0:0\\|5:0\\|[^|\n]*\\|[^|\n]*KT3\\.clap\\|0\\|"
    FAIL_REGULAR_EXPRESSION "\\*\\*\\*")
endif()

# The editor in windows on a private Xvfb display.
kt3_add_test(clap_editor_tests clap_editor_test.cpp)
add_dependencies(clap_editor_tests KT3_clap)
target_link_libraries(clap_editor_tests PRIVATE kt3hostclap kt3editor kt3hostx11)
target_compile_definitions(clap_editor_tests PRIVATE KT3_CLAP_PATH="$<TARGET_FILE:KT3_clap>"
                           KT3_CLAP_RESOURCES="${KT3_CLAP_DIR}/Resources" KT3_RESOURCES_DIR="${PROJECT_SOURCE_DIR}/resources")
