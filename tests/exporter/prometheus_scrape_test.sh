#!/usr/bin/env bash
# A real Prometheus server on loopback (its own temporary storage, 1 s scrape interval)
# scrapes the exporter, which probes three virtual printers: one with its head open, one
# ready, one that never answers. Prometheus's HTTP API must then give tarnvik_up and the
# head-open condition of each.
# Usage: prometheus_scrape_test.sh EXPORTER SIM. Skipped (77) where prometheus is missing.
set -euo pipefail
exporter=$1
sim=$2
for tool in prometheus curl python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed (apt-get install prometheus curl python3): skipped"
        exit 77
    fi
done
source "$(dirname "$0")/exporter_test_lib.sh"

start_printer head-open --status 1
open_port=$PRINTER_PORT
start_printer ready
ready_port=$PRINTER_PORT
start_printer silent --silent
silent_port=$PRINTER_PORT
start_exporter --allow 127.0.0.0/8

web_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/prometheus.yml" <<YAML
global:
  scrape_interval: 1s
  scrape_timeout: 1s
scrape_configs:
  - job_name: tarnvik-status
    metrics_path: /probe
    params:
      module: [status]
    static_configs:
      - targets:
          - tcp:127.0.0.1:$open_port
          - tcp:127.0.0.1:$ready_port
          - tcp:127.0.0.1:$silent_port
    relabel_configs:
      - source_labels: [__address__]
        target_label: __param_target
      - source_labels: [__param_target]
        target_label: instance
      - target_label: __address__
        replacement: 127.0.0.1:$EXPORTER_PORT
YAML
timeout 120 prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/data" \
    --web.listen-address="127.0.0.1:$web_port" >"$work/prometheus.log" 2>&1 </dev/null &
pids+=($!)

# query EXPRESSION: "instance value" lines of an instant query; nothing while Prometheus
# is not answering yet.
query() {
    curl -sS --max-time 5 --get "http://127.0.0.1:$web_port/api/v1/query" \
        --data-urlencode "query=$1" 2>/dev/null |
        python3 -c 'import json, sys
for r in json.load(sys.stdin)["data"]["result"]:
    print(r["metric"]["instance"], r["value"][1])' 2>/dev/null | sort || true
}

expected_up=$(printf '%s\n' "tcp:127.0.0.1:$open_port 1" "tcp:127.0.0.1:$ready_port 1" \
    "tcp:127.0.0.1:$silent_port 0" | sort)
expected_open=$(printf '%s\n' "tcp:127.0.0.1:$open_port 1" "tcp:127.0.0.1:$ready_port 0" | sort)
up= open=
for _ in $(seq 60); do
    up=$(query tarnvik_up)
    open=$(query 'tarnvik_status{condition="head_open"}')
    [ "$up" = "$expected_up" ] && [ "$open" = "$expected_open" ] && break
    sleep 0.5
done
if [ "$up" != "$expected_up" ] || [ "$open" != "$expected_open" ]; then
    echo "tarnvik_up: got"; echo "$up"; echo "expected"; echo "$expected_up"
    echo "head_open: got"; echo "$open"; echo "expected"; echo "$expected_open"
    tail -20 "$work/prometheus.log"
    exit 1
fi
# Every scrape of the exporter succeeded, the silent printer's too (it is tarnvik_up 0).
scrapes=$(query 'up{job="tarnvik-status"}')
[ "$(echo "$scrapes" | awk '$2 != 1' | wc -l)" = 0 ] || { echo "failed scrapes: $scrapes"; exit 1; }
echo "prometheus: scraped three printers through the exporter"
