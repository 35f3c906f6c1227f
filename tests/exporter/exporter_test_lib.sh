# Shared by the exporter's shell tests: start virtual printers and the exporter on loopback,
# each with a bounded wait for the line that tells its port, and stop them all at exit.
pids=()
work=$(mktemp -d)
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for_line FILE SED-EXPRESSION: prints the first match within 10 s, or fails.
wait_for_line() {
    local value=
    for _ in $(seq 200); do
        value=$(sed -n "$2" "$1" | head -n1)
        [ -n "$value" ] && { echo "$value"; return 0; }
        sleep 0.05
    done
    echo "no line matching $2 in $1:" >&2
    cat "$1" >&2
    return 1
}

# start_printer NAME SIM-OPTIONS...: sets PRINTER_PORT.
start_printer() {
    local name=$1
    shift
    timeout 300 "$sim" --tcp 127.0.0.1:0 "$@" >"$work/$name.log" 2>&1 </dev/null &
    pids+=($!)
    PRINTER_PORT=$(wait_for_line "$work/$name.log" 's/^TCP 127\.0\.0\.1:\([0-9]*\)$/\1/p')
}

# start_exporter EXPORTER-OPTIONS...: sets EXPORTER_PORT.
start_exporter() {
    timeout 300 "$exporter" --listen 127.0.0.1:0 "$@" >"$work/exporter.log" 2>&1 </dev/null &
    pids+=($!)
    EXPORTER_PORT=$(wait_for_line "$work/exporter.log" 's/^listening on port \([0-9]*\)$/\1/p')
}
