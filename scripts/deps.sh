#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only when one is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config git
    libicu-dev nlohmann-json3-dev libsimdjson-dev libssl-dev libpng-dev zlib1g-dev
    qt6-base-dev qt6-svg-dev qcoro-qt6-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    bootstrap-icons fonts-inter
    dbus-daemon dbus-bin
    xvfb desktop-file-utils
    dunst xdotool at-spi2-core
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "error: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
    exit 1
fi
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
