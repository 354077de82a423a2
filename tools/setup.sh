#!/usr/bin/env bash
# Installs what the console needs on Debian 12 (only what is missing) and
# builds the targets named (everything when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."

# The fonts are the free faces drawn in place of the faces the windows name
# (see "Fonts" in the README); the tests measure every caption in them.
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
          libsqlite3-dev libgtest-dev libgmock-dev xvfb xdotool
          fonts-liberation fonts-urw-base35 fonts-ebgaramond)
tools/install-missing.sh "${packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
