#!/usr/bin/env bash
# Takes a screenshot of the full-screen saver (reefsaver_plain /s, default settings) every 5 s
# for 60 s at 1280x720 and at 1920x1080, each size on its own Xvfb with Mesa's software renderer,
# and, where ImageMagick's montage is installed, puts each size's series on one contact sheet.
#
# Usage: bash scripts/screenshot-series.sh [bin folder] [output folder]
#   bin folder defaults to build-rel/bin in the source tree (needs reefsaver_plain and the Marevo2 data folder),
#   output folder to <bin folder>/../screenshots/series. Files: <width>x<height>/tNN.png
#   (NN = seconds), <width>x<height>.log (what the saver printed) and <width>x<height>-sheet.png.
# A fresh settings folder is used, so stored settings never change what is shown. Fails when the
# saver does not end on its own after the last picture or a picture is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin=${1:-$root/build-rel/bin}
out=${2:-$bin/../screenshots/series}
saver="$bin/reefsaver_plain"
[[ -x "$saver" ]] || { echo "no $saver: build it with: ninja -C <build> reefsaver_plain reef_data" >&2; exit 1; }
. "$root/testsupport/private_display.sh"

config=$(mktemp -d /tmp/reef-shots.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$config"' EXIT
export REEFSAVER_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

for size in ${SERIES_SIZES:-1280x720 1920x1080}; do
    dir="$out/$size"
    rm -rf "$dir"
    mkdir -p "$dir"
    shots=""
    for s in $(seq 5 5 60); do
        shots+="${shots:+,}$((s * 1000)):$dir/t$(printf %02d "$s").png"
    done
    start_private_xvfb "$size" || { echo "no Xvfb at $size" >&2; exit 1; }
    echo "$size: $dir"
    # The saver ends itself half a second after the last picture (exit code 0, as on input).
    status=0
    XDG_CONFIG_HOME="$config/$size" REEFSAVER_SCREENSHOTS="$shots" REEFSAVER_QUIT_AFTER_MS=60500 \
        timeout 300 "$saver" /s >"$out/$size.log" 2>&1 || status=$?
    stop_private_display
    [[ $status == 0 ]] || { echo "the saver ended with $status at $size:" >&2; tail -n 20 "$out/$size.log" >&2; exit 1; }
    for s in $(seq 5 5 60); do
        [[ -s "$dir/t$(printf %02d "$s").png" ]] || { echo "no picture at $s s at $size" >&2; exit 1; }
    done
    if [[ -x /usr/bin/montage ]]; then
        /usr/bin/montage "$dir"/t*.png -tile 4x3 -geometry 480x+4+4 "$out/$size-sheet.png"
    fi
done
