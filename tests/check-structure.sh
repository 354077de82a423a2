#!/usr/bin/env bash
# Checks that windows reach each other only through what they make public: a
# window's generated controls (ui_X.h) are its own. (That the layers reach
# only downwards, the build itself checks: see the ReachingUpFailsToBuild
# tests.)
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"
status=0

# The files of window X: in X's folder, X.cpp and the files named
# X<Concern>.cpp (the main window's Form1Buttons.cpp...).
is_own_file() { # window file
    local base header
    base=$(basename "$2" .cpp)
    header=$(find link console calls services config -name "$1.h" | head -n 1)
    [ "$(dirname "$header")" = "$(dirname "$2")" ] || return 1
    [ "$base" = "$1" ] || [[ "$base" =~ ^$1[A-Z] ]]
}

sources=$(find link console calls services config platform app -name '*.cpp' -o -name '*.h')
for file in $sources; do
    while read -r window; do
        [ -n "$window" ] || continue
        if ! is_own_file "$window" "$file"; then
            echo "$file reaches into the controls of $window (ui_$window.h)"
            status=1
        fi
    done < <(sed -n 's/^#include "ui_\(.*\)\.h"/\1/p' "$file")
done
exit $status
