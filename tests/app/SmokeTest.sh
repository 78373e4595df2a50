#!/usr/bin/env bash
# Starts the real program in a real X server and checks that its main window
# appears with the right title and client size.
set -euo pipefail
binary=$1

# CI runs this beside other tests on a loaded machine, so every wait is long,
# but each one ends as soon as what it waits for has happened.
deadline_seconds=40

tmp=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

# Let the server pick a free display number and tell us which; reading it
# from a pipe waits exactly until the server is ready to take clients.
mkfifo "$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
display=""
read -r -t "$deadline_seconds" display <"$tmp/display" || true
if [ -z "$display" ]; then
    echo "Xvfb did not start:"
    cat "$tmp/xvfb.log"
    exit 1
fi
export DISPLAY=":$display"

# A copy of the executable alone in another folder: it must carry its assets.
cp "$binary" "$tmp/kestrova"
QT_QPA_PLATFORM=xcb "$tmp/kestrova" >"$tmp/app.log" 2>&1 &
app=$!

# The window exists well before it is mapped and given its size, and Qt keeps
# other, never mapped windows of the same name: only a mapped window of the
# main window's size counts. Anything else seen last is reported on timeout.
expected="393x484 IsViewable"
seen="no window titled Kestrova"
end=$((SECONDS + deadline_seconds))
while [ "$SECONDS" -lt "$end" ]; do
    if ! kill -0 "$app" 2>/dev/null; then
        echo "kestrova exited early:"
        cat "$tmp/app.log"
        echo "Xvfb on :$display said:"
        cat "$tmp/xvfb.log"
        exit 1
    fi
    for id in $(xwininfo -root -tree 2>/dev/null | awk '$2 == "\"Kestrova\":" {print $1}'); do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        width=$(awk '/Width:/ {print $2}' <<<"$info")
        height=$(awk '/Height:/ {print $2}' <<<"$info")
        state=$(awk '/Map State:/ {print $3}' <<<"$info")
        seen="${width}x${height} $state"
        if [ "$seen" = "$expected" ]; then
            echo "window: $seen"
            exit 0
        fi
    done
    # Only the pause between two looks, so the polling leaves the program the CPU.
    sleep 0.05
done
echo "window: $seen, expected $expected within ${deadline_seconds}s"
exit 1
