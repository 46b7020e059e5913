#!/usr/bin/env bash
# The demo: packs free fonts with a readme and a web link into a package,
# installs it silently ("/I") under Wine in a prefix of its own under
# build/demo/, and shows what went where. Run by ./build.sh demo.
source "$(dirname "$0")/lib.sh"

DEMO=$E2E_ROOT/build/demo
T=$DEMO
for file in "$STUB" "$DRIVER" "$PACK"; do
  [ -f "$file" ] || { say "$file is not built: run ./build.sh demo"; exit 1; }
done
fonts=("$FONT_DIR/dejavu/DejaVuSans.ttf" "$FONT_DIR/dejavu/DejaVuSerif.ttf")
for font in "${fonts[@]}"; do
  [ -f "$font" ] || { say "$font is missing (Debian package fonts-dejavu-core)"; exit 1; }
done

rm -rf "$DEMO"
mkdir -p "$DEMO"
fresh_prefix "$DEMO" demo
finish() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -z "$own_xvfb" ] || kill "$own_xvfb" 2>/dev/null || true
}
trap finish EXIT
read -r DISPLAY own_xvfb < <(start_xvfb "$DEMO/xvfb.log") || { say "can't start Xvfb"; exit 1; }
export DISPLAY

cat >"$DEMO/readme.txt" <<'EOF'
DejaVu Sans and DejaVu Serif

Two free font families with a wide range of characters.
Click Next to install them.
EOF
sed -i 's/$/\r/' "$DEMO/readme.txt"
title="DejaVu Demo"
url="https://dejavu-fonts.github.io/"
url_title="DejaVu Fonts"
"$PACK" create --stub "$STUB" --out "$C/dejavu-demo.exe" --title "$title" \
  --readme "$DEMO/readme.txt" --url "$url" --url-title "$url_title" "${fonts[@]}"
cp "$C/dejavu-demo.exe" "$DEMO/"

say "== Package $DEMO/dejavu-demo.exe ($(stat -c %s "$DEMO/dejavu-demo.exe") bytes)"
"$PACK" list "$DEMO/dejavu-demo.exe" | sed 's/^/   /'

say "== Running C:\\demo\\dejavu-demo.exe /I under Wine (prefix $WINEPREFIX)"
# Should the system count a font as installed already, its question is
# answered Yes.
{
  printf 'start C:\\demo\\dejavu-demo.exe /I\n'
  printf 'auto "Overwrite" yes\nauto "Error" ok\n'
  printf 'watch-exit 120000\n'
} | wine "$DRIVER" - >"$DEMO/run.log" 2>>"$DEMO/wine.log" || true
tr -d '\r' <"$DEMO/run.log" | sed 's/^/   /'

fonts_dir=$WINEPREFIX/drive_c/windows/Fonts
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
values=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
say "== Installed fonts"
for font in "${fonts[@]}"; do
  name=$(basename "$font")
  say "-- $name"
  if [ -f "$fonts_dir/$name" ]; then
    say "   file:       C:\\windows\\Fonts\\$name ($(stat -c %s "$fonts_dir/$name") bytes)"
  else
    say "   file:       not in C:\\windows\\Fonts"
  fi
  value=$(printf '%s\n' "$values" | grep -E "REG_SZ +$name *\$" || true)
  if [ -n "$value" ]; then
    say "   registry:   $key"
    printf '%s\n' "$value" | sed -E 's/^ *(.*\((TrueType|OpenType)\)) +REG_SZ +(.*)$/               "\1" = "\3"/'
  else
    say "   registry:   no value holds $name"
  fi
done

profile=$(unix_path "$(wine cmd /c echo %USERPROFILE% 2>/dev/null </dev/null | tr -d '\r')")
say "== Web links"
for folder in Desktop Favorites; do
  file="$profile/$folder/$url_title.url"
  if [ -f "$file" ]; then
    say "-- $(wine winepath -w "$file" 2>/dev/null | tr -d '\r')"
    tr -d '\r' <"$file" | sed 's/^/   /'
  else
    say "-- no web link in $folder"
  fi
done
say "== Done. The prefix stays in $WINEPREFIX for a look around."
