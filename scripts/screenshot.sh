#!/usr/bin/env bash
# Takes docs/screenshot.png of the real main window under a virtual X server.
# Needs: xvfb, x11-utils (xwininfo), imagemagick (import), and a built program.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/src/kestrova}
out=${2:-docs/screenshot.png}
display=:${KESTROVA_SCREENSHOT_DISPLAY:-97}
mkdir -p "$(dirname "$out")"

Xvfb "$display" -screen 0 800x700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$app" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$binary" &
app=$!

for _ in $(seq 50); do
    if DISPLAY=$display xwininfo -name Kestrova >/dev/null 2>&1; then
        break
    fi
    sleep 0.2
done
sleep 1
id=$(DISPLAY=$display xwininfo -name Kestrova | awk '/Window id:/ {print $4}')
DISPLAY=$display import -window "$id" "$out"
echo "wrote $out"
