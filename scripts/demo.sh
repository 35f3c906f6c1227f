#!/usr/bin/env bash
# Installs what is missing, builds and starts tarnvik-demo: Tarnvik with a virtual printer
# inside the same process, on 127.0.0.1 only (the command language on TCP 9100, the LAN
# setup protocol on UDP 22368; ports already taken: pass --port 0 --lan-port 0 for free
# ones). Extra arguments go to tarnvik-demo (see tarnvik-demo --help).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
find build/default -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build --preset default -j "$(nproc)"

demo=build/default/src/tarnvik-demo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running Tarnvik under xvfb-run."
    exec xvfb-run -a "$demo" "$@"
fi
exec "$demo" "$@"
