#!/usr/bin/env bash
# Creates (up) or stops (down) the private Wine prefix that the tests run in.
# up: a fresh prefix, with its wineserver kept alive for the whole test run.
# down: stops only that prefix's wineserver.
set -euo pipefail
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
case "$action" in
  up)
    if [ -d "$WINEPREFIX" ]; then /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; fi
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -p
    ;;
  down)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 up|down PREFIX" >&2; exit 2 ;;
esac
