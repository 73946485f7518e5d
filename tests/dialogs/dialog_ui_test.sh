#!/usr/bin/env bash
# Runs the configuration dialog of the real program on a private Xvfb display
# with an accessibility bus, and drives it through the accessibility tree.
# Usage: dialog_ui_test.sh <bin dir> <case> <screenshot dir>
set -u
BIN="$1"
CASE="$2"
SHOTS="${3:-/tmp/reef-screenshots/dialogs}"
HERE="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$SHOTS"
WORK="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$WORK"' EXIT
export SDL_AUDIODRIVER=dummy
unset REEFSAVER_NO_DIALOGS

. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/test_script.sh"

if [ "$CASE" = no_display ]; then
  unset DISPLAY
  export XDG_CONFIG_HOME="$WORK/config"
  timeout 60 "$BIN/reefsaver_plain" /c >"$WORK/out" 2>"$WORK/err"; code=$?
  [ "$code" != 124 ] || fail "the dialog hung without a display"
  [ "$code" = 1 ] || fail "the dialog without a display ended with $code, not the failed start's 1"
  lines=$(grep -c . "$WORK/err")
  [ "$lines" = 1 ] || fail "expected one error line, got: $(cat "$WORK/err")"
  grep -q "^Error: .*display" "$WORK/err" || fail "no display error: $(cat "$WORK/err")"
  ! grep -q "=dword" "$XDG_CONFIG_HOME/reefsaver/settings.reg" 2>/dev/null || fail "settings were written"
  echo "PASS"
  exit 0
fi

if [ "$CASE" = screen_settings ]; then
  # Several display modes to choose from: Xorg's dummy driver (Xvfb offers only its own size).
  # Xorg may refuse to start for a user without the rights to run it; there is
  # then no server with several modes here, which is not the dialog's fault.
  start_private_display Xorg -config "$HERE/xorg-dummy.conf" -noreset -nolisten tcp -logfile "$WORK/xorg.log" \
    || { echo "SKIP: Xorg with the dummy driver did not start"; exit 77; }
else
  start_display 1024x768
fi
export GTK_MODULES=gail:atk-bridge NO_AT_BRIDGE=0
# The dialogs speak the locale's language: the English case runs in the C
# locale, every other case in German.
unset LC_ALL LC_MESSAGES LANGUAGE
if [ "$CASE" = english ]; then export LANG=C.UTF-8; else export LANG=de_DE.UTF-8; fi
# The saver runs with its sanitizers; Python must not load their runtime.
dbus-run-session -- /usr/bin/python3 "$HERE/config_dialog_ui.py" "$BIN" "$CASE" "$SHOTS" "$WORK" 2>&1 |
  grep -v "Failed to set fd limit\|Activating service\|Successfully activated\|SpiRegistry daemon"
exit "${PIPESTATUS[0]}"
