#!/usr/bin/env bash
# Retakes docs/autoframe-before.png and docs/autoframe-after.png from the real
# program under a virtual X server: a 12-megapixel phone-like photo of a
# portrait opens at its natural size, then the A key frames the head.
# The portrait is grace_hopper.jpg from python-matplotlib-data, placed into
# the photo at three times its size; the landmark model is libdlib-data's.
# Needs: xvfb, xdotool, imagemagick (convert, import) and a built program.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/src/kestrova}
outdir=${2:-docs}
portrait=/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg
display=:${KESTROVA_SCREENSHOT_DISPLAY:-96}
tmp=$(mktemp -d)
mkdir -p "$outdir"

# 3000 x 4000, as a phone held upright takes it: a wall behind the sitter,
# the portrait 1536 x 1800 somewhat right of the middle, sensor-like noise.
convert -size 3000x4000 gradient:'#c9c2b4'-'#8d877c' \
    \( "$portrait" -resize 300% \) -geometry +820+1300 -composite \
    -attenuate 0.3 +noise Gaussian -quality 92 "$tmp/phone.jpg"

Xvfb "$display" -screen 0 1000x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "${app:-}" "$xvfb" 2>/dev/null || true; rm -rf "$tmp"' EXIT
export DISPLAY=$display
sleep 1
QT_QPA_PLATFORM=xcb "$binary" >/dev/null 2>&1 &
app=$!

wait_for() {
    for _ in $(seq 100); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window named $1" >&2
    return 1
}
wait_for Kestrova
sleep 0.5
win=$(xdotool search --name '^Kestrova$' | head -n1)

xdotool mousemove --window "$win" 284 344 click 1 # 打开
wait_for 请选择一个图片文件
sleep 0.5
xdotool type --delay 20 "$tmp/phone.jpg"
xdotool key Return
sleep 2
xdotool mousemove --window "$win" 380 300
sleep 0.3
import -window "$win" "$outdir/autoframe-before.png"

xdotool windowfocus --sync "$win" key a # 自动取景
# The first search loads the landmark model, about a second.
sleep 4
import -window "$win" "$outdir/autoframe-after.png"
echo "wrote $outdir/autoframe-before.png and $outdir/autoframe-after.png"
