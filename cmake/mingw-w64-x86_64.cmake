# Cross-builds the 64-bit Windows module and its tests with Debian's MinGW-w64 (posix threads):
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# ctest runs the Windows test programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KT3_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KT3_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KT3_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KT3_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${KT3_MINGW_TRIPLE}-objdump)

# Libraries and packages come from the MinGW tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KT3_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
