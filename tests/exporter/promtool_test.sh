#!/usr/bin/env bash
# The Prometheus example (scrape jobs, alert rules and their unit tests) through promtool,
# and promtool check metrics on a live probe of a virtual printer with its head open.
# Usage: promtool_test.sh EXPORTER SIM EXAMPLE-DIR. Skipped (77) where promtool is missing.
set -euo pipefail
exporter=$1
sim=$2
example=$3
if ! command -v promtool >/dev/null || ! command -v curl >/dev/null; then
    echo "promtool or curl is not installed (apt-get install prometheus curl): skipped"
    exit 77
fi
source "$(dirname "$0")/exporter_test_lib.sh"

(cd "$example" && timeout 60 promtool check config prometheus.yml)
(cd "$example" && timeout 60 promtool check rules tarnvik-alerts.yml)
(cd "$example" && timeout 60 promtool test rules tarnvik-alerts.test.yml)
(cd "$example/sharding" && timeout 60 promtool check config shard-0.yml && timeout 60 promtool check config global.yml)

start_printer head-open --status 1
start_exporter --allow 127.0.0.0/8
# It runs without glibc's per-thread block caches: it starts itself once more to turn them off.
exporter_pid=$(pgrep -P "${pids[-1]}")
tr '\0' '\n' <"/proc/$exporter_pid/environ" | grep -qx 'GLIBC_TUNABLES=glibc.malloc.tcache_count=0'
probe="http://127.0.0.1:$EXPORTER_PORT/probe"
for module in status full; do
    curl -sS --max-time 20 -o "$work/$module.txt" "$probe?target=tcp:127.0.0.1:$PRINTER_PORT&module=$module"
    timeout 60 promtool check metrics <"$work/$module.txt"
done
grep -qx 'tarnvik_up 1' "$work/status.txt"
grep -qx 'tarnvik_status{condition="head_open"} 1' "$work/status.txt"
grep -q '^tarnvik_printer_info{' "$work/full.txt"
curl -sS --max-time 20 "http://127.0.0.1:$EXPORTER_PORT/metrics" | timeout 60 promtool check metrics

# Outside the allow list: 403; not a link: 400.
test "$(curl -s --max-time 20 -o /dev/null -w '%{http_code}' "$probe?target=tcp:192.0.2.1")" = 403
test "$(curl -s --max-time 20 -o /dev/null -w '%{http_code}' "$probe?target=nothing")" = 400
echo "promtool: example and live metrics pass"
