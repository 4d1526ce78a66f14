#!/usr/bin/env bash
# Installs the Debian packages that KT3 needs, skipping those present.
#   scripts/install-deps.sh plugin   what the plug-in, kt3-render and the demo need
#   scripts/install-deps.sh          that, and everything the tests, the benchmarks, the
#                                    packaging checks and the Windows build need
# Without root it prints the exact apt-get line and stops.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  juce-modules-source-data fst-dev # the VST 3 SDK and the VST 2.4 header
  libstb-dev libxcb1-dev           # the editor: PNG decoding, the X11 connection
  libsndfile1-dev                  # kt3-render's audio files
  lv2-dev                          # the LV2 plug-in: its headers and vocabularies
  dpf-source                       # the CLAP plug-in: the CLAP headers it carries
)
if [ "${1:-all}" != plugin ]; then
  packages+=(
    libgtest-dev libbenchmark-dev
    libcairo2-dev fonts-dejavu-core  # kt3-draw-bitmaps, which draws the editor's bitmaps
    libxcb-xtest0-dev xvfb xauth     # editor tests against a real X server
    clang libclang-rt-14-dev         # the fuzz targets
    locales # locale sources: a test generates a decimal-comma locale from them
    liblilv-dev lilv-utils sordi     # LV2 hosting, lv2apply and lv2info, sord_validate
    groff-base                       # groff: a test renders kt3-render's man page, warnings on
    dpkg-dev file lintian            # the Debian package: dependencies, and its check
    # The Windows module: the MinGW-w64 cross compiler, Wine to run its tests and its moduleinfo
    # generator, and GoogleTest's sources to build for Windows.
    g++-mingw-w64-x86-64-posix wine64 googletest
    ardour # a real DAW for the preset test: ardour7-lua, its scanners and the Dummy backend
    qtractor # its plug-in scanner lists KT3.clap as a host sees it
    # The arm64 build: Debian's cross compiler, qemu-user to run its programs, and the arm64
    # libraries it links and its tests use, installed beside the build machine's (multiarch).
    g++-aarch64-linux-gnu qemu-user
    libxcb1-dev:arm64 libxcb-xtest0-dev:arm64 libsndfile1-dev:arm64 liblilv-dev:arm64 libgtest-dev:arm64
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
# Packages of another architecture need it added to dpkg's list first.
add_arch=
if [[ " ${missing[*]}" == *:arm64* ]] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
  add_arch="dpkg --add-architecture arm64"
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages. As root, run:" >&2
  echo "  ${add_arch:+$add_arch && }apt-get update && $line" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$add_arch
apt-get update -qq
$line
