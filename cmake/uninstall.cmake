# cmake -DMANIFEST=<build>/install_manifest.txt -P uninstall.cmake
# Removes exactly the files (and links) that the last `cmake --install` listed in its manifest
# (under $DESTDIR when it is set, as for the install),
# then the folders of KT3's own that this leaves empty: the VST 3 and LV2 bundles and their folders, the
# CLAP plug-in's folder (lib/clap/KT3), the documentation folder, the presets folder
# (presets/<vendor>/KT3) and the debug files' build-ID folders. Shared folders (bin, lib/vst3,
# lib/lv2, lib/clap, ~/.vst, the vendor's presets folder, ...) stay.
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (run cmake --install first)")
endif()
file(STRINGS "${MANIFEST}" files)
set(folders)
foreach(file IN LISTS files)
  set(file "$ENV{DESTDIR}${file}")
  if(IS_SYMLINK "${file}" OR EXISTS "${file}")
    message(STATUS "Removing ${file}")
    file(REMOVE "${file}")
  endif()
  # The file's own folders, from the deepest up to the first one KT3 does not own.
  get_filename_component(folder "${file}" DIRECTORY)
  while(folder MATCHES "/KT3\\.(vst3|lv2)(/|$)|/\\.?clap/KT3(/|$)|/share/doc/kt3(-dbgsym)?$|/presets/[^/]+/KT3$|/\\.build-id/[0-9a-f][0-9a-f]$")
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING) # children before their parents
foreach(folder IN LISTS folders)
  file(GLOB left "${folder}/*" "${folder}/.*")
  if(IS_DIRECTORY "${folder}" AND NOT left)
    file(REMOVE_RECURSE "${folder}")
  endif()
endforeach()
file(REMOVE "${MANIFEST}")
