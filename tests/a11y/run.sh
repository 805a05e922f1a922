#!/usr/bin/env bash
# Black-box accessibility tests: the real program (--simulate) under a
# virtual X server with a session bus and the accessibility bus, driven
# through AT-SPI as a screen reader or a person with one would.
#
#   tests/a11y/run.sh [CASE...]        (default: every case)
#
# Exits non-zero when a case fails.  The build directory is build/ or
# $QUELLIX_BUILD_DIR.  Needs the Debian packages xvfb, dbus, dbus-x11,
# at-spi2-core and python3-pyatspi (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=$(realpath -m "${QUELLIX_BUILD_DIR:-build}/bin/quellix")
if [[ ! -x $bin ]]; then
    echo "a11y: $bin is missing; build first (scripts/build.sh)" >&2
    exit 1
fi
for tool in Xvfb xdpyinfo dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    if ! command -v "$tool" >/dev/null; then
        echo "a11y: $tool is missing (run scripts/setup.sh)" >&2
        exit 1
    fi
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || {
    echo "a11y: python3-pyatspi is missing (run scripts/setup.sh)" >&2
    exit 1
}

# A display of its own, picked at random so that runs side by side do not meet.
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [[ -n ${QUELLIX_A11Y_KEEP:-} ]]; then echo "a11y: logs kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
ready() { kill -0 "$xvfb_pid" 2>/dev/null && xdpyinfo -display ":$display" >/dev/null 2>&1; }
for _ in $(seq 20); do
    display=$((200 + RANDOM % 700))
    [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]] && continue
    Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        ready && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    # Still running and answering: the display is ours.
    ready && break
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
if [[ -z $xvfb_pid ]]; then
    echo "a11y: could not start Xvfb" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

export DISPLAY=":$display"
export QUELLIX_BINARY="$bin"
export QUELLIX_INSTANCE_NAME="quellix-a11y-$$"
export QUELLIX_A11Y_WORK="$work"
# The session bus starts the accessibility bus when a client asks for it.
timeout 300 dbus-run-session -- /usr/bin/python3 tests/a11y/harness.py "$@"
