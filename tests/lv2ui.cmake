# The LV2 editor's tests.
# The control ports against the controller in process, and the built KT3_ui.so loaded as an
# LV2 host loads it, in windows on a private Xvfb display.
kt3_add_test(lv2ui_tests lv2ui_controlports_test.cpp lv2ui_window_test.cpp)
add_dependencies(lv2ui_tests KT3_lv2ui)
target_link_libraries(lv2ui_tests PRIVATE kt3lv2ui kt3hostx11)
target_compile_definitions(lv2ui_tests PRIVATE KT3_LV2_BUNDLE_PATH="${KT3_LV2_BUNDLE}"
                           KT3_RESOURCES_DIR="${PROJECT_SOURCE_DIR}/resources")
