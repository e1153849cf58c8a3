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
# Stops this prefix's server and waits until it has saved its registry and exited.
stop_server() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
}

case "$action" in
  up)
    if [ -d "$WINEPREFIX" ]; then
      stop_server
      rm -rf "$WINEPREFIX"
    fi
    # Start the persistent server first; wineboot then connects to it.
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
    # Wine now and then fails to start a process at all (exit code 53); that alone is
    # tried again, twice at most.
    for attempt in 1 2 3; do
      status=0
      /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || status=$?
      [ "$status" -eq 53 ] && [ "$attempt" -lt 3 ] || break
    done
    exit "$status"
    ;;
  down)
    stop_server
    ;;
  *) echo "usage: $0 up|down PREFIX" >&2; exit 2 ;;
esac
