# Settings of the Windows cross-build (see mingw-w64-x86_64.cmake).

# The C and C++ runtimes (libgcc, libstdc++, winpthread) are linked in: the module and the
# test programs import nothing but Windows system DLLs. SSE2 arithmetic as on Linux.
add_link_options(-static)
add_compile_options(-msse2 -mfpmath=sse)
add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

# The header-only libraries that Debian installs for the build machine (the PNG decoder, the
# VST 2.4 interface header) are platform-neutral; the cross compiler sees them, and nothing
# else of /usr/include, through links in the build tree.
set(KT3_PORTABLE_HEADERS ${CMAKE_BINARY_DIR}/portable-headers)
file(MAKE_DIRECTORY ${KT3_PORTABLE_HEADERS}/pluginterfaces)
file(CREATE_LINK /usr/include/stb ${KT3_PORTABLE_HEADERS}/stb SYMBOLIC)
file(CREATE_LINK /usr/include/pluginterfaces/fst ${KT3_PORTABLE_HEADERS}/pluginterfaces/fst SYMBOLIC)
include_directories(SYSTEM ${KT3_PORTABLE_HEADERS})

# The build runs its generators (the editor's snapshots, moduleinfo.json) under Wine, and ctest
# the test programs, in a prefix of the build's own that is made once here (its first start takes
# a while) so that parallel runs never race to create it.
find_program(KT3_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KT3_WINE64 wine64)
if(KT3_WINE64)
  set(KT3_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${KT3_WINE64} ${KT3_WINEPREFIX})
  if(NOT EXISTS ${KT3_WINEPREFIX}/system.reg)
    message(STATUS "Creating the Wine prefix ${KT3_WINEPREFIX}")
    execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                    OUTPUT_QUIET ERROR_QUIET TIMEOUT 300)
  endif()
else()
  message(FATAL_ERROR "The Windows build runs its generators and tests under Wine: "
    "install Debian's wine64")
endif()
