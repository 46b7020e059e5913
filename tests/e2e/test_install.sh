#!/usr/bin/env bash
# The install run end to end: fonts in the Fonts folder, their registry
# values, the web links, in the wizard and silently ("/I"), the overwrite
# question, a copy that fails, and extract-only mode ("/E").
source "$(dirname "$0")/lib.sh"
e2e_begin

src=$T/src
mkdir -p "$src"
# Fonts whose faces the system does not know yet.
make_font "$font_sans" Quillo "$src/QuilloSans.ttf"
make_font "$font_serif" Quillo "$src/QuilloSerif.ttf"
printf 'Two fonts for the tests.\r\n' >"$src/readme.txt"
url="https://fonts.example.org/quillo?x=1"

fonts=$WINEPREFIX/drive_c/windows/Fonts
profile=$(unix_path "$(wine cmd /c echo %USERPROFILE% 2>/dev/null </dev/null | tr -d '\r')")
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'

# registered FILE: the name of each Fonts value that holds FILE.
registered() {
  wine reg query "$fonts_key" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^    (.*)    REG_SZ    $1 *\$/\1/p"
}
unregister() {
  local name
  registered "$1" | while IFS= read -r name; do
    wine reg delete "$fonts_key" /v "$name" /f >/dev/null 2>&1 || true
  done
}
# The full names the install reads from the fonts' own tables.
face_sans="Quillo Sans" face_serif="Quillo Serif"
both_registered="$face_sans (TrueType); $face_serif (TrueType)"
url_file() { printf '[InternetShortcut]\r\nURL=%s\r\n' "$url"; }

# Wizard: Readme, then Next runs the install on the Install page.
pack wizard.exe --title "Quillo" --readme "$src/readme.txt" --url "$url" \
  --url-title "Quillo Fonts" "$src/QuilloSans.ttf" "$src/QuilloSerif.ttf"
out=$(drive <<EOF
start $WIN_DIR\\wizard.exe
wait-window "Quillo - Velloway" 30000
which-visible picReadme picInstall
click cmdNext
wait-text lblInstall "Your font was sucessfully installed and is ready to use!" 60000
which-visible picReadme picInstall
text cmdNext
enabled cmdNext
enabled cmdCancel
windows
paint
pixels imgCopy
pixels imgRegister
pixels imgLinks
click cmdNext
wait-exit 10000
EOF
)
check "wizard install: the Install page reports success, Finish ends" \
  "$(grep -v '^pixels ' <<<"$out")" \
'start ""
window "Quillo - Velloway"
which-visible picReadme
click cmdNext
text lblInstall "Your font was sucessfully installed and is ready to use!"
which-visible picInstall
text cmdNext "&Finish"
enabled cmdNext 1
enabled cmdCancel 0
windows "Quillo - Velloway"
paint
click cmdNext
exit'
# A step image is marked by the picture it shows: after success all three
# show one, the same where nothing overlaps them (the label above imgCopy
# covers its top rows).
passed=$(sed -n 's/^pixels imgCopy //p' <<<"$out")
check "the register and web-link steps show the same picture" \
  "$(sed -n 's/^pixels imgRegister //p' <<<"$out")" "$(sed -n 's/^pixels imgLinks //p' <<<"$out")"
check_true "no step image is blank" \
  test "$(grep -c '^pixels img[A-Za-z]* [0-9A-F]* [1-9]' <<<"$out")" -eq 3
for font in QuilloSans QuilloSerif; do
  check_true "$font.ttf copied into the Fonts folder" cmp "$src/$font.ttf" "$fonts/$font.ttf"
done
check "one registry value for each file, named after its full name" \
  "$(registered QuilloSans.ttf); $(registered QuilloSerif.ttf)" "$both_registered"
check "web link on the Desktop" "$(hex "$profile/Desktop/Quillo Fonts.url")" \
  "$(url_file | od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')"
check "web link in Favorites" "$(hex "$profile/Favorites/Quillo Fonts.url")" \
  "$(hex "$profile/Desktop/Quillo Fonts.url")"
check_true "no font resource file left beside the program" test ! -e "$C/~TEMP.FOT"

