#!/usr/bin/env bash
# Builds the Debian package from the default build, installs it with apt-get, runs the
# installed tarnvik-cli against the installed virtual printer on loopback, checks the
# AppStream data, and removes the package again. Run after scripts/test.sh default.
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
cleanup() {
    if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi
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
appstreamcli validate --no-net /usr/share/metainfo/org.tarnvik.Tarnvik.metainfo.xml
test -f /usr/lib/udev/rules.d/70-tarnvik-printers.rules
echo "package: installed, ran and removed"
