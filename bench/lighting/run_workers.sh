#!/usr/bin/env bash
# Host cost of the lighting: the program animates three simulated devices
# (the keyboard as a full-colour model) and this prints its CPU use, its
# wake-ups per second and each device's LED frame rate against the rate the
# frame delays and the transfers give, once with the window hidden and once
# with the pad's lighting page shown.  The simulator runs as a process of
# its own at its default latency, so the figures are the program's alone.
#
#   bench/lighting/run_workers.sh [SECONDS]      (default 20)
#
# Needs the build's quellix and quellix-sim (QUELLIX_BUILD_DIR, default
# build/) and, without a display, xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${QUELLIX_BUILD_DIR:-build}
seconds=${1:-20}
warmup=${QUELLIX_BENCH_WARMUP:-6} # the workers start 3 s after the program

if [[ -z "${DISPLAY:-}" && -z "${QUELLIX_BENCH_UNDER_XVFB:-}" ]]; then
    export QUELLIX_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

sim="$build/bin/quellix-sim"
program="$build/bin/quellix"
hz=$(getconf CLK_TCK)
workdir=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

# Every device in its factory slot: multicolour wave, speed 2.  Period of
# one frame = frame delay + the device's own pauses + one exchange per
# 56-byte chunk (the simulator answers each after its 2 ms).
declare -A period_ms=([pad]=$((41 + 1 * 2)) [mouse]=$((30 + 20 + 2 * 2)) [keyboard]=$((30 + 7 * 2)))

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
wakeups() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ {sum += $2} END {print sum}'
}
led_frames() { "$sim" dump "$1" --dir "$2" | awk '/^led frames/ {sub(",", "", $3); print $3}'; }

run() {
    local label=$1 shown=$2
    local dir="$workdir/$label"
    mkdir -p -m 0700 "$dir" "$workdir/docs-$label"
    ${QUELLIX_BENCH_SIM_PREFIX:-} "$sim" serve --dir "$dir" --keyboard-pid 0x763E >"$workdir/$label.sim" &
    local sim_pid=$!
    pids+=("$sim_pid")
    for _ in $(seq 100); do [[ -S "$dir/control.sock" ]] && break; sleep 0.05; done
    local args=("--sim-dir=$dir")
    if [[ $shown == no ]]; then
        args+=("--hidden") # in the tray
    else
        args+=("--page=pad")
    fi
    QUELLIX_DOCUMENTS_DIR="$workdir/docs-$label" "$program" "${args[@]}" >/dev/null 2>&1 &
    local pid=$!
    pids+=("$pid")
    sleep "$warmup"

    local c0 w0 s0 t0
    c0=$(cpu_ticks "$pid"); w0=$(wakeups "$pid"); s0=$(cpu_ticks "$sim_pid")
    declare -A f0
    for d in pad mouse keyboard; do f0[$d]=$(led_frames "$d" "$dir"); done
    t0=$(date +%s.%N)
    sleep "$seconds"
    local c1 w1 s1 t1
    c1=$(cpu_ticks "$pid"); w1=$(wakeups "$pid"); s1=$(cpu_ticks "$sim_pid")
    declare -A f1
    for d in pad mouse keyboard; do f1[$d]=$(led_frames "$d" "$dir"); done
    t1=$(date +%s.%N)

    local rates=""
    for d in pad mouse keyboard; do
        rates+=$(awk -v n=$((f1[$d] - f0[$d])) -v t0="$t0" -v t1="$t1" -v p="${period_ms[$d]}" -v d="$d" \
            'BEGIN {r = n / (t1 - t0); e = 1000 / p; printf "  %-8s %6.2f frames/s (expected %6.2f, %+5.1f %%)\n", d, r, e, 100 * (r - e) / e}')
        rates+=$'\n'
    done
    awk -v l="$label" -v c=$((c1 - c0)) -v w=$((w1 - w0)) -v s=$((s1 - s0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" \
        'BEGIN {t = t1 - t0; printf "%s: program %.2f %% of a core, %.0f wake-ups/s (simulator %.2f %%) over %.1f s\n", l, 100 * c / hz / t, w / t, 100 * s / hz / t, t}'
    printf "%s" "$rates"
    kill "$pid" "$sim_pid" 2>/dev/null || true
    wait "$pid" "$sim_pid" 2>/dev/null || true
}

run hidden no
run "lighting page shown" yes
