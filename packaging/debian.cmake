# The Debian package, made by CPack from the install rules (`cpack` in the build folder, or the
# target `package`): kt3_<version>_<arch>.deb with everything the component "runtime" installs
# under /usr, and kt3-dbgsym_<version>_<arch>.deb with the debug information. The package's
# library dependencies are computed by dpkg-shlibdeps from the binaries themselves.
if(KT3_USER_INSTALL)
  return() # a per-user layout installs into the home folder: nothing to package
endif()

# The Debian architecture of the binaries (amd64, arm64), from the multiarch triple the compiler
# builds for, so that a cross-build packages for its target.
execute_process(COMMAND dpkg-architecture -qDEB_HOST_ARCH -t${CMAKE_LIBRARY_ARCHITECTURE}
                OUTPUT_VARIABLE KT3_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT KT3_DEB_ARCH AND NOT CMAKE_CROSSCOMPILING) # without dpkg-dev: the machine's own
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE KT3_DEB_ARCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT KT3_DEB_ARCH AND CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "A cross-build names its package's architecture with dpkg-architecture: "
    "install Debian's dpkg-dev")
elseif(NOT KT3_DEB_ARCH)
  set(KT3_DEB_ARCH amd64)
endif()
set(KT3_DEB_ARCH ${KT3_DEB_ARCH} CACHE INTERNAL "The Debian architecture the packages are for")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kt3)
set(CPACK_PACKAGE_VENDOR ${KT3_VENDOR})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KT3_VENDOR} <${KT3_VENDOR_EMAIL}>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${KT3_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KT3_VENDOR_URL}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime debug)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME kt3)
set(CPACK_DEBIAN_RUNTIME_FILE_NAME kt3_${PROJECT_VERSION}_${KT3_DEB_ARCH}.deb)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "compact stereo reverb plug-in (VST 3, VST 2.4, LV2 and CLAP)
KT3 is a stereo reverb for digital audio workstations: a damped mono send
feeds four cascaded feedback stages, with a wider right channel. It has four
controls (Size, HF Damp, Mix, Output), a bypass that crossfades over one
block, and a fixed-size editor.
.
This package installs the VST 3 bundle into /usr/lib/vst3, its VST 2.4 entry
into /usr/lib/vst, the LV2 bundle into /usr/lib/lv2, the CLAP plug-in into
/usr/lib/clap, and kt3-render, a command-line tool that renders audio files
through the plug-in.")

set(CPACK_DEBIAN_DEBUG_PACKAGE_NAME kt3-dbgsym)
set(CPACK_DEBIAN_DEBUG_FILE_NAME kt3-dbgsym_${PROJECT_VERSION}_${KT3_DEB_ARCH}.deb)
set(CPACK_DEBIAN_DEBUG_PACKAGE_SECTION debug)
set(CPACK_DEBIAN_DEBUG_PACKAGE_DEPENDS "kt3 (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEBUG_DESCRIPTION "debug symbols for kt3
The debug information of the KT3 plug-in module and of kt3-render, found by
debuggers through the binaries' build IDs.")

include(CPack)
