# Where `cmake --install` puts things. A system install (the default, and the Debian package)
# lays out <prefix>/lib/vst3/KT3.vst3, <prefix>/lib/vst/KT3.so, <prefix>/bin/kt3-render and
# <prefix>/lib/lv2/KT3.lv2, <prefix>/lib/clap/KT3/KT3.clap, <prefix>/share/... (the factory
# presets in <prefix>/share/vst3/presets/<vendor>/KT3, where hosts look for them by the
# factory's vendor name); a per-user install puts the plug-in into the folders hosts scan in the
# home directory (~/.vst3, ~/.vst, ~/.lv2, ~/.clap, the presets in
# ~/.vst3/presets/<vendor>/KT3) and the rest under ~/.local.
option(KT3_USER_INSTALL "Install the plug-in into ~/.vst3 and ~/.vst, the rest into ~/.local" OFF)
if(KT3_USER_INSTALL)
  if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
  endif()
  set(KT3_INSTALL_VST3_DIR "$ENV{HOME}/.vst3")
  set(KT3_INSTALL_VST2_DIR "$ENV{HOME}/.vst")
  set(KT3_INSTALL_PRESET_DIR "$ENV{HOME}/.vst3/presets/${KT3_VENDOR}/KT3")
  set(KT3_INSTALL_LV2_DIR "$ENV{HOME}/.lv2")
  set(KT3_INSTALL_CLAP_DIR "$ENV{HOME}/.clap")
else()
  set(KT3_INSTALL_VST3_DIR lib/vst3)
  set(KT3_INSTALL_VST2_DIR lib/vst)
  set(KT3_INSTALL_PRESET_DIR "share/vst3/presets/${KT3_VENDOR}/KT3")
  set(KT3_INSTALL_LV2_DIR lib/lv2)
  set(KT3_INSTALL_CLAP_DIR lib/clap)
endif()
set(KT3_INSTALL_BIN_DIR bin)
set(KT3_INSTALL_DOC_DIR share/doc/kt3)
set(KT3_INSTALL_MAN_DIR share/man/man1)

# The installed bundle as seen from the installed bin folder (kt3-render's default plug-in),
# and the installed bundle's module as seen from the VST 2 folder (the VST 2 entry's link).
# Both relative, so that they hold under any prefix and DESTDIR.
function(kt3_installed_relative out from to)
  foreach(dir from to)
    if(NOT IS_ABSOLUTE "${${dir}}")
      set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
    endif()
  endforeach()
  file(RELATIVE_PATH relative "${from}" "${to}")
  set(${out} "${relative}" PARENT_SCOPE)
endfunction()
kt3_installed_relative(KT3_BUNDLE_FROM_BIN_DIR "${KT3_INSTALL_BIN_DIR}" "${KT3_INSTALL_VST3_DIR}/KT3.vst3")
kt3_installed_relative(KT3_MODULE_FROM_VST2_DIR "${KT3_INSTALL_VST2_DIR}"
                       "${KT3_INSTALL_VST3_DIR}/KT3.vst3/Contents/${KT3_ARCHITECTURE_FOLDER}/KT3.so")

# kt3_strip_for_install(<target>): after each link, the target's stripped copy goes to
# ${KT3_STRIPPED_DIR}/<file name> (what is installed) and its debug information under
# ${KT3_DEBUG_SYMBOLS_DIR}/.build-id (installed into lib/debug, the component "debug").
set(KT3_STRIPPED_DIR ${CMAKE_BINARY_DIR}/stripped)
set(KT3_DEBUG_SYMBOLS_DIR ${CMAKE_BINARY_DIR}/debug-symbols)
function(kt3_strip_for_install target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KT3_STRIPPED_DIR}
    COMMAND ${CMAKE_COMMAND} -DBINARY=$<TARGET_FILE:${target}>
            -DSTRIPPED=${KT3_STRIPPED_DIR}/$<TARGET_FILE_NAME:${target}> -DDEBUG_ROOT=${KT3_DEBUG_SYMBOLS_DIR}
            -DOBJCOPY=${CMAKE_OBJCOPY} -DREADELF=${CMAKE_READELF} -P ${PROJECT_SOURCE_DIR}/cmake/splitdebug.cmake
    COMMENT "Stripping ${target} for installing; its debug information kept apart")
endfunction()
