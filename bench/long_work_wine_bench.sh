#!/usr/bin/env bash
# Long work under Wine, for packages of 1,000 fonts of 20 KB, 20 of 10 MB and
# 2 of 1 GB (copies of a few glyphs of DejaVu Sans Mono and of DejaVu Sans
# and Serif, padded, the 1 GB ones sparse, each under a name of its own):
# - the stub's time from start to the wizard against the bare file calls of
#   extract_baseline, each less its time to a box with nothing to do, the
#   median of ROUNDS (5) runs as in extract_wine_bench.sh;
# - its peak memory at the wizard and after the install: the peak working set
#   the system tells (under Wine the process's VmHWM), less the bare
#   program's after it has read and written the same bytes: what the stub
#   holds beyond what any program that shows a box holds;
# - the longest wait for an answer from any of its visible windows, from
#   start to the wizard and through the install run that Next starts: the
#   driver sends WM_NULL to each in turn from a thread of its own (one run;
#   the probe is left out of the timed runs).
ROUNDS=${ROUNDS:-5}
source "$(dirname "$0")/wine_bench.sh"
FONTS=$WORK/prefix/drive_c/windows/Fonts
# A font of 12 KB that the system takes, to be padded to 20 KB.
/usr/bin/python3 -m fontTools.subset /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf \
  --text="Sorvela bench 0123456789" --name-IDs='*' --output-file="$WORK/small.ttf" 2>/dev/null
zero_times
printf '%-16s %8s %8s %8s %8s %6s | %8s %8s %8s | %9s %9s\n' package "stub ms" "bare ms" \
  "stub-0" "bare-0" ratio "MiB wiz" "MiB inst" "MiB bare" "silent ms" "(install)"

mib() { calc "$1 / 1024"; }
for shape in 1000:20480:$WORK/small.ttf \
  20:10485760:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
  2:1073741824:/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf; do
  IFS=: read -r n size font <<<"$shape"
  name=b$n-  # the installed files of one package are told from the next one's
  mkdir -p "$WORK/fonts$n"
  /usr/bin/python3 "$ROOT/bench/make_fonts.py" "$font" "$n" "$WORK/fonts$n" "$size" "$name"
  "$PACK" create --stub "$STUB" --out "$WORK/pkg$n.exe" --title "Bench" "$WORK/fonts$n"/*.ttf
  rm -rf "$WORK/fonts$n"
  sync  # the package's own writing is not to slow the first run down
  stub_full() { time_to_window "Bench - Velloway" "$(win "$WORK/pkg$n.exe")" "" close; }
  bare_full() {
    time_to_window "Baseline" "$(win "$BASELINE")" "$(win "$WORK/pkg$n.exe")" "press ok"
  }
  read -r stub bare <<<"$(median_pair stub_full bare_full)"

  rm -rf "${TEMP_DIR:?}"/*
  bare_peak=$(printf 'start %s %s\nwait-window Baseline 300000\nmemory\npress ok\nwait-exit 30000\n' \
    "$(win "$BASELINE")" "$(win "$WORK/pkg$n.exe")" | drive | sed -n 's/^memory \([0-9]*\) .*/\1/p')
  rm -rf "${TEMP_DIR:?}"/*
  run=$(drive <<EOF
ids $(win "$ROOT/win32/control_ids.h")
start $(win "$WORK/pkg$n.exe")
probe start
wait-window "Bench - Velloway" 600000
probe stop
memory
probe start
click cmdNext
wait-enabled cmdNext 3600000
probe stop
memory
text cmdNext
text lblInstall
click cmdNext
wait-exit 60000
EOF
)
  grep -q '^exit' <<<"$run" || { echo "the install of $n fonts did not end: $run" >&2; exit 1; }
  grep -q '^text cmdNext "&Finish"' <<<"$run" ||
    echo "the install of $n fonts failed: $(grep '^text lblInstall' <<<"$run")" >&2
  read -r wizard_peak install_peak <<<"$(sed -n 's/^memory \([0-9]*\) .*/\1/p' <<<"$run" | xargs)"
  read -r extract_silence install_silence <<<"$(sed -n 's/^probe \([0-9]*\) .*/\1/p' <<<"$run" | xargs)"
  printf '%-16s %8d %8d %8d %8d %6.2f | %8.1f %8.1f %8.1f | %9d %9d\n' \
    "$n x $((size / 1024)) KB" "$stub" "$bare" "$((stub - stub_zero))" "$((bare - base_zero))" \
    "$(calc "($stub - $stub_zero) / ($bare - $base_zero)")" \
    "$(mib $((wizard_peak - bare_peak)))" "$(mib $((install_peak - bare_peak)))" \
    "$(mib "$bare_peak")" "$extract_silence" "$install_silence"
  grep '^probe [0-9]' <<<"$run" | sed 's/^probe /  longest silence (ms, window, answers): /'
  rm -f "$WORK/pkg$n.exe" "$FONTS/$name"*
done
echo "MiB wiz, inst: the stub's peak working set at the wizard, after the install, less the"
echo "  bare program's (MiB bare); silent ms: the longest any window of the stub took to answer"
echo "  from start to the wizard, and in the install run"
