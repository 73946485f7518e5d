#!/usr/bin/env bash
# The saver's life on an X server that does not behave: hosts that vanish, signals
# from the daemon, a server that dies, no GLX, display modes and two monitors.
# Each case runs the real program on its own Xvfb.
# Usage: x11_session_test.sh <bin dir> <case> <host_window program> [screenshot dir]
set -u
BIN="$1"
CASE="$2"
HOST_WINDOW="$3"
SHOTS="${4:-/tmp/reef-screenshots}"
mkdir -p "$SHOTS"
PLAIN="$BIN/reefsaver_plain"
export REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$(mktemp -d)"
WORK="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null; stop_private_display; rm -rf "$WORK" "$XDG_CONFIG_HOME"' EXIT

. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/test_script.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/loader_failures.sh"

# Waits until the saver draws frames: its first screenshot, taken 300 ms after the
# first frame, exists. Every run of the saver starts with rm -f "$READY".
READY="$WORK/ready.png"
# The one-second limits are for the saver's own shutdown. Under AddressSanitizer the
# leak scan at exit alone takes about half a second, so it is left to the other
# program tests, which do not time the exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export REEFSAVER_SCREENSHOTS="300:$READY"
wait_running() {
  local pid="$1"
  for _ in $(seq 1 600); do
    kill -0 "$pid" 2>/dev/null || return 1
    [ -s "$READY" ] && { sleep 0.5; return 0; }
    sleep 0.1
  done
  return 1
}

no_x_error() {
  if grep -E "X Error|BadWindow|BadDrawable|ERROR: AddressSanitizer|runtime error" "$WORK/out"; then
    fail "$1: the run printed an X error or a sanitizer report (above)"
  fi
}

# The current mode of the one output, e.g. 800x600.
current_mode() { xrandr | awk '/\*/ { print $1; exit }'; }

store_mode() {
  mkdir -p "$XDG_CONFIG_HOME/reefsaver"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\ReefSaver\\Settings]\r\n"LeaveRes"=dword:%08x\r\n"Width"=dword:%08x\r\n"Height"=dword:%08x\r\n"Bpp"=dword:%08x\r\n"ShadeScecondary"=dword:%08x\r\n' \
    "$1" "$2" "$3" "$4" "${5:-1}" >"$XDG_CONFIG_HOME/reefsaver/settings.reg"
}

start_host() {
  "$HOST_WINDOW" 640 480 >"$WORK/host" &
  HOST_PID=$!
  for _ in $(seq 1 50); do [ -s "$WORK/host" ] && break; sleep 0.1; done
  HOST=$(head -n 1 "$WORK/host")
  [ -n "$HOST" ] || fail "no host window"
}

# The picture's mean and standard deviation of grey (0-255) inside a rectangle WxH+X+Y.
grey_stats() {
  /usr/bin/convert "$1" -crop "$2" +repage -colorspace gray -format "%[fx:int(mean*255)] %[fx:int(standard_deviation*255)]" info:
}

case "$CASE" in
daemon_unblank)
  start_display 1024x768
  # The daemon destroys its window and sends SIGTERM at the same moment, in either
  # order; or only destroys the window. The hack ends at once, quietly.
  for order in "destroy term" "term destroy" "destroy"; do
    start_host
    rm -f "$READY"; XSCREENSAVER_WINDOW="$HOST" "$PLAIN" -root >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "$order: the hack did not start"
    xwininfo -id "$HOST" -children | grep -q '640x480+0+0' || fail "$order: nothing drawn inside the host window"
    for step in $order; do
      case $step in
      destroy) kill -USR1 "$HOST_PID" ;;
      term) kill -TERM "$pid" ;;
      esac
    done
    wait_exit "$pid" 10 || fail "$order: the hack did not end within a second"
    echo "$order: ended after ${ELAPSED}00 ms with code $EXIT_CODE"
    [ "$EXIT_CODE" = 0 ] || fail "$order: exit code $EXIT_CODE"
    no_x_error "$order"
    kill "$HOST_PID"; wait "$HOST_PID" 2>/dev/null
  done
  ;;
preview_parent_destroyed)
  start_display 1024x768
  start_host
  rm -f "$READY"; "$PLAIN" /p "$HOST" >"$WORK/out" 2>&1 &
  pid=$!
  wait_running "$pid" || fail "the preview did not start"
  kill -USR1 "$HOST_PID"
  wait_exit "$pid" 10 || fail "the preview did not end within a second of its parent's end"
  echo "preview ended after ${ELAPSED}00 ms with code $EXIT_CODE"
  no_x_error "preview"
  ;;
