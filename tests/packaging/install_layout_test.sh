#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop
# expects to find there: the program (through bin/), its skin beside it, the
# application menu entry, the autostart entry, the icons and the udev rule;
# desktop-file-validate must accept both entries.
# Usage: install_layout_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
expect() {
    if [[ ! -e "$prefix/$1" ]]; then
        echo "missing: $1"
        failures=$((failures + 1))
    fi
}
expect bin/quellix
expect lib/quellix/quellix
expect lib/quellix/skin/res.xml
expect lib/quellix/skin/main.xml
expect lib/quellix/skin/lan_cn.xml
expect lib/quellix/skin/common/background.png
expect share/applications/quellix.desktop
expect etc/xdg/autostart/quellix-autostart.desktop
for size in 16 22 24 32 48 64 128 256; do
    expect "share/icons/hicolor/${size}x${size}/apps/quellix.png"
done
expect share/icons/hicolor/scalable/apps/quellix.svg
expect lib/udev/rules.d/70-quellix.rules

# The installed udev rule is the one the build wrote from the device table
# (packaging_udev_rule_test checks that one against the table).
if ! cmp -s "$prefix/lib/udev/rules.d/70-quellix.rules" "$build/packaging/70-quellix.rules"; then
    echo "installed udev rule differs from $build/packaging/70-quellix.rules"
    failures=$((failures + 1))
fi

# bin/quellix leads to the program beside its skin.
if [[ "$(readlink -f "$prefix/bin/quellix")" != "$(readlink -f "$prefix/lib/quellix/quellix")" ]]; then
    echo "bin/quellix does not lead to lib/quellix/quellix"
    failures=$((failures + 1))
fi
# A rendered icon has the size its folder names.
if command -v identify >/dev/null; then
    got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/48x48/apps/quellix.png")
    if [[ "$got" != 48x48 ]]; then
        echo "48x48 icon is $got"
        failures=$((failures + 1))
    fi
fi
# The autostart entry starts the program in the tray.
if ! grep -qx 'Exec=quellix --hidden' "$prefix/etc/xdg/autostart/quellix-autostart.desktop"; then
    echo "autostart entry does not start quellix --hidden"
    failures=$((failures + 1))
fi
for entry in share/applications/quellix.desktop etc/xdg/autostart/quellix-autostart.desktop; do
    if ! out=$(desktop-file-validate "$prefix/$entry" 2>&1) || [[ -n "$out" ]]; then
        echo "desktop-file-validate $entry: $out"
        failures=$((failures + 1))
    fi
done

if ((failures)); then
    echo "0 passed, $failures failed"
    exit 1
fi
echo "install layout: 1 passed, 0 failed"
