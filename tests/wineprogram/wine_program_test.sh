#!/usr/bin/env bash
# The Windows programs under Wine, each case on a private Xvfb of its own and
# in the Wine prefix the whole test run shares (WINEPREFIX).
#
#   wine_program_test.sh <bin dir> <fixtures dir> <output dir> <case> [preview_host.exe]
#
# Cases:
#   picture  /s at a frozen clock, looking down and up; the frame the saver reads
#            back with glReadPixels is compared with the Linux reference picture
#            in tests/fixtures within PICTURE_TOLERANCE (RMSE, default 0.004,
#            as on Linux: both draw through Mesa). The Xvfb screen is kept too.
#   mouse    /s ends after the pointer moved six times (real X pointer motion).
#   key      /s ends on a key pressed on the X keyboard.
#   preview  /p <hwnd> in a host window made by preview_host.exe: the saver's
#            read-back frame of the preview matches the reference, and the
#            saver ends when the host window is destroyed; /p without a
#            window number makes no window and ends with the failure status.
#   test     /t: a window whose client area is 800 x 600 (the read-back frame's
#            size), not ended by a click, closed by Alt+F4 through the system's
#            own handling of the key.
#   viewer   reefsaver.exe runs full screen whatever the switch (/c here),
#            ignores the pointer and a key, and ends on Escape.
set -u
BIN="$1"
FIXTURES="$2"
OUT="$3"
CASE="$4"
PREVIEW_HOST="${5:-}"
TOLERANCE="${PICTURE_TOLERANCE:-0.004}"
SIZE=320x240
FROZEN_MS=60000
SEED=1
PLAIN="$BIN/reefsaver_plain.scr"
VIEWER="$BIN/reefsaver.exe"

. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/wine_test.sh"

mkdir -p "$OUT"
[ -f "$PLAIN" ] || fail "no $PLAIN"
[ -d "$BIN/Marevo2" ] || fail "no data folder $BIN/Marevo2 (scripts/build-windows.sh puts it there)"

# The test window needs a screen larger than itself.
[ "$CASE" = test ] && SIZE=1024x768
start_wine_case "$SIZE"

export REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy REEFSAVER_FROZEN_CLOCK_MS=$FROZEN_MS REEFSAVER_SEED=$SEED

# compare_with_reference VIEW FRAME: the RMSE against tests/fixtures/reef-VIEW.png within the tolerance.
compare_with_reference() {
  local view="$1" frame="$2"
  measure_rmse "$FIXTURES/reef-$view.png" "$frame" "${frame%.png}-diff.png"
  if at_most "$RMSE" "$TOLERANCE"; then
    echo "$view: RMSE $RMSE against the Linux reference (tolerance $TOLERANCE) ok"
    rm -f "${frame%.png}-diff.png"
  else
    fail "$view: RMSE $RMSE is over the tolerance $TOLERANCE; see $frame and ${frame%.png}-diff.png"
  fi
}

# start_saver SHOT [PROGRAM SWITCH]: the saver (/s) in the background, its first
# frame read back into SHOT.
start_saver() {
  REEFSAVER_SCREENSHOTS="0:$1" wine "${2:-$PLAIN}" "${3:-/s}" >"$WORK/saver.log" 2>&1 &
  SAVER_PID=$!
  wait_until 60 test -s "$1" || { cat "$WORK/saver.log"; fail "the saver drew no frame"; }
  sleep 0.5  # the frame after the read-back is on the screen, and the input is the saver's
  kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended before any input"
}