signals)
  start_display 1024x768
  # Freeing through the sanitizer's allocator takes about 0.7 s on a loaded machine,
  # where the plain build shuts down in 0.1-0.2 s: a sanitizer build gets a second more.
  limit=10; [ -n "${REEF_SANITIZED_BUILD:-}" ] && limit=20
  for signal in HUP TERM INT; do
    rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "SIG$signal: the saver did not start"
    kill -"$signal" "$pid"
    wait_exit "$pid" "$limit" || fail "SIG$signal did not end the saver within ${limit}00 ms"
    echo "SIG$signal: ended after ${ELAPSED}00 ms with code $EXIT_CODE"
    [ "$EXIT_CODE" = 0 ] || fail "SIG$signal: exit code $EXIT_CODE (not the ordinary shutdown)"
    no_x_error "SIG$signal"
  done
  ;;
server_dies)
  start_display 1024x768
  rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
  pid=$!
  wait_running "$pid" || fail "the saver did not start"
  kill -KILL "$DISPLAY_SERVER_PID"; DISPLAY_SERVER_PID=""
  wait_exit "$pid" 30 || fail "the saver hangs after the X server died"
  echo "ended ${ELAPSED}00 ms after the server died, code $EXIT_CODE"
  said=$(diagnostic_text kXServerLost) || fail "no text for the lost server"
  grep -qxF "$said" "$WORK/out" || fail "no word about the lost server: $(tail -n 5 "$WORK/out")"
  ;;
no_glx)
  start_display 1024x768 -extension GLX
  unset REEFSAVER_NO_DIALOGS
  # Full screen: the error is printed, never a dialog that nobody could reach under the grab.
  "$PLAIN" /s >"$WORK/out" 2>&1 &
  pid=$!
  wait_exit "$pid" 100 || fail "the full-screen saver without GLX did not end by itself"
  grep -q "ChoosePixelFormat() failed" "$WORK/out" || fail "no error line: $(cat "$WORK/out")"
  [ "$EXIT_CODE" = 1 ] || fail "a start without GL ended with $EXIT_CODE"
  # The test window may show the dialog, but SIGTERM still ends the program.
  "$PLAIN" /t >"$WORK/out" 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do xdotool search --name '^Error$' >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool search --name '^Error$' >/dev/null 2>&1 || fail "no error dialog in the test window"
  kill -TERM "$pid"
  wait_exit "$pid" 20 || fail "SIGTERM did not close the error dialog"
  ;;
display_mode)
  start_display 1024x768
  xrandr --newmode 800x600 0 800 0 0 0 600 0 0 0 && xrandr --addmode screen 800x600 || fail "Xvfb offers no second mode"
  [ "$(current_mode)" = 1024x768 ] || fail "unexpected start mode $(current_mode)"
  store_mode 0 800 600 32
  # SEGV stands for a crash of the saver's own code.
  for ending in Escape TERM INT HUP KILL SEGV; do
    rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "$ending: the saver did not start"
    [ "$(current_mode)" = 800x600 ] || fail "$ending: the saver runs at $(current_mode), not 800x600"
    xwininfo -root -children | grep -q '800x600+0+0' || fail "$ending: no window covers the 800x600 screen"
    case $ending in
    Escape) xdotool key Escape ;;
    *) kill -"$ending" "$pid" ;;
    esac
    wait_exit "$pid" 100 || fail "$ending did not end the saver"
    for _ in $(seq 1 30); do [ "$(current_mode)" = 1024x768 ] && break; sleep 0.1; done
    [ "$(current_mode)" = 1024x768 ] || fail "after $ending the mode stayed $(current_mode)"
    case $ending in KILL | SEGV) ;; *) no_x_error "$ending" ;; esac
    echo "$ending: 800x600 while running, 1024x768 again after"
  done
  # Drawing into the daemon's window never changes the mode.
  start_host
  rm -f "$READY"; XSCREENSAVER_WINDOW="$HOST" "$PLAIN" -root >"$WORK/out" 2>&1 &
  pid=$!
  wait_running "$pid" || fail "-root did not start"
  [ "$(current_mode)" = 1024x768 ] || fail "-root changed the mode to $(current_mode)"
  kill -TERM "$pid"; wait_exit "$pid" 100
  kill "$HOST_PID"
  # A mode the output does not offer, and modes no display has: the current mode, covered.
  for stored in "640 480 16 Changing screen resolution failed" "0 0 16 cannot be used" \
                "-5 7 16 cannot be used" "100000 100000 32 cannot be used" "800 600 3 cannot be used"; do
    read -r width height bits expected <<<"$stored"
    store_mode 0 $((width & 0xffffffff)) "$height" "$bits"
    rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "$width x $height: the saver did not start"
    [ "$(current_mode)" = 1024x768 ] || fail "$width x $height x $bits changed the mode to $(current_mode)"
    xwininfo -root -children | grep -q '1024x768+0+0' || fail "$width x $height: the screen is not covered"
    grep -q "$expected" "$WORK/out" || fail "$width x $height x $bits: no line saying '$expected'"
    kill -TERM "$pid"; wait_exit "$pid" 100
    no_x_error "$width x $height x $bits"
  done
  ;;
