#!/usr/bin/env bash
# gammu, a client of 27.007 / 27.005 modules from Debian, reads the standalone
# simulated modem: its identity, the SIM's phonebook and the stored messages,
# as the simulator's defaults hold them (entries at places 1, 2 and 4, one
# unread message). socat stands between the two: gammu sets line settings a
# pseudo-terminal reports as rate 0, so it gets a pseudo-terminal of its own
# and the simulator's side is held at 9600 bit/s. Every process is
# time-limited. Exit 77 (skipped) where gammu or socat is not installed.
#
# usage: gammu-reads-the-simulator.sh SIMULATOR
set -uo pipefail

simulator=$1
for tool in gammu socat timeout; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed (tools/setup.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to five seconds for a path to appear.
await() {
  for _ in $(seq 100); do
    [ -e "$1" ] && return 0
    sleep 0.05
  done
  echo "no $1"
  exit 1
}

timeout 120 "$simulator" --dir "$work" --port 1 --latency 0.001 </dev/null >"$work/sim.out" 2>&1 &
pids+=($!)
await "$work/ports/COM1"
timeout 120 socat PTY,link="$work/gsm",raw,echo=0 "$(readlink "$work/ports/COM1")",raw,echo=0,b9600 &
pids+=($!)
await "$work/gsm"
printf '[gammu]\ndevice = %s\nconnection = at\n' "$work/gsm" >"$work/gammurc"

failures=0
# What gammu writes for these arguments, its empty lines left out; what it
# says on its error output goes to gammu.err.
gammu_reads() {
  TZ=UTC timeout 30 gammu -c "$work/gammurc" "$@" 2>"$work/gammu.err" | grep -v '^$'
  return "${PIPESTATUS[0]}"
}

# gammu's output for these arguments holds every expected line (in order:
# exactly those lines, when `exact` is given first).
expect() {
  local exact=""
  if [ "$1" = exact ]; then exact=1; shift; fi
  local expected=$1
  shift
  local output
  output=$(gammu_reads "$@")
  local status=$?
  local missing=""
  if [ -n "$exact" ]; then
    [ "$output" = "$expected" ] || missing="the lines as expected"
  else
    while IFS= read -r line; do
      grep -qxF -- "$line" <<<"$output" || { missing="\"$line\""; break; }
    done <<<"$expected"
  fi
  if [ $status -ne 0 ] || [ -n "$missing" ]; then
    echo "gammu $* (status $status) lacks $missing; it wrote:"
    echo "$output"
    cat "$work/gammu.err"
    failures=$((failures + 1))
  else
    echo "gammu $*: as expected"
  fi
}

expect 'Manufacturer         : GSM SIMULATOR MODEM
Model                : MULTIBAND  900E  1800 (MULTIBAND  900E  1800)
Firmware             : SIM100 1.0.0 010124 12:00
IMEI                 : 123456789012345
SIM IMSI             : 001010123456789' identify

expect exact 'Memory SM, Location 1
General number       : "0123456789"
Name                 : "JOHN"
Memory SM, Location 2
General number       : "+441632960961"
Name                 : "OFFICE"
Memory SM, Location 4
General number       : "0207946000"
Name                 : "HOME"' getallmemory SM

expect exact 'Location 1, folder "Inbox", SIM memory, Inbox folder
SMS message
SMSC number          : "+447700900100"
Sent                 : Mon Jan 15 10:30:00 2024 +0000
Coding               : Default GSM alphabet (no compression)
Remote number        : "+441632960962"
Status               : UnRead
Hello from the network
1 SMS parts in 1 SMS sequences' getallsms

[ $failures -eq 0 ]
