#!/usr/bin/env bash
# Upgrades of a family while one of its files is held open, as the system
# holds a loaded font: replaced at the next restart with exit code 3010, the
# wizard saying a restart may be needed; and when nothing can be scheduled,
# the whole family stays as it was.
source "$(dirname "$0")/lib.sh"
e2e_begin
# One server throughout: a new one would carry out the pending moves at once.
wineserver -p

src=$T/src
mkdir -p "$src/v1" "$src/v2"
# version FILE TEXT: the font's name ID 5 set to TEXT.
version() {
  /usr/bin/python3 - "$1" "$2" <<'EOF'
import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
for record in font["name"].names:
    if record.nameID == 5:
        record.string = sys.argv[2]
font.save(sys.argv[1])
EOF
}
for v in 1 2; do
  make_font "$font_sans" Lyfcyc "$src/v$v/LyfcycSans.ttf"
  make_font "$FONT_DIR/dejavu/DejaVuSans-Bold.ttf" Lyfcyc "$src/v$v/LyfcycSans-Bold.ttf"
  for f in "$src/v$v"/*.ttf; do version "$f" "Version $v.000"; done
  pack v$v.exe --title "Lyfcyc" "$src/v$v/LyfcycSans.ttf" "$src/v$v/LyfcycSans-Bold.ttf"
done
fonts=$WINEPREFIX/drive_c/windows/Fonts
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
session='HKLM\System\CurrentControlSet\Control\Session Manager'
code() { sed -n 's/^exit //p' "$T/drive.out" | tr -d '\r' | tail -n1; }
values() {
  wine reg query "$fonts_key" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    (Lyfcyc.*)    REG_SZ    (.*)$/\1 = \2/p' | sort
}
pending() {
  wine reg query "$session" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' |
    sed -nE 's/^ +PendingFileRenameOperations +REG_MULTI_SZ +//p'
}
expected_values='Lyfcyc Sans (TrueType) = LyfcycSans.ttf
Lyfcyc Sans Bold (TrueType) = LyfcycSans-Bold.ttf'

drive >/dev/null <<EOF
start $WIN_DIR\\v1.exe /Q
watch-exit 60000
EOF
check "version 1 installs" "$(code)" 0

# Version 2 quietly, the Bold held: Regular now, Bold at the restart.
drive >/dev/null <<EOF
hold C:\\windows\\Fonts\\LyfcycSans-Bold.ttf
start $WIN_DIR\\v2.exe /Q
watch-exit 60000
EOF
check "\"/Q\" with a font in use: exit 3010" "$(code)" 3010
check "the values name the final files" "$(values)" "$expected_values"
check_true "Regular is version 2 now" cmp "$src/v2/LyfcycSans.ttf" "$fonts/LyfcycSans.ttf"
check_true "Bold stays version 1 until the restart" \
  cmp "$src/v1/LyfcycSans-Bold.ttf" "$fonts/LyfcycSans-Bold.ttf"
check "the system is asked to move the new Bold into place" \
  "$(pending | sed -E 's/~[0-9a-f]{16}\.tmp/~NEW.tmp/I')" \
  '\??\C:\windows\Fonts\~NEW.tmp\0!\??\C:\windows\Fonts\LyfcycSans-Bold.ttf'
staged=$(ls "$fonts" | grep -c '^~') || true
check "the new Bold waits beside it" "$staged" 1
wineboot -r >/dev/null 2>&1
check_true "after the restart Bold is version 2" \
  cmp "$src/v2/LyfcycSans-Bold.ttf" "$fonts/LyfcycSans-Bold.ttf"
check "nothing is left beside it" "$(ls "$fonts" | grep -c '^~' || true)" 0
check "nothing is pending" "$(pending)" ""

# The wizard, the Bold held again: the restart wording, Finish ends with 3010.
out=$(drive <<EOF
hold C:\\windows\\Fonts\\LyfcycSans-Bold.ttf
start $WIN_DIR\\v1.exe
wait-window "Lyfcyc - Velloway" 30000
click cmdNext
wait-window "Overwrite" 30000
box-text
use "Lyfcyc - Velloway"
query-end
use "Overwrite"
press yes
use "Lyfcyc - Velloway"
wait-text cmdNext "&Finish" 60000
text lblInstall
query-end
click cmdNext
wait-exit 10000
EOF
)
check "the wizard says a restart may be needed" "$(grep '^text lblInstall' <<<"$out")" \
  'text lblInstall "Your font was sucessfully installed, but you may need to restart your computer."'
# Both versions where the installed file can be read; the held one can't.
check "one question for both, with both versions" "$(grep '^box-text' <<<"$out")" \
  'box-text "These fonts are already installed:\r\nLyfcyc Sans\r\nInstalled: Version 2.000\r\nThis package: Version 1.000\r\nLyfcyc Sans Bold\r\nDo you want to overwrite them?"'
check "the session waits while the install runs, not once it is over" \
  "$(grep '^query-end' <<<"$out" | tr -d '\r' | xargs)" "query-end 0 query-end 1"
check "Finish after it: exit 3010" "$(code)" 3010
wineboot -r >/dev/null 2>&1
check_true "back at version 1 after the restart" \
  cmp "$src/v1/LyfcycSans-Bold.ttf" "$fonts/LyfcycSans-Bold.ttf"

# Nothing can be scheduled (the system's list of pending moves is unreadable
# to it): the family stays version 1, file and value alike.
wine reg add "$session" /v PendingFileRenameOperations /t REG_DWORD /d 1 /f >/dev/null 2>&1
drive >/dev/null <<EOF
hold C:\\windows\\Fonts\\LyfcycSans-Bold.ttf
start $WIN_DIR\\v2.exe /Q
watch-exit 60000
EOF
wine reg delete "$session" /v PendingFileRenameOperations /f >/dev/null 2>&1
check "nothing can be scheduled: exit 1603" "$(code)" 1603
for f in LyfcycSans.ttf LyfcycSans-Bold.ttf; do
  check_true "$f stays version 1" cmp "$src/v1/$f" "$fonts/$f"
done
check "the values are as they were" "$(values)" "$expected_values"
check "nothing is left beside them" "$(ls "$fonts" | grep -c '^~' || true)" 0
