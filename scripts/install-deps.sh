#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tarnvik need.
# Only what is missing is installed; uses sudo when not run as root.
# Usage: scripts/install-deps.sh [fuzz]   (fuzz: also clang with libFuzzer, for scripts/fuzz.sh)
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev libusb-1.0-0-dev
    libgtest-dev libgmock-dev
    umockdev libumockdev-dev
    fonts-noto-cjk fonts-dejavu-core fonts-liberation iproute2 xvfb xauth
    dpkg-dev appstream ansible-core ccache lintian desktop-file-utils python3
    prometheus-cpp-dev libcivetweb-dev prometheus systemd curl
    libyaml-cpp-dev python3-jsonschema python3-yaml
)
if [ "${1:-}" = "fuzz" ]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
