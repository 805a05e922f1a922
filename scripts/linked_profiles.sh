#!/usr/bin/env bash
# Shows a profile linked to a program switching with the program in front:
#
#   1. Under Xvfb with openbox (which keeps _NET_ACTIVE_WINDOW), two small X
#      programs run from two executables, alpha and beta.
#   2. The mouse-pad lighting catalogue links profile2 to alpha; the user's
#      own selection is profile3.  The program starts with a simulated pad.
#   3. Activating alpha applies profile2 within one watcher pass; the
#      selection key still names profile3.
#   4. Activating beta brings profile3 back; the key still names it.
#
#   scripts/linked_profiles.sh
#
# Needs a build (scripts/build.sh), Xvfb, openbox, xdotool and x11-utils
# (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/x_session.sh
. scripts/lib/x_session.sh
bin=$(realpath "${QUELLIX_BUILD_DIR:-build}/bin")
defaults=$(realpath defaults)
work=$(mktemp -d)
log=$work/quellix.log
title="Quellix T417 Gaming Mouse pad Driver"

cleanup() {
    for pid in ${app_pid:-} ${alpha_pid:-} ${beta_pid:-} ${wm_pid:-} ${xvfb_pid:-}; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $2 tenths of a second (default 50) for a line in the
# program's debug output that was not there before `mark`.
saw() {
    for _ in $(seq "${2:-50}"); do
        tail -n +"$((mark + 1))" "$log" | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    return 1
}
mark_log() { mark=$(wc -l <"$log"); }
selection_key() {
    tr -d '\r\0' <"$pad_dir/mpProfile.ini" | sed -n '/^\[PROFILEDENGSELECT\]/,/^\[/s/^select=//p'
}
# Starts a copy of xmessage under a new name, gives its window the
# _NET_WM_PID it does not set itself, and prints the window id.
start_program() { # NAME
    cp "$(command -v xmessage)" "$work/$1"
    DISPLAY=":$display" "$work/$1" -title "$1" "$1" >/dev/null 2>&1 &
    local pid=$! window=
    for _ in $(seq 50); do
        window=$(DISPLAY=":$display" xdotool search --name "^$1\$" 2>/dev/null | head -n 1) &&
            [[ -n $window ]] && break
        sleep 0.1
    done
    [[ -n $window ]] || return 1
    DISPLAY=":$display" xprop -id "$window" -f _NET_WM_PID 32c -set _NET_WM_PID "$pid"
    echo "$pid $window"
}
# Brings a window to the front and waits up to 5 s until the window
# manager names it the active window.
activate() { # WINDOW
    for _ in $(seq 50); do
        DISPLAY=":$display" xdotool windowactivate "$1" 2>/dev/null || true
        sleep 0.1
        [[ $(DISPLAY=":$display" xdotool getactivewindow 2>/dev/null) == "$1" ]] && return 0
    done
    return 1
}
# Waits up to 10 s for the program's window to be mapped.
window_shown() {
    for _ in $(seq 100); do
        xwininfo -display ":$display" -name "$title" 2>/dev/null | grep -q "Map State: IsViewable" &&
            return 0
        sleep 0.1
    done
    return 1
}

start_xvfb 1000x700x24
start_openbox

echo "1. two programs, alpha and beta"
read -r alpha_pid alpha_window < <(start_program alpha) || true
read -r beta_pid beta_window < <(start_program beta) || true
check "alpha's window is $alpha_window" test -n "$alpha_window"
check "beta's window is $beta_window" test -n "$beta_window"

echo "2. profile2 of the mouse-pad lighting is linked to $work/alpha; the user chose profile3"
pad_dir="$work/documents/Quellix T417 Gaming Mouse pad/mp"
mkdir -p "$pad_dir"
for name in profile1 profile2 profile3; do
    cp "$defaults/mpdengdefault.led" "$pad_dir/$name.led"
done
cat >"$pad_dir/mpProfile.ini" <<EOF
[PROFILEDENGCOUNT]
count=3
[PROFILEDENGNAME]
0=profile1
1=profile2
2=profile3
[PROFILEDENGSELECT]
select=2
[PROFILELIKEDENGEXE]
0=0
1=1
2=0
[DENGPROCESS]
0= 
1=$work/alpha
2= 
EOF
: >"$log"
mark=0
DISPLAY=":$display" QUELLIX_DEBUG=1 QUELLIX_INSTANCE_NAME="quellix-linked-$$" \
    QUELLIX_DOCUMENTS_DIR="$work/documents" "$bin/quellix" --simulate=pad 2>"$log" &
app_pid=$!
check "the pad connected with the remembered profile3" saw "profile applied: $pad_dir/profile3.led" 100
# The window comes up when the pad is found and takes the front: the
# programs are activated after that.
check "the program's window is shown" window_shown

echo "3. alpha comes to the front"
mark_log
check "alpha is the active window" activate "$alpha_window"
check "the watcher selects profile2 for alpha" \
    saw "mouse-pad lighting profile 1 selected: $work/alpha is in front" 30
check "profile2 is applied" saw "profile applied: $pad_dir/profile2.led" 10
check "the selection key still names profile3 ($(selection_key))" test "$(selection_key)" = 2

echo "4. beta comes to the front"
mark_log
check "beta is the active window" activate "$beta_window"
check "the user's profile3 comes back" \
    saw "mouse-pad lighting profile 2 selected again: no linked program in front" 30
check "profile3 is applied" saw "profile applied: $pad_dir/profile3.led" 10
check "the selection key names profile3 ($(selection_key))" test "$(selection_key)" = 2

echo "5. kill -TERM"
mark_log
kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
app_pid=
check "exit status 0 (was $status)" test "$status" -eq 0
check "the pad watcher stopped" grep -qF "mouse pad lighting profile watcher: stopped" "$log"

if ((failures)); then
    echo "linked profiles: $failures check(s) failed; the program's debug output:"
    cat "$log"
    exit 1
fi
echo "linked profiles: all checks passed"
