#!/usr/bin/env bash
# Starts the program under a virtual X server (Xvfb) with simulated devices
# and saves a PNG of the main window once it has been painted.
#
#   scripts/screenshot.sh [OUT]
#
# OUT is a directory (the picture is OUT/main.png) or a file name ending in
# .png; default docs/screenshots.  The build directory is build/ or
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

if [[ $out == *.png ]]; then
    file=$out
    mkdir -p "$(dirname "$file")"
else
    mkdir -p "$out"
    file=$out/main.png
fi
file=$(realpath -m "$file")

# A name of its own, so that a program already running elsewhere does not
# take the start for a second instance.
export QUELLIX_INSTANCE_NAME="quellix-screenshot-$$"
timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" \
    "$bin/quellix" --simulate --screenshot="$file"
echo "screenshot: $file"
