# A private X server for one test or benchmark script; sourced, not run.
#
# start_private_display <server> [arguments...]
#   Starts the server with -displayfd, so that it picks a free display number
#   and names it; waits until it answers; exports DISPLAY and sets
#   DISPLAY_SERVER_PID. Returns 1 when no server answered within ten seconds.
# start_private_xvfb <width>x<height> [more Xvfb options...]
#   The same for Xvfb at colour depth ${DEPTH:-24}.
# stop_private_display
#   Ends the server started last, if any, and waits for it.
#
# The server is a background job of the calling shell: `kill $(jobs -p)` in
# the caller's exit trap ends it.

start_private_display() {
  local named
  named="$(mktemp)"
  "$@" -displayfd 3 3>"$named" >/dev/null 2>&1 &
  DISPLAY_SERVER_PID=$!
  for _ in $(seq 1 100); do
    if [ -s "$named" ]; then
      export DISPLAY=":$(head -n 1 "$named")"
      if xdpyinfo >/dev/null 2>&1; then
        rm -f "$named"
        return 0
      fi
    fi
    sleep 0.1
  done
  rm -f "$named"
  return 1
}

start_private_xvfb() {
  local size="$1"
  shift
  # -noreset: Xvfb would otherwise restart whenever its last client leaves and
  # refuse connections meanwhile.
  start_private_display Xvfb -screen 0 "${size}x${DEPTH:-24}" -nolisten tcp -noreset "$@"
}

stop_private_display() {
  if [ -n "${DISPLAY_SERVER_PID:-}" ]; then
    kill "$DISPLAY_SERVER_PID" 2>/dev/null || true
    wait "$DISPLAY_SERVER_PID" 2>/dev/null || true
    DISPLAY_SERVER_PID=
  fi
}
