#!/usr/bin/env bash
# Hostile packages and odd machines: a device or a path where a name belongs,
# a line break in the web address, a title and readme too large to show,
# namesakes that differ in case, space padding, and a folder whose name the
# ANSI code page can't write.
source "$(dirname "$0")/lib.sh"
e2e_begin

src=$T/src
mkdir -p "$src"
fonts=$WINEPREFIX/drive_c/windows/Fonts
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
profile=$(unix_path "$(wine cmd /c echo %USERPROFILE% 2>/dev/null </dev/null | tr -d '\r')")

# manifest README TITLE URL URL_TITLE: a manifest with the fields quoted.
manifest() {
  printf '"KESTREL DATAFILE 1"\r\n"%s"\r\n"NOLICENSE"\r\n"%s"\r\n"%s"\r\n"%s"\r\n' "$@"
}

# raw_package OUT PAD NAME=FILE...: the stub with the entries appended in the
# order given, fields padded with PAD ("space" or "nul"): packages the tool
# refuses to write.
raw_package() {
  local out=$1 pad=$2 entry name file size count=0
  shift 2
  padding() { if [ "$pad" = space ]; then printf "%$1s" ''; else head -c "$1" /dev/zero; fi; }
  cp "$STUB" "$out"
  for entry in "$@"; do
    name=${entry%%=*} file=${entry#*=}
    size=$(stat -c %s "$file")
    { cat "$file"; printf '%s' "$name"; padding $((40 - $(printf '%s' "$name" | wc -c)))
      printf '%s' "$size"; padding $((10 - ${#size})); } >>"$out"
    count=$((count + 1))
  done
  { printf '%s' "$count"; padding $((5 - ${#count})); head -c 514 /dev/zero; } >>"$out"
}

# Values of the Fonts key whose data begins with NAME, as "data|".
values_for() {
  wine reg query "$fonts_key" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^    .*    REG_SZ    ($1.*)\$/\1|/p"
}

# Damaged packages end with the one message, whatever the system would do
# with the name: a device as an entry, a path outside the package as readme.
make_font "$font_mono" Devizo "$src/Devizo.ttf"
manifest NOREADME Devices "" "" >"$src/plain.dat"
# From the temporary folder, enough ".." to reach the drive's root.
manifest '..\..\..\..\..\..\windows\win.ini' Outside "" "" >"$src/outside.dat"
raw_package "$C/device.exe" nul kestrel.dat="$src/plain.dat" AUX.ttf="$src/Devizo.ttf"
raw_package "$C/outside.exe" nul kestrel.dat="$src/outside.dat" Devizo.ttf="$src/Devizo.ttf"
for package in device outside; do
  out=$(drive <<EOF
start $WIN_DIR\\$package.exe
wait-window "Sorvela Error" 30000
box-text
press ok
wait-gone "Sorvela Error" 10000
watch-exit 10000
EOF
)
  check "$package: the package counts as damaged" "$out" \
'start ""
window "Sorvela Error"
box-text "This Sorvela contains no fonts."
press ok
gone "Sorvela Error"
exit'
done

# A title of 1 MB and a readme of 8 MB: the wizard opens on the Readme page,
# with the title cut to 255 characters.
title=$(head -c 1048576 /dev/zero | tr '\0' T)
manifest readme.txt "$title" "" "" >"$src/large.dat"
head -c 8388608 < <(yes 'A readme line that the edit control shows.') >"$src/readme.txt"
raw_package "$C/large.exe" nul readme.txt="$src/readme.txt" kestrel.dat="$src/large.dat"
short=${title:0:255}
out=$(drive <<EOF
start $WIN_DIR\\large.exe
wait-window "$short - Velloway" 30000
which-visible picReadme picReady
text lblReady
click cmdCancel
wait-exit 10000
EOF
)
check "a 1 MB title and an 8 MB readme open the wizard" "$out" \
"start \"\"
window \"$short - Velloway\"
which-visible picReadme
text lblReady \"Ready to Install $short\"
click cmdCancel
exit"

# A line break in the web address would add lines of its own to the link,
# such as an icon fetched from a remote share: no link is written at all.
manifest NOREADME Links $'http://fonts.example/\r\nIconFile=\\\\evil.example\\share\\i.ico' \
  "Evil Link" >"$src/links.dat"
raw_package "$C/links.exe" nul kestrel.dat="$src/links.dat"
out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Links - Velloway"'
start $WIN_DIR\\links.exe /I
watch-exit 60000
EOF
)
check "a line break in the address: the install ends quietly" "$out" \
'start "/I"
exit'
check_true "no web link on the Desktop or in Favorites" \
  test ! -e "$profile/Desktop/Evil Link.url" -a ! -e "$profile/Favorites/Evil Link.url"

# "Lettra.ttf" and "lettra.TTF" are one file to the system: the entry read
# later is installed and registered, once.
mkdir -p "$src/upper" "$src/lower"
make_font "$font_sans" Lettra "$src/upper/Lettra.ttf"
make_font "$font_serif" Lettrb "$src/lower/lettra.TTF"
pack case.exe --title "Case" "$src/upper/Lettra.ttf" "$src/lower/lettra.TTF"
out=$(drive <<EOF
start $WIN_DIR\\case.exe
wait-window "Case - Velloway" 30000
items lstFonts
click cmdNext
wait-text lblInstall "Your font was sucessfully installed and is ready to use!" 60000
click cmdNext
wait-exit 10000
EOF
)
check "namesakes in case: one font listed, the install succeeds" "$out" \
'start ""
window "Case - Velloway"
items lstFonts 1 "lettra.TTF"
click cmdNext
text lblInstall "Your font was sucessfully installed and is ready to use!"
click cmdNext
exit'
check_true "the font of the entry read later is in the Fonts folder" \
  cmp "$src/lower/lettra.TTF" "$(ls -d "$fonts"/[Ll]ettra.[Tt][Tt][Ff])"
check "one Fonts value names the file" "$(values_for '[Ll]ettra')" "lettra.TTF|"

# From a folder whose name the ANSI code page can't write, a package padded
# with spaces installs silently; the Fonts value names the file unpadded.
folder=$WINEPREFIX/drive_c/下载
mkdir -p "$folder"
make_font "$font_sans" Xiazai "$src/Xiazai.ttf"
manifest NOREADME Xiazai "" "" >"$src/xiazai.dat"
raw_package "$folder/xiazai.exe" space kestrel.dat="$src/xiazai.dat" Xiazai.ttf="$src/Xiazai.ttf"
out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Xiazai - Velloway"'
start C:\\下载\\xiazai.exe /I
watch-exit 60000
EOF
)
check "from C:\\下载 the package installs silently" "$out" \
'start "/I"
exit'
check_true "Xiazai.ttf copied into the Fonts folder" cmp "$src/Xiazai.ttf" "$fonts/Xiazai.ttf"
check "its Fonts value names the file without padding" "$(values_for Xiazai)" "Xiazai.ttf|"
check_true "no font resource file left beside the program" test ! -e "$folder/~TEMP.FOT"

# The tool refuses what the stub counts as damaged.
cp "$src/Devizo.ttf" "$src/com1.ttf"
check_true "sorvela-pack refuses a device name" \
  bash -c "! '$PACK' create --stub '$STUB' --out '$T/refused.exe' '$src/com1.ttf' 2>/dev/null"
check_true "and leaves no package behind" test ! -e "$T/refused.exe"
