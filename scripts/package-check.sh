#!/usr/bin/env bash
# Builds the Debian package from the default build, installs it with apt-get, runs the
# installed tarnvik-cli against the installed virtual printer on loopback, checks the
# AppStream data, probes the virtual printer through the installed exporter, verifies its
# systemd unit, and removes the package again. Run after scripts/test.sh default.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
out=$build/package

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

rm -rf "$out"
timeout 300 cpack --config "$build/CPackConfig.cmake" -B "$out"
deb=$(ls "$out"/tarnvik_*.deb)
DEBIAN_FRONTEND=noninteractive timeout 600 "${sudo_cmd[@]}" apt-get install -y -qq "./$deb"

log=$(mktemp)
sim=
exporter=
cleanup() {
    if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi
    if [ -n "$exporter" ]; then kill "$exporter" 2>/dev/null || true; fi
    rm -f "$log"
    DEBIAN_FRONTEND=noninteractive timeout 300 "${sudo_cmd[@]}" apt-get remove -y -qq tarnvik || true
}
trap cleanup EXIT

/usr/bin/tarnvik-cli --version
timeout 120 /usr/bin/tarnvik-printer-sim --tcp 127.0.0.1:0 >"$log" &
sim=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^TCP 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log")
    [ -n "$port" ] && break
    sleep 0.05
done
[ -n "$port" ] || { echo "the installed virtual printer did not start" >&2; exit 1; }
timeout 60 /usr/bin/tarnvik-cli status --link "tcp:127.0.0.1:$port" --timeout 5000
# The exporter as installed: a probe of the virtual printer, and its unit as systemd reads it.
exporter_log=$(mktemp)
timeout 120 /usr/bin/tarnvik-exporter --listen 127.0.0.1:0 --allow 127.0.0.0/8 >"$exporter_log" &
exporter=$!
exporter_port=
for _ in $(seq 100); do
    exporter_port=$(sed -n 's/^listening on port \([0-9]*\)$/\1/p' "$exporter_log")
    [ -n "$exporter_port" ] && break
    sleep 0.05
done
[ -n "$exporter_port" ] || { echo "the installed exporter did not start" >&2; exit 1; }
answer=$(curl -sS --max-time 20 "http://127.0.0.1:$exporter_port/probe?target=tcp:127.0.0.1:$port")
grep -qx 'tarnvik_up 1' <<<"$answer" || { echo "$answer" >&2; exit 1; }
rm -f "$exporter_log"
unit_check=$(systemd-analyze verify /usr/lib/systemd/system/tarnvik-exporter.service 2>&1 || true)
# Without man-db the Documentation= line cannot be looked up; that alone is no fault.
unit_check=$(printf '%s\n' "$unit_check" | grep -v "Command 'man tarnvik-exporter(1)' failed" | grep -v '^$' || true)
[ -z "$unit_check" ] || { echo "$unit_check" >&2; exit 1; }
appstreamcli validate --no-net /usr/share/metainfo/org.tarnvik.Tarnvik.metainfo.xml
test -f /usr/lib/udev/rules.d/70-tarnvik-printers.rules
echo "package: installed, ran and removed"
