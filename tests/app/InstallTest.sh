#!/usr/bin/env bash
# Installs into a scratch folder and checks the tree a user gets, and that the
# installed program starts from there (run it in an X server: tests/app/InXvfb.sh).
set -euo pipefail
build=$1
tmp=$(mktemp -d)
cleanup() {
    if [ -n "${app:-}" ]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
prefix=/opt/kestrova-install-test

DESTDIR="$tmp" cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"
root="$tmp$prefix"
for file in bin/kestrova share/applications/kestrova.desktop \
    share/icons/hicolor/256x256/apps/kestrova.png share/icons/hicolor/48x48/apps/kestrova.png \
    share/icons/hicolor/scalable/apps/kestrova.svg; do
    if [ ! -s "$root/$file" ]; then
        echo "missing: $file"
        exit 1
    fi
done
[ -x "$root/bin/kestrova" ] || { echo "bin/kestrova is not executable"; exit 1; }

entry="$root/share/applications/kestrova.desktop"
desktop-file-validate "$entry"
grep -qx "Exec=$prefix/bin/kestrova" "$entry" || { echo "Exec does not point at the install"; cat "$entry"; exit 1; }
grep -qx "Icon=$prefix/share/icons/hicolor/256x256/apps/kestrova.png" "$entry" || { echo "bad Icon"; exit 1; }
grep -qx "Categories=Graphics;Photography;" "$entry"
grep -q "^Comment\[zh_CN\]=" "$entry"
grep -q "^Comment=" "$entry"
# A DESTDIR install is a staging step: it must not touch the user's menu.
if grep -q ".local/share/applications" "$tmp/install.log"; then
    echo "a staged install wrote into the user's home"
    exit 1
fi

# Into a folder of the user's own: the menu entry follows into the user's menu.
home="$tmp/home"
mkdir -p "$home"
HOME="$home" cmake --install "$build" --prefix "$home/Kestrova" >/dev/null
user_entry="$home/.local/share/applications/kestrova.desktop"
[ -s "$user_entry" ] || { echo "no entry in the user's menu"; exit 1; }
desktop-file-validate "$user_entry"
grep -qx "Exec=$home/Kestrova/bin/kestrova" "$user_entry"

# The installed program runs from its own folder, the one its photos go to,
# with nothing from the build tree.
installed="$home/Kestrova/bin/kestrova"
(cd "$home" && HOME="$home" QT_QPA_PLATFORM=xcb exec "$installed" >"$tmp/app.log" 2>&1) &
app=$!
state=""
for _ in $(seq 300); do
    state=$(xwininfo -name Kestrova 2>/dev/null | awk '/Map State:/ {print $3}') || true
    [ "$state" = IsViewable ] && break
    if ! kill -0 "$app" 2>/dev/null; then
        echo "the installed program exited early:"
        cat "$tmp/app.log"
        exit 1
    fi
    sleep 0.1
done
[ "$state" = IsViewable ] || { echo "the installed program showed no window"; exit 1; }
running=$(readlink "/proc/$app/exe")
[ "$running" = "$installed" ] || { echo "running $running, not $installed"; exit 1; }
echo "install tree is complete and its program starts"
