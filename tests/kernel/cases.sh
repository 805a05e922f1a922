#!/bin/sh
# The cases of the kernel stage, run twice: against the simulator served as
# sockets (on the host, which gives the reference results) and served
# through /dev/uhid (in the guest, where the kernel's HID and hidraw drivers
# carry the reports).  Each case writes OUT/<case>.txt: what the commands
# printed and their exit statuses, with the parts that name the transport
# (socket or hidraw node, interface number) replaced.  With EXPECTED, each
# case is compared with EXPECTED/<case>.txt as soon as it ran and the result
# printed as
#   KTEST <case> PASS
#   KTEST <case> FAIL        followed by the differences, each line "KTEST| ..."
#   KTEST-INFO <text>        measurements
#
#   cases.sh socket|uhid BIN_DIR OUT_DIR [EXPECTED_DIR]
#
# POSIX sh: runs under the host's sh and the guest's busybox.
set -u
mode=$1
bin=$2
out=$3
expected=${4:-}
work=$(mktemp -d)
chmod 0755 "$work" # the ordinary user of the no-access case reaches the sockets
sim_dir=$work/sim
mkdir -p "$out"

# Under UHID every interface is a HID device of its own without a USB
# interface above it: interface numbers read as 0 there, so they are not
# compared; nor are the node names (hidrawN or the socket's file name).
normalize() {
    sed -e 's/#[^ ]*/#NODE/' -e 's/&mi_[0-9a-f][0-9a-f]/\&mi_NN/' -e 's/ interface [0-9]* / interface N /'
}

if [ "$mode" = socket ]; then
    serve_flag=
    ctl_source="--sim $sim_dir"
    source_env="QUELLIX_SIM_DIR=$sim_dir"
else
    serve_flag=--uhid
    ctl_source=
    source_env="QUELLIX_SIM_DIR="
fi
ctl() {
    # shellcheck disable=SC2086 # ctl_source is two words or none
    "$bin/quellixctl" $ctl_source "$@"
}
# An ordinary user: nobody.  util-linux's setpriv by its path: busybox's
# shell runs its own smaller applet of that name first.
ctl_as_user() {
    # shellcheck disable=SC2086
    /usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups "$bin/quellixctl" $ctl_source "$@"
}
sim() {
    "$bin/quellix-sim" "$@" --dir "$sim_dir" >/dev/null
}

# Runs a command, keeping its output (stdout, then stderr) and exit status.
run() { # FILE COMMAND...
    file=$1
    shift
    "$@" >"$work/stdout" 2>"$work/stderr"
    status=$?
    { cat "$work/stdout" "$work/stderr"; echo "exit $status"; } | normalize >>"$file"
}
# The same for a listing, whose order is the transport's (socket names or
# hidraw numbers): its lines are sorted.
run_listing() { # FILE COMMAND...
    file=$1
    shift
    "$@" >"$work/stdout" 2>"$work/stderr"
    status=$?
    { normalize <"$work/stdout" | sort; cat "$work/stderr"; echo "exit $status"; } >>"$file"
}

verdict() { # CASE
    [ -n "$expected" ] || return 0
    if [ ! -f "$expected/$1.txt" ]; then
        echo "KTEST $1 FAIL"
        echo "KTEST| no reference result"
    elif diff "$expected/$1.txt" "$out/$1.txt" >"$work/diff" 2>&1; then
        echo "KTEST $1 PASS"
    else
        echo "KTEST $1 FAIL"
        sed 's/^/KTEST| /' "$work/diff"
    fi
}

# Waits up to 10 s until `quellixctl list` shows (or no longer shows) the
# configuration collection of each product id given.
wait_for() { # present|absent PRODUCT...
    want=$1
    shift
    i=0
    while [ $i -lt 100 ]; do
        listing=$(ctl list 2>/dev/null)
        ok=1
        for product in "$@"; do
            if echo "$listing" | grep -q "product $product usage_page 0xff1c"; then
                [ "$want" = present ] || ok=0
            else
                [ "$want" = absent ] || ok=0
            fi
        done
        [ $ok = 1 ] && return 0
        sleep 0.1
        i=$((i + 1))
    done
    echo "KTEST-INFO devices $* not $want after 10 s" >&2
    return 1
}

