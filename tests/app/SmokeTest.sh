#!/usr/bin/env bash
# Starts the real program in a real X server (run it in one: tests/app/InXvfb.sh)
# and checks that its main window appears with the right title and client size.
set -euo pipefail
binary=$1

# CI runs this beside other tests on a loaded machine, so every wait is long,
# but each one ends as soon as what it waits for has happened.
deadline_seconds=40

tmp=$(mktemp -d)
cleanup() {
    if [ -n "${app:-}" ]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

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
