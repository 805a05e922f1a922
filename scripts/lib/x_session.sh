# shellcheck shell=bash
# shellcheck disable=SC2034 # display, xvfb_pid and wm_pid are set for the caller
# Shared by the scripts that run the program under a virtual X server:
# starting the server and a window manager, and counting checks.  Source it;
# the caller's cleanup kills $xvfb_pid and $wm_pid.

# start_xvfb SCREEN (e.g. 1000x700x24): starts Xvfb on the first free
# display from :120 and waits until it answers; sets display and xvfb_pid.
start_xvfb() {
    display=
    local n
    for n in $(seq 120 199); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        display=$n
        break
    done
    if [[ -z $display ]]; then
        echo "no free X display" >&2
        return 1
    fi
    for _ in $(seq 50); do
        xdpyinfo -display ":$display" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb :$display did not start" >&2
    return 1
}

# start_openbox: starts openbox on $display and waits until it manages the
# screen; sets wm_pid.
start_openbox() {
    DISPLAY=":$display" openbox --sm-disable >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 50); do
        xprop -display ":$display" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" &&
            return 0
        sleep 0.1
    done
    echo "openbox did not start on :$display" >&2
    return 1
}

failures=0
# check DESCRIPTION COMMAND...: runs the command and says ok or FAIL.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok    $what"
    else
        echo "  FAIL  $what"
        failures=$((failures + 1))
    fi
}
