#!/usr/bin/env bash
# Installs what the console needs on Debian 12 (only what is missing) and
# builds the targets named (everything when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."

# The console's packages, the compiler, and for the tests GoogleTest, a
# virtual display with keyboard input to it, and gammu and socat (gammu reads
# the simulated modem through a pseudo-terminal socat makes).
source tools/packages.sh
tools/install-missing.sh "${console_packages[@]}" g++ libgtest-dev libgmock-dev xvfb xdotool \
  gammu socat

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DWARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
