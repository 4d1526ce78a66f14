# include()d by the install and package checks, with PREFIX (an installed tree's /usr),
# EDITOR_FILES (the names of the editor's description and bitmaps, separated by commas),
# READELF, INSTALLED_TESTS (the installed_tests program), EMULATOR (what runs it in a
# cross-build, else empty), ARCHITECTURE_FOLDER (the bundle's folder for the build's modules),
# WITH_RENDER (whether kt3-render is built), MODULE_NEEDED and CLAP_NEEDED (the VST 3 module's
# and KT3.clap's exact DT_NEEDED lists). Checks what is installed
# where, that the binaries are stripped, carry no run path and find their debug files by build
# ID, then runs installed_tests against the tree.
function(kt3_fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

string(REPLACE "," ";" editor_files "${EDITOR_FILES}")
if(NOT "FX_KT3.uidesc" IN_LIST editor_files OR NOT "kt3.png" IN_LIST editor_files)
  kt3_fail("EDITOR_FILES does not list the editor's files: '${EDITOR_FILES}'")
endif()
set(bundle lib/vst3/KT3.vst3)
set(expected
  ${bundle}/Contents/${ARCHITECTURE_FOLDER}/KT3.so
  ${bundle}/Contents/Resources/moduleinfo.json
  lib/vst/KT3.so
  share/doc/kt3/copyright
  share/doc/kt3/LICENSE
  share/doc/kt3/NOTICE
  share/doc/kt3/README.md
  share/doc/kt3/changelog.gz)
list(TRANSFORM editor_files PREPEND ${bundle}/Contents/Resources/ OUTPUT_VARIABLE bundle_files)
list(APPEND expected ${bundle_files})
foreach(preset "Default" "Small Room" "Faint Room" "Dark Chamber" "Bright Hall" "Warm Hall"
               "Long Tail" "Full Wet Wash")
  list(APPEND expected "share/vst3/presets/Orvix/KT3/${preset}.vstpreset")
endforeach()
set(binaries ${bundle}/Contents/${ARCHITECTURE_FOLDER}/KT3.so)
# The LV2 bundle; its editor and the editor's resources once they are installed.
set(lv2 lib/lv2/KT3.lv2)
list(APPEND expected ${lv2}/manifest.ttl ${lv2}/KT3.ttl ${lv2}/presets.ttl ${lv2}/KT3_dsp.so)
list(APPEND binaries ${lv2}/KT3_dsp.so)
if(EXISTS ${PREFIX}/${lv2}/KT3_ui.so)
  list(TRANSFORM editor_files PREPEND ${lv2}/Resources/ OUTPUT_VARIABLE lv2_files)
  list(APPEND expected ${lv2_files})
  list(APPEND binaries ${lv2}/KT3_ui.so)
endif()
# The CLAP plug-in in its folder, with the editor's files.
list(APPEND expected lib/clap/KT3/KT3.clap)
list(APPEND binaries lib/clap/KT3/KT3.clap)
list(TRANSFORM editor_files PREPEND lib/clap/KT3/Resources/ OUTPUT_VARIABLE clap_files)
list(APPEND expected ${clap_files})
if(WITH_RENDER)
  list(APPEND expected bin/kt3-render share/man/man1/kt3-render.1.gz)
  list(APPEND binaries bin/kt3-render)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${file})
    kt3_fail("not installed: ${PREFIX}/${file}")
  endif()
endforeach()

file(READ_SYMLINK ${PREFIX}/lib/vst/KT3.so link)
if(NOT link STREQUAL "../vst3/KT3.vst3/Contents/${ARCHITECTURE_FOLDER}/KT3.so")
  kt3_fail("the VST 2 link points at '${link}'")
endif()

foreach(binary IN LISTS binaries)
  execute_process(COMMAND ${READELF} -S -d -n ${PREFIX}/${binary} OUTPUT_VARIABLE elf COMMAND_ERROR_IS_FATAL ANY)
  foreach(section .debug_info .symtab)
    if(elf MATCHES " \\${section} ")
      kt3_fail("${binary} is not stripped: it has ${section}")
    endif()
  endforeach()
  if(elf MATCHES "\\((RPATH|RUNPATH)\\)")
    kt3_fail("${binary} carries a run path")
  endif()
  if(NOT elf MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
    kt3_fail("${binary} has no build ID")
  endif()
  if(CHECK_DEBUG AND NOT EXISTS ${PREFIX}/lib/debug/.build-id/${CMAKE_MATCH_1}/${CMAKE_MATCH_2}.debug)
    kt3_fail("no debug file for ${binary} under lib/debug/.build-id")
  endif()
endforeach()

# The modules need exactly these libraries, in this order: nothing is linked that they do not use.
function(kt3_check_needed binary expected_needed)
  execute_process(COMMAND ${READELF} -d ${PREFIX}/${binary} OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "\\(NEEDED\\)[^[]*\\[[^]]+\\]" lines "${dynamic}")
  set(needed)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ".*\\[(.+)\\]" "\\1" name "${line}")
    list(APPEND needed ${name})
  endforeach()
  if(NOT needed STREQUAL expected_needed)
    kt3_fail("${binary} needs '${needed}', expected '${expected_needed}'")
  endif()
endfunction()
kt3_check_needed(${bundle}/Contents/${ARCHITECTURE_FOLDER}/KT3.so "${MODULE_NEEDED}")
# The LV2 DSP binary has no editor: no X library.
kt3_check_needed(${lv2}/KT3_dsp.so "libstdc++.so.6;libgcc_s.so.1;libc.so.6")
kt3_check_needed(lib/clap/KT3/KT3.clap "${CLAP_NEEDED}")

separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env KT3_INSTALLED_PREFIX=${PREFIX} ${emulator} ${INSTALLED_TESTS}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  kt3_fail("installed_tests failed against ${PREFIX}")
endif()
