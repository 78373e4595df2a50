#!/usr/bin/env bash
# Runs a command against a virtual X server of its own, on a display number
# the server picks itself.
#
# A server starting while another is still running or shutting down can leave
# either one unreachable, so the server is waited for until it has gone before
# this script ends, and CTest runs the tests that use this one at a time.
set -euo pipefail

tmp=$(mktemp -d)
cleanup() {
    if [ -n "${xvfb:-}" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

# Reading the display number from a pipe waits exactly until the server is
# ready to take clients, or until it has exited without being so.
mkfifo "$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
display=""
read -r -t 30 display <"$tmp/display" || true
if [ -z "$display" ]; then
    echo "Xvfb did not start:"
    cat "$tmp/xvfb.log"
    exit 1
fi
export DISPLAY=":$display"
status=0
"$@" || status=$?
if [ "$status" -ne 0 ]; then
    echo "(Xvfb on $DISPLAY said:)"
    cat "$tmp/xvfb.log"
fi
exit "$status"