mode_left_behind)
  # Killed by name or all at once, the saver cannot put the display mode back
  # itself. Its watchdog has a name of its own and survives a kill by the
  # saver's name; when both die, the record in the runtime folder lets the next
  # start of either program restore the mode. Xorg's dummy driver offers the
  # modes of a real output.
  start_private_display Xorg -config "$(dirname "${BASH_SOURCE[0]}")/../dialogs/xorg-dummy.conf" -noreset \
    -nolisten tcp -logfile "$WORK/xorg.log" || { echo "SKIP: Xorg with the dummy driver did not start"; exit 77; }
  export XDG_RUNTIME_DIR="$WORK/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  record="$XDG_RUNTIME_DIR/reefsaver/display-mode-_${DISPLAY#:}"
  start_mode=$(current_mode)
  [ "$start_mode" != 640x480 ] || fail "the dummy screen starts at 640x480"
  store_mode 0 640 480 32
  # start_saver: the full-screen saver in a process group of its own, running at 640x480.
  start_saver() {
    rm -f "$READY"; setsid "$PLAIN" /s >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "the saver did not start: $(cat "$WORK/out")"
    [ "$(current_mode)" = 640x480 ] || fail "the saver runs at $(current_mode)"
    [ -s "$record" ] || fail "no record of the mode in the runtime folder"
    watchdog=$(pgrep -x -P "$pid" "$GUARD_NAME") || fail "no watchdog named $GUARD_NAME: $(ps -o pid,comm --ppid "$pid")"
  }
  GUARD_NAME=reef-modeguard
  wait_mode() { for _ in $(seq 1 "$2"); do [ "$(current_mode)" = "$1" ] && return 0; sleep 0.1; done; return 1; }

  # What killall -9 reefsaver_plain does, kept to this saver's processes (the
  # machine may run other savers): SIGKILL to each one named reefsaver_plain. The
  # watchdog is not hit and restores the mode.
  start_saver
  named=""
  for p in "$pid" $(pgrep -P "$pid"); do
    [ "$(cat "/proc/$p/comm" 2>/dev/null)" = reefsaver_plain ] && named="$named $p"
  done
  [ "$named" = " $pid" ] || fail "more than the saver is named reefsaver_plain:$named"
  kill -9 $named
  wait_mode "$start_mode" 50 || fail "after a kill -9 by name the mode stayed $(current_mode)"
  for _ in $(seq 1 20); do [ -e "$record" ] || break; sleep 0.1; done
  [ ! -e "$record" ] || fail "the watchdog left the record behind"
  echo "kill -9 of every reefsaver_plain: the watchdog restored $start_mode"

  # The saver's whole process group and its watchdog, killed at once: nothing runs
  # to restore the mode; the next start of either program does.
  for next in "reefsaver_plain /t" "reefsaver /s"; do
    start_saver
    kill -9 -- "-$pid" "$watchdog"
    wait_exit "$pid" 50 || fail "the saver survived kill -9"
    sleep 1
    [ "$(current_mode)" = 640x480 ] || fail "the mode came back although nothing was left to restore it"
    [ -s "$record" ] || fail "the record went with the saver"
    read -r program switch <<<"$next"
    store_mode 1 0 0 32  # the next start itself changes nothing
    rm -f "$READY"; "$BIN/$program" $switch >"$WORK/next" 2>&1 &
    next_pid=$!
    wait_running "$next_pid" || fail "$next did not start: $(cat "$WORK/next")"
    [ "$(current_mode)" = "$start_mode" ] || fail "$next left the mode at $(current_mode)"
    [ ! -e "$record" ] || fail "$next left the stale record"
    said=$(diagnostic_text kLeftModeRestored) || fail "no text for the restored mode"
    grep -qxF "$said" "$WORK/next" || fail "$next said nothing: $(cat "$WORK/next")"
    kill -TERM "$next_pid"; wait_exit "$next_pid" 100 || fail "$next did not end"
    store_mode 0 640 480 32
    echo "kill -9 of the saver and its watchdog: $next restored $start_mode"
  done

  # A record whose owner lives is left alone; one that the output no longer
  # matches (the person set another mode meanwhile) goes without a change.
  start_saver
  "$PLAIN" /p 1 >"$WORK/next" 2>&1
  [ -s "$record" ] && [ "$(current_mode)" = 640x480 ] || fail "a start beside a running saver took its record"
  kill -9 -- "-$pid" "$watchdog"; wait_exit "$pid" 50
  xrandr -s 800x600 || fail "xrandr could not set 800x600"
  "$PLAIN" /p 1 >"$WORK/next" 2>&1
  [ "$(current_mode)" = 800x600 ] || fail "a mode the person chose was replaced by $(current_mode)"
  [ ! -e "$record" ] || fail "the record that no longer matched was kept"
  xrandr -s "$start_mode"
  ;;
no_randr)
  # Without XRandR the one monitor is the whole screen and no mode can be switched to.
  start_display 1024x768 -extension RANDR
  store_mode 0 800 600 16
  rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
  pid=$!
  wait_running "$pid" || fail "the saver did not start without XRandR"
  xwininfo -root -children | grep -q '1024x768+0+0' || fail "the screen is not covered"
  grep -q "Changing screen resolution failed!" "$WORK/out" || fail "no word about the refused mode"
  kill -TERM "$pid"; wait_exit "$pid" 100 || fail "the saver did not end"
  no_x_error "no XRandR"
  ;;
colour_depth)
  # The stored colour depth picks a GL visual of that depth where the server has one,
  # else the server's own; the saver runs either way.
  for server_stored_expected in "16 16 16" "16 32 16" "24 32 24" "24 16 24"; do
    read -r server stored expected <<<"$server_stored_expected"
    DEPTH=$server start_display 1024x768
    store_mode 1 0 0 "$stored"
    rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "$stored bits on a $server-bit server: the saver did not start"
    window=$(xwininfo -root -children | awk '/1024x768\+0\+0/ { print $1; exit }')
    depth=$(xwininfo -id "$window" | awk '/Depth:/ { print $2 }')
    echo "$stored bits per pixel on a $server-bit server: window depth $depth"
    [ "$depth" = "$expected" ] || fail "$stored bits on a $server-bit server gave a $depth-bit window"
    kill -TERM "$pid"; wait_exit "$pid" 100 || fail "the saver did not end"
    stop_private_display
  done
  ;;
two_monitors)
  start_display 2048x768
  xrandr --setmonitor left 1024/270x768/200+0+0 screen >/dev/null || fail "no first monitor"
  xrandr --setmonitor right 1024/270x768/200+1024+0 none >/dev/null || fail "no second monitor"
  xsetroot -solid grey50  # a desktop that shows where nothing covers it
  for shade in 1 0; do
    store_mode 1 0 0 32 "$shade"
    rm -f "$READY"; "$PLAIN" /s >"$WORK/out" 2>&1 &
    pid=$!
    wait_running "$pid" || fail "shade $shade: the saver did not start"
    sleep 3
    shot="$SHOTS/two-monitors-shade-$shade.png"
    /usr/bin/import -window root "$shot" || fail "no screenshot"
    read -r left_mean left_dev <<<"$(grey_stats "$shot" 1024x768+0+0)"
    read -r right_mean right_dev <<<"$(grey_stats "$shot" 1024x768+1024+0)"
    echo "shade $shade: primary mean $left_mean deviation $left_dev, secondary mean $right_mean deviation $right_dev"
    [ "$left_mean" -gt 30 ] && [ "$left_dev" -gt 12 ] || fail "shade $shade: no reef on the primary monitor"
    if [ "$shade" = 1 ]; then
      [ "$right_mean" -le 2 ] || fail "the secondary monitor is not black"
    else
      [ "$right_mean" -gt 100 ] && [ "$right_dev" -le 2 ] || fail "the secondary monitor was covered with shading off"
    fi
    kill -TERM "$pid"; wait_exit "$pid" 100 || fail "shade $shade: the saver did not end"
    no_x_error "shade $shade"
    # Both monitors are given back: no window of ours is left on either.
    if xwininfo -root -children | grep -qE '1024x768\+(0|1024)\+0'; then fail "a saver window outlived the saver"; fi
  done
  ;;
*)
  fail "unknown case $CASE"
  ;;
esac
echo "PASS: $CASE"
