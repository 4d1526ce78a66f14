#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: installs what is missing, builds,
# runs every test (among them the install into a scratch folder and the Debian package, made,
# checked by lintian and unpacked), then builds and runs the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer and the threaded suites under ThreadSanitizer, cross-builds the
# Windows module and runs its suites under Wine, cross-builds for 64-bit ARM Linux and runs
# its suites under qemu-aarch64, and finally runs each fuzz target briefly with a fixed seed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

# Everything on, whatever an earlier configure of build/ chose.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT3_BUILD_TESTS=ON -DKT3_BUILD_TOOLS=ON \
  -DKT3_BUILD_BENCH=ON -DKT3_BUILD_ARTWORK=ON -DKT3_USER_INSTALL=OFF
cmake --build build -j"$jobs"
# Tests get an X display of their own, so the editor tests run against a real X server.
xvfb-run -a ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKT3_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  xvfb-run -a ctest --test-dir build-asan --output-on-failure -j"$jobs"

# ThreadSanitizer on the suites that drive one plug-in from several threads at once.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT3_SANITIZE_THREAD=ON
cmake --build build-tsan -j"$jobs" --target processor_tests vst2_tests
export TSAN_OPTIONS=halt_on_error=1
build-tsan/tests/processor_tests
xvfb-run -a build-tsan/tests/vst2_tests
unset TSAN_OPTIONS

# The 64-bit Windows module, cross-built, and its suites under Wine (window tests on the Xvfb
# display that xvfb-run provides).
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-win64 -j"$jobs"
xvfb-run -a ctest --test-dir build-win64 --output-on-failure -j"$jobs"

# The arm64 build, cross-built, and its suites under qemu-aarch64 (window tests on the Xvfb
# display that xvfb-run provides), with the universal bundle of both Linux builds.
arm64_start=$SECONDS
cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT3_UNIVERSAL_WITH="$PWD/build"
cmake --build build-aarch64 -j"$jobs"
xvfb-run -a ctest --test-dir build-aarch64 --output-on-failure -j"$jobs"
echo "The arm64 stage took $((SECONDS - arm64_start)) s."

# Each fuzz target starts from a copy of its committed corpus (fuzz/corpus/<target>), so the
# run adds nothing to the repository; a crashing input is written into build-fuzz/.
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT3_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
fuzzers=()
for corpus in fuzz/corpus/*/; do fuzzers+=("$(basename "$corpus")"); done
cmake --build build-fuzz -j"$jobs" --target "${fuzzers[@]}"
for fuzzer in "${fuzzers[@]}"; do
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$fuzzer/." "$work"
  build-fuzz/fuzz/"$fuzzer" -seed=1 -max_total_time=20 -artifact_prefix="build-fuzz/$fuzzer-" "$work"
  rm -rf "$work"
done
