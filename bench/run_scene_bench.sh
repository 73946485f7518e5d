#!/usr/bin/env bash
# Runs the scene benchmark (scene_bench) of the real screensaver under Xvfb:
#   the 800 x 600 test window ("/t") on an 800x600 screen, and
#   full screen ("/s") on a 1920x1080 screen,
# each in its own Xvfb server and its own process (peak memory is per process),
# with fresh default settings, no dialogs and SDL's dummy sound driver.
#
# Usage:
#   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
#   ninja -C build-bench -j2 scene_bench reef_data reefsaver
#   bash bench/run_scene_bench.sh [build folder] [extra Google Benchmark options...]
# The build folder defaults to ./build-bench. SCENE_BENCH_FRAMES (default 300)
# and SCENE_BENCH_WARMUP (default 100) set the frame counts; see the header of
# bench/SceneBench.cpp for what each reported counter means.
set -euo pipefail

build=${1:-build-bench}
shift || true
bench="$build/bin/scene_bench"
if [[ ! -x "$bench" ]]; then
    echo "no $bench: build it with: ninja -C $build -j2 scene_bench reef_data" >&2
    exit 1
fi
if [[ ! -f "$build/bin/Marevo2/Directory.dat" ]]; then
    echo "no data folder in $build/bin/Marevo2: build it with: ninja -C $build -j2 reef_data" >&2
    exit 1
fi
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 1; }

work=$(mktemp -d /tmp/scene_bench.XXXXXX)
. "$(dirname "$0")/../testsupport/private_display.sh"
cleanup() {
    stop_private_display
    rm -rf "$work"
}
trap cleanup EXIT

# start_xvfb WIDTHxHEIGHT: starts a server on a free display and sets DISPLAY.
start_xvfb() {
    start_private_xvfb "$1" || { echo "Xvfb at $1 did not start" >&2; exit 1; }
}

# run_case SCREEN FILTER: one benchmark case on its own server and fresh settings.
run_case() {
    local screen=$1 filter=$2
    shift 2
    start_xvfb "$screen"
    local config="$work/config-$filter"
    mkdir -p "$config"
    echo "=== $filter on a ${screen} Xvfb screen (DISPLAY=$DISPLAY)"
    XDG_CONFIG_HOME="$config" REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy \
        "$bench" --benchmark_filter="Scene/$filter" --benchmark_counters_tabular=true "$@"
    stop_private_display
}

run_case 800x600 test_window "$@"
run_case 1920x1080 full_screen "$@"
