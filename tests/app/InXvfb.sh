#!/usr/bin/env bash
# Runs a command against a virtual X server of its own, on a display number
# the server picks itself, so tests running side by side never share one.
set -euo pipefail

tmp=$(mktemp -d)
cleanup() {
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 300); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
if [ ! -s "$tmp/display" ]; then
    echo "Xvfb did not start:"
    cat "$tmp/xvfb.log"
    exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
"$@"
