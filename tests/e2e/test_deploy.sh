#!/usr/bin/env bash
# Deployment: the exit code of each way to end, the quiet install ("/Q"),
# installs for the current user on a system that takes them and on one that
# doesn't, and a program folder where the font resource file can't be made.
source "$(dirname "$0")/lib.sh"
e2e_begin

src=$T/src
mkdir -p "$src"
make_font "$font_sans" Deploy "$src/DeploySans.ttf"
make_font "$font_serif" Deploy "$src/DeploySerif.ttf"
pack fonts.exe --title "Deploy" "$src/DeploySans.ttf" "$src/DeploySerif.ttf"
cp "$STUB" "$C/bare.exe"

fonts=$WINEPREFIX/drive_c/windows/Fonts
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
user_key='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
# The exit code of the last driven run.
code() { sed -n 's/^exit //p' "$T/drive.out" | tr -d '\r' | tail -n1; }
# Fonts values of KEY that name a Deploy file, as "NAME = DATA".
values() {
  wine reg query "$1" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    (Deploy.*)    REG_SZ    (.*)$/\1 = \2/p' | sort
}
forget() {
  wine reg delete "$fonts_key" /v "Deploy Sans (TrueType)" /f </dev/null >/dev/null 2>&1 || true
  wine reg delete "$fonts_key" /v "Deploy Serif (TrueType)" /f </dev/null >/dev/null 2>&1 || true
  rm -f "$fonts"/Deploy*.ttf
}

# Each way to end, by what is done and the code it leaves; none leaves
# anything of the run in the temporary folder.
temp=$(wine_temp_dir)
rm -rf "${temp:?}"/*
while IFS='|' read -r what exe args script expected; do
  [[ $script != lock-fonts* ]] || { lock_fonts; script=${script#lock-fonts\\n}; }
  printf 'start %s %s\n%b\n' "$WIN_DIR\\$exe" "$args" "$script" | drive >/dev/null
  unlock_fonts
  check "exit code: $what" "$(code)" "$expected"
  check "nothing left in the temporary folder: $what" "$(ls -A "$temp")" ""
  forget
done <<'EOF'
Cancel|fonts.exe||wait-window "Deploy - Velloway" 30000\nclick cmdCancel\nwait-exit 10000|1602
the close box before the install|fonts.exe||wait-window "Deploy - Velloway" 30000\nclose\nwait-exit 10000|1602
Finish|fonts.exe||wait-window "Deploy - Velloway" 30000\nclick cmdNext\nwait-text cmdNext "&Finish" 60000\nclick cmdNext\nwait-exit 10000|0
a failed install closed with Close|fonts.exe||lock-fonts\nwait-window "Deploy - Velloway" 30000\nclick cmdNext\nwait-text cmdNext "&Close" 60000\nclick cmdNext\nwait-exit 10000|1603
a good "/I"|fonts.exe|/I|wait-exit 60000|0
a failed "/I", after its box|fonts.exe|/I|lock-fonts\nauto Error ok\nwait-exit 60000|1603
"/E"|fonts.exe|/E|wait-exit 60000|0
"/?"|fonts.exe|/?|wait-window "Sorvela Install" 30000\npress ok\nwait-exit 10000|0
no package, after its box|bare.exe||wait-window "Sorvela Error" 30000\npress ok\nwait-exit 10000|1620
no package, quiet|bare.exe|/Q|watch-exit 30000|1620
EOF
check "a quiet run without a package shows nothing" "$(grep -c '^seen' "$T/drive.out")" 0

# "/Q" over an installed font: no window, no question, the font replaced.
{ cat "$src/DeploySans.ttf"; printf '\0'; } >"$fonts/DeploySans.ttf"
wine reg add "$fonts_key" /v "Deploy Sans (TrueType)" /d DeploySans.ttf /f >/dev/null 2>&1
out=$(drive <<EOF
start $WIN_DIR\\fonts.exe /Q
watch-exit 60000
EOF
)
check "\"/Q\" over an installed font: nothing on the screen, exit 0" "$out" \
'start "/Q"
exit'
check "\"/Q\" exit code" "$(code)" 0
check_true "\"/Q\" replaced the installed font" cmp "$src/DeploySans.ttf" "$fonts/DeploySans.ttf"
check "\"/Q\" registered both" "$(values "$fonts_key")" \
  'Deploy Sans (TrueType) = DeploySans.ttf
Deploy Serif (TrueType) = DeploySerif.ttf'

# "/Q" into a Fonts folder that can't be written: still nothing on the screen.
lock_fonts
out=$(drive <<EOF
start $WIN_DIR\\fonts.exe /Q
watch-exit 60000
EOF
)
unlock_fonts
check "\"/Q\" that fails: nothing on the screen" "$out" \
'start "/Q"
exit'
check "\"/Q\" that fails: exit 1603" "$(code)" 1603
forget

# For the current user, on a system that reports Windows 7: refused, nothing written.
wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null 2>&1
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe "/CURRENTUSER /Q"
watch-exit 60000
EOF
check "\"/CURRENTUSER /Q\" on Windows 7: exit 1603" "$(code)" 1603
check "\"/CURRENTUSER /Q\" on Windows 7: no window" "$(grep -c '^seen' "$T/drive.out")" 0
check "\"/CURRENTUSER /Q\" on Windows 7: no value anywhere" \
  "$(values "$user_key")$(values "$fonts_key")" ""

# On Windows 10: the user's own folder and key, the value holding the full path.
wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
local_app=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null </dev/null | tr -d '\r')
user_fonts=$(unix_path "$local_app\\Microsoft\\Windows\\Fonts")
rm -rf "$user_fonts"
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe "/currentuser /Q"
watch-exit 60000
EOF
check "\"/CURRENTUSER /Q\" on Windows 10: exit 0" "$(code)" 0
check "\"/CURRENTUSER /Q\" on Windows 10: values under the user's key, with full paths" \
  "$(values "$user_key")" \
  "Deploy Sans (TrueType) = $local_app\\Microsoft\\Windows\\Fonts\\DeploySans.ttf
Deploy Serif (TrueType) = $local_app\\Microsoft\\Windows\\Fonts\\DeploySerif.ttf"
for font in DeploySans DeploySerif; do
  check_true "$font.ttf in the user's own Fonts folder" cmp "$src/$font.ttf" "$user_fonts/$font.ttf"
done
check_true "nothing in the system's Fonts folder" test ! -e "$fonts/DeploySans.ttf"
check "nothing under the machine's key" "$(values "$fonts_key")" ""

# A folder standing where the font resource file goes beside the program.
mkdir -p "$C/~TEMP.FOT"
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe /I
watch-exit 60000
EOF
check "a folder at ~TEMP.FOT beside the package: \"/I\" succeeds" "$(code)" 0
check "and registers both fonts" "$(values "$fonts_key")" \
  'Deploy Sans (TrueType) = DeploySans.ttf
Deploy Serif (TrueType) = DeploySerif.ttf'
