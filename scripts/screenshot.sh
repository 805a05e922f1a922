#!/usr/bin/env bash
# Starts the program under a virtual X server (Xvfb) with simulated devices
# and saves a PNG of the main window once it has been painted.
#
#   scripts/screenshot.sh [OUT]
#
# OUT is a file name ending in .png (the window as it starts), or a
# directory (default docs/screenshots) that receives main.png and one
# picture of each device page: keyboard.png, mouse.png, pad.png.  The build directory is build/ or
# $QUELLIX_BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${QUELLIX_BUILD_DIR:-build}/bin
out=${1:-docs/screenshots}

if [[ ! -x $bin/quellix ]]; then
    echo "screenshot: $bin/quellix is missing; build first (scripts/build.sh)" >&2
    exit 1
fi
if ! command -v xvfb-run >/dev/null; then
    echo "screenshot: xvfb-run is missing (Debian package xvfb)" >&2
    exit 1
fi

# A name of its own, so that a program already running elsewhere does not
# take the start for a second instance.
export QUELLIX_INSTANCE_NAME="quellix-screenshot-$$"

shoot() { # FILE [PROGRAM OPTIONS...]
    local file
    file=$(realpath -m "$1")
    shift
    timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" \
        "$bin/quellix" --simulate --screenshot="$file" "$@"
    echo "screenshot: $file"
}

if [[ $out == *.png ]]; then
    mkdir -p "$(dirname "$out")"
    shoot "$out"
else
    mkdir -p "$out"
    shoot "$out/main.png"
    for page in keyboard mouse pad; do
        shoot "$out/$page.png" --page="$page"
    done
fi
