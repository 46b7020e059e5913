#!/usr/bin/env bash
# The stub stays small, imports system DLLs only, may use more than 2 GB of
# address space (as may the Windows package tool), and a DLL planted beside a
# package does not run when the package does.
# usage: stub_hardening.sh STUB PLANTED_DLL PROBE_EXE PACK_TOOL WINDOWS_PACK_TOOL
set -euo pipefail
stub=$1 planted=$2 probe=$3 pack=$4 windows_pack=$5
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# 160 KB however a kilobyte is counted.
size=$(stat -c %s "$stub")
if [ "$size" -le 160000 ]; then
  echo "size ok: $size bytes"
else
  fail "the stub is $size bytes, over its limit of 160,000"
fi

for program in "$stub" "$windows_pack"; do
  if i686-w64-mingw32-objdump -p "$program" | grep -x $'\tlarge address aware' >/dev/null; then
    echo "large address aware: ${program##*/}"
  else
    fail "${program##*/} is not marked large address aware"
  fi
done

allowed=" advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll "
for dll in $(i686-w64-mingw32-objdump -p "$stub" | awk '/DLL Name:/ { print tolower($3) }'); do
  case "$allowed" in
    *" $dll "*) echo "import ok: $dll" ;;
    *) fail "the stub imports $dll, which is not on the allow-list" ;;
  esac
done

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
source "$(dirname "$0")/display.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_display
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
wineserver -w
mark=$WINEPREFIX/drive_c/planted-dll-ran.txt

mkdir -p "$work/downloads"
echo "readme" > "$work/readme.txt"
"$pack" create --stub "$stub" --out "$work/downloads/package.exe" --title Planted \
  --readme "$work/readme.txt"
cp "$probe" "$work/downloads/probe.exe"

# The common controls load these after start-up; a native override makes Wine
# prefer a file of that name wherever the search finds one.
for name in uxtheme comctl32; do
  cp "$planted" "$work/downloads/$name.dll"
  rm -f "$mark"
  WINEDLLOVERRIDES="$name=n,b" wine "$work/downloads/probe.exe" "$name.dll" || true
  if [ -f "$mark" ]; then
    echo "control: an unrestricted program loads the planted $name.dll"
  else
    fail "the planted $name.dll is not found even without restriction; the check proves nothing"
  fi
  rm -f "$mark"
  WINEDLLOVERRIDES="$name=n,b" wine "$work/downloads/package.exe" /E || true
  wineserver -w
  if [ -f "$mark" ]; then
    fail "the package ran the planted $name.dll"
  else
    echo "package: the planted $name.dll did not run"
  fi
  [ -f "$work/downloads/readme.txt" ] || fail "the package did not run its extract-only mode"
  rm -f "$work/downloads/$name.dll" "$work/downloads/readme.txt"
done

echo "$((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
exit $((failures > 0))
