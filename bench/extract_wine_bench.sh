#!/usr/bin/env bash
# Start-up under Wine: the time from start to the wizard for a package of
# 1,000 entries of 20 KB and one of 20 entries of 10 MB, less the time a bare
# stub takes to its failure box, against a bare program that reads and writes
# the same bytes with CreateFileA/ReadFile/WriteFile/CloseHandle, less the
# time it takes to its box with nothing to do. The median of ROUNDS (7) runs
# in one prefix whose server runs throughout: each program is closed through
# its window, so that no measurement pays for the server's start.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
STUB=$ROOT/build/win32/sorvela.exe
BASELINE=$ROOT/build/win32/extract_baseline.exe
DRIVER=$ROOT/build/win32/e2e-driver.exe
PACK=$ROOT/build/host/sorvela-pack
ROUNDS=${ROUNDS:-7}
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="

# The stub opens windows, so it needs a display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

WORK=$(mktemp -d /tmp/sorvela-extract-wine-bench.XXXXXX)
export WINEPREFIX=$WORK/prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT
wineboot -i >/dev/null 2>&1
# Without a window manager Wine waits about 2 s whenever a window is shown
# or hidden unless its windows are unmanaged: not the program's time.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
TEMP_DIR=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')" 2>/dev/null)
wineserver -w
# One server, and the system processes it starts, for every measurement.
wineserver -p
wine cmd /c exit 2>/dev/null || true
[ -d "$TEMP_DIR" ] || { echo "no temporary folder in the prefix" >&2; exit 1; }

calc() { awk "BEGIN { print $1 }"; }
win() { printf 'Z:%s' "${1//\//\\}"; }

# Milliseconds from start to the window titled $1 of "$2 [$3]", in a clean
# state; the driver's command $4 then ends the program.
time_to_window() {
  local title=$1 exe=$2 args=$3 end=$4
  rm -rf "${TEMP_DIR:?}"/*
  # Into a file: the program started inherits the driver's output and outlives it.
  printf 'start %s %s\nwait-window "%s" 300000\nms\n%s\nwait-exit 30000\n' \
    "$exe" "$args" "$title" "$end" | wine "$DRIVER" - >"$WORK/driver.out" 2>/dev/null || true
  tr -d '\r' <"$WORK/driver.out" | grep -q '^exit' ||
    { echo "\"$title\" did not end: $(cat "$WORK/driver.out")" >&2; exit 1; }
  sed -n 's/^ms //p' "$WORK/driver.out" | tr -d '\r' | grep . ||
    { echo "no window \"$title\": $(cat "$WORK/driver.out")" >&2; exit 1; }
}

# The median of ROUNDS for two measurements taken in turn, so that the disk's
# state after one does not weigh on the other alone: "$1 $2" with $1 and $2
# named functions. A median, not the best: a start that happens to be quick
# would be subtracted from every figure.
median_pair() {
  local a=() b=()
  for _ in $(seq "$ROUNDS"); do
    a+=("$("$1")")
    b+=("$("$2")")
  done
  echo "$(printf '%s\n' "${a[@]}" | sort -n | sed -n "$(((ROUNDS + 1) / 2))p")" \
    "$(printf '%s\n' "${b[@]}" | sort -n | sed -n "$(((ROUNDS + 1) / 2))p")"
}

cp "$STUB" "$WORK/bare.exe"
stub_empty() { time_to_window "Sorvela Error" "$(win "$WORK/bare.exe")" "" "press ok"; }
bare_empty() { time_to_window "Baseline" "$(win "$BASELINE")" "" "press ok"; }
pair=$(median_pair stub_empty bare_empty)
read -r stub_zero base_zero <<<"$pair"
printf 'bare stub to its box %d ms, bare program to its box %d ms\n' "$stub_zero" "$base_zero"
printf '%-18s %10s %10s %10s %10s %7s\n' package "stub ms" "bare ms" "stub-0" "bare-0" ratio

for shape in 1000:20480 20:10485760; do
  n=${shape%%:*} size=${shape##*:}
  mkdir -p "$WORK/data$n"
  for i in $(seq -f '%04g' 1 "$n"); do
    head -c "$size" /dev/urandom >"$WORK/data$n/d$i.bin"
  done
  "$PACK" create --stub "$STUB" --out "$WORK/pkg$n.exe" --title "Bench" "$WORK/data$n"/*.bin
  rm -rf "$WORK/data$n"
  sync  # the package's own writing is not to slow the first run down
  stub_full() { time_to_window "Bench - Velloway" "$(win "$WORK/pkg$n.exe")" "" close; }
  bare_full() {
    time_to_window "Baseline" "$(win "$BASELINE")" "$(win "$WORK/pkg$n.exe")" "press ok"
  }
  pair=$(median_pair stub_full bare_full)
  read -r stub bare <<<"$pair"
  printf '%-18s %10d %10d %10d %10d %7.2f\n' "$n x $((size / 1024)) KB" "$stub" "$bare" \
    "$((stub - stub_zero))" "$((bare - base_zero))" \
    "$(calc "($stub - $stub_zero) / ($bare - $base_zero)")"
  rm -f "$WORK/pkg$n.exe"
done
