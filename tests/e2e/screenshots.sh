#!/usr/bin/env bash
# Screenshots of the wizard's pages and of the progress window at 96 and at
# 144 dots per inch, as PNGs in build/screenshots/: readme-96dpi.png and
# license-, install-, install-failed-, install-refused-, ready-,
# extracting-, overwrite-, remove-question-, removed-96dpi.png, and the same
# with -144dpi. Run by ./build.sh screenshots.
source "$(dirname "$0")/lib.sh"

OUT=$E2E_ROOT/build/screenshots
T=$E2E_ROOT/build/screenshots-work
for file in "$STUB" "$DRIVER" "$PACK"; do
  [ -f "$file" ] || { say "$file is not built: run ./build.sh screenshots"; exit 1; }
done
command -v import >/dev/null || { say "import (ImageMagick) is not installed"; exit 1; }

rm -rf "$T"
mkdir -p "$T" "$OUT"
rm -f "$OUT"/*.png
finish() {
  chattr -i "${WINEPREFIX:-/nonexistent}/drive_c/windows/Fonts" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -z "$own_xvfb" ] || kill "$own_xvfb" 2>/dev/null || true
  [ "${E2E_KEEP:-0}" = 1 ] || rm -rf "$T"
}
trap finish EXIT
read -r DISPLAY own_xvfb < <(start_xvfb "$T/xvfb.log") || { say "can't start Xvfb"; exit 1; }
export DISPLAY

# run_driver SCRIPT: the driver's transcript; a failure ends the script.
run_driver() {
  local out
  # To a file: the program started inherits the driver's output and stays.
  { printf 'ids %s\n' "$IDS"; cat; } | wine "$DRIVER" - >"$T/drive.out" 2>>"$T/wine.log" || true
  out=$(tr -d '\r' <"$T/drive.out")
  printf '%s\n' "$out" >>"$T/transcript.log"
  if grep -q '^FAIL' <<<"$out"; then
    say "driver: $(grep "^FAIL" <<<"$out")" >&2
    exit 1
  fi
  printf '%s\n' "$out"
}

# shoot NAME: the selected window, cut from the screen by the rectangle the
# driver reported on its last "window-rect" line.
shoot() {
  local name=$1 rect left top width height
  rect=$(grep '^window-rect ' | tail -n1)
  read -r _ left top width height <<<"$rect"
  import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage \
    "$OUT/$name.png"
  say "$OUT/$name.png (${width}x${height})"
}

# Renamed DejaVu fonts: Wine registers the machine's own DejaVu under its
# names, which would make the install ask about overwriting them.
make_font "$FONT_DIR/dejavu/DejaVuSans.ttf" Quillo "$T/QuilloSans.ttf"
make_font "$FONT_DIR/dejavu/DejaVuSerif.ttf" Quillo "$T/QuilloSerif.ttf"
fonts=("$T/QuilloSans.ttf" "$T/QuilloSerif.ttf")
cat >"$T/readme.txt" <<'EOF'
Quillo Sans and Quillo Serif

Two font families with a wide range of characters, made from the DejaVu fonts.

Click Next to read the licence, then install the fonts.
EOF
cat >"$T/license.txt" <<'EOF'
Fonts are (c) Bitstream (see below). DejaVu changes are in public domain.

Permission is hereby granted, free of charge, to any person obtaining a copy
of the fonts accompanying this license ("Fonts") and associated documentation
files, to reproduce and distribute the Font Software, subject to the
conditions in the full licence text that comes with the fonts.
EOF
sed -i 's/$/\r/' "$T/readme.txt" "$T/license.txt"
P=$T/packages
mkdir -p "$P"
"$PACK" create --stub "$STUB" --out "$P/both.exe" --title "Quillo Fonts" \
  --readme "$T/readme.txt" --license "$T/license.txt" \
  --url "https://fonts.example.org/quillo" --url-title "Quillo Fonts" "${fonts[@]}"
# The Ready page with a title of 40 characters, the longest the wizard is
# laid out for.
ready="Quillo Sans, Serif and Mono in 21 Styles"
# Renamed: Wine registers the machine's own DejaVu under its names.
make_font "$font_mono" Quillo "$T/QuilloSansMono.ttf"
"$PACK" create --stub "$STUB" --out "$P/ready.exe" --title "$ready" "$T/QuilloSansMono.ttf"
# A file named like a font that is none: the longest failure text.
printf 'wOFF' >"$T/QuilloSans-CondensedExtraBoldItalic.ttf"
"$PACK" create --stub "$STUB" --out "$P/refused.exe" --title "Quillo Condensed" \
  "$T/QuilloSans-CondensedExtraBoldItalic.ttf"
# The progress window shows only while the package is read: a package of many
# entries, and its thread held still while the picture is taken.
mkdir -p "$T/many"
for i in $(seq 1 400); do printf 'entry %s\r\n' "$i" >"$T/many/entry$i.txt"; done
"$PACK" create --stub "$STUB" --out "$P/many.exe" --title "Many" "$T/many"/entry*.txt
# Fonts named only in Korean, for the question about installed fonts and the
# removal's boxes, which show the names in Unicode.
/usr/bin/python3 - "$font_sans" "$T" <<'PY'
import sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._n_a_m_e import NameRecord
for file, family in (("UnBatang.ttf", "\uc740 \ubc14\ud0d5"), ("UnDotum.ttf", "\uc740 \ub3cb\uc6c0")):
    font = TTFont(sys.argv[1])
    font["name"].names = []
    for name_id, text in ((1, family), (2, "Regular"), (4, family), (5, "Version 2.0")):
        record = NameRecord()
        record.nameID, record.platformID, record.platEncID, record.langID = name_id, 3, 1, 0x0412
        record.string = text
        font["name"].names.append(record)
    font.save(sys.argv[2] + "/" + file)
PY
"$PACK" create --stub "$STUB" --out "$P/korean.exe" --title "Korean Fonts" \
  "$T/UnBatang.ttf" "$T/UnDotum.ttf"

main="Quillo Fonts - Velloway"
for dpi in 96 144; do
  # A prefix of its own for each resolution, so that no font is installed yet.
  fresh_prefix "$T/$dpi" shots
  cp "$P"/*.exe "$C/"
  # Wine draws the title bar and frame itself: there is no window manager.
  # (Set once the display is there: Wine's first process starts its desktop
  # on it.) The resolution is read by each program as it starts.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  set_dpi $dpi
  run_driver <<EOF | shoot readme-${dpi}dpi
start C:\\shots\\both.exe
wait-window "$main" 30000
paint
window-rect
EOF
  run_driver <<EOF | shoot license-${dpi}dpi
attach "$main" 10000
click cmdNext
paint
window-rect
EOF
  run_driver <<EOF | shoot install-${dpi}dpi
attach "$main" 10000
click cmdNext
wait-text cmdNext "&Finish" 60000
paint
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "$main" 10000
click cmdNext
wait-exit 10000
EOF
  # A copy that fails: the Fonts folder locked.
  chattr +i "$WINEPREFIX/drive_c/windows/Fonts"
  run_driver <<EOF | shoot install-failed-${dpi}dpi
start C:\\shots\\ready.exe
wait-window "$ready - Velloway" 30000
click cmdNext
wait-text cmdNext "&Close" 60000
paint
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "$ready - Velloway" 10000
click cmdNext
wait-exit 10000
EOF
  chattr -i "$WINEPREFIX/drive_c/windows/Fonts"
  run_driver <<EOF | shoot install-refused-${dpi}dpi
start C:\\shots\\refused.exe
wait-window "Quillo Condensed - Velloway" 30000
click cmdNext
wait-text cmdNext "&Close" 60000
paint
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "Quillo Condensed - Velloway" 10000
click cmdNext
wait-exit 10000
EOF
  run_driver <<EOF | shoot ready-${dpi}dpi
start C:\\shots\\ready.exe
wait-window "$ready - Velloway" 30000
paint
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "$ready - Velloway" 10000
click cmdCancel
wait-exit 10000
EOF
  run_driver <<EOF | shoot extracting-${dpi}dpi
start C:\\shots\\many.exe
wait-window "Extracting" 30000
suspend
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "Extracting" 10000
resume
wait-window "Many - Velloway" 30000
click cmdCancel
wait-exit 10000
EOF
  run_driver <<EOF >/dev/null
start C:\\shots\\korean.exe /Q
wait-exit 60000
EOF
  run_driver <<EOF | shoot overwrite-${dpi}dpi
start C:\\shots\\korean.exe /I
wait-window "Overwrite" 30000
paint
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "Overwrite" 10000
press yes
wait-exit 60000
EOF
  run_driver <<EOF | shoot remove-question-${dpi}dpi
start C:\\shots\\korean.exe /U
wait-window "Sorvela Uninstall" 30000
paint
window-rect
EOF
  run_driver <<EOF | shoot removed-${dpi}dpi
attach "Sorvela Uninstall" 10000
press yes
wait-gone "Sorvela Uninstall" 30000
wait-window "Sorvela Uninstall" 30000
paint
window-rect
EOF
  run_driver <<EOF >/dev/null
attach "Sorvela Uninstall" 10000
press ok
wait-exit 30000
EOF
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
done
