#!/usr/bin/env bash
# The exporter's long run: 1,000 virtual printers in a process of their own (70 % healthy;
# silent, refusing, not accepting, slow, sending garbage and hanging up 5 % each), probed
# through the exporter at a steady rate (a tenth with module=full). Prints resident memory,
# threads and descriptors as it goes, and a verdict: resident memory after the warm-up
# within 2 %, no scrape past its time-out.
# Usage: scripts/soak.sh [MINUTES [PROBES-PER-SECOND]]   (default 60 and 200)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-60}"
rate="${2:-200}"

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target bench_fleet -j "$(nproc)"
# Bounded: the run itself plus five minutes.
timeout $(( $(printf '%.0f' "$minutes") * 60 + 300 )) \
    build/default/bench/bench_fleet --soak "$minutes" --rate "$rate"
