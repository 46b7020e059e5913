#!/usr/bin/env bash
# GetFontName per font under Wine (the system's font resource file) against
# reading the font file and against the portable name-table reader, all in
# one Windows program. Fonts: every .ttf under /usr/share/fonts/truetype.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d /tmp/sorvela-face-bench.XXXXXX)
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
wineserver -w
cp "$ROOT/build/win32/face_name_wine_bench.exe" "$WORK/"
fonts=()
while IFS= read -r f; do fonts+=("Z:${f//\//\\}"); done < <(find /usr/share/fonts/truetype -name '*.ttf' | sort)
wine "$WORK/face_name_wine_bench.exe" "${fonts[@]}"
