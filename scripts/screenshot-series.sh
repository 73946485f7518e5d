#!/usr/bin/env bash
# Takes a screenshot of the full-screen saver (reefsaver_plain /s, default settings) every 5 s
# for 60 s at 1280x720 and at 1920x1080, each size on its own Xvfb with Mesa's software renderer.
#
# Usage: bash scripts/screenshot-series.sh [build folder] [output folder]
#   build folder defaults to ./build-rel (needs reefsaver_plain and reef_data built),
#   output folder to <build folder>/screenshots; files are <width>x<height>/tNN.png (NN = seconds).
# A fresh settings folder is used, so stored settings never change what is shown.
set -euo pipefail

build=${1:-build-rel}
out=${2:-$build/screenshots}
saver="$build/bin/reefsaver_plain"
[[ -x "$saver" ]] || { echo "no $saver: build it with: ninja -C $build reefsaver_plain reef_data" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed" >&2; exit 1; }

config=$(mktemp -d /tmp/reef-shots.XXXXXX)
trap 'rm -rf "$config"' EXIT

for size in 1280x720 1920x1080; do
    dir="$out/$size"
    mkdir -p "$dir"
    shots=""
    for s in $(seq 5 5 60); do
        shots+="${shots:+,}$((s * 1000)):$dir/t$(printf %02d "$s").png"
    done
    echo "$size: $dir"
    XDG_CONFIG_HOME="$config/$size" REEFSAVER_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy \
    REEFSAVER_SCREENSHOTS="$shots" REEFSAVER_QUIT_AFTER_MS=60500 \
        xvfb-run -a -s "-screen 0 ${size}x24 -noreset" "$saver" /s || true
    ls "$dir"/t*.png >/dev/null 2>&1 || { echo "no screenshots were written at $size" >&2; exit 1; }
done
