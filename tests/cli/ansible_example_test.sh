#!/usr/bin/env bash
# Runs the Ansible example against three virtual printers on loopback and reads back
# what it did. Usage: ansible_example_test.sh TARNVIK_CLI PRINTER_SIM EXAMPLE_DIR
set -euo pipefail
cli=$(realpath "$1")
sim=$(realpath "$2")
example=$(realpath "$3")

if ! command -v ansible-playbook >/dev/null 2>&1; then
    echo "SKIP: ansible-playbook is not installed (Debian package ansible-core)"
    exit 77
fi

work=$(mktemp -d)
pids=()
# Every printer is stopped, and the script never waits on one for more than 5 s: a printer
# that does not end on SIGTERM is killed (and said so), so nothing outlives the test.
cleanup() {
    local status=$?
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    local alive=("${pids[@]}")
    for _ in $(seq 50); do
        local still=()
        for pid in "${alive[@]}"; do
            kill -0 "$pid" 2>/dev/null && still+=("$pid")
        done
        alive=("${still[@]}")
        [ ${#alive[@]} -eq 0 ] && break
        sleep 0.1
    done
    for pid in "${alive[@]}"; do
        echo "a virtual printer ($pid) did not stop on SIGTERM; killed" >&2
        pkill -KILL -P "$pid" 2>/dev/null || true
        kill -KILL "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# Starts a printer on a free loopback port (it ends by itself after 5 minutes at most)
# and leaves that port in $port.
start_printer() {
    local log="$work/printer-${#pids[@]}.out"
    # The file exists before the printer starts writing it, so reading it never races the start.
    : >"$log"
    timeout 300 "$sim" --tcp 127.0.0.1:0 "$@" >"$log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        port=$(sed -n 's/^TCP 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log")
        [ -n "$port" ] && return
        sleep 0.05
    done
    echo "the virtual printer did not start" >&2
    exit 1
}

start_printer
model=$port
start_printer
first=$port
start_printer --password Tarn
second=$port
start_printer --file FLASH:LABEL24.FNT=/dev/null
third=$port

mkdir -p "$work/files"
head -c 4096 /dev/urandom >"$work/files/LABEL24.FNT"

# The module's documentation renders.
ANSIBLE_HOME="$work/ansible" ansible-doc -M "$example/library" tarnvik_config >"$work/doc.out"
grep -q 'check mode' "$work/doc.out" || { echo "ansible-doc did not render the module" >&2; exit 1; }

cat >"$work/inventory.ini" <<INVENTORY
[label_printers]
first printer_link=tcp:127.0.0.1:$first
second printer_link=tcp:127.0.0.1:$second printer_password=Tarn
third printer_link=tcp:127.0.0.1:$third
INVENTORY

export LC_ALL=C.UTF-8 ANSIBLE_LOCAL_TEMP="$work/ansible-tmp" ANSIBLE_HOME="$work/ansible"
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0
# Ansible's output goes through a file: whatever it may leave running then holds no pipe
# of the test's.
# play NAME [ansible-playbook options]: runs the playbook, output in $work/NAME.out.
play() {
    local name=$1
    shift
    local status=0
    timeout -k 5 240 ansible-playbook -i "$work/inventory.ini" "$example/site.yml" \
        -e "tarnvik_cli=$cli" \
        -e "printer_font=$work/files/LABEL24.FNT" -e "tarnvik_timeout=3000" "$@" \
        </dev/null >"$work/$name.out" 2>&1 || status=$?
    cat "$work/$name.out"
    [ "$status" -eq 0 ] || exit "$status"
}
# The "changed" count of a host in the play recap.
changed() {
    sed -n "s/^$2 *: .*changed=\([0-9]*\).*/\1/p" "$work/$1.out"
}

play first-run
for host in first second third; do
    [ "$(changed first-run "$host")" -ge 1 ] || { echo "first run did not change $host" >&2; exit 1; }
done
play second-run
for host in first second third; do
    [ "$(changed second-run "$host")" = 0 ] || { echo "second run changed $host" >&2; exit 1; }
done

# A printer changed at its panel: a check run names it and its setting, and writes nothing.
printf 'DENSITY 3\r\n' >"$work/panel.txt"
"$cli" send "$work/panel.txt" --link "tcp:127.0.0.1:$first"
play check-run --check --diff
[ "$(changed check-run first)" = 1 ] || { echo "the check run did not report first" >&2; exit 1; }
[ "$(changed check-run second)" = 0 ] || { echo "the check run reported second" >&2; exit 1; }
grep -q '^-density: 3$' "$work/check-run.out" && grep -q '^+density: 12$' "$work/check-run.out" ||
    { echo "the check run did not show the density" >&2; exit 1; }
"$cli" config read --format json --link "tcp:127.0.0.1:$first" >"$work/first.json"
python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["density"] == 3' "$work/first.json" ||
    { echo "the check run wrote the printer" >&2; exit 1; }
# The real run puts the group's density back.
play third-run
[ "$(changed third-run first)" = 1 ] || { echo "the third run did not change first" >&2; exit 1; }

links=(--link "tcp:127.0.0.1:$first" --link "tcp:127.0.0.1:$second" --link "tcp:127.0.0.1:$third")
"$cli" config read "${links[@]}" --format json --unit mm >"$work/configs.json"
"$cli" files list "${links[@]}" --json >"$work/files.json"
python3 - "$work/configs.json" "$work/files.json" <<'CHECK'
import json, sys
configs = [json.loads(line) for line in open(sys.argv[1]) if line.strip()]
files = [json.loads(line) for line in open(sys.argv[2])]
assert len(configs) == 3 and len(files) == 3
for row in configs:
    assert (row["density"], row["speed"], row["code_page"], row["gap"]) == (12, 6, 1252, "3.00 mm"), row
for row in files:
    # The third printer had the font already; it keeps its own (empty) file.
    assert row["data"]["FLASH"]["files"] == ["LABEL24.FNT"], row
print("ansible example: 3 printers configured, font present on each, second run unchanged")
CHECK
