#!/usr/bin/env bash
# Builds the console and its tests a second time under the address and
# undefined-behaviour sanitizers and runs every test: a report of either
# fails the test that made it.
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/packages.sh
tools/install-missing.sh "${console_packages[@]}" "${test_packages[@]}"

build=build-sanitized
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DSANITIZE=ON \
  -DWARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# fontconfig keeps a few blocks for the life of the process (fuzz/leaks.supp).
export LSAN_OPTIONS="suppressions=$PWD/fuzz/leaks.supp"
export ASAN_OPTIONS="detect_leaks=1:malloc_context_size=10"
export UBSAN_OPTIONS="print_stacktrace=1"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
