#!/bin/sh
# The Wine prefix the Windows suites share (WINEPREFIX): "start" makes it once
# and waits until Wine has finished setting it up; "stop" ends its wineserver
# so that nothing of the test run is left behind.
set -eu
: "${WINEPREFIX:?WINEPREFIX names the prefix}"
case "${1:-}" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      wineboot --init
    fi
    wineserver -w
    test -f "$WINEPREFIX/system.reg"
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
