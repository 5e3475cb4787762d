#!/usr/bin/env bash
# Builds the Debian package of the player and the authoring tool, and tries it in a
# throwaway root: scripts/package.sh [BUILD_DIR]   (default build-package)
# The package lands in BUILD_DIR as kelvanovelrun_VERSION_ARCH.deb; install it with
#   sudo apt-get install ./BUILD_DIR/kelvanovelrun_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
# The usual optimised build of what the package holds and the demo game it is tried on;
# the package strips the debug information from its programs.
cmake -S . -B "$dir" -G Ninja -DKELVA_WERROR=ON -DKELVA_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" -j2 --target kelvanovelrun knovel vbmp3 manpages kelvademo
rm -f "$dir"/kelvanovelrun_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/kelvanovelrun_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Depends

# Unpacked into a scratch folder, every program and library must find all its libraries
# among the system's, and the player from the package must play the demo game.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
libdir=$(dirname "$(find "$root" -name libvbmp3.so)")
for file in "$root"/usr/bin/* "$libdir"/libvbmp3.so; do
  if LD_LIBRARY_PATH="$libdir" ldd "$file" | grep 'not found'; then
    echo "package.sh: $file lacks the libraries above" >&2
    exit 1
  fi
done
"$root"/usr/bin/knovel pack "$dir"/demo/data "$dir"/demo/demo.kne --exe "$root"/usr/bin/kelvanovelrun -o "$root"/demo
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy LD_LIBRARY_PATH="$libdir" \
  KELVA_REPLAY=examples/demo/attract.events KELVA_TRANSCRIPT="$root"/demo.log "$root"/demo
grep -q '^[0-9]* chosen ' "$root"/demo.log || { echo "package.sh: the demo game did not play" >&2; exit 1; }
echo "package.sh: the packaged player plays the demo game"
