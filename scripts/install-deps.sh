#!/usr/bin/env bash
# Installs what building, running and testing Kestrova needs on Debian 12.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    libjpeg62-turbo-dev libjpeg-turbo-progs
    libbenchmark-dev
    fonts-wqy-microhei
    xvfb xauth x11-utils
    clang-format clang libclang-rt-14-dev
    desktop-file-utils
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "All build and test dependencies are installed."
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
