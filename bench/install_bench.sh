#!/usr/bin/env bash
# Silent install of 1, 10 and 100 fonts under Wine, against a program that
# makes only the bare system calls (copy, registry write, font load) for the
# same fonts. Each run gets a fresh copy of one Wine prefix; best of three.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
STUB=$ROOT/build/win32/sorvela.exe
BASELINE=$ROOT/build/win32/install_baseline.exe
PACK=$ROOT/build/host/sorvela-pack
FONT=${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
WORK=$(mktemp -d /tmp/sorvela-install-bench.XXXXXX)
export WINEDEBUG=-all WINEARCH=win32
trap 'WINEPREFIX=$WORK/run wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT

WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$WORK/template wineboot -i >/dev/null 2>&1
WINEPREFIX=$WORK/template wineserver -w

seconds() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }

# The stub opens windows, so it needs a display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Runs "$@" under a fresh prefix and prints the wall time in seconds.
timed_run() {
  rm -rf "$WORK/run"
  cp -a "$WORK/template" "$WORK/run"
  local start end
  start=$(seconds)
  WINEPREFIX=$WORK/run wine "$@" >/dev/null 2>&1 || true
  end=$(seconds)
  # Wine's desktop process lingers after a windowed program; not ours to time.
  WINEPREFIX=$WORK/run wineserver -w
  local installed
  installed=$(find "$WORK/run/drive_c/windows/Fonts" -name 'bench*.ttf' | wc -l)
  if [ "$installed" -ne "$n" ]; then
    echo "only $installed of $n fonts reached the Fonts folder: $*" >&2
    exit 1
  fi
  calc "$end - $start"
}

printf '%-6s %12s %12s %12s %12s %7s\n' fonts "stub s" "bare s" "stub/font" "bare/font" ratio
declare -A stub_time bare_time
for n in 1 10 100; do
  mkdir -p "$WORK/fonts$n"
  python3 "$ROOT/bench/make_fonts.py" "$FONT" "$n" "$WORK/fonts$n"
  "$PACK" create --stub "$STUB" --out "$WORK/pkg$n.exe" --title "Bench $n" "$WORK/fonts$n"/*.ttf
  windows_fonts=()
  for f in "$WORK/fonts$n"/*.ttf; do windows_fonts+=("Z:${f//\//\\}"); done
  # Best of three: Wine and the disk make single runs noisy.
  stub_time[$n]=999 bare_time[$n]=999
  for round in 1 2 3; do
    t=$(timed_run "$WORK/pkg$n.exe" /I)
    stub_time[$n]=$(calc "$t < ${stub_time[$n]} ? $t : ${stub_time[$n]}")
    t=$(timed_run "$BASELINE" "${windows_fonts[@]}")
    bare_time[$n]=$(calc "$t < ${bare_time[$n]} ? $t : ${bare_time[$n]}")
  done
  printf '%-6s %12.3f %12.3f %12.4f %12.4f %7.2f\n' "$n" "${stub_time[$n]}" "${bare_time[$n]}" \
    "$(calc "${stub_time[$n]} / $n")" "$(calc "${bare_time[$n]} / $n")" \
    "$(calc "${stub_time[$n]} / ${bare_time[$n]}")"
done
# Wine's start-up is in every run; the cost of one more font is the slope.
stub_slope=$(calc "(${stub_time[100]} - ${stub_time[1]}) / 99")
bare_slope=$(calc "(${bare_time[100]} - ${bare_time[1]}) / 99")
printf 'per additional font: stub %.4f s, bare calls %.4f s, ratio %.2f\n' "$stub_slope" \
  "$bare_slope" "$(calc "$stub_slope / $bare_slope")"
