#!/usr/bin/env bash
# The wizard: page sequences by readme and licence, the blank readme, and the
# ways out before the install (Cancel, the close button) with what they do to
# the extracted files; the publisher label.
source "$(dirname "$0")/lib.sh"
e2e_begin

src=$T/src
mkdir -p "$src"
printf 'Readme line\r\nsecond line\r\n' >"$src/readme.txt"
printf 'Licence terms\r\n' >"$src/license.txt"
printf '\r\n' >"$src/blank.txt"
pages="picReady picReadme picLicense picInstall"

# walk TITLE PACK-OPTIONS...: shows each page until the install has run and
# "&Finish" ends the program. No fonts, so the install run has nothing to do.
walk() {
  local title=$1
  shift
  pack "$title.exe" --title "$title" "$@"
  drive <<EOF
start $WIN_DIR\\$title.exe
wait-window "$title - Velloway" 30000
which-visible $pages
text txtReadme
text txtLicense
click cmdNext
which-visible $pages
click cmdNext
which-visible $pages
wait-text cmdNext "&Finish" 30000
enabled cmdCancel
click cmdNext
wait-exit 10000
EOF
}

out=$(walk Both --readme "$src/readme.txt" --license "$src/license.txt")
check "readme and licence: Readme, Licence, Install" "$out" \
'start ""
window "Both - Velloway"
which-visible picReadme
text txtReadme "Readme line\r\nsecond line\r\n"
text txtLicense "Licence terms\r\n"
click cmdNext
which-visible picLicense
click cmdNext
which-visible picInstall
text cmdNext "&Finish"
enabled cmdCancel 0
click cmdNext
exit'

# With one page fewer, the second Next already meets the Install page's
# disabled or "&Finish" button: only the first Next moves.
walk_short() {
  local title=$1
  shift
  pack "$title.exe" --title "$title" "$@"
  drive <<EOF
start $WIN_DIR\\$title.exe
wait-window "$title - Velloway" 30000
which-visible $pages
text lblReady
click cmdNext
which-visible $pages
wait-text cmdNext "&Finish" 30000
which-visible $pages
click cmdNext
wait-exit 10000
EOF
}

for case in "Readme|--readme|$src/readme.txt|picReadme" \
  "Licence|--license|$src/license.txt|picLicense" "Blank|--readme|$src/blank.txt|picReadme"; do
  IFS='|' read -r title option file first <<<"$case"
  out=$(walk_short "$title" "$option" "$file")
  check "$title only: $first, then Install" "$out" \
"start \"\"
window \"$title - Velloway\"
which-visible $first
text lblReady \"Ready to Install $title\"
click cmdNext
which-visible picInstall
text cmdNext \"&Finish\"
which-visible picInstall
click cmdNext
exit"
done

out=$(walk_short Plain)
check "neither text: Ready, then Install" "$out" \
'start ""
window "Plain - Velloway"
which-visible picReady
text lblReady "Ready to Install Plain"
click cmdNext
which-visible picInstall
text cmdNext "&Finish"
which-visible picInstall
click cmdNext
exit'

out=$(drive <<EOF
start $WIN_DIR\\Blank.exe
wait-window "Blank - Velloway" 30000
text txtReadme
click cmdCancel
wait-exit 10000
EOF
)
check "a readme of one empty line shows as that line" "$out" \
'start ""
window "Blank - Velloway"
text txtReadme "\r\n"
click cmdCancel
exit'

# The ways out before the install and after it: nothing of the run is left.
temp=$(wine_temp_dir)
left_nothing() { nothing_left "$temp"; }
rm -rf "${temp:?}"/*
out=$(drive <<EOF
start $WIN_DIR\\Both.exe
wait-window "Both - Velloway" 30000
click cmdCancel
wait-exit 10000
EOF
)
check "Cancel ends the program" "$out" \
'start ""
window "Both - Velloway"
click cmdCancel
exit'
check_true "after Cancel nothing is left in the temporary folder" left_nothing

out=$(drive <<EOF
start $WIN_DIR\\Both.exe
wait-window "Both - Velloway" 30000
click cmdNext
which-visible $pages
close
wait-exit 10000
EOF
)
check "the close button ends the program on any page" "$out" \
'start ""
window "Both - Velloway"
click cmdNext
which-visible picLicense
close "Both - Velloway"
exit'
check_true "after the close button nothing is left in the temporary folder" left_nothing

out=$(drive <<EOF
start $WIN_DIR\\Plain.exe
wait-window "Plain - Velloway" 30000
click cmdNext
wait-text cmdNext "&Finish" 30000
click cmdNext
wait-exit 10000
EOF
)
check "Finish ends the program" "$out" \
'start ""
window "Plain - Velloway"
click cmdNext
text cmdNext "&Finish"
click cmdNext
exit'
check_true "after Finish nothing is left in the temporary folder" left_nothing

# The publisher label: a real click hands an address to the shell, whose
# browser launcher here only writes it down; the wizard stays as it was.
cat >"$T/browser.sh" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$T/browser.log"
EOF
chmod +x "$T/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$T/browser.sh" /f >/dev/null 2>&1
state="which-visible $pages
text cmdNext
enabled cmdNext
enabled cmdCancel
text txtLicense"
out=$(drive <<EOF
start $WIN_DIR\\Both.exe
wait-window "Both - Velloway" 30000
click cmdNext
$state
text Label9
mouse Label9
windows
$state
EOF
)
check "clicking the label leaves the wizard as it was" "$out" \
'start ""
window "Both - Velloway"
click cmdNext
which-visible picLicense
text cmdNext "&Next"
enabled cmdNext 1
enabled cmdCancel 1
text txtLicense "Licence terms\r\n"
text Label9 "Click here to visit Marrowby for more great fonts!"
mouse Label9
windows "Both - Velloway"
which-visible picLicense
text cmdNext "&Next"
enabled cmdNext 1
enabled cmdCancel 1
text txtLicense "Licence terms\r\n"'
deadline=$((SECONDS + 30))
until [ -s "$T/browser.log" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
check_true "the label handed a web address to the shell ($(cat "$T/browser.log" 2>/dev/null))" \
  grep -qE '^https?://' "$T/browser.log"
