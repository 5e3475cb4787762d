#!/usr/bin/env bash
# Prints every performance figure of the player beside its limit, with pass or fail:
# idle at the title and at a key wait, memory at a click wait, start-up of a maximal game
# (the real player in an X window: Xvfb is started when there is no display), and the
# benchmarks (pixel routines, text, a transition tick, MIDI timing) with their relative
# limits measured in the same run.
#
#   bench/figures.sh            builds Release in build-release/, full samples; any figure
#                               past its limit fails
#   bench/figures.sh --short [BUILD_DIR]
#                               CI: uses BUILD_DIR (default build/) as built, short samples;
#                               only a figure at 3 x its limit or worse fails
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ${1:-} == --short ]]; then
  exec python3 bench/figures.py "${2:-build}" --short
fi
# Warnings are not errors here: at -O3 GCC 12 warns falsely inside its own string code.
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DKELVA_BENCH=ON -DKELVA_WERROR=OFF
exec python3 bench/figures.py build-release
