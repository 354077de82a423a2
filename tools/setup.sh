#!/usr/bin/env bash
# Installs what the console needs on Debian 12 (only what is missing) and
# builds the targets named (everything when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."

# The console's packages and the tests'.
source tools/packages.sh
tools/install-missing.sh "${console_packages[@]}" "${test_packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DWARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
