#!/usr/bin/env bash
# Checks that windows reach each other only through what they make public:
# a window's generated controls (ui_X.h) are its own, and the main window's
# header is for its own files, the modem face and the program's start.
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"
status=0

# The files of window X: X.cpp, and for the main window its files named
# Form1<Concern>.cpp.
is_own_file() { # window file
    local base
    base=$(basename "$2" .cpp)
    [ "$base" = "$1" ] || [[ "$base" =~ ^$1[A-Z] ]]
}

sources=$(find link console calls services config platform app -name '*.cpp' -o -name '*.h')

for file in $sources; do
    while read -r window; do
        [ -n "$window" ] || continue
        if ! is_own_file "$window" "$file" && ! { [ "$window" = Form1 ] && [ "$file" = link/Modem.cpp ]; }; then
            echo "$file reaches into the controls of $window (ui_$window.h)"
            status=1
        fi
    done < <(sed -n 's/^#include "ui_\(.*\)\.h"/\1/p' "$file")
    if grep -q '^#include "console/Form1.h"' "$file"; then
        case "$file" in
        link/Modem.cpp | app/main.cpp | console/Composition.cpp) ;;
        *) is_own_file Form1 "$file" || { echo "$file includes the main window; use link/Modem.h"; status=1; } ;;
        esac
    fi
done
exit $status
