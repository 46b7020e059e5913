#!/usr/bin/env bash
# Start-up and the command line: a stub without a package, the extraction of
# a package into the temporary folder, the "/?" box and the silent switch.
source "$(dirname "$0")/lib.sh"
e2e_begin

cp "$STUB" "$C/bare.exe"
for args in "" "/?" "/I" "/E"; do
  out=$(drive <<EOF
start $WIN_DIR\\bare.exe "$args"
wait-window "Sorvela Error" 30000
box-text
windows
press ok
wait-gone "Sorvela Error" 10000
watch-exit 10000
EOF
)
  check "no package, command line \"$args\": only the error box, then the end" "$out" \
"start \"$args\"
window \"Sorvela Error\"
box-text \"This Sorvela contains no fonts.\"
windows \"Sorvela Error\"
press ok
gone \"Sorvela Error\"
exit"
done

# Extraction: every entry, byte for byte, including an empty one, one larger
# than any buffer, and a name with a space.
src=$T/src
mkdir -p "$src"
printf 'Line one\r\nLine two\r\n' >"$src/Read Me.txt"
head -c 300000 /dev/urandom >"$src/zz.bin"
: >"$src/empty.ttf"
cp "$font_sans" "$src/DejaVuSans.ttf"
pack extract.exe --title "Extraction" --readme "$src/Read Me.txt" \
  "$src/DejaVuSans.ttf" "$src/zz.bin" "$src/empty.ttf"
# Blanks that pad a name field are the packer's choice: left out here.
temp=$(wine_temp_dir)
rm -rf "${temp:?}"/*
out=$(drive <<EOF | sed -E 's/ +" /" /g; s/ +"$/"/'
start $WIN_DIR\\extract.exe
wait-window "Extraction - Velloway" 30000
items lstFiles
items lstFonts
EOF
)
check "the lists hold the entries and the fonts, the last one appended first" "$out" \
'start ""
window "Extraction - Velloway"
items lstFiles 5 "DejaVuSans.ttf" "zz.bin" "empty.ttf" "kestrel.dat" "Read Me.txt"
items lstFonts 2 "DejaVuSans.ttf" "empty.ttf"'
# Into a folder of the run's own, which no other program could have named.
folder=$(working_folders "$temp")
check "one working folder, randomly named" \
  "$(basename "$folder" | grep -cE '^sorvela-[0-9a-f]{16}$')" 1
for name in "DejaVuSans.ttf" "zz.bin" "empty.ttf" "Read Me.txt"; do
  check_true "\"$name\" extracted byte for byte into the working folder" cmp "$src/$name" "$folder/$name"
done
mkdir -p "$T/unpacked"
"$PACK" extract "$C/extract.exe" "$T/unpacked"
check_true "the extracted manifest is the packed one" \
  cmp "$T/unpacked/kestrel.dat" "$folder/kestrel.dat"
drive >/dev/null <<EOF
attach "Extraction - Velloway" 10000
click cmdCancel
wait-exit 10000
EOF
check_true "Cancel removed the working folder and all in it" nothing_left "$temp"

# "/?": the switches, in a box of their own, over the main window that
# start-up has shown.
out=$(drive <<EOF | grep -vx 'seen "Extraction - Velloway"'
start $WIN_DIR\\extract.exe "/?"
wait-window "Sorvela Install" 30000
box-text
press ok
wait-gone "Sorvela Install" 10000
watch-exit 10000
EOF
)
check "\"/?\" shows the switches and ends" "$out" \
'start "/?"
window "Sorvela Install"
box-text "Command line options:\r\n\r\n/E -- Extract files\r\n/I -- Silent install\r\n/Q -- Quiet install\r\n/U or /UNINSTALL -- Uninstall (with /Q: quietly)\r\n/CURRENTUSER -- For the current user alone"
press ok
gone "Sorvela Install"
exit'

# Lower case with blanks around it is still the silent install: it ends on
# its own with no box and no wizard page to answer. The progress window and
# the main window that start-up shows before the switch is read may flash.
make_font "$font_sans" Quillo "$src/QuilloSans.ttf"
pack silent.exe --title "Silent" "$src/QuilloSans.ttf"
out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Silent - Velloway"'
start $WIN_DIR\\silent.exe "  /i  "
watch-exit 60000
EOF
)
check "\"  /i  \" installs silently and ends" "$out" \
'start "  /i  "
exit'
check_true "\"  /i  \" left nothing in the temporary folder" nothing_left "$temp"
check_true "\"  /i  \" copied the font into the Fonts folder" \
  cmp "$src/QuilloSans.ttf" "$WINEPREFIX/drive_c/windows/Fonts/QuilloSans.ttf"
