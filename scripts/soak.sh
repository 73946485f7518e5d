#!/usr/bin/env bash
# Runs the full-screen saver (/s) on its own 1024x768 Xvfb for a long time and
# samples its memory once a minute: peak RSS (VmHWM) and current RSS (VmRSS).
# Not a CI test: an hour by default. Prints one line per sample and, at the end,
# how much the peak grew after the first minute.
#
# Usage: scripts/soak.sh [seconds] [bin dir]
#   seconds   how long the saver runs (default 3600)
#   bin dir   folder with reefsaver_plain and its data folder (default build-rel/bin;
#             built there, without sanitizers, when missing)
#   SOAK_INTERVAL  seconds between samples (default 60)
#   SOAK_CSV       also write the samples to this file
set -euo pipefail
cd "$(dirname "$0")/.."
DURATION="${1:-3600}"
BIN="${2:-build-rel/bin}"
INTERVAL="${SOAK_INTERVAL:-60}"

if [ ! -x "$BIN/reefsaver_plain" ]; then
  [ "$BIN" = build-rel/bin ] || { echo "no reefsaver_plain in $BIN" >&2; exit 2; }
  cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREEF_BUILD_TESTS=OFF -DREEF_BUILD_BENCH=OFF
  ninja -C build-rel reefsaver_plain
fi

WORK="$(mktemp -d)"
export XDG_CONFIG_HOME="$WORK/config"  # the default settings, not the person's own
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" LIBGL_ALWAYS_SOFTWARE=1 REEFSAVER_NO_DIALOGS=1
SAVER=""
XVFB=""
cleanup() {
  [ -n "$SAVER" ] && kill "$SAVER" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

. testsupport/private_display.sh
start_private_xvfb 1024x768 || { echo "no Xvfb display could be started" >&2; exit 1; }
XVFB=$DISPLAY_SERVER_PID

"$BIN/reefsaver_plain" /s >"$WORK/out" 2>&1 &
SAVER=$!

# kB of one line of /proc/<pid>/status.
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$SAVER/status" 2>/dev/null; }

echo "seconds,peak_rss_kb,rss_kb" | tee ${SOAK_CSV:+"$SOAK_CSV"}
start=$(date +%s)
sample=0
first_peak=""
while :; do
  sleep "$INTERVAL"
  kill -0 "$SAVER" 2>/dev/null || { echo "the saver ended early:" >&2; tail -n 20 "$WORK/out" >&2; exit 1; }
  sample=$((sample + 1))
  peak=$(status_kb VmHWM)
  rss=$(status_kb VmRSS)
  echo "$((sample * INTERVAL)),$peak,$rss" | tee ${SOAK_CSV:+-a "$SOAK_CSV"}
  [ -z "$first_peak" ] && first_peak="$peak"
  [ $(( $(date +%s) - start )) -ge "$DURATION" ] && break
done

kill -TERM "$SAVER"
wait "$SAVER" || true
SAVER=""
echo "peak RSS after the first sample: ${first_peak} kB; at the end: ${peak} kB; growth $((peak - first_peak)) kB"
