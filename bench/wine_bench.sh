# Shared by the benchmarks of the stub under Wine: sourced, not run. Makes one
# prefix whose server runs throughout, with unmanaged windows, and gives the
# helpers that time a program to its window. Sets WORK and TEMP_DIR; STUB may
# name another stub than the one built.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Where the kernel runs no 32-bit programs, the 64-bit build under 64-bit
# Wine (tests/wine64): figures of that build, not of the shipped one.
WIN=win32
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  WIN=win64
  export PATH=$ROOT/tests/wine64:$PATH WINEARCH=win64
  echo "# this kernel runs no 32-bit programs: figures of the 64-bit build under 64-bit Wine"
else
  export WINEARCH=win32
fi
STUB=${STUB:-$ROOT/build/$WIN/sorvela.exe}
BASELINE=$ROOT/build/$WIN/extract_baseline.exe
DRIVER=$ROOT/build/$WIN/e2e-driver.exe
PACK=$ROOT/build/host/sorvela-pack
ROUNDS=${ROUNDS:-7}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The stub opens windows, so it needs a display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorvela-$(basename "$0" .sh).XXXXXX")
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

# drive: the driver's script on standard input, its output without CRs on
# standard output; the program started inherits the driver's output and
# outlives it, so that goes through a file.
drive() {
  wine "$DRIVER" - >"$WORK/driver.out" 2>/dev/null || true
  tr -d '\r' <"$WORK/driver.out"
}

# Milliseconds from start to the window titled $1 of "$2 [$3]", in a clean
# state; the driver's command $4 then ends the program.
time_to_window() {
  local title=$1 exe=$2 args=$3 end=$4 out
  rm -rf "${TEMP_DIR:?}"/*
  out=$(printf 'start %s %s\nwait-window "%s" 300000\nms\n%s\nwait-exit 30000\n' \
    "$exe" "$args" "$title" "$end" | drive)
  grep -q '^exit' <<<"$out" || { echo "\"$title\" did not end: $out" >&2; exit 1; }
  sed -n 's/^ms //p' <<<"$out" | grep . || { echo "no window \"$title\": $out" >&2; exit 1; }
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

# The times to the window of an empty stub's failure box and of the bare
# program's box with nothing to do, subtracted from every figure.
zero_times() {
  cp "$STUB" "$WORK/bare.exe"
  stub_empty() { time_to_window "Sorvela Error" "$(win "$WORK/bare.exe")" "" "press ok"; }
  bare_empty() { time_to_window "Baseline" "$(win "$BASELINE")" "" "press ok"; }
  read -r stub_zero base_zero <<<"$(median_pair stub_empty bare_empty)"
  printf 'bare stub to its box %d ms, bare program to its box %d ms\n' "$stub_zero" "$base_zero"
}
