#!/usr/bin/env bash
# Runs the reef (scene_bench) and the fill-rate floor (fill_rate_floor: clear + four
# full-screen blended textured quads) interleaved at each screen size, each process on
# its own fresh Xvfb server, and prints per run and as medians:
#
#   the cycle    the reef at default settings on the real clock for CYCLE_S seconds
#                from its first frame (one rest-tilt-rest-tilt cycle of the automatic
#                camera at 60): the slowest 5-s window and the cycle average in frames
#                per second, each against the floor's fps, and the peak RSS above the
#                floor's;
#   the steady   one frozen frame looking down (REEFSAVER_FROZEN_CLOCK_MS, seed 1,
#   frame        --camera bottom), the heaviest view, drawn FRAMES times after WARMUP:
#                fps, process CPU ms per frame, the fastest frame, start-up to the end
#                of the first full frame (and that frame's own time, where the driver
#                compiles its shaders) and heap allocations per frame.
#
# Usage:
#   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
#     -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
#   ninja -C build-rel -j2 scene_bench fill_rate_floor reef_data
#   bash bench/compare_with_floor.sh [build folder] [floor build folder]
# The floor comes from the second folder when given. BEFORE=<build folder> adds an
# older reef build, run before each run of the current one (A B A B), so one call
# gives before and after on the same machine state; its figures are listed as
# "before". Environment: ROUNDS (default 1), SIZES (default "1920x1080 800x600"),
# CYCLE_S (default 60; 0 leaves the cycle out), FRAMES (default 120; 0 leaves the
# steady frame out) and WARMUP (default 30), FLOOR_FRAMES (150) and FLOOR_WARMUP (30),
# COLD_SHADER_CACHE=1 (each process starts
# with an empty Mesa shader cache, as on the first start after installing; by default
# every process uses the person's warm cache).
set -euo pipefail

build=${1:-build-rel}
floor_build=${2:-$build}
reef="$build/bin/scene_bench"
floor="$floor_build/bin/fill_rate_floor"
before=${BEFORE:+$BEFORE/bin/scene_bench}
rounds=${ROUNDS:-1}
sizes=${SIZES:-"1920x1080 800x600"}
cycle_s=${CYCLE_S:-60}
frames=${FRAMES:-120}
warmup=${WARMUP:-30}
for program in "$reef" "$floor" ${before:+"$before"}; do
    [[ -x "$program" ]] || { echo "no $program: build it first (see the header of $0)" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 1; }

work=$(mktemp -d /tmp/compare_floor.XXXXXX)
. "$(dirname "$0")/../testsupport/private_display.sh"
trap 'stop_private_display; rm -rf "$work"' EXIT

start_xvfb() {
    start_private_xvfb "$1" || { echo "Xvfb at $1 did not start" >&2; exit 1; }
}

# Environment for one process: a fresh empty shader cache when COLD_SHADER_CACHE=1.
cache_env() {
    if [[ ${COLD_SHADER_CACHE:-0} == 1 ]]; then
        echo "MESA_SHADER_CACHE_DIR=$(mktemp -d "$work/shader-cache.XXXXXX")"
    fi
}

# Each run appends one line to $work/results:
#   name kind size fps cpu_ms rss_MiB startup_ms allocs slowest_fps fastest_ms first_frame_ms slowest_at_s
#   slowest_later_fps
# (kind: steady, cycle or floor; "-" where a figure does not apply).
run_reef() {
    local name=$1 program=$2 kind=$3 size=$4 json="$work/reef.json" config
    config=$(mktemp -d "$work/config.XXXXXX")
    start_xvfb "$size"
    if [[ $kind == cycle ]]; then
        env $(cache_env) XDG_CONFIG_HOME="$config" REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy \
            SCENE_BENCH_CYCLE_S=$cycle_s \
            "$program" --benchmark_filter=Scene/cycle --benchmark_out="$json" --benchmark_out_format=json \
            >"$work/reef.log" 2>&1 || { cat "$work/reef.log" >&2; exit 1; }
    else
        env $(cache_env) XDG_CONFIG_HOME="$config" REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy \
            REEFSAVER_FROZEN_CLOCK_MS=60000 SCENE_BENCH_FRAMES=$frames SCENE_BENCH_WARMUP=$warmup \
            "$program" --camera bottom --benchmark_filter=Scene/full_screen --benchmark_out="$json" \
            --benchmark_out_format=json >"$work/reef.log" 2>&1 || { cat "$work/reef.log" >&2; exit 1; }
    fi
    stop_private_display
    python3 - "$json" "$name" "$kind" "$size" >>"$work/results" <<'EOF'
import json, sys
run = json.load(open(sys.argv[1]))["benchmarks"][0]
if "error_message" in run:
    sys.exit(f"{sys.argv[2]} {sys.argv[3]} at {sys.argv[4]}: {run['error_message']}")
name, kind, size = sys.argv[2:5]
if kind == "cycle":
    print(name, kind, size, run["cycle_fps"], run["cycle_cpu_ms"], run["peak_rss_MiB"], run["startup_ms"],
          run["allocs_per_frame"], run["slowest_window_fps"], "-", run["firstframe_ms"], run["slowest_window_at_s"],
          run.get("slowest_later_window_fps", "-"))
else:
    print(name, kind, size, run["fps"], run["cpu_ms"], run["peak_rss_MiB"], run["startup_ms"],
          run["allocs_per_frame"], "-", run["fastest_frame_ms"], run["firstframe_ms"], "-", "-")
EOF
}

