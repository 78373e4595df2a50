#!/usr/bin/env bash
# Render the PNG artwork of Kestrova from the SVG sources in assets/.
set -euo pipefail

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "error: rsvg-convert not found; install it first (Debian/Ubuntu: sudo apt-get install librsvg2-bin)" >&2
    exit 1
fi

script_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
assets="${script_dir}/../assets"

render() {
    local src="$1" dst="$2" w="$3" h="$4"
    rsvg-convert --width="$w" --height="$h" --format=png --output="${assets}/${dst}" "${assets}/${src}"
    echo "rendered assets/${dst} (${w}x${h})"
}

render icon.svg   icon.png    256 256
render icon.svg   icon-48.png  48  48
render icon.svg   icon-32.png  32  32
render icon.svg   icon-16.png  16  16
render banner.svg banner.png  393  81
render banner.svg banner@2x.png 786 162
