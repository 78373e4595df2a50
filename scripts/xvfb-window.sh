# Sourced by the screenshot scripts. start_in_xvfb starts a virtual X server
# on $display, the program $binary in it, and sets win to its main window;
# stop_in_xvfb stops both.

wait_for() {
    for _ in $(seq 100); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window named $1" >&2
    return 1
}

start_in_xvfb() {
    Xvfb "$display" -screen 0 1000x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    sleep 1
    QT_QPA_PLATFORM=xcb "$binary" >/dev/null 2>&1 &
    app=$!
    wait_for Kestrova
    sleep 0.5
    win=$(xdotool search --name '^Kestrova$' | head -n1)
}

# Waits for both to end, so the display is free for whatever starts next.
stop_in_xvfb() {
    kill "${app:-}" "${xvfb:-}" 2>/dev/null || true
    wait "${app:-}" "${xvfb:-}" 2>/dev/null || true
}
