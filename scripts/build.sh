#!/usr/bin/env bash
# Configures and builds the project: scripts/build.sh [BUILD_DIR [extra cmake options...]]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja -DKELVA_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j2
