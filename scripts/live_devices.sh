#!/usr/bin/env bash
# Runs the program as a user would, against a simulator that plugs and
# unplugs devices while it runs, and prints what it saw:
#
#   1. quellix-sim serves the mouse pad; the program starts under Xvfb and
#      shows the pad's page.
#   2. The mouse is plugged: its tab appears and is selected.
#   3. The pad, then the mouse (the last device) are unplugged: the program
#      says the device was disconnected and hides its window.
#   4. SIGTERM ends the program with exit status 0 and the shutdown traces.
#
#   scripts/live_devices.sh [SCREENSHOT_DIR]    (default docs/screenshots)
#
# Needs a build (scripts/build.sh) and Xvfb, xwininfo and ImageMagick's
# import (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/x_session.sh
. scripts/lib/x_session.sh
bin=$(realpath "${QUELLIX_BUILD_DIR:-build}/bin")
shots=$(realpath -m "${1:-docs/screenshots}")
mkdir -p "$shots"
work=$(mktemp -d)
sim_dir=$work/sim
log=$work/quellix.log
title="Quellix T417 Gaming Mouse pad Driver"

cleanup() {
    [[ -n ${app_pid:-} ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n ${sim_pid:-} ]] && kill "$sim_pid" 2>/dev/null || true
    [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 5 s for a line in the program's debug output.
saw() {
    for _ in $(seq 50); do
        grep -qF -- "$1" "$log" && return 0
        sleep 0.1
    done
    return 1
}
# Waits up to 5 s for the main window to be (un)mapped.
window_state() { # IsViewable | IsUnMapped
    for _ in $(seq 50); do
        xwininfo -display ":$display" -name "$title" 2>/dev/null | grep -q "Map State: $1" &&
            return 0
        sleep 0.1
    done
    return 1
}
shoot() {
    import -display ":$display" -window root "$shots/$1" && echo "  screenshot $shots/$1"
}

start_xvfb 1000x700x24

echo "1. the simulator serves the mouse pad; the program starts"
"$bin/quellix-sim" serve --devices pad --dir "$sim_dir" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 50); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
DISPLAY=":$display" QUELLIX_DEBUG=1 QUELLIX_INSTANCE_NAME="quellix-live-$$" \
    QUELLIX_DOCUMENTS_DIR="$work/documents" "$bin/quellix" --sim-dir "$sim_dir" 2>"$log" &
app_pid=$!
check "the first scan found the pad and asked to show the window" saw "软件标示 "
check "the window is shown" window_state IsViewable
sleep 0.3
shoot live-pad.png

echo "2. quellix-sim plug mouse"
"$bin/quellix-sim" plug mouse --dir "$sim_dir" >/dev/null
check "the mouse's tab appears and is selected" saw "ms_tab"
sleep 0.3
shoot live-mouse-plugged.png

echo "3. quellix-sim unplug pad, then unplug mouse (the last device)"
"$bin/quellix-sim" unplug pad --dir "$sim_dir" >/dev/null
sleep 0.5
check "the window is still shown with the mouse" window_state IsViewable
"$bin/quellix-sim" unplug mouse --dir "$sim_dir" >/dev/null
check "the disconnection is said (message_text_20)" saw "last device removed: message_text_20"
check "the window hides" window_state IsUnMapped

echo "4. kill -TERM"
kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
app_pid=
check "exit status 0 (was $status)" test "$status" -eq 0
for trace in 退出测试 鼠标设备侦测线程设定退出 鼠标垫设备侦测线程设定退出 键盘设备侦测线程设定退出 \
    鼠标同步线程设定测试退出 键盘同步线程设定退出 所有对象处于激发状态; do
    check "trace $trace" grep -qF "$trace" "$log"
done

if ((failures)); then
    echo "live devices: $failures check(s) failed; the program's debug output:"
    cat "$log"
    exit 1
fi
echo "live devices: all checks passed"
