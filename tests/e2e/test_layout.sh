#!/usr/bin/env bash
# The live wizard window against its layout in twips, converted at 96 and at
# 144 dots per inch: client size, centring, every control's place in its
# container, the texts the user reads and which controls show; and every
# text on every page measured with its own font against the box that shows it.
source "$(dirname "$0")/lib.sh"
e2e_begin

pack layout.exe --title "Layout"
# A title of 40 characters, the longest the wizard is laid out for, and a
# failure text: the longest texts the pages show.
title="Quillo Sans, Serif and Mono in 21 Styles"
printf 'A readme\r\n' >"$T/readme.txt"
printf 'A licence\r\n' >"$T/license.txt"
pack long.exe --title "$title" --readme "$T/readme.txt" --license "$T/license.txt"
# Renamed: Wine registers the machine's own DejaVu under its names.
make_font "$font_sans" Layout "$T/LayoutSans.ttf"
pack ready.exe --title "$title" "$T/LayoutSans.ttf"
# The longest failure text: a file named like a font that is none, its name
# as long as an entry's may be. It needs the row of a step never reached.
printf 'wOFF' >"$T/QuilloSans-CondensedExtraBoldItalic.ttf"
pack notafont.exe --title "Not a font" "$T/QuilloSans-CondensedExtraBoldItalic.ttf"
# The progress window shows while the package is read: many entries keep it up.
mkdir -p "$T/many"
for i in $(seq 1 1000); do printf '%s\r\n' "$i" >"$T/many/entry$i.txt"; done
pack many.exe --title "Many" "$T/many"/entry*.txt

# Labels marked "grows" may be wider than designed, so that a long title or a
# wider font is not cut off; only their least width is checked. Label9 and
# lblInstall are larger than first designed, to hold their texts.
controls="imgSide 0 0 1980 3750
Image2 1980 0 4635 570
picReady 1980 570 4635 3180
picReadme 1980 600 4635 3180
picLicense 1980 570 4635 3180
picInstall 1980 570 4635 3180
Label9 120 3840 2400 495
cmdNext 4080 3975 1095 345
cmdCancel 5355 3975 1095 345
lblReady 120 120 1950 330 grows
Label5 120 480 4395 930
txtReadme 120 120 4410 2970
txtLicense 120 120 4410 2970
Label3 120 105 1110 330 grows
Label6 120 480 3645 285
imgCopy 1080 720 480 480
Label7 1680 840 1740 210 grows
imgRegister 1080 1320 480 480
Label8 1680 1440 930 210 grows
imgLinks 1080 1920 480 480
Label10 1680 2040 1215 210 grows
lblInstall 120 2520 4395 660
imgPass 240 960 480 480
imgFail 240 1560 480 480
lstFiles 360 1440 1155 645
lstFonts 360 2160 1125 645"

for want in 96 144; do
  set_dpi $want
  dpi=$(drive <<<"dpi" | sed -n 's/^dpi //p')
  check "the prefix runs at $want dots per inch" "$dpi" "$want"
  px() { echo $((($1 * dpi + 720) / 1440)); }  # rounded to nearest
  # rect NAME LEFT TOP WIDTH HEIGHT (twips): the line the driver should print.
  # Both edges are converted, so that boxes meeting in twips meet in pixels.
  rect() {
    local left top
    left=$(px "$2")
    top=$(px "$3")
    echo "rect $1 $left $top $(($(px $(($2 + $4))) - left)) $(($(px $(($3 + $5))) - top))"
  }

  script="start $WIN_DIR\\layout.exe
wait-window \"Layout - Velloway\" 30000
client
window-rect
screen"
  expected="start \"\"
