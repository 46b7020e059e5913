#!/usr/bin/env bash
# Removal and deployment: an install writes its entry in the system's list of
# programs and a kept uninstaller; the entry's quiet uninstall command, run as
# written, removes the fonts, their values and links, the entry and the
# uninstaller; the same for one user; a font held open goes at the restart
# (3010); the package itself removes with "/uninstall /q".
source "$(dirname "$0")/lib.sh"
e2e_begin
# One server throughout: a new one would carry out the pending moves at once.
wineserver -p

src=$T/src
mkdir -p "$src"
make_font "$font_sans" Remova "$src/RemovaSans.ttf"
make_font "$font_serif" Remova "$src/RemovaSerif.ttf"
pack fonts.exe --title "Remova" --publisher "Remova Type" --version 2.1.0 \
  --url https://remova.example/ --url-title "Remova Fonts" "$src/RemovaSans.ttf" "$src/RemovaSerif.ttf"

fonts=$WINEPREFIX/drive_c/windows/Fonts
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
user_key='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvela.Remova Type Remova'
desktop=$WINEPREFIX/drive_c/users/root/Desktop
code() { sed -n 's/^exit //p' "$T/drive.out" | tr -d '\r' | tail -n1; }
values() {
  wine reg query "$1" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    (Remova.*)    REG_SZ    (.*)$/\1 = \2/p' | sort
}
# The entry's values under ROOT, as "NAME = DATA".
entry_values() {
  wine reg query "$1\\$entry" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    ([A-Za-z]+)    REG_[A-Z]+    (.*)$/\1 = \2/p' | sort
}
# Runs a command line as an entry gives it: a quoted program, then its switches.
run_as_written() {
  local line=$1 program args
  program=${line#\"}
  args=${program#*\" }
  program=${program%%\"*}
  # Backslashes are the driver's escape character inside quotes.
  drive >/dev/null <<EOF
start "${program//\\/\\\\}" "$args"
watch-exit 60000
EOF
}

drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe /Q
watch-exit 60000
EOF
check "\"/Q\" installs" "$(code)" 0
uninstaller='C:\Program Files\Sorvela\Sorvela.Remova Type Remova\uninstall.exe'
check "the entry in the list of programs" "$(entry_values HKLM | grep -v InstallDate)" \
"DisplayIcon = $uninstaller,0
DisplayName = Remova
DisplayVersion = 2.1.0
EstimatedSize = 0x$(printf '%x' $((($(stat -c %s "$src/RemovaSans.ttf") + $(stat -c %s "$src/RemovaSerif.ttf") + 1023) / 1024)))
NoModify = 0x1
NoRepair = 0x1
Publisher = Remova Type
QuietUninstallString = \"$uninstaller\" /U /Q
URLInfoAbout = https://remova.example/
UninstallString = \"$uninstaller\" /U"
check "installed today" "$(entry_values HKLM | sed -n 's/^InstallDate = //p')" "$(date +%Y%m%d)"
kept=$(unix_path "$uninstaller")
check_true "the kept uninstaller is a few KB beyond the stub" \
  test "$(stat -c %s "$kept")" -lt $(($(stat -c %s "$STUB") + 4096))
check_true "the web link is there" test -f "$desktop/Remova Fonts.url"

quiet=$(entry_values HKLM | sed -n 's/^QuietUninstallString = //p')
run_as_written "$quiet"
check "the quiet uninstall command as written: exit 0" "$(code)" 0
check "no value left" "$(values "$fonts_key")" ""
check "no font file left" "$(ls "$fonts" | grep -c '^Remova' || true)" 0
check_true "the web link is gone" test ! -e "$desktop/Remova Fonts.url"
check "the entry is gone" "$(entry_values HKLM)" ""
wineboot -r >/dev/null 2>&1
check_true "the kept uninstaller is gone after the restart" test ! -e "$(dirname "$kept")"

# For one user (Windows 10 1809 and later): the user's own key, folder and entry.
wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe "/CURRENTUSER /Q"
watch-exit 60000
EOF
check "\"/CURRENTUSER /Q\" installs" "$(code)" 0
check "for one user: two values" "$(values "$user_key" | wc -l)" 2
quiet=$(entry_values HKCU | sed -n 's/^QuietUninstallString = //p')
check_true "for one user: the entry runs an uninstaller of the user's own" \
  grep -q 'AppData.Local.Programs.Sorvela' <<<"$quiet"
run_as_written "$quiet"
check "for one user, the quiet uninstall command: exit 0" "$(code)" 0
check "for one user: no value left" "$(values "$user_key")" ""
check "for one user: the entry is gone" "$(entry_values HKCU)" ""

# A font file held as the system holds a loaded one: it goes at the restart.
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe /Q
watch-exit 60000
EOF
quiet=$(entry_values HKLM | sed -n 's/^QuietUninstallString = //p')
program=${quiet#\"}
program=${program%%\"*}
drive >/dev/null <<EOF
hold C:\\windows\\Fonts\\RemovaSans.ttf readable
start "${program//\\/\\\\}" "/U /Q"
watch-exit 60000
EOF
check "a held font: exit 3010" "$(code)" 3010
check "its value is gone now" "$(values "$fonts_key")" ""
check_true "its deletion waits for the restart" \
  grep -q 'RemovaSans.ttf' <<<"$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null)"
wineboot -r >/dev/null 2>&1
check_true "after the restart it is gone" test ! -e "$fonts/RemovaSans.ttf"

# The package itself, its kept uninstaller deleted, in lower case.
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe /Q
watch-exit 60000
EOF
rm -rf "$(dirname "$kept")"
drive >/dev/null <<EOF
start $WIN_DIR\\fonts.exe "/uninstall /q"
watch-exit 60000
EOF
check "\"/uninstall /q\" from the package: exit 0" "$(code)" 0
check "and no value left" "$(values "$fonts_key")" ""
check "and the entry is gone" "$(entry_values HKLM)" ""
check "nothing of it installed: exit 0 again" "$(run_as_written "\"C:\\e2e\\fonts.exe\" /U /Q"; code)" 0
