#!/usr/bin/env bash
# Host cost of the lighting: the program animates three simulated devices
# (the keyboard as a full-colour model) and this prints its CPU use, its
# wake-ups per second and each device's LED frame rate against the rate the
# frame delays and the transfers give, once with the window hidden and once
# with the pad's lighting page shown.  The simulator runs as a process of
# its own at its default latency, so the figures are the program's alone.
#
# Next to them stands the protocol floor: a bare client (no program code)
# making the same exchanges and pauses against its own simulator.  On a
# virtual machine a wake-up costs tens of microseconds and varies a lot
# from one minute to the next, so each figure is taken in several rounds,
# interleaved, and the median is printed after the rounds.
#
#   bench/lighting/run_workers.sh [SECONDS] [ROUNDS]     (default 20, 3)
#
# Needs the build's quellix, quellix-sim and bench_exchange_floor
# (QUELLIX_BUILD_DIR, default build/) and, without a display, xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${QUELLIX_BUILD_DIR:-build}
seconds=${1:-20}
rounds=${2:-3}
warmup=${QUELLIX_BENCH_WARMUP:-6} # the workers start 3 s after the program

if [[ -z "${DISPLAY:-}" && -z "${QUELLIX_BENCH_UNDER_XVFB:-}" ]]; then
    export QUELLIX_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

sim="$build/bin/quellix-sim"
program="$build/bin/quellix"
floor="$build/bench/lighting/bench_exchange_floor"
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

start_sim() { # dir -> pid in $sim_pid
    mkdir -p -m 0700 "$1"
    "$sim" serve --dir "$1" --keyboard-pid 0x763E >"$1.out" &
    sim_pid=$!
    pids+=("$sim_pid")
    for _ in $(seq 100); do [[ -S "$1/control.sock" ]] && break; sleep 0.05; done
}

# Appends "label cpu wakeups" to $workdir/figures and prints the round.
run_program() {
    local label=$1 shown=$2 round=$3
    local dir="$workdir/$label-$round"
    mkdir -p "$workdir/docs-$label-$round"
    start_sim "$dir"
    local args=("--sim-dir=$dir")
    if [[ $shown == no ]]; then
        args+=("--hidden") # in the tray
    else
        args+=("--page=pad")
    fi
    # An instance name of its own, so that a running copy does not take the
    # start-up over.
    QUELLIX_INSTANCE_NAME="quellix-bench-$$-$round" QUELLIX_DOCUMENTS_DIR="$workdir/docs-$label-$round" \
        "$program" "${args[@]}" >/dev/null 2>&1 &
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

    awk -v l="$label" -v c=$((c1 - c0)) -v w=$((w1 - w0)) -v s=$((s1 - s0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" \
        'BEGIN {t = t1 - t0; printf "%s: program %.2f %% of a core, %.0f wake-ups/s (simulator %.2f %%) over %.1f s\n", l, 100 * c / hz / t, w / t, 100 * s / hz / t, t}' |
        tee -a "$workdir/lines"
    for d in pad mouse keyboard; do
        awk -v n=$((f1[$d] - f0[$d])) -v t0="$t0" -v t1="$t1" -v p="${period_ms[$d]}" -v d="$d" \
            'BEGIN {r = n / (t1 - t0); e = 1000 / p; printf "  %-8s %6.2f frames/s (expected %6.2f, %+5.1f %%)\n", d, r, e, 100 * (r - e) / e}'
    done | tee -a "$workdir/rates-$label"
    kill "$pid" "$sim_pid" 2>/dev/null || true
    wait "$pid" "$sim_pid" 2>/dev/null || true
}

run_floor() {
    local round=$1
    local dir="$workdir/floor-$round"
    start_sim "$dir"
    "$floor" "$dir" "$seconds" >"$workdir/floor.out"
    cat "$workdir/floor.out"
    head -n 1 "$workdir/floor.out" >>"$workdir/lines"
    tail -n +2 "$workdir/floor.out" >>"$workdir/rates-protocol floor"
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
}

for round in $(seq "$rounds"); do
    echo "round $round of $rounds"
    run_floor "$round"
    run_program hidden no "$round"
    run_program "lighting page shown" yes "$round"
done

echo "medians of $rounds rounds:"
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
for label in "protocol floor" "hidden" "lighting page shown"; do
    cpu=$(grep "^$label:" "$workdir/lines" | sed 's/.* \([0-9.]*\) % of a core.*/\1/' | median)
    wake=$(grep "^$label:" "$workdir/lines" | sed 's/.*core, \([0-9]*\) wake-ups.*/\1/' | median)
    printf "  %-20s %5.2f %% of a core, %4.0f wake-ups/s\n" "$label" "$cpu" "$wake"
done
for label in "protocol floor" hidden "lighting page shown"; do
    for d in pad mouse keyboard; do
        rate=$(awk -v d="$d" '$1 == d {gsub(/[(,]/, ""); print $6}' "$workdir/rates-$label" | median)
        printf "  %-20s %-8s %+5.1f %% frame rate\n" "$label" "$d" "$rate"
    done
done
