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
# shellcheck source=scripts/xvfb-window.sh
. scripts/xvfb-window.sh
trap 'stop_in_xvfb; rm -rf "$tmp"' EXIT
mkdir -p "$outdir"

# 3000 x 4000, as a phone held upright takes it: a wall behind the sitter,
# the portrait 1536 x 1800 somewhat right of the middle, sensor-like noise.
convert -size 3000x4000 gradient:'#c9c2b4'-'#8d877c' \
    \( "$portrait" -resize 300% \) -geometry +820+1300 -composite \
    -attenuate 0.3 +noise Gaussian -quality 92 "$tmp/phone.jpg"

start_in_xvfb

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
