#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer) and runs each for the given number of seconds,
# starting from its committed seeds. New inputs go to build/fuzz/corpus/<target>, never
# into the committed seeds. Prints the executions each target reached.
# Usage: scripts/fuzz.sh [seconds per target] [target...]   (default: 20, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true

bash scripts/install-deps.sh fuzz
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target fuzzers -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=($(sed -n 's/^tarnvik_add_fuzzer(\(.*\))$/\1/p' tests/fuzz/CMakeLists.txt))
fi
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
    corpus="build/fuzz/corpus/$target"
    mkdir -p "$corpus"
    log="build/fuzz/$target.log"
    # No stdin, a hard time limit, one process: safe as root and on a shared machine.
    if ! timeout $((seconds + 60)) "build/fuzz/tests/fuzz/$target" "$corpus" "tests/fuzz/seeds/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        </dev/null >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target: FAILED" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} executions in ${seconds} s"
done
