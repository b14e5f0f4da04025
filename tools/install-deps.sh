#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, and only those missing.
# Quiet and quick when everything is there already.
set -euo pipefail

packages=(
    # build
    cmake ninja-build pkg-config clang-14 libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libqt6svg6-dev libgl-dev
    libicu-dev libsimdjson-dev libbenchmark-dev
    # tests
    xvfb xauth python3
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
