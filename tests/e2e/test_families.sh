#!/usr/bin/env bash
# Font families and formats: the four styles of one family, a CFF OpenType
# font and a collection, each under its own Fonts value named by its full
# name; a second run asks about each font by that name; a file that only
# looks like a font ends in the failure path with nothing registered.
source "$(dirname "$0")/lib.sh"
e2e_begin

src=$T/src
mkdir -p "$src"
dejavu=$FONT_DIR/dejavu
urw=/usr/share/fonts/opentype/urw-base35
[ -f "$urw/NimbusSans-Regular.otf" ] || skip "fonts-urw-base35 is not installed"
# Renamed copies: Wine registers the machine's own fonts under these names.
for style in "" -Bold -Oblique -BoldOblique; do
  make_font "$dejavu/DejaVuSans$style.ttf" Fennel "$src/FennelSans$style.ttf"
done
make_font "$urw/NimbusSans-Regular.otf" Pavane "$src/PavaneSans-Regular.otf" Nimbus
make_font "$dejavu/DejaVuSerif.ttf" Fennel "$T/FennelSerif.ttf"
make_font "$dejavu/DejaVuSerif-Bold.ttf" Fennel "$T/FennelSerif-Bold.ttf"
/usr/bin/python3 "$E2E_ROOT/tests/make_collection.py" "$src/FennelSerif.ttc" \
  "$T/FennelSerif.ttf" "$T/FennelSerif-Bold.ttf" || skip "python3-fonttools is missing"
files=(FennelSans.ttf FennelSans-Bold.ttf FennelSans-Oblique.ttf FennelSans-BoldOblique.ttf
  PavaneSans-Regular.otf FennelSerif.ttc)
pack family.exe --title "Family" "${files[@]/#/$src/}"

fonts=$WINEPREFIX/drive_c/windows/Fonts
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
# Every Fonts value that names one of the package's files, as "NAME = FILE".
values() {
  wine reg query "$fonts_key" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    (.*)    REG_SZ    ((Fennel|Pavane).*)$/\1 = \2/p' | sort
}
expected='Fennel Sans (TrueType) = FennelSans.ttf
Fennel Sans Bold (TrueType) = FennelSans-Bold.ttf
Fennel Sans Bold Oblique (TrueType) = FennelSans-BoldOblique.ttf
Fennel Sans Oblique (TrueType) = FennelSans-Oblique.ttf
Fennel Serif & Fennel Serif Bold (TrueType) = FennelSerif.ttc
PavaneSans-Regular (OpenType) = PavaneSans-Regular.otf'

out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Family - Velloway"'
start $WIN_DIR\\family.exe /I
watch-exit 60000
EOF
)
check "\"/I\" of a family, an OpenType font and a collection: no box" "$out" \
'start "/I"
exit'
check "six values, each named by its font and naming its own file" "$(values)" "$expected"
for file in "${files[@]}"; do
  check_true "$file copied into the Fonts folder" cmp "$src/$file" "$fonts/$file"
done
check "no value name holds a \"?\"" "$(values | grep -c '?')" 0

# Again: one question names each font by its own name.
out=$(drive <<EOF
auto Overwrite yes
start $WIN_DIR\\family.exe /I
wait-exit 60000
EOF
)
check "a second run asks once for all, naming each font by its full name" \
  "$(grep '^answered "Overwrite"' <<<"$out")" \
'answered "Overwrite" "These fonts are already installed:\r\nFennel Sans\r\nFennel Sans Bold\r\nFennel Sans Oblique\r\nFennel Sans Bold Oblique\r\nPavaneSans-Regular\r\nFennel Serif & Fennel Serif Bold\r\nDo you want to overwrite them?"'
check "the values are as they were" "$(values)" "$expected"

# Another font in a file of the same name: the installed one stays, the new
# one goes under a free name.
mkdir -p "$T/other"
make_font "$dejavu/DejaVuSans.ttf" Oboist "$T/other/FennelSans.ttf"
pack other.exe --title "Other" "$T/other/FennelSans.ttf"
drive >/dev/null <<EOF
start $WIN_DIR\\other.exe /Q
wait-exit 60000
EOF
check_true "the first font's file is kept" cmp "$src/FennelSans.ttf" "$fonts/FennelSans.ttf"
check_true "the other font is copied under a free name" \
  cmp "$T/other/FennelSans.ttf" "$fonts/FennelSans_2.ttf"
check "both registered, each naming its own file" \
  "$(wine reg query "$fonts_key" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    ((Fennel|Oboist) Sans \(TrueType\))    REG_SZ    (.*)$/\1 = \3/p' | sort)" \
  'Fennel Sans (TrueType) = FennelSans.ttf
Oboist Sans (TrueType) = FennelSans_2.ttf'

# A file named like a font that is none: the failure path, nothing of it in
# the Fonts folder or the key.
head -c 4096 /dev/urandom >"$src/Noise.ttf"
printf 'wOFF' | dd of="$src/Noise.ttf" conv=notrunc status=none
pack noise.exe --title "Noise" "$src/Noise.ttf"
out=$(drive <<EOF
start $WIN_DIR\\noise.exe /I
wait-window "Error" 60000
box-text
press ok
wait-exit 10000
EOF
)
check "a file that is not a font: one \"Error\" box that names it" "$out" \
'start "/I"
window "Error"
box-text "There was an error installing the fonts: The font file Noise.ttf can'"'"'t be installed: it is not a TrueType or OpenType font\r\nRestart your computer and try again or contact Brimvale Technical Support."
press ok
exit'
check_true "nothing copied" test ! -e "$fonts/Noise.ttf"
check "nothing registered" "$(wine reg query "$fonts_key" 2>/dev/null | grep -c Noise)" 0

# Two fonts named only in Korean: each gets its own value, named in Unicode
# as its record has it, with the trailing blank of one of them kept.
mkdir -p "$T/korean"
/usr/bin/python3 - "$font_sans" "$T/korean" <<'PY' || skip "python3-fonttools is missing"
import sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._n_a_m_e import NameRecord
for file, family in (("UnBatang.ttf", "\uc740 \ubc14\ud0d5"), ("UnDotum.ttf", "\uc740 \ub3cb\uc6c0 ")):
    font = TTFont(sys.argv[1])
    names = font["name"]
    names.names = []
    for name_id, text in ((1, family), (2, "Regular"), (4, family)):
        record = NameRecord()
        record.nameID, record.platformID, record.platEncID, record.langID = name_id, 3, 1, 0x0412
        record.string = text
        names.names.append(record)
    font.save(sys.argv[2] + "/" + file)
PY
pack korean.exe --title "Korean" "$T/korean/UnBatang.ttf" "$T/korean/UnDotum.ttf"
drive >/dev/null <<EOF
start $WIN_DIR\\korean.exe /Q
wait-exit 60000
EOF
# The registry file, written when the server ends, spells such names out.
wineserver -w
check "two values, named in Unicode" \
  "$(grep -E '="Un(Batang|Dotum)\.ttf"' "$WINEPREFIX/system.reg" | sort)" \
  '"\xc740 \xb3cb\xc6c0  (TrueType)"="UnDotum.ttf"
"\xc740 \xbc14\xd0d5 (TrueType)"="UnBatang.ttf"'
