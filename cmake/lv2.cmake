# The LV2 bundle in the build tree; installed to ${KT3_INSTALL_LV2_DIR}/KT3.lv2.
set(KT3_LV2_BUNDLE ${CMAKE_BINARY_DIR}/KT3.lv2 CACHE INTERNAL "The built LV2 bundle")
