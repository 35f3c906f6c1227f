#!/usr/bin/env bash
# The sharding example with real Prometheus servers on loopback: a fleet of virtual
# printers, two shards (each with its own exporter) keeping their half of the printers by
# hashmod on the target, and a global server federating both. Every printer must appear in
# the global view exactly once, with the shard that probed it.
# Usage: prometheus_shard_test.sh EXPORTER SIM EXAMPLE-DIR. Skipped (77) where prometheus
# is missing.
set -euo pipefail
exporter=$1
sim=$2
example=$3/sharding
for tool in prometheus curl python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed (apt-get install prometheus curl python3): skipped"
        exit 77
    fi
done
source "$(dirname "$0")/exporter_test_lib.sh"

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# A fleet of 24 printers, 4 of them silent, on a block of ports that is free (tried a few
# times: another program may take a port of the block meanwhile).
printers=24
for _ in 1 2 3 4 5; do
    base=$(( 20000 + RANDOM % 10000 ))
    timeout 300 "$sim" --fleet "$printers" --base-port "$base" --fleet-silent 16 \
        >"$work/fleet.log" 2>&1 </dev/null &
    fleet_pid=$!
    if wait_for_line "$work/fleet.log" 's/^\(fleet of\).*/\1/p' >/dev/null 2>&1; then
        pids+=("$fleet_pid")
        break
    fi
    fleet_pid=
done
[ -n "$fleet_pid" ] || { echo "no free block of ports for the fleet"; cat "$work/fleet.log"; exit 1; }
mkdir -p "$work/printers"
{
    echo "- targets:"
    for ((i = 0; i < printers; i++)); do echo "    - tcp:127.0.0.1:$((base + i))"; done
} >"$work/printers/fleet.yml"

# One exporter and one Prometheus per shard, from the example with its addresses replaced.
start_server() { # NAME CONFIG PORT
    timeout 120 prometheus --config.file="$2" --storage.tsdb.path="$work/data-$1" \
        --web.listen-address="127.0.0.1:$3" >"$work/$1.log" 2>&1 </dev/null &
    pids+=($!)
}
shard_ports=()
for shard in 0 1; do
    start_exporter --allow 127.0.0.0/8
    web=$(free_port)
    shard_ports+=("$web")
    sed -e "s/127\.0\.0\.1:9854/127.0.0.1:$EXPORTER_PORT/g" \
        -e "s/regex: \"0\"/regex: \"$shard\"/" -e "s/shard: \"0\"/shard: \"$shard\"/" \
        -e "s/scrape_interval: 15s/scrape_interval: 1s/" -e "s/scrape_timeout: 10s/scrape_timeout: 1s/" \
        "$example/shard-0.yml" >"$work/shard-$shard.yml"
    start_server "shard-$shard" "$work/shard-$shard.yml" "$web"
done
global_port=$(free_port)
sed -e "s/prometheus-shard-0\.example\.org:9090/127.0.0.1:${shard_ports[0]}/" \
    -e "s/prometheus-shard-1\.example\.org:9090/127.0.0.1:${shard_ports[1]}/" \
    -e "s/scrape_interval: 30s/scrape_interval: 1s/" -e "s/scrape_timeout: 20s/scrape_timeout: 1s/" \
    "$example/global.yml" >"$work/global.yml"
start_server global "$work/global.yml" "$global_port"

# query EXPRESSION: the instant query's "labels value" lines on the global server.
query() {
    curl -sS --max-time 5 --get "http://127.0.0.1:$global_port/api/v1/query" \
        --data-urlencode "query=$1" 2>/dev/null |
        python3 -c 'import json, sys
for r in json.load(sys.stdin)["data"]["result"]:
    m = r["metric"]
    print(m.get("instance", ""), m.get("shard", ""), r["value"][1])' 2>/dev/null | sort || true
}

# Every printer once, from one shard, both shards used, the silent ones down. Asked again
# until it holds (a loaded machine may make a live printer miss a 1 s scrape) or 40 s pass.
seen=
for _ in $(seq 80); do
    seen=$(query 'tarnvik_up')
    instances=$(echo "$seen" | awk '{print $1}' | sort -u | grep -c . || true)
    rows=$(echo "$seen" | grep -c . || true)
    shards=$(echo "$seen" | awk '{print $2}' | sort -u | tr '\n' ' ')
    down=$(echo "$seen" | awk '$3 == 0' | grep -c . || true)
    [ "$instances" = "$printers" ] && [ "$rows" = "$printers" ] && [ "$shards" = "0 1 " ] &&
        [ "$down" = 4 ] && break
    sleep 0.5
done
if [ "$instances" != "$printers" ] || [ "$rows" != "$printers" ] || [ "$shards" != "0 1 " ] ||
    [ "$down" != 4 ]; then
    echo "global view: $rows series, $instances printers, shards '$shards', $down down; expected"
    echo "$printers series of $printers printers from shards 0 and 1, 4 down:"
    echo "$seen"
    tail -5 "$work"/shard-*.log "$work/global.log"
    exit 1
fi
echo "sharding: $printers printers, each exactly once in the global view (shards $shards)"
