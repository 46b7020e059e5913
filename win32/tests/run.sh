#!/usr/bin/env bash
# Runs a Windows test program under Wine, with a private Wine prefix and, when
# no display is set, a private virtual X server.
set -euo pipefail
exe=$1
arch=32
[ "${SORVELA_WINE64:-0}" = 1 ] && arch=64
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/sorvela-win$arch-tests}
export WINEDEBUG=${WINEDEBUG:--all}
source "$(dirname "$0")/display.sh"
if ! runs_32bit_programs; then echo "SKIP: $no_32bit_reason"; exit 77; fi
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
start_display
# No Mono or Gecko installers: they would wait for someone to answer.
[ -d "$WINEPREFIX" ] || WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
# Wine links Desktop and the other user folders to the Linux home, outside
# the profile: folders of the prefix take their place.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
# Links that only Linux can make under this Wine, for the web-link test.
links=$WINEPREFIX/drive_c/sorvela-links
rm -rf "$links"
mkdir -p "$links/profile/Desktop" "$links/outside"
printf victim >"$links/outside/victim.url"
ln -s ../../outside/victim.url "$links/profile/Desktop/Planted.url"
ln -s ../../outside/absent.url "$links/profile/Desktop/Dangling.url"
ln -s ../outside "$links/profile/Linked"
# And for the test that no file is made through a link.
printf target >"$links/target.txt"
ln -s target.txt "$links/link.txt"
ln -s missing.txt "$links/dangling.txt"
wine "$exe"
