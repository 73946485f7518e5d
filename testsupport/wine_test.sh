# shellcheck shell=bash
# What the Wine test scripts share; sourced, not run. It brings test_script.sh
# in (fail, start_display, wait_exit). The scripts run in the one Wine prefix
# the whole test run shares (WINEPREFIX), made by tests/windows/wine_prefix.sh.
#
# require_wine_prefix
#   Ends the script with a failure when WINEPREFIX is not set.
# end_wineserver
#   Ends the prefix's wineserver and with it every Wine process of the prefix.
# start_wine_case [<width>x<height>]
#   Begins a case: WORK is a temporary folder of its own; on exit the program
#   under test (SAVER_PID), the wineserver with Wine's desktop process (they
#   belong to this case's display) and the display end, and WORK goes. The
#   wineserver of the case before is ended first: it would keep Wine's desktop
#   on that case's display, at that display's size. Given a size, a private
#   Xvfb of that size becomes this case's display; without one Wine uses the
#   DISPLAY the script was given.
# wait_for_end <seconds>
#   Waits for the program SAVER_PID, a child of the script, to end; sets
#   SAVER_STATUS and clears SAVER_PID. Returns 1 when it is still running.
# wait_until <seconds> <command...>
#   Runs the command every tenth of a second until it succeeds. Returns 1 when
#   the time is up or, while SAVER_PID is set, the program has ended first.

. "$(dirname "${BASH_SOURCE[0]}")/test_script.sh"

SAVER_PID=

require_wine_prefix() {
  [ -n "${WINEPREFIX:-}" ] || fail "WINEPREFIX does not name the Wine prefix of the test run"
}

end_wineserver() { wineserver -k 2>/dev/null || true; }

end_wine_case() {
  [ -n "$SAVER_PID" ] && kill "$SAVER_PID" 2>/dev/null
  end_wineserver
  stop_private_display
  rm -rf "$WORK"
}

start_wine_case() {
  require_wine_prefix
  WORK="$(mktemp -d)"
  trap end_wine_case EXIT
  end_wineserver
  wineserver -w 2>/dev/null || true
  [ -z "${1:-}" ] || start_display "$1"
}

wait_for_end() {
  wait_exit "$SAVER_PID" $(($1 * 10)) || return 1
  SAVER_STATUS=$EXIT_CODE
  SAVER_PID=
}

wait_until() {
  local tenths=$(($1 * 10)) i
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    [ -n "$SAVER_PID" ] && ! kill -0 "$SAVER_PID" 2>/dev/null && return 1
    sleep 0.1
  done
  return 1
}
