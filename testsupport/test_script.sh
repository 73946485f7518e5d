# What the test scripts share; sourced, not run. It brings private_display.sh in.
#
# fail <text>
#   Prints "FAIL: <text>" and ends the script with status 1.
# start_display [<width>x<height> [more Xvfb options...]]
#   A private Xvfb (1024x768 unless given, depth ${DEPTH:-24}) as DISPLAY;
#   DISPLAY_SERVER_PID is its process. Fails the script when none starts.
# wait_exit <pid> [tenths]
#   Waits up to tenths (100 unless given) tenths of a second for the process,
#   a child of the script, to end; sets EXIT_CODE, and ELAPSED to the tenths
#   waited. Returns 1 when it is still running.

. "$(dirname "${BASH_SOURCE[0]}")/private_display.sh"

fail() { echo "FAIL: $*"; exit 1; }

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