# Silent, with nothing installed yet: no box, no page, the program ends.
unregister QuilloSans.ttf
unregister QuilloSerif.ttf
rm -f "$fonts/QuilloSans.ttf" "$fonts/QuilloSerif.ttf" "$profile"/*/"Quillo Fonts.url"
out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Quillo - Velloway"'
start $WIN_DIR\\wizard.exe /I
watch-exit 60000
EOF
)
check "\"/I\" with nothing installed: no box, the program ends" "$out" \
'start "/I"
exit'
for font in QuilloSans QuilloSerif; do
  check_true "\"/I\" copied $font.ttf" cmp "$src/$font.ttf" "$fonts/$font.ttf"
done
check "\"/I\" registered both fonts" \
  "$(registered QuilloSans.ttf); $(registered QuilloSerif.ttf)" "$both_registered"
check_true "\"/I\" wrote the web links" \
  test -f "$profile/Desktop/Quillo Fonts.url" -a -f "$profile/Favorites/Quillo Fonts.url"

# Silent, with one font installed (its file and its value): the question
# comes for that one only. The installed
# copy differs from the packed one by a byte after its end, which leaves it a
# usable font, so that we can see whether it was replaced.
{ cat "$src/QuilloSans.ttf"; printf '\0'; } >"$T/installed.ttf"
for answer in no yes; do
  unregister QuilloSans.ttf
  unregister QuilloSerif.ttf
  rm -f "$fonts/QuilloSerif.ttf"
  wine reg add "$fonts_key" /v "$face_sans (TrueType)" /d QuilloSans.ttf /f >/dev/null 2>&1
  cp "$T/installed.ttf" "$fonts/QuilloSans.ttf"
  out=$(drive <<EOF
start $WIN_DIR\\wizard.exe /I
wait-window "Overwrite" 60000
box-text
press $answer
wait-gone "Overwrite" 10000
wait-exit 60000
EOF
)
  check "\"/I\" over an installed font asks once; answered $answer" "$out" \
"start \"/I\"
window \"Overwrite\"
box-text \"$face_sans\\r\\nThis font is already installed.\\r\\nDo you want to overwrite it?\"
press $answer
gone \"Overwrite\"
exit"
  check_true "the font not yet installed is copied (answer $answer)" \
    cmp "$src/QuilloSerif.ttf" "$fonts/QuilloSerif.ttf"
  if [ $answer = no ]; then
    check_true "answered no, the installed font stays as it was" \
      cmp "$T/installed.ttf" "$fonts/QuilloSans.ttf"
  else
    check_true "answered yes, the installed font is replaced" \
      cmp "$src/QuilloSans.ttf" "$fonts/QuilloSans.ttf"
  fi
  check "the installed font keeps its one registry value" "$(registered QuilloSans.ttf)" \
    "$face_sans (TrueType)"
done

# A copy that fails: the Fonts folder is locked. The run must not report success.
unregister QuilloSans.ttf
unregister QuilloSerif.ttf
rm -f "$fonts/QuilloSans.ttf" "$fonts/QuilloSerif.ttf"
lock_fonts
out=$(drive <<EOF | sed -E 's/^(text lblInstall "There was an error installing the fonts\.).*/\1 .../'
start $WIN_DIR\\wizard.exe
wait-window "Quillo - Velloway" 30000
click cmdNext
wait-text cmdNext "&Close" 60000
text lblInstall
enabled cmdCancel
paint
pixels imgCopy
pixels imgRegister
pixels imgLinks
click cmdNext
wait-exit 10000
EOF
)
pixels=$(grep '^pixels ' <<<"$out")
out=$(grep -v '^pixels ' <<<"$out")
check "wizard: a copy that fails ends in the failure text and \"&Close\"" "$out" \
'start ""
window "Quillo - Velloway"
click cmdNext
text cmdNext "&Close"
text lblInstall "There was an error installing the fonts. ...
enabled cmdCancel 0
paint
click cmdNext
exit'
# The copy step shows the failed picture; the later steps stay blank.
failed=$(sed -n 's/^pixels imgCopy //p' <<<"$pixels")
check_true "the copy step shows a picture ($failed), not the passed one ($passed)" \
  test "${failed#* }" -gt 0 -a "$failed" != "$passed"
check "the later step images stay blank" \
  "$(sed -n 's/^pixels \(imgRegister\|imgLinks\) [0-9A-F]* /\1 /p' <<<"$pixels")" \
  "imgRegister 0
imgLinks 0"
out=$(drive <<EOF | sed -E 's/^(box-text "There was an error installing the fonts: ).*/\1.../'
start $WIN_DIR\\wizard.exe /I
wait-window "Error" 60000
box-text
press ok
wait-exit 10000
EOF
)
check "silent: a copy that fails shows one \"Error\" box" "$out" \
'start "/I"
window "Error"
box-text "There was an error installing the fonts: ...
press ok
exit'
unlock_fonts

# Extract-only: every entry but those whose names end in "DAT", whatever the
# case, beside the program; nothing installed, nothing shown.
printf 'notes' >"$src/notes.Dat"
printf 'more' >"$src/XDAT"
printf 'kept' >"$src/data.txt"
mkdir -p "$C/extract"
"$PACK" create --stub "$STUB" --out "$C/extract/fonts.exe" --title "Extract" \
  --readme "$src/readme.txt" "$src/QuilloSans.ttf" "$src/notes.Dat" "$src/XDAT" "$src/data.txt"
rm -f "$fonts/QuilloSans.ttf"
out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Extract - Velloway"'
start $WIN_DIR\\extract\\fonts.exe /E
watch-exit 60000
EOF
)
check "\"/E\" shows no box and ends" "$out" \
'start "/E"
exit'
check "\"/E\" leaves every entry but the DAT ones beside the program" \
  "$(cd "$C/extract" && ls | sort | tr '\n' ' ')" "QuilloSans.ttf data.txt fonts.exe readme.txt "
for name in QuilloSans.ttf data.txt readme.txt; do
  check_true "\"/E\" copied $name byte for byte" cmp "$src/$name" "$C/extract/$name"
done
check_true "\"/E\" installed nothing" test ! -e "$fonts/QuilloSans.ttf"
