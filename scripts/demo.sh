#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual printer on 127.0.0.1 (the command
# language on TCP 9100, the LAN setup protocol on UDP 22368) and then Tarnvik, pointed at
# it. Extra arguments go to the printer (see tarnvik-printer-sim --help). The printer stops
# when Tarnvik closes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
find build/default -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build --preset default -j "$(nproc)"

build=build/default
"$build/sim/tarnvik-printer-sim" --tcp 127.0.0.1:9100 --lan 127.0.0.1:22368 "$@" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
sleep 0.5
if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "the virtual printer did not start (is port 9100 taken?)" >&2
    exit 1
fi

# Only the demo sets this: the Ethernet link and LAN discovery go to the virtual printer.
export TARNVIK_DEMO_PRINTER=127.0.0.1:9100

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running Tarnvik under xvfb-run."
    xvfb-run -a "$build/src/tarnvik"
else
    "$build/src/tarnvik"
fi
