#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
# Usage: scripts/test.sh [default|asan]   (default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

bash scripts/install-deps.sh
# ccache (when installed) hashes paths relative to the checkout, so another clone on the same
# machine (CI's) reuses what this one compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake --preset "$preset"
# Let the meta-object step look at every source again: a build folder configured before
# new window classes arrived can otherwise keep a stale list of them.
find "build/$preset" -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
