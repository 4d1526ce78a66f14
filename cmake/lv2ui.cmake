# The LV2 plug-in's editor (KT3_ui.so in the LV2 bundle).
# The UI's classes: the controller with the editor bound to the LV2 control ports. The UI binary
# and the tests link them; nothing of the DSP binary or a processor is in them.
add_library(kt3lv2ui STATIC
  ${PROJECT_SOURCE_DIR}/source/lv2uicontrolports.cpp
  ${PROJECT_SOURCE_DIR}/source/lv2uieditor.cpp)
target_compile_options(kt3lv2ui PRIVATE ${KT3_WARNINGS})
target_link_libraries(kt3lv2ui PUBLIC kt3editor)

# The UI binary, exporting lv2ui_descriptor only, with the editor's description and bitmaps
# in the bundle's Resources/.
kt3_lv2_binary(KT3_lv2ui KT3_ui ${PROJECT_SOURCE_DIR}/source/lv2ui.exports
  ${PROJECT_SOURCE_DIR}/source/lv2uientry.cpp)
target_link_libraries(KT3_lv2ui PRIVATE kt3lv2ui)
kt3_copy_editor_resources(KT3_lv2ui ${KT3_LV2_BUNDLE}/Resources)

kt3_strip_for_install(KT3_lv2ui)
install(FILES ${KT3_STRIPPED_DIR}/KT3_ui.so DESTINATION ${KT3_INSTALL_LV2_DIR}/KT3.lv2 COMPONENT runtime)
install(DIRECTORY ${KT3_LV2_BUNDLE}/Resources DESTINATION ${KT3_INSTALL_LV2_DIR}/KT3.lv2 COMPONENT runtime)
