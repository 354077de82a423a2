#!/usr/bin/env bash
# Builds the fuzz target of the receive path with clang's libFuzzer and the
# address and undefined-behaviour sanitizers, makes its seeds from the
# simulated modem, and runs it for the given number of seconds (default 60).
# Fails on a crash, a sanitizer report, or an input that runs past its time.
# The corpus it grows is kept in build-fuzz/corpus for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

# The console's own packages, and clang with its libFuzzer and sanitizer runtimes.
source tools/packages.sh
tools/install-missing.sh "${console_packages[@]}" clang libclang-rt-14-dev

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DFUZZING=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target modem-output-fuzzer fuzz-seeds >"$build/build.log" 2>&1 ||
  { cat "$build/build.log" >&2; exit 1; }

# fontconfig keeps a few blocks for the life of the process (fuzz/leaks.supp).
export LSAN_OPTIONS="suppressions=$PWD/fuzz/leaks.supp"
# A smaller quarantine and shorter allocation stacks keep the memory and the
# time per input down; reports keep their full stacks.
export ASAN_OPTIONS="malloc_context_size=10:quarantine_size_mb=32"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$PWD/$build/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

rm -rf "$build/seeds"
ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0" "$build/fuzz/fuzz-seeds" "$build/seeds"
mkdir -p "$build/corpus" "$build/artifacts"

# Each input runs on the virtual clock and ends by itself; one that takes more
# than ten seconds of real time is reported as a time-out and fails the run.
# Leaks are looked for at the end of the run, not after each input: the
# windows' font look-ups leave fontconfig blocks behind on every input, which
# would make every input a full leak scan.
log="$build/fuzz.log"
status=0
timeout $((seconds + 120)) "$build/fuzz/modem-output-fuzzer" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=8192 \
  -detect_leaks=0 -dict=fuzz/modem.dict -print_final_stats=1 -artifact_prefix="$build/artifacts/" \
  "$build/corpus" "$build/seeds" >"$log" 2>&1 || status=$?
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::|^==[0-9]+==ERROR|runtime error|^SUMMARY|Test unit written' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "fuzzing failed (status $status); the whole output is in $log" >&2
  tail -n 60 "$log" >&2
  exit 1
fi
echo "fuzzing: clean run of ${seconds} s"
