#!/usr/bin/env bash
# Renders lighting effects as PNG strips from `quellixctl fx` output: one
# column of pixels per frame (frames across), one row per LED (LEDs down,
# in frame order).  A step after which the device receives no frame is a
# grey column.  One-colour keyboard level frames are drawn in the preview
# colour at their level.
#
#   scripts/render_fx.sh [OUTDIR]          renders the standard set (default docs/lighting)
#   scripts/render_fx.sh --one NAME SCALE -- <fx arguments>
#                                          renders one strip NAME.png into OUTDIR
#
# QUELLIXCTL names the binary (default: build/tools/quellixctl/quellixctl,
# built with scripts/build.sh when missing).  Needs python3 (standard
# library only) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/.."

quellixctl=${QUELLIXCTL:-build/tools/quellixctl/quellixctl}
if [[ ! -x $quellixctl ]]; then
    echo "building quellixctl into build/ ..." >&2
    cmake -S . -B build -G Ninja -DQUELLIX_WITH_QT=OFF >/dev/null
    cmake --build build --target quellixctl -j2 >/dev/null
    quellixctl=build/tools/quellixctl/quellixctl
fi

# fx output on stdin → PPM on stdout.
to_ppm() {
    python3 -c '
import sys
ONE_COLOUR = (0x00, 0xF6, 0xFF)
columns = []
for line in sys.stdin:
    frame = line.split(" ")[0].strip()
    columns.append(None if frame == "-" else bytes.fromhex(frame))
if not columns:
    sys.exit("no frames")
leds = max((len(c) for c in columns if c), default=0)
one_colour = "--variant" in sys.argv[1:] and sys.argv[sys.argv.index("--variant") + 1] == "1"
height = leds if one_colour else leds // 3
if height == 0:
    sys.exit("no frame was sent in this run")
out = bytearray()
for row in range(height):
    for col in columns:
        if col is None:
            out += bytes((64, 64, 64))
        elif one_colour:
            level = col[row] if row < len(col) else 0
            out += bytes(c * level // 255 for c in ONE_COLOUR)
        else:
            out += col[3 * row:3 * row + 3]
sys.stdout.buffer.write(b"P6\n%d %d\n255\n" % (len(columns), height) + bytes(out))
' "$@"
}

render_one() {
    local outdir=$1 name=$2 scale=$3
    shift 3
    mkdir -p "$outdir"
    "$quellixctl" fx "$@" | to_ppm "$@" | convert ppm:- -scale "${scale}%" -strip -define png:exclude-chunks=date,time "$outdir/$name.png"
    echo "$outdir/$name.png"
}

if [[ ${1:-} == --one ]]; then
    name=$2 scale=$3
    [[ $4 == -- ]] || { echo "usage: $0 --one NAME SCALE -- <fx arguments>" >&2; exit 2; }
    shift 4
    render_one "${OUTDIR:-docs/lighting}" "$name" "$scale" "$@"
    exit 0
fi

out=${1:-docs/lighting}
# fields: slot,mode,brightness,speed,direction,multicolor,red,green,blue
render_one "$out" pad_wave_multicolour 800 pad --fields 0,0,4,0,1,1,0,0,0 --frames 192
render_one "$out" pad_travelling_light 800 pad --fields 0,5,4,0,0,1,0,0,0 --frames 90
render_one "$out" pad_scanner 800 pad --fields 0,7,4,0,0,1,0,0,0 --frames 60
render_one "$out" keyboard_column_wave 300 keyboard --fields 0,0,4,0,1,1,0,0,0 --frames 192
render_one "$out" keyboard_show 300 keyboard --variant 2 --fields 0,6,4,0,0,1,0,0,0 --frames 192
render_one "$out" keyboard_stars 300 keyboard --fields 0,9,4,0,0,1,0,0,0 --frames 120
render_one "$out" keyboard_snake 300 keyboard --fields 0,12,4,0,0,1,0,0,0 --frames 120
render_one "$out" keyboard_pulses 300 keyboard --variant 2 --fields 0,11,4,0,0,1,0,0,0 --frames 192
render_one "$out" keyboard_one_colour_ripple 300 keyboard --variant 1 --fields 0,3,4,0,0,0,0,0,0 --frames 60
