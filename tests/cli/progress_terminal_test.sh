#!/usr/bin/env bash
# tarnvik-cli's progress line: drawn in place on a terminal (a pseudo-terminal from
# script(1)) and cleared before the results; not drawn with --json.
# Usage: progress_terminal_test.sh TARNVIK_CLI PRINTER_SIM
set -euo pipefail
cli=$(realpath "$1")
sim=$(realpath "$2")

if ! command -v script >/dev/null 2>&1; then
    echo "SKIP: script(1) is not installed (Debian package bsdutils)"
    exit 77
fi

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# The file exists before the printer starts writing it, so reading it never races the start.
: >"$work/sim.out"
timeout 120 "$sim" --tcp 127.0.0.1:0 >"$work/sim.out" 2>&1 &
pid=$!
port=
for _ in $(seq 200); do
    port=$(sed -n 's/^TCP 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/sim.out")
    [ -n "$port" ] && break
    sleep 0.05
done
[ -n "$port" ] || { echo "the virtual printer did not start" >&2; exit 1; }

# One long line the printer takes and ignores.
head -c 200000 /dev/zero | tr '\0' 'A' >"$work/data.txt"
printf '\r\n' >>"$work/data.txt"

timeout 60 script -qe -c "'$cli' send '$work/data.txt' --link tcp:127.0.0.1:$port" /dev/null \
    </dev/null >"$work/tty.out"
grep -qF $'\rsend: 1/1 printers done\e[K' "$work/tty.out" ||
    { cat -v "$work/tty.out"; echo "no progress line on the terminal" >&2; exit 1; }
grep -qF $'\r\e[KLINK' "$work/tty.out" ||
    { cat -v "$work/tty.out"; echo "the line was not cleared before the results" >&2; exit 1; }

timeout 60 script -qe -c "'$cli' send '$work/data.txt' --json --link tcp:127.0.0.1:$port" \
    /dev/null </dev/null >"$work/json.out"
if grep -q "printers done" "$work/json.out"; then
    cat -v "$work/json.out"
    echo "a progress line with --json" >&2
    exit 1
fi
echo "progress line: drawn on a terminal, cleared before the results, none with --json"
