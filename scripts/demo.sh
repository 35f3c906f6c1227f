#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual printer on 127.0.0.1:9100 and then
# Tarnvik. The printer stops when Tarnvik closes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
find build/default -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build --preset default -j "$(nproc)"

build=build/default
"$build/sim/tarnvik-printer-sim" --tcp 127.0.0.1:9100 "$@" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
sleep 0.5
if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "the virtual printer did not start (is port 9100 taken?)" >&2
    exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running Tarnvik under xvfb-run."
    xvfb-run -a "$build/src/tarnvik"
else
    "$build/src/tarnvik"
fi
