# shellcheck shell=bash
# What the test scripts share; sourced, not run. It brings private_display.sh in.
#
# fail <text>
#   Prints "FAIL: <text>", then the file FAIL_LOG names if there is one (the
#   log of the program under test), and ends the script with status 1.
# note_failure <text>
#   Prints "FAIL: <text>" and counts it in FAILURES, and the script goes on:
#   for checks after which the script must still put shared state back, or
#   that should all report. end_with_failures then ends the script with status
#   1 when any was counted, else 0.
# start_display [<width>x<height> [more Xvfb options...]]
#   A private Xvfb (1024x768 unless given, depth ${DEPTH:-24}) as DISPLAY;
#   DISPLAY_SERVER_PID is its process. Fails the script when none starts.
# wait_exit <pid> [tenths]
#   Waits up to tenths (100 unless given) tenths of a second for the process,
#   a child of the script, to end; sets EXIT_CODE, and ELAPSED to the tenths
#   waited. Returns 1 when it is still running.
# measure_rmse <reference> <picture> [<difference picture>]
#   Sets RMSE to ImageMagick's normalised root mean square error of the picture
#   against the reference (0 identical, 1 black against white) and writes the
#   differences into the difference picture when one is named. Fails the
#   script when compare gives no figure (a missing or unreadable picture).
# at_most <number> <limit>
#   True when the number (decimals allowed) is at most the limit.

. "$(dirname "${BASH_SOURCE[0]}")/private_display.sh"

FAILURES=0
note_failure() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
end_with_failures() { [ "$FAILURES" -eq 0 ] && exit 0; exit 1; }

fail() {
  echo "FAIL: $*"
  [ -n "${FAIL_LOG:-}" ] && [ -f "$FAIL_LOG" ] && cat "$FAIL_LOG"
  exit 1
}

start_display() {
  start_private_xvfb "${1:-1024x768}" "${@:2}" || fail "no Xvfb display could be started"
}

wait_exit() {
  local pid="$1" tenths="${2:-100}"
  ELAPSED=0
  while [ "$ELAPSED" -le "$tenths" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; EXIT_CODE=$?; return 0; fi
    sleep 0.1
    ELAPSED=$((ELAPSED + 1))
  done
  return 1
}

measure_rmse() {
  local result
  # compare prints "absolute (normalised)" on standard error, and exits 1 when
  # the pictures differ at all.
  result=$(/usr/bin/compare -metric RMSE "$1" "$2" "${3:-null:}" 2>&1 >/dev/null)
  RMSE=$(sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p' <<<"$result")
  [ -n "$RMSE" ] || fail "compare gave no RMSE for $2: $result"
}

at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }
