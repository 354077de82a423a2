#!/usr/bin/env bash
# Checks that every C++ file of the project is laid out as .clang-format says,
# so that any change that drifts from it fails (clang-format -i FILE mends it).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-missing.sh clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format says"
