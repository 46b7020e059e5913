#!/usr/bin/env bash
# The wizard by keyboard alone, with real key events: the focus on Next on
# every page, the tab order, Enter and Esc, the buttons' mnemonics, and the
# readme scrolled by keys. Cancel, Finish and Close keep the extracted files;
# only the close command (Alt+F4) deletes them, which tells the ways out apart.
source "$(dirname "$0")/lib.sh"
e2e_begin

for i in $(seq 1 80); do printf 'Readme line %s\r\n' "$i"; done >"$T/readme.txt"
printf 'Licence terms\r\n' >"$T/license.txt"
pack keys.exe --title "Keys" --readme "$T/readme.txt" --license "$T/license.txt"
pack plain.exe --title "Plain"
# Renamed: Wine registers the machine's own DejaVu under its names.
make_font "$font_sans" Keybrd "$T/KeybrdSans.ttf"
pack fail.exe --title "Fail" "$T/KeybrdSans.ttf"
temp=$(wine_temp_dir)
rm -rf "${temp:?}"/*
left_nothing() { nothing_left "$temp"; }

out=$(drive <<EOF
start $WIN_DIR\\keys.exe
wait-window "Keys - Velloway" 30000
wait-focus cmdNext 5000
key tab
wait-focus cmdCancel 5000
key tab
wait-focus txtReadme 5000
key tab
wait-focus cmdNext 5000
key shift+tab
wait-focus txtReadme 5000
key pgdn
wait-scroll txtReadme down 5000
key ctrl+home
wait-scroll txtReadme top 5000
key enter
wait-visible picLicense 5000
wait-focus cmdNext 5000
key alt+n
wait-visible picInstall 5000
wait-text cmdNext "&Finish" 30000
wait-focus cmdNext 5000
key esc
key alt+f4
wait-exit 10000
EOF
)
check "Tab order, scrolling, Enter from the text, Alt+N; Esc does nothing once Cancel is off" \
  "$out" \
'start ""
window "Keys - Velloway"
focus cmdNext
key tab
focus cmdCancel
key tab
focus txtReadme
key tab
focus cmdNext
key shift+tab
focus txtReadme
key pgdn
scroll txtReadme down
key ctrl+home
scroll txtReadme top
key enter
visible picLicense
focus cmdNext
key alt+n
visible picInstall
text cmdNext "&Finish"
focus cmdNext
key esc
key alt+f4
exit'
check_true "Alt+F4 closed the window, leaving nothing in the temporary folder" left_nothing

# Each way out by its key: the program ends, leaving nothing behind.
for keys in "esc" "alt+c" "tab enter"; do
  script="start $WIN_DIR\\keys.exe
wait-window \"Keys - Velloway\" 30000
wait-focus cmdNext 5000"
  for key in $keys; do script+=$'\n'"key $key"; done
  out=$(drive <<<"$script"$'\nwait-exit 10000' | grep -v -e '^key ' -e '^focus ')
  check "\"$keys\" on the Readme page presses Cancel" "$out" \
'start ""
window "Keys - Velloway"
exit'
  check_true "after \"$keys\" nothing is left in the temporary folder" left_nothing
done

out=$(drive <<EOF
start $WIN_DIR\\plain.exe
wait-window "Plain - Velloway" 30000
wait-focus cmdNext 5000
key n
wait-text cmdNext "&Finish" 30000
key alt+f
wait-exit 10000
EOF
)
check "N on the Ready page starts the install, Alt+F finishes" "$out" \
'start ""
window "Plain - Velloway"
focus cmdNext
key n
text cmdNext "&Finish"
key alt+f
exit'
check_true "after Finish nothing is left in the temporary folder" left_nothing

# A failed install: the Fonts folder locked.
lock_fonts
out=$(drive <<EOF
start $WIN_DIR\\fail.exe
wait-window "Fail - Velloway" 30000
wait-focus cmdNext 5000
key enter
wait-text cmdNext "&Close" 30000
wait-focus cmdNext 5000
key alt+c
wait-exit 10000
EOF
)
unlock_fonts
check "Enter on the Ready page, Alt+C closes after a failure" "$out" \
'start ""
window "Fail - Velloway"
focus cmdNext
key enter
text cmdNext "&Close"
focus cmdNext
key alt+c
exit'
check_true "after Close nothing is left in the temporary folder" left_nothing
