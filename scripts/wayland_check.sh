#!/usr/bin/env bash
# CI stage: the program in a Wayland session.  weston's headless backend is
# the compositor, the program runs with QT_QPA_PLATFORM=wayland and no X
# display, on simulated devices; its tray icon registers as a
# StatusNotifierItem, the device tabs switch the pages through AT-SPI, the
# compositor's screenshot shows the window and SIGTERM ends it with exit
# status 0 (scripts/lib/wayland_check.py says how).
#
#   scripts/wayland_check.sh [SCREENSHOT]   (default docs/screenshots/wayland.png)
#
# Needs a build (scripts/build.sh); installs weston and Qt's Wayland plugin
# when run as root and they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath -m "${QUELLIX_BUILD_DIR:-build}/bin/quellix")
shot=$(realpath -m "${1:-docs/screenshots/wayland.png}")
if [[ ! -x $bin ]]; then
    echo "wayland: $bin is missing; build first (scripts/build.sh)" >&2
    exit 1
fi

packages=(weston qt6-wayland dbus at-spi2-core python3-pyatspi python3-dbus python3-gi imagemagick)
source scripts/lib/packages.sh
install_packages wayland "${packages[@]}" >/dev/null

work=$(mktemp -d)
cleanup() {
    if [[ -n ${QUELLIX_WAYLAND_KEEP:-} ]]; then echo "wayland: logs kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
# The compositor's socket and the program's runtime files.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime QUELLIX_WAYLAND_WORK=$work
unset DISPLAY WAYLAND_DISPLAY
status=0
timeout 300 dbus-run-session -- /usr/bin/python3 scripts/lib/wayland_check.py "$bin" "$shot" ||
    status=$?
if ((status)); then
    echo "wayland: failed; weston's log:"
    tail -20 "$work/weston.log"
    exit 1
fi
echo "wayland: all checks passed"
