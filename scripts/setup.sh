#!/usr/bin/env bash
# First-time set-up: installs what is missing, builds KT3, installs the bundle into ~/.vst3
# and renders the demo phrase through the installed plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
cmake --install build

demo="$HOME/kt3-demo.wav"
build/tools/kt3-render --plugin "$HOME/.vst3/KT3.vst3" --out "$demo"
echo
echo "Installed: $HOME/.vst3/KT3.vst3"
echo "Demo:      $demo (reverb) and ${demo%.wav}-dry.wav (dry)"
