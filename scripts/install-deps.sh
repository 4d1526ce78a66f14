#!/usr/bin/env bash
# Installs the Debian packages that building and testing KT3 need, skipping those present.
# Without root it prints the exact apt-get line and stops.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libbenchmark-dev
  juce-modules-source-data
  libsndfile1-dev
  libstb-dev libcairo2-dev fonts-dejavu-core
  libxcb1-dev libxcb-xtest0-dev xvfb xauth
  fst-dev
  clang libclang-rt-14-dev
  locales # locale sources: a test generates a decimal-comma locale from them
  # The Windows module: the MinGW-w64 cross compiler, Wine to run its tests and its moduleinfo
  # generator, and GoogleTest's sources to build for Windows.
  g++-mingw-w64-x86-64-posix wine64 googletest
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages. As root, run:" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$line
