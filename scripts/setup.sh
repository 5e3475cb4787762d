#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential clang libclang-rt-dev clang-format cmake pkg-config ninja-build
  libsdl2-dev
  libfreetype-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation2
  libjpeg62-turbo-dev libpng-dev zlib1g-dev
  libfluidsynth-dev timgm6mb-soundfont libasound2-dev
  libmpg123-dev libsndfile1-dev libsamplerate0-dev
  libcdio-dev libcdio-paranoia-dev
  libyaml-cpp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 libjpeg-turbo-progs graphviz help2man
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
