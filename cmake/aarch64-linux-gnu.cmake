# Cross-builds KT3 for 64-bit ARM Linux with Debian's cross compiler (g++-aarch64-linux-gnu) and
# the arm64 libraries that multiarch installs beside the build machine's (libxcb1-dev:arm64, ...):
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# The build's generators and ctest's test programs run under qemu-aarch64 (user-mode emulation,
# no binfmt registration needed), with the arm64 C library that multiarch installs
# (/lib/ld-linux-aarch64.so.1, libc6:arm64). Not with the cross toolchain's copy as their root
# (-L /usr/aarch64-linux-gnu): under it, creating a thread never returns.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(KT3_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${KT3_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KT3_CROSS_TRIPLE}-g++)
# The compiler searches the multiarch folders (/usr/lib/aarch64-linux-gnu) itself; CMake's
# searches take them from CMAKE_LIBRARY_ARCHITECTURE, which it reads off the compiler.

# pkg-config reads the arm64 libraries' descriptions only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${KT3_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

find_program(KT3_QEMU_AARCH64 qemu-aarch64)
if(NOT KT3_QEMU_AARCH64)
  message(FATAL_ERROR "The arm64 build runs its generators and tests under qemu-aarch64: "
    "install Debian's qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${KT3_QEMU_AARCH64})
