#!/usr/bin/env bash
# Sets everything up, builds, and plays the bundled story. Without a display the player
# runs headless on a replay of clicks and writes what it showed to build/demo-frames/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
story=examples/minimal/minimal.kne
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/kelvanovelrun --window "$story"
fi
echo "No display: playing headless; frames go to build/demo-frames/"
mkdir -p build/demo-frames
exec build/bin/kelvanovelrun --replay examples/minimal/attract.events --dump-dir build/demo-frames "$story"
