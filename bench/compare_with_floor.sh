#!/usr/bin/env bash
# Runs the reef (scene_bench, full screen) and the fill-rate floor (fill_rate_floor:
# clear + four full-screen blended textured quads) interleaved, reef then floor,
# ROUNDS times at each screen size, each process on its own fresh Xvfb server, and
# prints per run and as medians: fps, process CPU ms per frame, peak RSS, start-up
# to the end of the first full frame, heap allocations per steady-state frame (the
# reef only), and the reef / floor fps ratio.
#
# Usage:
#   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release
#   ninja -C build-rel -j2 scene_bench fill_rate_floor reef_data
#   bash bench/compare_with_floor.sh [build folder] [floor build folder]
# The floor comes from the second folder when given (so an older reef build can be
# compared with the same floor). Environment: ROUNDS (default 2), SIZES (default
# "1920x1080 800x600"), FRAMES (default 300) and WARMUP (default 100) per process,
# COLD_SHADER_CACHE=1 (each process starts with an empty Mesa shader cache, as on the
# first start after installing; by default both use the person's warm cache).
set -euo pipefail

build=${1:-build-rel}
floor_build=${2:-$build}
reef="$build/bin/scene_bench"
floor="$floor_build/bin/fill_rate_floor"
rounds=${ROUNDS:-2}
sizes=${SIZES:-"1920x1080 800x600"}
frames=${FRAMES:-300}
warmup=${WARMUP:-100}
for program in "$reef" "$floor"; do
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

# Each run appends one line "program size fps cpu_ms rss_MiB startup_ms allocs" to $work/results.
run_reef() {
    local size=$1 json="$work/reef.json" config
    config=$(mktemp -d "$work/config.XXXXXX")
    start_xvfb "$size"
    env $(cache_env) XDG_CONFIG_HOME="$config" REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy \
        SCENE_BENCH_FRAMES=$frames SCENE_BENCH_WARMUP=$warmup \
        "$reef" --benchmark_filter=Scene/full_screen --benchmark_out="$json" --benchmark_out_format=json \
        >"$work/reef.log" 2>&1
    stop_private_display
    python3 - "$json" "$size" >>"$work/results" <<'EOF'
import json, sys
run = json.load(open(sys.argv[1]))["benchmarks"][0]
print("reef", sys.argv[2], run["fps"], run["cpu_ms"], run["peak_rss_MiB"], run["startup_ms"], run["allocs_per_frame"])
EOF
}

run_floor() {
    local size=$1 line
    start_xvfb "$size"
    line=$(env $(cache_env) FLOOR_FRAMES=$frames FLOOR_WARMUP=$warmup "$floor")
    stop_private_display
    python3 - "$size" "$line" >>"$work/results" <<'EOF'
import sys
values = dict(item.split("=") for item in sys.argv[2].split())
print("floor", sys.argv[1], values["fps"], values["cpu_ms"], values["peak_rss_MiB"], values["startup_ms"], "-")
EOF
}

: >"$work/results"
for round in $(seq "$rounds"); do
    for size in $sizes; do
        echo "round $round/$rounds at $size ..." >&2
        run_reef "$size"
        run_floor "$size"
    done
done

python3 - "$work/results" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
print(f"{'program':8} {'size':>10} {'fps':>8} {'cpu ms':>8} {'RSS MiB':>8} {'first ms':>9} {'allocs':>7}")
for r in rows:
    allocs = r[6] if r[6] == "-" else f"{float(r[6]):.2f}"
    print(f"{r[0]:8} {r[1]:>10} {float(r[2]):8.2f} {float(r[3]):8.2f} {float(r[4]):8.1f} {float(r[5]):9.1f} {allocs:>7}")
print("medians:")
for size in dict.fromkeys(r[1] for r in rows):
    med = {}
    for program in ("reef", "floor"):
        own = [r for r in rows if r[0] == program and r[1] == size]
        med[program] = [statistics.median(float(r[i]) for r in own) for i in (2, 3, 4, 5)]
        print(f"{program:8} {size:>10} {med[program][0]:8.2f} {med[program][1]:8.2f} {med[program][2]:8.1f} {med[program][3]:9.1f}")
    print(f"reef / floor fps at {size}: {med['reef'][0] / med['floor'][0]:.2f}")
EOF
