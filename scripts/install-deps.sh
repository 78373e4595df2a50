#!/usr/bin/env bash
# Installs from Debian 12's archive what Kestrova needs.
#   scripts/install-deps.sh         what building and running the program needs
#   scripts/install-deps.sh --test  that, and the tools the tests, benchmarks,
#                                   fuzzers and format check need
set -euo pipefail

run_packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # Qt's own dialogs and menus in Simplified Chinese.
    qt6-translations-l10n
    libjpeg62-turbo-dev
    # Colour profiles embedded in photos.
    liblcms2-dev
    # Face finding, for framing the head automatically.
    libdlib-dev libdlib-data
    # The interface font: the captions are Chinese.
    fonts-wqy-microhei
    # ◎ drawn to match the arrows beside it.
    fonts-dejavu-core
)
test_packages=(
    libjpeg-turbo-progs
    # Real portraits the head-framing tests and benchmarks place into photos.
    libdlib19.1 python-matplotlib-data
    libbenchmark-dev
    xvfb xauth x11-utils
    # The README's screenshots: real input into the real window, and its pictures.
    xdotool imagemagick librsvg2-bin
    clang-format clang libclang-rt-14-dev
    desktop-file-utils
)

packages=("${run_packages[@]}")
what="build and run"
if [ "${1:-}" = "--test" ]; then
    packages+=("${test_packages[@]}")
    what="build, run and test"
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "Everything needed to $what Kestrova is installed."
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
