#!/usr/bin/env bash
# The exporter's long run: 200 virtual printers on loopback, a fifth of them misbehaving in
# turn (refusing, silent, hanging up mid-exchange, sending garbage), every printer probed
# every second. Prints resident memory, open descriptors, the longest probe and /metrics
# answers as it goes, and a verdict at the end: flat memory and descriptors (within 5 %
# after the first minute), no probe past its time-out, /metrics answering throughout.
# Usage: scripts/soak.sh MINUTES   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-30}"

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target bench_fleet -j "$(nproc)"
# Bounded: the run itself plus five minutes.
timeout $(( $(printf '%.0f' "$minutes") * 60 + 300 )) build/default/bench/bench_fleet --soak "$minutes"