window \"Layout - Velloway\"
client $(px 6615) $(px 4455)"
  growing=" "
  while read -r name left top width height grows; do
    script+=$'\n'"rect $name"
    line=$(rect "$name" "$left" "$top" "$width" "$height")
    if [ -n "$grows" ]; then
      growing+="$name "
      read -r _ _ l t w h <<<"$line"
      line="rect $name $l $t >=$w $h"
    fi
    expected+=$'\n'"$line"
  done <<<"$controls"
  out=$(drive <<<"$script")
  # A growing label's width becomes ">=designed" when it is at least that.
  actual=$(grep -v -e '^window-rect ' -e '^screen ' <<<"$out" | while read -r word name l t w h; do
    if [ "$word" = rect ] && [[ $growing == *" $name "* ]]; then
      least=$(sed -n "s/^rect $name [0-9]* [0-9]* >=\([0-9]*\) .*/\1/p" <<<"$expected")
      [ "$w" -lt "$least" ] || w=">=$least"
    fi
    echo "$word${name:+ $name}${l:+ $l}${t:+ $t}${w:+ $w}${h:+ $h}"
  done)
  check "client area and controls in place at $dpi dots per inch" "$actual" "$expected"

  # Centred on the screen, to a pixel either way.
  read -r _ left top width height < <(grep '^window-rect ' <<<"$out")
  read -r _ screen_width screen_height < <(grep '^screen ' <<<"$out")
  centred() {
    local dx=$((2 * left + width - screen_width)) dy=$((2 * top + height - screen_height))
    [ ${dx#-} -le 2 ] && [ ${dy#-} -le 2 ]
  }
  check_true "the window is centred (${width}x${height} at $left,$top on ${screen_width}x${screen_height})" centred

  out=$(drive <<EOF
attach "Layout - Velloway" 10000
which-visible imgSide Image2 picReady picReadme picLicense picInstall Label9 cmdNext cmdCancel lstFiles lstFonts imgPass imgFail
text lblReady
text Label5
text Label3
text Label6
text Label7
text Label8
text Label10
text lblInstall
text cmdNext
text cmdCancel
click cmdCancel
wait-exit 10000
EOF
)
  check "what shows and what it says on the Ready page at $dpi dots per inch" "$out" \
'attach "Layout - Velloway"
which-visible imgSide Image2 picReady Label9 cmdNext cmdCancel
text lblReady "Ready to Install Layout"
text Label5 "Your font is ready to be installed. Click Next to begin."
text Label3 "Installing"
text Label6 "Please wait while your font is installed."
text Label7 "Copy font to Font Folder"
text Label8 "Register font"
text Label10 "Create Web links"
text lblInstall ""
text cmdNext "&Next"
text cmdCancel "&Cancel"
click cmdCancel
exit'

  # Every page with its longest texts: none may be cut off. The copy of the
  # font fails with the Fonts folder locked.
  out=$(drive <<EOF
start $WIN_DIR\\long.exe
wait-window "$title - Velloway" 30000
texts-fit
click cmdNext
texts-fit
click cmdNext
wait-text cmdNext "&Finish" 30000
texts-fit
click cmdNext
wait-exit 10000
EOF
)
  lock_fonts
  out+=$'\n'$(drive <<EOF
start $WIN_DIR\\ready.exe
wait-window "$title - Velloway" 30000
texts-fit
click cmdNext
wait-text cmdNext "&Close" 30000
texts-fit
click cmdNext
wait-exit 10000
EOF
)
  unlock_fonts
  out+=$'\n'$(drive <<EOF
start $WIN_DIR\\notafont.exe
wait-window "Not a font - Velloway" 30000
click cmdNext
wait-text cmdNext "&Close" 30000
texts-fit
which-visible imgCopy Label7 imgRegister Label8 imgLinks Label10 lblInstall
click cmdNext
wait-exit 10000
EOF
)
  check "no text cut off on any page at $dpi dots per inch" "$out" \
"start \"\"
window \"$title - Velloway\"
texts-fit 3 measured
click cmdNext
texts-fit 3 measured
click cmdNext
text cmdNext \"&Finish\"
texts-fit 9 measured
click cmdNext
exit
start \"\"
window \"$title - Velloway\"
texts-fit 5 measured
click cmdNext
text cmdNext \"&Close\"
texts-fit 9 measured
click cmdNext
exit
start \"\"
window \"Not a font - Velloway\"
click cmdNext
text cmdNext \"&Close\"
texts-fit 8 measured
which-visible imgCopy Label7 imgRegister Label8 lblInstall
click cmdNext
exit"

  # The progress window, its text above the bar; its thread held still
  # while its size is read.
  out=$(drive <<EOF
start $WIN_DIR\\many.exe
wait-window "Extracting" 30000
texts-fit
suspend
client
caption Label1
visible prgExtracting
resume
wait-window "Many - Velloway" 30000
click cmdCancel
wait-exit 10000
EOF
)
  check "the progress window at $dpi dots per inch" "$out" \
"start \"\"
window \"Extracting\"
texts-fit 1 measured
suspend
client $(px 3000) $(px 810)
caption Label1 \"Extracting fonts...\"
visible prgExtracting 1
resume
window \"Many - Velloway\"
click cmdCancel
exit"
done
