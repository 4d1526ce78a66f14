# The Windows suites, run under Wine: the in-process suites above, and the built module loaded
# as a Windows host loads it.

# The built module's editor in Win32 windows (under Wine they need an X display: xvfb-run). The
# program embeds the module's resource script, so the editor it opens offscreen for comparison
# reads the same description and bitmaps from the program's own resources.
kt3_add_test(win_editor_window_tests win_editor_window_test.cpp ${KT3_RESOURCE_SCRIPT})
add_dependencies(win_editor_window_tests KT3)
target_link_libraries(win_editor_window_tests PRIVATE kt3editor)
target_include_directories(win_editor_window_tests PRIVATE ${KT3_GENERATED_INCLUDE}) # kt3version.h, for the script
target_compile_definitions(win_editor_window_tests PRIVATE KT3_BUNDLE_PATH="${KT3_BUNDLE}"
  KT3_SNAPSHOT_2X="${CMAKE_CURRENT_SOURCE_DIR}/data/snapshots/3C9E41A75B2D4F089A61C3E27D04B815_snapshot_2.0x.png")
target_compile_options(win_editor_window_tests PRIVATE -Wno-cpp) # the FST header's #warning notes

# What the DLL shows of itself: exactly these exports, and imports of Windows system DLLs only
# (a name ending in * stands for a prefix). The compiler's runtimes are linked in, never
# imported. Checked in the loaded image under Wine and, without Wine, in objdump's view of the file.
set(KT3_DLL_EXPORTS ExitDll GetPluginFactory InitDll VSTPluginMain)
set(KT3_SYSTEM_DLLS kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll
    oleaut32.dll comdlg32.dll shlwapi.dll uxtheme.dll imm32.dll version.dll winmm.dll ws2_32.dll
    api-ms-win-*)
set(KT3_COMPILER_RUNTIME_DLLS libstdc++* libgcc* libwinpthread* libssp* libatomic* libgomp*)
list(JOIN KT3_DLL_EXPORTS "," KT3_DLL_EXPORTS_TEXT)
list(JOIN KT3_SYSTEM_DLLS "," KT3_SYSTEM_DLLS_TEXT)
list(JOIN KT3_COMPILER_RUNTIME_DLLS "," KT3_COMPILER_RUNTIME_DLLS_TEXT)

# The module as a Windows host loads it, and KT3.clap as a CLAP host does, found from the test
# program's own folder.
kt3_add_test(win_module_tests win_module_test.cpp referencerender.cpp referencevst2.cpp factoryrecords.cpp
             clapreference.cpp)
add_dependencies(win_module_tests KT3 KT3_clap)
target_compile_options(win_module_tests PRIVATE -Wno-cpp) # the FST header's #warning notes
target_link_libraries(win_module_tests PRIVATE version kt3hostclap)
file(RELATIVE_PATH KT3_BUNDLE_FROM_TESTS ${CMAKE_CURRENT_BINARY_DIR} ${KT3_BUNDLE})
file(RELATIVE_PATH KT3_CLAP_FROM_TESTS ${CMAKE_CURRENT_BINARY_DIR} ${KT3_CLAP_DIR}/KT3.clap)
target_compile_definitions(win_module_tests PRIVATE
  KT3_BUNDLE_FROM_TESTS="${KT3_BUNDLE_FROM_TESTS}"
  KT3_CLAP_FROM_TESTS="${KT3_CLAP_FROM_TESTS}"
  KT3_DLL_EXPORTS="${KT3_DLL_EXPORTS_TEXT}"
  KT3_SYSTEM_DLLS="${KT3_SYSTEM_DLLS_TEXT}"
  KT3_COMPILER_RUNTIME_DLLS="${KT3_COMPILER_RUNTIME_DLLS_TEXT}")

add_test(NAME dll_exports_and_imports
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:KT3>
                 -DEXPORTS=${KT3_DLL_EXPORTS_TEXT} -DSYSTEM_DLLS=${KT3_SYSTEM_DLLS_TEXT}
                 -DRUNTIME_DLLS=${KT3_COMPILER_RUNTIME_DLLS_TEXT}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/checkpeimage.cmake)

add_test(NAME release_archive_contents
         COMMAND ${CMAKE_COMMAND} -DARCHIVE=${KT3_RELEASE_ARCHIVE} -DNAME=KT3-${PROJECT_VERSION}-win64
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/checkwinarchive.cmake)

# KT3.clap exports clap_entry and nothing else, and imports Windows system DLLs only.
add_test(NAME clap_dll_exports_and_imports
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:KT3_clap>
                 -DEXPORTS=clap_entry -DSYSTEM_DLLS=${KT3_SYSTEM_DLLS_TEXT}
                 -DRUNTIME_DLLS=${KT3_COMPILER_RUNTIME_DLLS_TEXT}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/checkpeimage.cmake)
