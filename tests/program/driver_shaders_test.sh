#!/usr/bin/env bash
# Draws one frame of the reef at a frozen clock (looking down, the view with the
# most layers) with an empty Mesa shader cache and counts the entries the driver
# writes. llvmpipe compiles and caches a shader for every distinct combination of
# fixed-function state a draw uses, so the count is the number of states the
# frame needs: the first frame's start-up time and memory grow with it. The test
# fails when a change adds states beyond SHADER_CEILING (default 13, what the
# frame needs today on Debian 12's Mesa); a driver that writes no cache at all
# (another driver, or the cache turned off) skips it.
#
# Usage: driver_shaders_test.sh <bin dir>
set -u
BIN="$1"
CEILING="${SHADER_CEILING:-13}"
PLAIN="$BIN/reefsaver_plain"
WORK="$(mktemp -d)"
XVFB_PID=
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$WORK"' EXIT

. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/test_script.sh"

[ -x "$PLAIN" ] || fail "no $PLAIN"
start_private_xvfb 320x240 || fail "no Xvfb display could be started"
XVFB_PID=$DISPLAY_SERVER_PID

mkdir -p "$WORK/cache"
FAIL_LOG="$WORK/saver.log"
env -u MESA_SHADER_CACHE_DISABLE -u MESA_GLSL_CACHE_DISABLE \
  XDG_CONFIG_HOME="$WORK/config" REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 \
  MESA_SHADER_CACHE_DIR="$WORK/cache" REEFSAVER_FROZEN_CLOCK_MS=60000 REEFSAVER_SEED=1 \
  REEFSAVER_SCREENSHOTS="0:$WORK/frame.png" REEFSAVER_QUIT_AFTER_MS=0 \
  timeout 400 "$PLAIN" /s --camera bottom >"$FAIL_LOG" 2>&1
code=$?
[ "$code" = 0 ] || fail "the saver ended with $code"
[ -s "$WORK/frame.png" ] || fail "no frame was drawn"

# The cache keeps one file per compiled shader, and an index file beside them.
entries=$(find "$WORK/cache" -type f ! -name index | wc -l)
if [ "$entries" -eq 0 ]; then
  echo "the driver wrote no shader cache: nothing to count"
  exit 77
fi
echo "shaders compiled for the frame: $entries (ceiling $CEILING)"
[ "$entries" -le "$CEILING" ] || fail "the frame needs $entries driver shaders, more than $CEILING: a change gave some draws a fixed-function state of their own"
