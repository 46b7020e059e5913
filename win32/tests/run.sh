#!/usr/bin/env bash
# Runs a Windows test program under Wine, with a private Wine prefix and, when
# no display is set, a private virtual X server.
set -euo pipefail
exe=$1
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/sorvela-win32-tests}
export WINEDEBUG=${WINEDEBUG:--all}
source "$(dirname "$0")/display.sh"
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
start_display
# No Mono or Gecko installers: they would wait for someone to answer.
[ -d "$WINEPREFIX" ] || WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
wine "$exe"
