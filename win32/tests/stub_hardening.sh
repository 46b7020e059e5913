#!/usr/bin/env bash
# The stub stays small, imports system DLLs only, may use more than 2 GB of
# address space (as may the Windows package tool), asks the loader to take the
# DLLs it imports from the system folder, and a DLL planted beside a package
# does not run when the package does.
# usage: stub_hardening.sh STUB PLANTED_DLL PROBE_EXE PACK_TOOL WINDOWS_PACK_TOOL DRIVER CONTROL_IDS
set -euo pipefail
stub=$1 planted=$2 probe=$3 pack=$4 windows_pack=$5 driver=$6 ids=$7
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

headers=$(i686-w64-mingw32-objdump -p "$stub")
allowed=" advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll "
imports=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers")
for dll in $imports; do
  case "$allowed" in
    *" $dll "*) echo "import ok: $dll" ;;
    *) fail "the stub imports $dll, which is not on the allow-list" ;;
  esac
done

# The loader flag: the load configuration directory points at a record of
# the size it says, long enough to hold DependentLoadFlags (at 54), which
# asks for the system folder alone (0x800, LOAD_LIBRARY_SEARCH_SYSTEM32).
little_endian() {
  local hex=$1 swapped=
  while [ -n "$hex" ]; do swapped=${hex:0:2}$swapped hex=${hex:2}; done
  echo $((16#${swapped:-0}))
}
read -r rva directory_size < <(awk '/^Entry a / { print $3, $4 }' <<<"$headers")
base=$(awk '/^ImageBase/ { print $2 }' <<<"$headers")
record=
if [ $((16#$rva)) -ne 0 ]; then
  start=$((16#$base + 16#$rva))
  record=$(i686-w64-mingw32-objdump -s --start-address=$start --stop-address=$((start + 64)) \
    "$stub" | awk '/^ [0-9a-f]+ / { printf "%s%s%s%s", $2, $3, $4, $5 }')
fi
record_size=$(little_endian "${record:0:8}")
flags=$(little_endian "${record:108:4}")
if [ "$record_size" -ge 56 ] && [ "$record_size" -eq $((16#$directory_size)) ] &&
  [ "$flags" -eq $((0x800)) ]; then
  echo "loader flag ok: DependentLoadFlags 0x800 in a load configuration of $record_size bytes"
else
  fail "the load configuration (directory $rva, $directory_size bytes; record of $record_size" \
    "bytes) does not ask for the system folder: DependentLoadFlags is $(printf 0x%x "$flags")"
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
source "$(dirname "$0")/display.sh"
if ! runs_32bit_programs; then
  # The checks above need no Wine: theirs is the outcome, the planting's a skip.
  [ $failures -eq 0 ] || { echo "$failures failed before the planting, which can't run here"; exit 1; }
  echo "SKIP: planting: $no_32bit_reason"
  exit 77
fi
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_display
# One Wine server and desktop for every run, started without planted DLLs.
mkdir -p "$WINEPREFIX"
wineserver -p
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
# A crash ends the program instead of waiting for someone; no window
# manager's waits; the label's address goes nowhere; and the trace shows
# where the program restricts the search.
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /d /bin/true
reg 'HKCU\Software\Wine\Debug' /v RelayInclude /d kernel32.SetDefaultDllDirectories
mark=$WINEPREFIX/drive_c
downloads=$work/downloads
mkdir -p "$downloads"
cd "$work"
echo "readme" >"$work/readme.txt"
"$pack" create --stub "$stub" --out "$downloads/package.exe" --title Planted \
  --readme "$work/readme.txt"
cp "$probe" "$downloads/probe.exe"
downloads_win=$(winepath -w "$downloads" | tr -d '\r')

# The two runs: extract-only, and the wizard with a click on the publisher
# label, which opens it through the desktop's shell, then Cancel.
run() {
  local mode=$1 trace=$2
  rm -f "$downloads/readme.txt"
  if [ "$mode" = extract ]; then
    timeout 60 wine "$downloads/package.exe" /E 2>"$trace" || true
    [ -f "$downloads/readme.txt" ]
  else
    printf 'ids %s\nstart "%s"\nwait-window "Planted - Velloway" 20000\nmouse Label9\nclick cmdCancel\nwait-exit 20000\n' \
      "$ids" "$downloads/package.exe" | timeout 90 wine "$driver" - >"$work/drive.out" 2>"$trace" || true
    tr -d '\r' <"$work/drive.out" | grep -qx 'exit 1602'
  fi
}

# The DLLs the package's process loads, with when: "before" its code starts
# (what the loader resolves for the imports), "early" (after the start,
# before the program restricts the search), "after" that.
loaded() {
  awk '
    !pid && /\\package\.exe" at [0-9A-F]+: native$/ { pid = substr($0, 1, 4); phase = "before"; next }
    !pid || substr($0, 1, 5) != pid ":" { next }
    /Starting thread proc/ && phase == "before" { phase = "early" }
    /Call KERNEL32\.SetDefaultDllDirectories\(00000800\)/ { phase = "after"; print "restricted -" }
    /:loaddll:/ {
      path = $0; sub(/^[^"]*"/, "", path); sub(/".*$/, "", path)
      name = tolower(path); sub(/^.*\\/, "", name)
      print phase, name
    }' "$1" | sort -u
}

declare -A phase_of mode_of
for mode in extract wizard; do
  WINEDEBUG=+pid,+relay,+loaddll run $mode "$work/$mode.trace" ||
    fail "the $mode run did not finish without planted DLLs"
  restricted=0
  while read -r phase name; do
    if [ "$phase" = restricted ]; then restricted=1; continue; fi
    # Before wins: a DLL is as exposed as at its first load.
    [ "${phase_of[$name]:-after}" = before ] || phase_of[$name]=$phase
    mode_of[$name]="${mode_of[$name]:-} $mode"
  done < <(loaded "$work/$mode.trace")
  [ $restricted = 1 ] || fail "the $mode run did not restrict the DLL search"
done
for dll in $imports; do
  [ "${phase_of[$dll]:-}" = before ] || fail "$dll, an import, was not seen loading before the program"
done

checked=0
for name in $(printf '%s\n' "${!phase_of[@]}" | sort); do
  phase=${phase_of[$name]}
  base=${name%.*}
  if [ "$phase" = early ]; then
    fail "the program loads $name before it restricts the search"
    continue
  fi
  cp "$planted" "$downloads/$name"
  case $name in *.dll) override=$base ;; *) override=$name ;; esac
  export WINEDLLOVERRIDES="mscoree,mshtml=;$override=n,b"
  # The control: a program that restricts nothing loads the planted copy,
  # or this Wine takes that DLL from itself alone.
  rm -f "$mark"/planted-*
  wine "$downloads/probe.exe" "$name" >/dev/null 2>&1 || true
  if ! compgen -G "$mark/planted-*" >/dev/null; then
    echo "control: this Wine loads only its own $name; planting it shows nothing"
    rm -f "$downloads/$name"
    unset WINEDLLOVERRIDES
    continue
  fi
  # A DLL of the imports runs before any of the program: only the loader flag
  # keeps it out, which Windows 10 version 1607 and later read and this Wine
  # does not. Its run is for the record; the flag is checked above.
  modes=${mode_of[$name]}
  [ "$phase" = before ] && modes=extract
  for mode in $modes; do
    rm -f "$mark"/planted-*
    WINEDEBUG=+pid,+loaddll run "$mode" "$work/planted.trace" && finished=1 || finished=0
    # Run: its mark is there, or the loader took it (a copy without the
    # exports asked for can fail before its code runs).
    ran=0
    if compgen -G "$mark/planted-*" >/dev/null ||
      sed 's/\\\\/\\/g' "$work/planted.trace" | grep -iF "$downloads_win\\$name\"" |
      grep -q ': native$'; then
      ran=1
    fi
    if [ "$phase" = before ]; then
      if [ $ran = 1 ]; then
        echo "before the program: this Wine ran the planted $name (it ignores the loader flag)"
      else
        echo "before the program: the planted $name did not run"
      fi
    elif [ $ran = 1 ]; then
      fail "the package ran the planted $name in its $mode run"
    elif [ $finished = 0 ]; then
      fail "the package did not finish its $mode run beside a planted $name"
    else
      echo "package: the planted $name did not run ($mode run)"
      checked=$((checked + 1))
    fi
  done
  rm -f "$downloads/$name"
  unset WINEDLLOVERRIDES
done
# Without DLLs that Wine lets be planted after the restriction, the check
# above proves nothing.
[ $checked -ge 2 ] || fail "only $checked planted DLLs could be shown kept out; the check proves nothing"

echo "$((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
exit $((failures > 0))
