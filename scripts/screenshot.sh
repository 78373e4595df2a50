#!/usr/bin/env bash
# Retakes docs/screenshot.png from the real program under a virtual X server:
# opens the sample portrait through the open dialog, zooms it, nudges the
# frame and refreshes the preview, all by real mouse and keyboard input.
# Needs: xvfb, xdotool, imagemagick (import, convert),
# librsvg2-bin (rsvg-convert) and a built program.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/src/kestrova}
out=${2:-docs/screenshot.png}
display=:${KESTROVA_SCREENSHOT_DISPLAY:-97}
tmp=$(mktemp -d)
# shellcheck source=scripts/xvfb-window.sh
. scripts/xvfb-window.sh
trap 'stop_in_xvfb; rm -rf "$tmp"' EXIT
mkdir -p "$(dirname "$out")"

rsvg-convert -w 600 -h 800 docs/sample-portrait.svg -o "$tmp/portrait.png"
convert "$tmp/portrait.png" -attenuate 0.4 +noise Gaussian -quality 92 "$tmp/portrait.jpg"

start_in_xvfb
# Window-relative positions of the controls (see the layout table).
click() {
    xdotool mousemove --window "$win" "$1" "$2" click 1
    sleep 0.3
}

click 284 344 # 打开
wait_for 请选择一个图片文件
sleep 0.5
xdotool type --delay 20 "$tmp/portrait.jpg"
xdotool key Return
sleep 1
for _ in 1 2 3 4 5 6 7; do click 364 424; done # 缩小
xdotool mousemove --window "$win" 364 384 mousedown 1 # hold →
sleep 4.1
xdotool mouseup 1
xdotool mousemove --window "$win" 324 424 mousedown 1 # hold ↓
sleep 3.4
xdotool mouseup 1
click 324 384 # ◎
xdotool mousemove --window "$win" 380 300
sleep 0.5
import -window "$win" "$out"
echo "wrote $out"