case "$CASE" in
  picture)
    for pair in down:bottom up:top; do
      view="${pair%%:*}"
      shot="$OUT/wine-reef-$view.png"
      rm -f "$shot"
      REEFSAVER_SCREENSHOTS="0:$shot" REEFSAVER_QUIT_AFTER_MS=8000 \
        timeout 120 wine "$PLAIN" /s --camera "${pair##*:}" >"$WORK/$view.log" 2>&1 &
      SAVER_PID=$!
      wait_until 60 test -s "$shot" || { cat "$WORK/$view.log"; fail "$view: no frame was read back"; }
      sleep 0.2  # the read-back frame is complete
      compare_with_reference "$view" "$shot"
      # The Xvfb screen too: the saver's window as Wine put it on the X display
      # shows the same frame (the clock stands still), once Wine has shown it.
      screen="$OUT/wine-screen-$view.png"
      screen_rmse=1
      while kill -0 "$SAVER_PID" 2>/dev/null; do
        import -window root "$screen" || fail "$view: the screen could not be read"
        measure_rmse "$shot" "$screen"
        screen_rmse=$RMSE
        at_most "$screen_rmse" 0.02 && break
        sleep 0.5
      done
      echo "$view: the X screen against the read-back frame: RMSE $screen_rmse"
      at_most "$screen_rmse" 0.02 ||
        fail "$view: the Xvfb screen never showed the reef (see $screen)"
      wait_for_end 60 || fail "$view: the saver did not end after its timed quit"
      [ "$SAVER_STATUS" = 0 ] || { cat "$WORK/$view.log"; fail "$view: the saver ended with $SAVER_STATUS"; }
    done
    ;;
  mouse)
    start_saver "$WORK/first.png"
    # Five changes of the pointer's position are tolerated, the sixth ends the
    # saver. Windows (and Wine) also reports the pointer once when the window
    # appears under it, which counts as the first change.
    for step in 1 2 3 4; do
      xdotool mousemove $((step * 20)) $((step * 15))
      sleep 0.2
    done
    sleep 1
    kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended before the sixth change of the pointer's position"
    xdotool mousemove 200 200
    sleep 0.3
    xdotool mousemove 220 210
    wait_for_end 10 || fail "the saver did not end after the pointer moved"
    [ "$SAVER_STATUS" = 0 ] || fail "the saver ended with $SAVER_STATUS"
    echo "the saver ended after the pointer moved"
    ;;
  key)
    start_saver "$WORK/first.png"
    xdotool key a
    wait_for_end 10 || fail "the saver did not end on a key"
    [ "$SAVER_STATUS" = 0 ] || fail "the saver ended with $SAVER_STATUS"
    echo "the saver ended on a key"
    ;;
  preview)
    [ -f "$PREVIEW_HOST" ] || fail "no preview host program"
    shot="$OUT/wine-preview.png"
    REEFSAVER_SCREENSHOTS="0:$shot" timeout 120 wine "$PREVIEW_HOST" "$PLAIN" "$shot" --camera bottom >"$WORK/host.log" 2>&1
    status=$?
    cat "$WORK/host.log"
    [ "$status" = 0 ] || fail "the preview host reported a failure ($status)"
    # The preview at the host's 320 x 240 is the frame the full-screen saver draws at that size.
    compare_with_reference down "$shot"
    # Without a window number there is no parent to draw in.
    timeout 60 wine "$PLAIN" /p >"$WORK/orphan.log" 2>&1
    status=$?
    [ "$status" = 1 ] || { cat "$WORK/orphan.log"; fail "/p without a window ended with $status, not 1"; }
    echo "/p without a window ended at once with status 1"
    ;;
  test)
    start_saver "$WORK/first.png" "$PLAIN" /t
    size=$(/usr/bin/identify -format "%wx%h" "$WORK/first.png")
    [ "$size" = 800x600 ] || fail "the test window's client area is $size, not 800x600"
    cp "$WORK/first.png" "$OUT/wine-test-window.png"
    xdotool mousemove 400 300 click 1
    sleep 1
    kill -0 "$SAVER_PID" 2>/dev/null || fail "a click ended the test window"
    xdotool key alt+F4
    wait_for_end 10 || fail "Alt+F4 did not close the test window"
    [ "$SAVER_STATUS" = 0 ] || fail "the test window ended with $SAVER_STATUS"
    echo "the test window drew 800 x 600, kept running on a click and closed on Alt+F4"
    ;;
  viewer)
    [ -f "$VIEWER" ] || fail "no $VIEWER"
    start_saver "$WORK/first.png" "$VIEWER" /c
    # The viewer's own view (its camera and the help hint) has no reference
    # picture: its frame must show a lit, varied scene, not an empty one.
    read -r mean spread < <(/usr/bin/convert "$WORK/first.png" -format "%[fx:mean] %[fx:standard_deviation]" info:)
    echo "viewer frame: mean $mean, spread $spread"
    awk -v m="$mean" -v d="$spread" 'BEGIN { exit !(m > 0.2 && m < 0.9 && d > 0.05) }' ||
      fail "the viewer's frame is empty or flat"
    cp "$WORK/first.png" "$OUT/wine-viewer.png"
    for step in 1 2 3 4 5 6 7 8; do
      xdotool mousemove $((step * 30)) $((step * 20))
      sleep 0.1
    done
    xdotool key a
    sleep 1.5
    kill -0 "$SAVER_PID" 2>/dev/null || fail "the viewer ended on the pointer or a key other than Escape"
    xdotool key Escape
    wait_for_end 10 || fail "the viewer did not end on Escape"
    [ "$SAVER_STATUS" = 0 ] || fail "the viewer ended with $SAVER_STATUS"
    echo "the viewer ran full screen on /c, kept running on pointer moves and a key, and ended on Escape"
    ;;
  *)
    fail "unknown case $CASE"
    ;;
esac
exit 0
