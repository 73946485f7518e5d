#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz and runs each for the given number of seconds (default 60), two
# at a time. Seeds come from the data generator; each target's corpus grows in
# build-fuzz/corpus/<target> from run to run. Anything found is kept in
# build-fuzz/crashes/ and makes the script fail.
#
# Usage: scripts/fuzz.sh [seconds per target] [target...]
#   REEF_FUZZ_JOBS  targets run at once (default 2)
#   REEF_FUZZ_RUNS  also stop each target after this many executions (a long run
#                   aiming at a count rather than a time)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${1:-60}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(archive model texture heightmap dat profile font settings cmdline wav)
BUILD=build-fuzz
PARALLEL="${REEF_FUZZ_JOBS:-2}"
RUN_LIMIT=()
[ -z "${REEF_FUZZ_RUNS:-}" ] || RUN_LIMIT=(-runs="$REEF_FUZZ_RUNS")

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREEF_FUZZ=ON \
  -DREEF_BUILD_TESTS=OFF -DREEF_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
ninja -C "$BUILD" -j"$PARALLEL" fuzz_seeds "${TARGETS[@]/%/_fuzzer}"

mkdir -p "$BUILD/crashes" "$BUILD/logs"
# Files made by other programs join the generated seeds.
mkdir -p "$BUILD/fuzz-seeds/model" "$BUILD/fuzz-seeds/texture"
cp tests/fixtures/real/openarena/*.md3 "$BUILD/fuzz-seeds/model/"
cp tests/fixtures/real/assimp/*.bmp "$BUILD/fuzz-seeds/texture/"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0"
export SDL_AUDIODRIVER=dummy

run_target() {
  local target="$1" corpus="$BUILD/corpus/$1"
  mkdir -p "$corpus"
  # Loaders print their failure lines on standard output: close it (and the
  # program's standard error; libFuzzer and the sanitizers keep their own).
  "$BUILD/bin/${target}_fuzzer" "$corpus" "$BUILD/fuzz-seeds/$target" \
    -max_total_time="$SECONDS_PER_TARGET" "${RUN_LIMIT[@]}" -timeout=10 -malloc_limit_mb=512 -close_fd_mask=3 \
    -print_final_stats=1 -artifact_prefix="$BUILD/crashes/$target-" >"$BUILD/logs/$target.log" 2>&1
}

failed=()
pids=()
names=()
for target in "${TARGETS[@]}"; do
  run_target "$target" &
  pids+=($!)
  names+=("$target")
  if [ ${#pids[@]} -ge "$PARALLEL" ]; then
    wait "${pids[0]}" || failed+=("${names[0]}")
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || failed+=("${names[$i]}")
done

printf '%-10s %12s %10s %8s %8s\n' target executions exec/s cov ft
for target in "${TARGETS[@]}"; do
  log="$BUILD/logs/$target.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  printf '%-10s %12s %10s %8s %8s\n' "$target" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}"
done

if [ ${#failed[@]} -gt 0 ]; then
  for target in "${failed[@]}"; do
    echo "=== $target found a fault (artifacts in $BUILD/crashes):"
    grep -E "ERROR|property broken|SUMMARY|Test unit written" "$BUILD/logs/$target.log" | head -n 20
  done
  exit 1
fi
echo "fuzzing: no faults in ${#TARGETS[@]} targets"