# Waits up to 10 s for a line in a file; prints the last such line.
wait_line() { # FILE PATTERN [COUNT]
    i=0
    while [ $i -lt 100 ]; do
        if [ "$(grep -c "$2" "$1")" -ge "${3:-1}" ]; then
            grep "$2" "$1" | tail -n 1
            return 0
        fi
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

"$bin/quellix-sim" serve $serve_flag --devices pad,mouse --dir "$sim_dir" \
    >"$work/serve.out" 2>"$work/serve.err" &
serve_pid=$!
i=0
while [ ! -s "$work/serve.out" ] && [ $i -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
done
wait_for present 0x5f02 0x5f01

# --- what the firmware sends, decoded -------------------------------------
: >"$out/list.txt"
run_listing "$out/list.txt" ctl list
verdict list

for c in "info pad" "info mouse" "read pad 0 320" "read mouse 0x40 100" "keys mouse 2" \
    "keys pad 0"; do
    name=$(echo "$c" | tr ' ' '-')
    : >"$out/$name.txt"
    # shellcheck disable=SC2086 # the case's words
    run "$out/$name.txt" ctl --trace $c
    verdict "$name"
done

# --- faults ---------------------------------------------------------------
# A single latency spike: the first request's reply comes 450 ms late, after
# the first attempt gave up (300 ms); the latency is back to 2 ms before the
# second attempt, whose request then finds the late reply.  The second
# attempt's own reply is lost (DROP 1): replies keep their order, so it would
# come right behind the late one, and whether it is dropped before the next
# request is written or read as that request's answer depends on the
# scheduling of the two processes.
: >"$out/late-reply.txt"
# shellcheck disable=SC2086 # ctl_source is two words or none
run "$out/late-reply.txt" "$bin/quellix-latency-spike" "$sim_dir" pad 450000 2000 1 \
    "$bin/quellixctl" $ctl_source --trace info pad
verdict late-reply

# A silent device: no request is answered.
: >"$out/silent.txt"
sim drop pad 1000000
run "$out/silent.txt" ctl --trace info pad
sim drop pad 0
verdict silent

# The device goes away at the third frame of a chunked read.
: >"$out/unplug-mid-transfer.txt"
sim unplug-after pad 3
run "$out/unplug-mid-transfer.txt" ctl --trace read pad 0 200
wait_for absent 0x5f02
sim plug pad
wait_for present 0x5f02
verdict unplug-mid-transfer

# An ordinary user who may not open the devices.  hidraw nodes are root's
# with mode 0600 when no udev rule grants access; the socket simulator's
# counterpart is a readable directory whose sockets the user may not write.
: >"$out/no-access.txt"
[ "$mode" = socket ] && chmod 0755 "$sim_dir"
run_listing "$out/no-access.txt" ctl_as_user list
run "$out/no-access.txt" ctl_as_user info pad
[ "$mode" = socket ] && chmod 0700 "$sim_dir"
verdict no-access

# --- detection --------------------------------------------------------------
# The program's detection finds the pad and the mouse plugged while it runs,
# notices the pad's unplug and finds it plugged again, at the same node (the
# kernel gives the lowest free hidraw number).
: >"$out/detection.txt"
sim unplug pad
sim unplug mouse
wait_for absent 0x5f02 0x5f01
log=$work/detect.log
serve_lines=$(wc -l <"$work/serve.err")
env "$source_env" QUELLIX_DOCUMENTS_DIR="$work/documents" "$bin/quellix-detect-devices" >"$log" 2>&1 &
detect_pid=$!
{
    wait_line "$log" "^detection started" >/dev/null && echo "detection started"
    sim plug pad
    sim plug mouse
    wait_line "$log" "^info block pad read" >/dev/null && echo "pad found, connect sequence read its info block"
    wait_line "$log" "^info block mouse read" >/dev/null && echo "mouse found, connect sequence read its info block"
    first=$(wait_line "$log" "^connected pad")
    sim unplug pad
    wait_line "$log" "^removed pad" >/dev/null && echo "pad removal noticed"
    sim plug pad
    again=$(wait_line "$log" "^connected pad" 2) && echo "pad found again"
    wait_line "$log" "^info block pad read" 2 >/dev/null && echo "pad connect sequence ran again"
    if [ -n "$first" ] && [ "${first##*#}" = "${again##*#}" ]; then
        echo "pad found again at the same node"
    else
        echo "pad found again at another node: '${first##*#}' then '${again##*#}'"
    fi
    kill -TERM $detect_pid
    wait $detect_pid
    echo "detection exit $?"
} >>"$out/detection.txt" 2>&1
grep -E "^(connected|removed|open failed)" "$log" | sed 's/^/KTEST-INFO detection: /'
# From each UHID_CREATE2 to the connect sequence's first frame, as the
# simulator saw them: the pad, the mouse, the pad plugged again.
tail -n +$((serve_lines + 1)) "$work/serve.err" | grep "UHID_CREATE2" |
    sed 's/^uhid: /KTEST-INFO detection: /'
verdict detection

kill -TERM $serve_pid
wait $serve_pid
grep -v "UHID_CREATE2" "$work/serve.err" | sed 's/^/KTEST-INFO quellix-sim: /'
rm -rf "$work"
