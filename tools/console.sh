#!/usr/bin/env bash
# Installs, builds and starts the console from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
exec build/program/gsmconsole
