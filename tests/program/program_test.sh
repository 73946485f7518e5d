#!/usr/bin/env bash
# Runs the real programs on a private Xvfb display and drives them with xdotool.
# Usage: program_test.sh <bin dir> <case>
set -u
BIN="$1"
CASE="$2"
PLAIN="$BIN/reefsaver_plain"
VIEWER="$BIN/reefsaver"
export REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$(mktemp -d)"
WORK="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$WORK" "$XDG_CONFIG_HOME"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

start_display() {
  local size="${1:-1024x768}"
  # -displayfd lets the server pick a free display number and tell us which.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    if [ -s "$WORK/display" ]; then
      export DISPLAY=":$(head -n 1 "$WORK/display")"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  fail "no Xvfb display could be started"
}

# Waits until a window with the given name is mapped; prints its id.
wait_window() {
  local name="$1" id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until some override-redirect window covers the screen (the full-screen saver).
wait_fullscreen() {
  for _ in $(seq 1 100); do
    if xwininfo -root -children 2>/dev/null | grep -q '1024x768+0+0'; then return 0; fi
    sleep 0.1
  done
  return 1
}

# Waits for process $1 to end within $2 tenths of a second; sets EXIT_CODE.
wait_exit() {
  local pid="$1" tenths="${2:-100}"
  for _ in $(seq 1 "$tenths"); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; EXIT_CODE=$?; return 0; fi
    sleep 0.1
  done
  return 1
}

still_running() { kill -0 "$1" 2>/dev/null; }

case "$CASE" in
test_window)
  start_display
  "$PLAIN" /t &
  pid=$!
  win=$(wait_window ScreenSaverWnd) || fail "no test window"
  geometry=$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
  [ "$geometry" = "800x600" ] || fail "client area is $geometry"
  sleep 1
  xdotool mousemove --window "$win" 100 100 click 1 mousemove --window "$win" 300 200 click 3
  sleep 1
  still_running "$pid" || fail "a click ended the test window"
  xdotool key --window "$win" a
  wait_exit "$pid" || fail "a key did not end the test window"
  [ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE"
  ;;
full_mouse)
  start_display
  xdotool mousemove 1 1
  "$PLAIN" /s &
  pid=$!
  wait_fullscreen || fail "no full-screen window"
  sleep 1
  for p in "100 100" "200 100" "300 100" "300 100" "400 100" "500 100"; do
    xdotool mousemove $p
    sleep 0.2
  done
  still_running "$pid" || fail "ended before the sixth distinct position"
  xdotool mousemove 600 300
  wait_exit "$pid" || fail "the sixth position did not end the saver"
  [ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE"
  ;;
full_key_and_click)
  start_display
  for action in "key x" "click 1"; do
    "$PLAIN" /s &
    pid=$!
    wait_fullscreen || fail "no full-screen window"
    sleep 1
    xdotool $action
    wait_exit "$pid" || fail "'$action' did not end the saver"
    [ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE after $action"
    sleep 0.5
  done
  ;;
preview)
  start_display
  "$PLAIN" /t &
  parent_pid=$!
  parent=$(wait_window ScreenSaverWnd) || fail "no parent window"
  "$PLAIN" /p "$((parent))" &
  pid=$!
  sleep 3
  still_running "$pid" || fail "the preview ended on its own"
  xwininfo -id "$parent" -children | grep -q '800x600+0+0' || fail "no child window in the parent"
  # Closing the parent destroys the preview's window, which ends the preview.
  xdotool key --window "$parent" a
  wait_exit "$parent_pid" || fail "parent did not end"
  wait_exit "$pid" || fail "the preview did not end with its parent"
  ;;
preview_without_parent)
  start_display
  "$PLAIN" /p; code=$?
  [ "$code" = 0 ] || fail "/p without a number gave $code"
  "$PLAIN" /p 123456789; code=$?
  [ "$code" = 0 ] || fail "/p with a missing window gave $code"
  ;;
viewer_escape)
  start_display
  for switch in /c "/p 5" ""; do
    "$VIEWER" $switch &
    pid=$!
    wait_fullscreen || fail "viewer $switch: no full-screen window"
    sleep 1
    for x in 100 200 300 400 500 600 700; do xdotool mousemove $x 300; sleep 0.1; done
    xdotool click 1
    sleep 0.5
    still_running "$pid" || fail "viewer $switch ended on mouse input"
    xdotool key Escape
    wait_exit "$pid" || fail "viewer $switch did not end on Escape"
    [ "$EXIT_CODE" = 1 ] || fail "viewer $switch: exit code $EXIT_CODE"
    sleep 0.5
  done
  ;;
xscreensaver_window)
  start_display
  "$PLAIN" /t &
  host_pid=$!
  host=$(wait_window ScreenSaverWnd) || fail "no host window"
  XSCREENSAVER_WINDOW="$((host))" "$PLAIN" -root &
  pid=$!
  sleep 3
  still_running "$pid" || fail "the hack ended on its own"
  xwininfo -id "$host" -children | grep -q '800x600+0+0' || fail "nothing drawn inside the host window"
  kill "$pid"; kill "$host_pid"
  ;;
no_display)
  unset DISPLAY
  "$PLAIN" /t 2>"$WORK/err"; code=$?
  [ "$code" = 0 ] || fail "exit code $code without a display"
  grep -q "display" "$WORK/err" || fail "no message on standard error: $(cat "$WORK/err")"
  ;;
*)
  fail "unknown case $CASE"
  ;;
esac
echo "PASS: $CASE"
