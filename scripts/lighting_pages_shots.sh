#!/usr/bin/env bash
# Screenshots of the three lighting pages after a change of effect and
# colour, made as a user makes them: the program with simulated devices
# (a full-colour keyboard) under a virtual X server with a window manager,
# driven with xdotool.  The clicks follow the shipped skin's layout.
#
#   scripts/lighting_pages_shots.sh [OUT]      (default docs/screenshots)
#
# Writes lighting-pad.png (breathing, violet preset), lighting-mouse.png
# (static, a colour picked on the palette) and lighting-keyboard.png
# (ripple, blue preset).  Needs Xvfb, openbox, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/x_session.sh
. scripts/lib/x_session.sh
bin=${QUELLIX_BUILD_DIR:-build}/bin
out=$(realpath -m "${1:-docs/screenshots}")
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 1280x800x24
start_openbox
pids+=("$xvfb_pid" "$wm_pid")
export DISPLAY=":$display"

mkdir -m 0700 "$work/sim" "$work/documents"
"$bin/quellix-sim" serve --devices pad,mouse,keyboard --keyboard-pid 0x763E --dir "$work/sim" \
    >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
QUELLIX_DOCUMENTS_DIR="$work/documents" QUELLIX_INSTANCE_NAME="quellix-shots-$$" \
    "$bin/quellix" --sim-dir="$work/sim" >"$work/program.log" 2>&1 &
pids+=($!)

win=
for _ in $(seq 100); do
    win=$(xdotool search --name "Quellix T417" 2>/dev/null | head -1 || true)
    [[ -n $win ]] && break
    sleep 0.1
done
[[ -n $win ]] || { echo "lighting shots: the window did not appear" >&2; exit 1; }
sleep 4 # the three devices connect and their lighting starts

click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep "${3:-0.6}"; }
# effect ITEM: opens the effect list of a pad or mouse page and picks item ITEM.
effect() { click 628 148 0.7; click 600 $((180 + 24 * $1)); }

click 480 21 1            # Mouse pad tab
effect 2                  # Breathing
click 553 466 1.2         # preset 3, violet
import -window "$win" "$out/lighting-pad.png"

click 388 21 1            # Mouse tab
effect 3                  # Static
click 560 345 1.2         # the palette, a light green
import -window "$win" "$out/lighting-mouse.png"

click 250 21 1            # Keyboard tab
click 146 369 0.7         # its effect list
click 200 521             # Ripple
click 658 366 1           # preset 4, blue
import -window "$win" "$out/lighting-keyboard.png"

echo "lighting shots: written to $out"