run_floor() {
    local size=$1 line
    start_xvfb "$size"
    line=$(env $(cache_env) FLOOR_FRAMES=${FLOOR_FRAMES:-150} FLOOR_WARMUP=${FLOOR_WARMUP:-30} "$floor")
    stop_private_display
    python3 - "$size" "$line" >>"$work/results" <<'EOF'
import sys
values = dict(item.split("=") for item in sys.argv[2].split())
print("floor floor", sys.argv[1], values["fps"], values["cpu_ms"], values["peak_rss_MiB"], values["startup_ms"],
      "- - - - - -")
EOF
}

: >"$work/results"
for round in $(seq "$rounds"); do
    for size in $sizes; do
        echo "round $round/$rounds at $size ..." >&2
        if (( frames > 0 )); then
            [[ -n $before ]] && run_reef before "$before" steady "$size"
            run_reef reef "$reef" steady "$size"
        fi
        run_floor "$size"
        if (( cycle_s > 0 )); then
            [[ -n $before ]] && run_reef before "$before" cycle "$size"
            run_reef reef "$reef" cycle "$size"
        fi
    done
done

python3 - "$work/results" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
def num(text):
    return None if text == "-" else float(text)
def fmt(value, width, digits=2):
    return f"{'-':>{width}}" if value is None else f"{value:{width}.{digits}f}"
print(f"{'program':7} {'kind':6} {'size':>9} {'fps':>7} {'cpu ms':>7} {'RSS MiB':>8} {'first ms':>8} "
      f"{'allocs':>6} {'slowest':>7} {'fastest':>7} {'1st frame':>9} {'at s':>5}")
for r in rows:
    v = [num(x) for x in r[3:]]
    print(f"{r[0]:7} {r[1]:6} {r[2]:>9} {fmt(v[0], 7)} {fmt(v[1], 7)} {fmt(v[2], 8, 1)} {fmt(v[3], 8, 1)} "
          f"{fmt(v[4], 6)} {fmt(v[5], 7)} {fmt(v[6], 7, 1)} {fmt(v[7], 9, 1)} {fmt(v[8], 5, 1)}")

def median(name, kind, size, column):
    values = [num(r[column]) for r in rows if r[0] == name and r[1] == kind and r[2] == size]
    values = [x for x in values if x is not None]
    return statistics.median(values) if values else None

print("medians (fps against the floor's in the same run; memory above the floor's peak):")
for size in dict.fromkeys(r[2] for r in rows):
    floor_fps, floor_rss = median("floor", "floor", size, 3), median("floor", "floor", size, 5)
    print(f"  {size}: floor {floor_fps:.2f} fps, {median('floor', 'floor', size, 4):.2f} cpu ms/frame, "
          f"{floor_rss:.1f} MiB")
    for name in ("before", "reef"):
        parts = []
        if median(name, "cycle", size, 3) is not None:
            slowest, average = median(name, "cycle", size, 8), median(name, "cycle", size, 3)
            later = median(name, "cycle", size, 12)
            later_text = "-" if later is None else f"{later / floor_fps:.2f} x"
            parts.append(f"cycle: slowest 5 s {slowest:.2f} fps = {slowest / floor_fps:.2f} x floor "
                         f"(from {median(name, 'cycle', size, 11):.0f} s; after the first 5 s {later_text}), "
                         f"average {average:.2f} fps = {average / floor_fps:.2f} x, "
                         f"{median(name, 'cycle', size, 4):.2f} cpu ms/frame, "
                         f"peak RSS floor + {median(name, 'cycle', size, 5) - floor_rss:.1f} MiB")
        if median(name, "steady", size, 3) is not None:
            fps = median(name, "steady", size, 3)
            parts.append(f"steady frame down: {fps:.2f} fps = {fps / floor_fps:.2f} x floor, "
                         f"{median(name, 'steady', size, 4):.2f} cpu ms/frame, "
                         f"fastest {median(name, 'steady', size, 9):.1f} ms, "
                         f"start-up {median(name, 'steady', size, 6):.0f} ms "
                         f"(first frame itself {median(name, 'steady', size, 10):.0f} ms), "
                         f"{median(name, 'steady', size, 7):.2f} allocs/frame")
        for part in parts:
            print(f"    {name:6} {part}")
EOF
