#!/usr/bin/env bash
# The Wine prefix the Windows suites share (WINEPREFIX): "start" makes it once
# and waits until Wine has finished setting it up; "stop" ends its wineserver
# so that nothing of the test run is left behind.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/wine_test.sh"
require_wine_prefix
case "${1:-}" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      wineboot --init
    fi
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || fail "Wine made no prefix in $WINEPREFIX"
    ;;
  stop)
    end_wineserver
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
