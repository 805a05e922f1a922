#!/usr/bin/env bash
# What the program costs while it lives with its devices and nobody looks:
# three simulated devices served by quellix-sim, the program started in the
# tray (--hidden) under a virtual X server.  After a settling pause it
# samples, over a window of SECONDS (default 10):
#
#   cpu       user+system time of the whole process / wall time, in %
#   wakeups   context switches of all its threads per second (voluntary +
#             involuntary), which is how often it wakes the CPU
#
# and how long a device plugged while it runs takes to be connected (from
# `quellix-sim plug` to the connection's debug line).
#
#   bench/idle/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=$(realpath "${QUELLIX_BUILD_DIR:-build}/bin")
seconds=${1:-10}
work=$(mktemp -d)
sim_dir=$work/sim
log=$work/quellix.log

cleanup() {
    [[ -n ${app_pid:-} ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n ${sim_pid:-} ]] && kill "$sim_pid" 2>/dev/null || true
    [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=$((200 + RANDOM % 100))
Xvfb ":$display" -screen 0 1000x700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 0.5

"$bin/quellix-sim" serve --devices mouse,pad,keyboard --dir "$sim_dir" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 50); do [[ -s $work/sim.out ]] && break; sleep 0.1; done

DISPLAY=":$display" QUELLIX_DEBUG=1 QUELLIX_INSTANCE_NAME="quellix-idle-$$" \
    QUELLIX_DOCUMENTS_DIR="$work/documents" "$bin/quellix" --sim-dir "$sim_dir" --hidden 2>"$log" &
app_pid=$!
sleep 3

ticks() { # utime + stime of the process, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$app_pid/stat"
}
switches() { # context switches of all threads
    cat /proc/"$app_pid"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print n }'
}
hz=$(getconf CLK_TCK)
per_thread() { for t in /proc/"$app_pid"/task/*; do echo "$(tr " " _ <$t/comm) $(awk "/^(non)?voluntary_ctxt_switches/ { n += \$2 } END { print n }" $t/status) $(cut -d" " -f14,15 $t/stat | tr " " +)"; done; }
[[ -n ${QUELLIX_BENCH_THREADS:-} ]] && per_thread >"$work/threads0"
t0=$(ticks) s0=$(switches) w0=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks) s1=$(switches) w1=$(date +%s.%N)
[[ -n ${QUELLIX_BENCH_THREADS:-} ]] && { per_thread >"$work/threads1"; paste "$work/threads0" "$work/threads1" | awk "{ split(\$3, a, \"+\"); split(\$6, b, \"+\"); print \$1, \$5 - \$2, \"wake-ups,\", b[1] + b[2] - a[1] - a[2], \"ticks\" }"; }
threads=$(ls /proc/"$app_pid"/task | wc -l)
awk -v t="$((t1 - t0))" -v hz="$hz" -v s="$((s1 - s0))" -v w0="$w0" -v w1="$w1" -v th="$threads" 'BEGIN {
    wall = w1 - w0
    printf "idle, 3 devices, window hidden: cpu %.2f %%, %.0f wake-ups/s (%d threads, %.1f s)\n",
        100 * t / hz / wall, s / wall, th, wall
}'

# Plug latency: unplug a device, wait until the program noticed, plug it
# again and time the connection (the keyboard's includes the 100 ms it is
# given to settle after it was opened).
plug_latency() { # MODEL NAME
    "$bin/quellix-sim" unplug "$1" --dir "$sim_dir" >/dev/null
    for _ in $(seq 100); do
        grep -q "device removed: $2" "$log" && break
        sleep 0.05
    done
    local before frames start end first
    before=$(grep -c "device connected: $2" "$log" || true)
    frames=$(led_frames "$1")
    start=$(date +%s%N)
    "$bin/quellix-sim" plug "$1" --dir "$sim_dir" >/dev/null
    first=
    for _ in $(seq 1000); do
        [[ -z $first && $(led_frames "$1") -gt $frames ]] && first=$(date +%s%N)
        [[ -n $first && $(grep -c "device connected: $2" "$log" || true) -gt $before ]] && break
        sleep 0.002
    done
    end=$(date +%s%N)
    echo "plug ($2): first lighting frame after $(((first - start) / 1000000)) ms," \
        "connect sequence done after $(((end - start) / 1000000)) ms"
}
led_frames() { # MODEL: LED frames the simulated device has received
    "$bin/quellix-sim" dump "$1" --dir "$sim_dir" | awk '/^led frames/ { print $3 + 0 }'
}
plug_latency mouse mouse
plug_latency keyboard keyboard
