#!/usr/bin/env bash
# Starts the real program in a real X server and checks that its main window
# appears with the right title and client size.
set -euo pipefail
binary=$1

tmp=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

# Let the server pick a free display number and tell us which.
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
# Generous waits: CI runs this beside other tests on a loaded machine.
for _ in $(seq 300); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$tmp/display")"

# A copy of the executable alone in another folder: it must carry its assets.
cp "$binary" "$tmp/kestrova"
QT_QPA_PLATFORM=xcb "$tmp/kestrova" >"$tmp/app.log" 2>&1 &
app=$!

info=""
for _ in $(seq 300); do
    if info=$(xwininfo -name Kestrova 2>/dev/null); then
        break
    fi
    if ! kill -0 "$app" 2>/dev/null; then
        echo "kestrova exited early:"
        cat "$tmp/app.log"
        exit 1
    fi
    sleep 0.1
done
if [ -z "$info" ]; then
    echo "no window titled Kestrova appeared"
    exit 1
fi
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
state=$(awk '/Map State:/ {print $3}' <<<"$info")
echo "window: ${width}x${height}, $state"
[ "$width" = 393 ] && [ "$height" = 484 ] && [ "$state" = IsViewable ]
