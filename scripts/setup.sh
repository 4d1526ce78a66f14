#!/usr/bin/env bash
# First-time set-up for one user: installs the Debian packages the plug-in needs (and no
# test tools), builds the plug-in and kt3-render in build-user/, installs the bundle into
# ~/.vst3, its VST 2.4 entry into ~/.vst, the LV2 bundle into ~/.lv2, KT3.clap into ~/.clap/KT3
# and kt3-render into ~/.local/bin, and renders the
# demo phrase through the installed plug-in. `cmake --build build-user --target uninstall`
# removes what it installed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh plugin
cmake -S . -B build-user -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT3_USER_INSTALL=ON \
  -DKT3_BUILD_TESTS=OFF -DKT3_BUILD_BENCH=OFF -DKT3_BUILD_ARTWORK=OFF
cmake --build build-user -j"$(nproc)"
cmake --install build-user

render="$HOME/.local/bin/kt3-render"
demo="$HOME/kt3-demo.wav"
"$render" --out "$demo" # its default plug-in is the bundle installed beside it
echo
echo "Installed: $HOME/.vst3/KT3.vst3 (VST 3), $HOME/.vst/KT3.so (VST 2.4), $HOME/.lv2/KT3.lv2 (LV2),"
echo "           $HOME/.clap/KT3/KT3.clap (CLAP), $render"
echo "Demo:      $demo (reverb) and ${demo%.wav}-dry.wav (dry)"
