#!/usr/bin/env bash
# Two screenshots of a lighting page a moment apart, under a virtual X
# server with simulated devices: they must differ in the LED previews and
# nowhere else.  Prints every region where they differ and fails when a
# region is larger than one preview button or when nothing differs.
#
#   scripts/lighting_preview_shots.sh [pad|mouse|keyboard]     (default pad)
#
# The screenshots and the difference mask are kept in
# $QUELLIX_BUILD_DIR/lighting-previews/ (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUELLIX_BUILD_DIR:-build}
page=${1:-pad}
declare -A leds=([pad]=skin/mp/leds.xml [mouse]=skin/ms/leds.xml [keyboard]=skin/kb/keys_light.xml)
[[ -n "${leds[$page]:-}" ]] || { echo "usage: $0 [pad|mouse|keyboard]" >&2; exit 2; }
# The largest preview button of the page in the shipped skin.
read -r max_width max_height < <(grep -o 'DeviceKeyButton[^>]*pos="[0-9,]*"' "${leds[$page]}" |
    sed 's/.*pos="\([0-9,]*\)"/\1/' |
    awk -F, '{w = $3 - $1; h = $4 - $2; if (w > mw) mw = w; if (h > mh) mh = h} END {print mw, mh}')

if [[ -z "${DISPLAY:-}" && -z "${QUELLIX_SHOTS_UNDER_XVFB:-}" ]]; then
    export QUELLIX_SHOTS_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

out="$build/lighting-previews"
mkdir -p "$out"
documents=$(mktemp -d)
QUELLIX_DOCUMENTS_DIR="$documents" "$build/bin/quellix" --simulate --page="$page" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true; rm -rf "$documents"' EXIT
sleep 6 # start-up, the devices, and the workers' three-second start
import -window root "$out/$page-1.png"
sleep 0.4
import -window root "$out/$page-2.png"

convert "$out/$page-1.png" "$out/$page-2.png" -compose difference -composite -threshold 0 \
    "$out/$page-difference.png"
regions=$(convert "$out/$page-difference.png" -define connected-components:verbose=true \
    -connected-components 8 null: | awk 'NR > 1 && $NF != "srgb(0,0,0)" && $NF != "gray(0)" {print $2}')
count=0
bad=0
for region in $regions; do
    size=${region%%+*}
    width=${size%x*}
    height=${size#*x}
    count=$((count + 1))
    if ((width > max_width || height > max_height)); then
        echo "differs outside the previews: $region"
        bad=1
    else
        echo "preview changed: $region"
    fi
done
echo "$count regions differ; screenshots in $out"
((count > 0 && bad == 0))
