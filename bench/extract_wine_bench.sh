#!/usr/bin/env bash
# Start-up under Wine: the time from start to the wizard for a package of
# 1,000 entries of 20 KB and one of 20 entries of 10 MB, less the time a bare
# stub takes to its failure box, against a bare program that reads and writes
# the same bytes with CreateFileA/ReadFile/WriteFile/CloseHandle, less the
# time it takes to its box with nothing to do. The median of ROUNDS (7) runs
# in one prefix whose server runs throughout: each program is closed through
# its window, so that no measurement pays for the server's start.
source "$(dirname "$0")/wine_bench.sh"
zero_times
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
