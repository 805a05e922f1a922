#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop
# expects to find there: the programs in bin/, the skin and the factory
# defaults in share/quellix/ (and the program starting from there), the
# manual pages, the application menu entry, the autostart entry, the icons
# and the udev rule; desktop-file-validate must accept both entries.
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
expect bin/quellixctl
expect share/quellix/skin/res.xml
expect share/quellix/skin/main.xml
expect share/quellix/skin/lan_cn.xml
expect share/quellix/skin/common/background.png
expect share/quellix/defaults/msdevicedefault.config
expect share/quellix/defaults/mpdengdefault.led
expect share/quellix/defaults/kbkeydefault.pro
expect share/man/man1/quellix.1
expect share/man/man1/quellixctl.1
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

# Only the factory default files go to the data folder (not the
# generator's sources beside them in the tree), and nothing but programs
# to bin/.
for f in "$prefix"/share/quellix/defaults/*; do
    case $f in
    *.led | *.pro | *.config) ;;
    *)
        echo "not a factory default file: ${f#"$prefix"/}"
        failures=$((failures + 1))
        ;;
    esac
done
for f in "$prefix"/bin/*; do
    if [[ ! -x $f ]]; then
        echo "not a program in bin/: ${f#"$prefix"/}"
        failures=$((failures + 1))
    fi
done
# The installed program finds its skin and defaults from bin/ under this
# prefix: it starts on simulated devices and paints its window.
if [[ -x "$prefix/bin/quellix" ]]; then
    home=$prefix/home
    mkdir -p "$home"
    if ! out=$(cd / && HOME=$home QUELLIX_DOCUMENTS_DIR=$home QT_QPA_PLATFORM=offscreen \
        QUELLIX_INSTANCE_NAME="quellix-layout-$$" QUELLIX_DEBUG=1 \
        timeout 60 "$prefix/bin/quellix" --simulate --exit-after-paint=0 2>&1) ||
        ! grep -qx painted <<<"$out"; then
        echo "the installed program did not paint its window:"
        tail -20 <<<"$out"
        failures=$((failures + 1))
    fi
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
