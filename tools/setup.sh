#!/usr/bin/env bash
# Installs what the console needs on Debian 12 (only what is missing) and
# builds the targets named (everything when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."

# The console's packages, the compiler, and for the tests GoogleTest, a
# virtual desktop (display, window manager, keyboard and mouse input) with the
# accessibility bus and a reader of it, for reading the windows as a screen
# reader does, and gammu and socat (gammu reads the simulated modem through a
# pseudo-terminal socat makes).
source tools/packages.sh
tools/install-missing.sh "${console_packages[@]}" g++ libgtest-dev libgmock-dev xvfb xdotool \
  openbox dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0 gammu socat

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DWARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
