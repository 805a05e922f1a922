#!/usr/bin/env bash
# Starts the program under a virtual X server (Xvfb) with simulated devices
# and saves a PNG of the main window once it has been painted.
#
#   scripts/screenshot.sh [OUT]
#
# OUT is a file name ending in .png (the window as it starts), or a
# directory (default docs/screenshots) that receives main.png, one picture
# of each device page (keyboard.png, mouse.png, pad.png), the window in each
# language (main-en.png, main-cn.png) and with a plain-colour and a picture
# background (background-colour.png, background-picture.png).  The build
# directory is build/ or $QUELLIX_BUILD_DIR; the virtual display is the first
# free one from :$QUELLIX_XVFB_DISPLAY (default 71).
#
# Every text drawn is checked for characters its font has no glyph for (a
# box on the screen): the script fails naming such texts.
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

# The program's settings ("main.ini", the machine's key store) live in a
# private folder, so that the pictures do not depend on the user's choices.
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export QUELLIX_DOCUMENTS_DIR=$settings/documents
export QUELLIX_MACHINE_STORE=$settings/machine.ini
main_ini="$QUELLIX_DOCUMENTS_DIR/Quellix T417 Gaming Mouse pad/main.ini"

# language VALUE: the machine's language ("1010" English, "2020" Chinese).
language() {
    printf '[SOFTWARE\\Quellix T417 Gaming Mouse pad]\nLANGUAGE=%s\n' "$1" >"$QUELLIX_MACHINE_STORE"
}
# remember PICTURE: the background picture main.ini remembers ("" forgets it).
remember() {
    mkdir -p "$(dirname "$main_ini")"
    if [[ -n $1 ]]; then
        printf '[SKINIMAGE]\nFLAGS=1\nIMAGE=%s\n' "$1" >"$main_ini"
    else
        rm -f "$main_ini"
    fi
}

shoot() { # FILE [PROGRAM OPTIONS...]
    local file
    file=$(realpath -m "$1")
    shift
    timeout 60 xvfb-run -a -n "${QUELLIX_XVFB_DISPLAY:-71}" -s "-screen 0 1280x800x24" \
        "$bin/quellix" --simulate --check-glyphs --screenshot="$file" "$@" 2> >(grep -v "no system tray" >&2)
    echo "screenshot: $file"
}

if [[ $out == *.png ]]; then
    mkdir -p "$(dirname "$out")"
    language 1010
    shoot "$out"
else
    mkdir -p "$out"
    language 1010
    shoot "$out/main.png"
    for page in keyboard mouse pad; do
        shoot "$out/$page.png" --page="$page"
    done
    shoot "$out/main-en.png" --page=pad
    language 2020
    shoot "$out/main-cn.png" --page=pad
    shoot "$out/keyboard-cn.png" --page=keyboard
    language 1010
    shoot "$out/background-colour.png" --page=pad --background="#FF1F1A2B"
    remember skin/bg_ember.png
    shoot "$out/background-picture.png" --page=pad
    remember ""
fi
