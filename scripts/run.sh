#!/usr/bin/env bash
# Sets everything up, builds, and starts the program.
#
# With a display: starts the desktop program, on the attached devices when
# any is present and on simulated ones otherwise.  Without a display (a
# server, CI): says so, shows what quellixctl reads from simulated devices,
# runs the program under Xvfb for a few seconds and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh >/dev/null
bin=${QUELLIX_BUILD_DIR:-build}/bin

# The products the build's udev rule names (written from the device table):
# HID_ID=0003:0000VVVV:0000PPPP in a hidraw node's uevent.
real_devices_present() {
    local rule=${QUELLIX_BUILD_DIR:-build}/packaging/70-quellix.rules f ids
    ids=$(sed -n 's/.*idVendor}=="\([0-9a-f]*\)".*idProduct}=="\([0-9a-f]*\)".*/0000\1:0000\2/p' "$rule" |
        paste -sd'|')
    [[ -n $ids ]] || return 1
    for f in /sys/class/hidraw/*/device/uevent; do
        [[ -e $f ]] || continue
        grep -qiE "HID_ID=0003:($ids)\$" "$f" && return 0
    done
    return 1
}

simulate=()
real_devices_present || simulate=(--simulate)

if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} && -x $bin/quellix ]]; then
    exec "$bin/quellix" "${simulate[@]}"
fi

echo "run: no display here; showing the simulated devices from the command line."
sim_dir=$(mktemp -d)
ready=$(mktemp)
# The simulator prints its directory once every device is plugged.
"$bin/quellix-sim" serve --devices mouse,pad,keyboard --dir "$sim_dir" >"$ready" &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -rf "$sim_dir" "$ready"' EXIT
for _ in $(seq 100); do
    [[ -s $ready ]] && break
    sleep 0.1
done
echo "\$ quellixctl list"
"$bin/quellixctl" --sim "$sim_dir" list
for kind in pad mouse keyboard; do
    echo "\$ quellixctl info $kind"
    "$bin/quellixctl" --sim "$sim_dir" info "$kind"
done

if [[ -x $bin/quellix && -x scripts/screenshot.sh ]]; then
    out=${QUELLIX_SCREENSHOT_DIR:-$PWD/out/screenshots}
    echo "run: starting the program under Xvfb with simulated devices; screenshots go to $out"
    scripts/screenshot.sh "$out"
fi
