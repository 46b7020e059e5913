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
# Links for the test that nothing is written through one: Wine follows the
# host's links as the system follows its own.
links=$WINEPREFIX/drive_c/sorvela-links
rm -rf "$links" && mkdir -p "$links"
printf target >"$links/target.txt"
ln -s target.txt "$links/link.txt"
ln -s missing.txt "$links/dangling.txt"
wine "$exe"
