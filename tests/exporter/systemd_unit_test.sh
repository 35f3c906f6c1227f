#!/usr/bin/env bash
# systemd-analyze verify on the exporter's unit, pointed at the built program; any warning
# (an unknown or misspelt key is only a warning) fails the test.
# Usage: systemd_unit_test.sh EXPORTER UNIT. Skipped (77) where systemd-analyze is missing.
set -euo pipefail
exporter=$1
unit=$2
if ! command -v systemd-analyze >/dev/null; then
    echo "systemd-analyze is not installed (apt-get install systemd): skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed "s|^ExecStart=/usr/bin/tarnvik-exporter|ExecStart=$exporter|" "$unit" >"$work/tarnvik-exporter.service"
grep -q "^ExecStart=$exporter " "$work/tarnvik-exporter.service"
# The manual page is checked by the package check, where it is installed.
out=$(timeout 60 systemd-analyze verify --man=no "$work/tarnvik-exporter.service" 2>&1)
if [ -n "$out" ]; then
    echo "$out"
    exit 1
fi
for key in DynamicUser=yes SupplementaryGroups=dialout NoNewPrivileges=yes ProtectSystem=strict; do
    grep -qx "$key" "$unit" || { echo "missing $key"; exit 1; }
done
echo "systemd unit: verified"
