# The CLAP plug-in, KT3.clap: the processor host behind clap_entry, one shared object (a DLL on
# Windows) that exports clap_entry only. Built against the CLAP headers of Debian's dpf-source
# where the package installs them, and the tail extension declared in sdk/clap. On Linux it
# lives in a folder of its own, KT3/, with the editor's files in KT3/Resources: hosts search
# their CLAP folders recursively, and a shared object directly in /usr/lib/clap would be taken
# for a library by the packaging (ldconfig calls).
set(KT3_CLAP_HEADERS /usr/share/dpf/distrho/src CACHE PATH "The folder holding the CLAP headers' clap/")
if(NOT EXISTS ${KT3_CLAP_HEADERS}/clap/entry.h)
  message(FATAL_ERROR "CLAP headers not found in '${KT3_CLAP_HEADERS}/clap'. Install Debian's package dpf-source.")
endif()
set(KT3_CLAP_DIR ${CMAKE_BINARY_DIR}/clap/KT3 CACHE INTERNAL "The folder of the built KT3.clap")
set(clap_sources ${PROJECT_SOURCE_DIR}/source/formats/clap)

add_library(kt3clap STATIC ${clap_sources}/clapplugin.cpp ${clap_sources}/clapeditqueue.cpp)
target_include_directories(kt3clap PUBLIC ${clap_sources} ${PROJECT_SOURCE_DIR}/sdk)
target_include_directories(kt3clap SYSTEM PUBLIC ${KT3_CLAP_HEADERS})
target_compile_options(kt3clap PRIVATE ${KT3_WARNINGS})
target_link_libraries(kt3clap PUBLIC kt3formats)

add_library(KT3_clap MODULE ${clap_sources}/clapentry.cpp ${clap_sources}/clapinstance.cpp)
target_compile_options(KT3_clap PRIVATE ${KT3_WARNINGS})
# The editor, embedded in the host's window.
target_sources(KT3_clap PRIVATE ${clap_sources}/clapeditor.cpp ${clap_sources}/clapedithandler.cpp)
target_link_libraries(KT3_clap PRIVATE kt3clap kt3editor)
set_target_properties(KT3_clap PROPERTIES PREFIX "" SUFFIX ".clap" OUTPUT_NAME KT3
  LIBRARY_OUTPUT_DIRECTORY ${KT3_CLAP_DIR} RUNTIME_OUTPUT_DIRECTORY ${KT3_CLAP_DIR})
if(WIN32)
  # DllMain gives the editor the module's instance, whose resources hold its files.
  target_sources(KT3_clap PRIVATE ${clap_sources}/clap.def ${PROJECT_SOURCE_DIR}/sdk/public.sdk/source/main/dllmain.cpp
                 ${KT3_RESOURCE_SCRIPT})
  target_include_directories(KT3_clap PRIVATE ${KT3_GENERATED_INCLUDE}) # kt3version.h, for the script
  target_link_options(KT3_clap PRIVATE -s)
else()
  target_link_options(KT3_clap PRIVATE -Wl,--version-script=${clap_sources}/clap.exports)
  set_target_properties(KT3_clap PROPERTIES LINK_DEPENDS ${clap_sources}/clap.exports)
  if(NOT KT3_FUZZ)
    target_link_options(KT3_clap PRIVATE -Wl,--no-undefined)
  endif()
  kt3_copy_editor_resources(KT3_clap ${KT3_CLAP_DIR}/Resources)
  kt3_strip_for_install(KT3_clap)
  install(FILES ${KT3_STRIPPED_DIR}/KT3.clap DESTINATION ${KT3_INSTALL_CLAP_DIR}/KT3 COMPONENT runtime)
  install(FILES ${KT3_EDITOR_RESOURCES} DESTINATION ${KT3_INSTALL_CLAP_DIR}/KT3/Resources COMPONENT runtime)
endif()
