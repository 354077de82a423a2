#!/usr/bin/env bash
# Installs, builds and starts the console from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
# The console, the simulated modem and the program folder; the tests are built by tools/test.sh.
tools/setup.sh gsmconsole gsm-modem-sim program_files
exec build/program/gsmconsole
