#!/usr/bin/env bash
# Installs into a scratch folder and checks the tree a user gets.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
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
echo "install tree is complete"
