#!/usr/bin/env bash
# Runs a Windows test program under Wine, with a private Wine prefix and, when
# no display is set, a private virtual X server.
set -euo pipefail
exe=$1
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/sorvela-win32-tests}
export WINEDEBUG=${WINEDEBUG:--all}
xvfb=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 99); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    sleep 1
    break
  done
fi
# No Mono or Gecko installers: they would wait for someone to answer.
[ -d "$WINEPREFIX" ] || WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
wine "$exe"
