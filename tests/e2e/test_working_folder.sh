#!/usr/bin/env bash
# Each run works in a folder of its own: what another package or program
# left or planted in the temporary folder under an entry's name is neither
# used nor written through, two packages open at once never see each
# other's files, and a temporary folder that can't be written is an
# unreadable package, never a write elsewhere.
source "$(dirname "$0")/lib.sh"
e2e_begin

# Two packages whose entries have the same names: a font, a readme, the manifest.
for family in Alpine Boreal; do
  mkdir -p "$T/$family"
  make_font "$font_sans" $family "$T/$family/Font.ttf"
  printf '%s readme\r\n' $family >"$T/$family/readme.txt"
  pack $family.exe --title $family --readme "$T/$family/readme.txt" "$T/$family/Font.ttf"
done
fonts=$WINEPREFIX/drive_c/windows/Fonts
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
temp=$(wine_temp_dir)
win_temp=$(wine cmd /c echo %TEMP% 2>/dev/null </dev/null | tr -d '\r')
# The value of a font, or nothing.
value() {
  wine reg query "$fonts_key" /v "$1 Sans (TrueType)" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    .*    REG_SZ    (.*)$/\1/p'
}

# Alpine's leftovers and a planted manifest under the entries' names, the
# readme held open by another program, and the font's name a link to a
# file outside: Boreal shows its own readme and installs its own font.
cp "$T/Alpine/Font.ttf" "$temp/Font.ttf.alpine"
printf '"KESTREL DATAFILE 1"\r\n"readme.txt"\r\n"NOLICENSE"\r\n"Planted"\r\n"file://198.51.100.7/share/update.exe"\r\n"Update"\r\n' \
  >"$temp/kestrel.dat"
cp "$T/Alpine/readme.txt" "$temp/readme.txt"
printf 'victim' >"$C/victim.bin"
ln -s "$C/victim.bin" "$temp/Font.ttf"
planted=$(cd "$temp" && ls -l --time-style=+ | sort)
out=$(drive <<EOF
hold $win_temp\\readme.txt
start $WIN_DIR\\Boreal.exe
wait-window "Boreal - Velloway" 30000
text txtReadme
click cmdNext
wait-text cmdNext "&Finish" 60000
click cmdNext
wait-exit 10000
EOF
)
check "planted files: the package shows its own readme and installs" "$(grep -v '^hold' <<<"$out")" \
'start ""
window "Boreal - Velloway"
text txtReadme "Boreal readme\r\n"
click cmdNext
text cmdNext "&Finish"
click cmdNext
exit'
check "its own font under its own value" "$(value Boreal)" "Font.ttf"
check_true "the Fonts folder holds the package's font" cmp "$T/Boreal/Font.ttf" "$fonts/Font.ttf"
check "the planted link was not written through" "$(cat "$C/victim.bin")" "victim"
check "what was planted is as it was" "$(cd "$temp" && ls -l --time-style=+ | sort)" "$planted"
check_true "no web link from the planted manifest" test ! -e "$WINEPREFIX/drive_c/users/root/Desktop/Update.url"
rm -rf "${temp:?}"/* "$fonts/Font.ttf"
wine reg delete "$fonts_key" /v "Boreal Sans (TrueType)" /f >/dev/null 2>&1

# Two packages open at once: Next in each installs its own font.
out=$(drive <<EOF
start $WIN_DIR\\Alpine.exe
wait-window "Alpine - Velloway" 30000
start $WIN_DIR\\Boreal.exe
wait-window "Boreal - Velloway" 30000
attach "Alpine - Velloway" 10000
click cmdNext
wait-text cmdNext "&Finish" 60000
click cmdNext
wait-exit 10000
attach "Boreal - Velloway" 10000
click cmdNext
wait-text cmdNext "&Finish" 60000
click cmdNext
wait-exit 10000
EOF
)
check "two packages at once: both install and end" "$(grep -c '^exit' <<<"$out")" 2
check "Alpine's value names Alpine's file" "$(value Alpine)" "Font.ttf"
check "Boreal's value names a file of its own" "$(value Boreal)" "Font_2.ttf"
check_true "which holds Alpine's font" cmp "$T/Alpine/Font.ttf" "$fonts/Font.ttf"
check_true "and Boreal's" cmp "$T/Boreal/Font.ttf" "$fonts/Font_2.ttf"
check "both working folders are gone" "$(ls -A "$temp")" ""

# A temporary folder no file can be made in: the package can't be read.
chattr +i "$temp"
drive >/dev/null <<EOF
start $WIN_DIR\\Alpine.exe /Q
watch-exit 60000
EOF
chattr -i "$temp"
check "an unwritable temporary folder: exit 1620" "$(sed -n 's/^exit //p' "$T/drive.out" | tr -d '\r')" 1620
check "and nothing written there" "$(ls -A "$temp")" ""
