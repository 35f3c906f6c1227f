#!/usr/bin/env bash
# Builds the Debian package from the default build, checks it with lintian (any error or
# warning fails), checks that every program in it has its manual page, installs it with
# apt-get, runs the installed tarnvik-cli against the installed virtual printer on
# loopback, probes that printer through the installed exporter, verifies the exporter's
# systemd unit, validates the desktop entry and the AppStream data, and removes the
# package again. Run after scripts/test.sh default.
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

# Debian's own checker; no tag is overridden. Its notes (I:) are printed, not failed on.
lintian_log=$out/lintian.txt
timeout 600 lintian --fail-on error,warning --display-info "$deb" >"$lintian_log" 2>&1 ||
    { cat "$lintian_log"; echo "lintian: errors or warnings in $deb" >&2; exit 1; }
if grep -E '^[EW]: ' "$lintian_log"; then
    echo "lintian: errors or warnings in $deb" >&2
    exit 1
fi
grep -E '^[IPX]: ' "$lintian_log" || true
echo "lintian: no error and no warning"

# Every program the package installs comes with its manual page.
contents=$(dpkg-deb -c "$deb")
for program in $(printf '%s\n' "$contents" | sed -n 's#.* \./usr/bin/\([^/ ]*\)$#\1#p'); do
    printf '%s\n' "$contents" | grep -q "\./usr/share/man/man1/$program\.1\.gz$" ||
        { echo "$program has no manual page in the package" >&2; exit 1; }
done
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

# The port a started program prints into its log (sed's expression picks it); empty when
# none came within 5 s.
port_in_log() {
    local found=
    for _ in $(seq 100); do
        found=$(sed -n "$2" "$1")
        [ -n "$found" ] && break
        sleep 0.05
    done
    printf '%s' "$found"
}

/usr/bin/tarnvik-cli --version
timeout 120 /usr/bin/tarnvik-printer-sim --tcp 127.0.0.1:0 >"$log" &
sim=$!
port=$(port_in_log "$log" 's/^TCP 127\.0\.0\.1:\([0-9]*\)$/\1/p')
[ -n "$port" ] || { echo "the installed virtual printer did not start" >&2; exit 1; }
timeout 60 /usr/bin/tarnvik-cli status --link "tcp:127.0.0.1:$port" --timeout 5000
# The exporter as installed: a probe of the virtual printer, and its unit as systemd reads it.
exporter_log=$(mktemp)
timeout 120 /usr/bin/tarnvik-exporter --listen 127.0.0.1:0 --allow 127.0.0.0/8 >"$exporter_log" &
exporter=$!
exporter_port=$(port_in_log "$exporter_log" 's/^listening on port \([0-9]*\)$/\1/p')
[ -n "$exporter_port" ] || { echo "the installed exporter did not start" >&2; exit 1; }
answer=$(curl -sS --max-time 20 "http://127.0.0.1:$exporter_port/probe?target=tcp:127.0.0.1:$port")
grep -qx 'tarnvik_up 1' <<<"$answer" || { echo "$answer" >&2; exit 1; }
rm -f "$exporter_log"
unit_check=$(systemd-analyze verify /usr/lib/systemd/system/tarnvik-exporter.service 2>&1 || true)
# Without man-db the Documentation= line cannot be looked up; that alone is no fault.
unit_check=$(printf '%s\n' "$unit_check" | grep -v "Command 'man tarnvik-exporter(1)' failed" | grep -v '^$' || true)
[ -z "$unit_check" ] || { echo "$unit_check" >&2; exit 1; }
# AppStream: valid, and not even a pedantic hint.
appstream_out=$(appstreamcli validate --no-net --pedantic \
    /usr/share/metainfo/org.tarnvik.tarnvik.metainfo.xml 2>&1) || { echo "$appstream_out"; exit 1; }
if printf '%s\n' "$appstream_out" | grep -E '^[EWIP]: '; then exit 1; fi
# desktop-file-validate exits 0 on hints; a hint fails here too.
desktop_out=$(desktop-file-validate /usr/share/applications/org.tarnvik.tarnvik.desktop 2>&1) ||
    { echo "$desktop_out"; exit 1; }
[ -z "$desktop_out" ] || { echo "$desktop_out"; exit 1; }
test -f /usr/lib/udev/rules.d/70-tarnvik-printers.rules
echo "package: installed, ran and removed"
