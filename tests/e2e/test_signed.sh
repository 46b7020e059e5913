#!/usr/bin/env bash
# A package signed after packing, with a throw-away certificate: the wizard,
# the extraction and the silent install read it past the certificate table,
# the signature verifies, and with the signature removed it still works.
source "$(dirname "$0")/lib.sh"
e2e_begin
for tool in openssl osslsigncode; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

src=$T/src
mkdir -p "$src"
make_font "$font_sans" Signum "$src/SignumSans.ttf"
printf 'Signed fonts.\r\n' >"$src/readme.txt"
pack unsigned.exe --title "Signum" --readme "$src/readme.txt" "$src/SignumSans.ttf"
mkdir -p "$src/unpacked"
"$PACK" extract "$C/unsigned.exe" "$src/unpacked"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Sorvela Test Publisher" \
  -keyout "$T/key.pem" -out "$T/cert.pem" 2>"$T/openssl.log"
osslsigncode sign -certs "$T/cert.pem" -key "$T/key.pem" -n "Signum" \
  -in "$C/unsigned.exe" -out "$C/signed.exe" >"$T/sign.log"
verify() { osslsigncode verify -CAfile "$T/cert.pem" -in "$1" >"$T/verify.log" 2>&1; }
check_true "osslsigncode verify accepts the signed package" verify "$C/signed.exe"
check "sorvela-pack lists the signed package as the unsigned one" \
  "$("$PACK" list "$C/signed.exe")" "$("$PACK" list "$C/unsigned.exe")"
check "sorvela-pack refuses to pack onto a signed stub" \
  "$("$PACK" create --stub "$C/signed.exe" --out "$T/twice.exe" "$src/SignumSans.ttf" 2>&1)" \
  "sorvela-pack: $C/signed.exe is signed: pack first, sign afterwards"

temp=$(wine_temp_dir)
# wizard EXE: the package's title and entries; every entry must be extracted
# byte for byte into the run's own folder, which Cancel removes.
wizard() {
  local out folder
  out=$(drive <<EOF | sed -E 's/ +" /" /g; s/ +"$/"/'
start $WIN_DIR\\$1
wait-window "Signum - Velloway" 30000
items lstFiles
EOF
)
  check "$1: the wizard opens with the package's title and entries" "$out" \
"start \"\"
window \"Signum - Velloway\"
items lstFiles 3 \"SignumSans.ttf\" \"kestrel.dat\" \"readme.txt\""
  folder=$(working_folders "$temp")
  for name in SignumSans.ttf kestrel.dat readme.txt; do
    check_true "$1: $name extracted byte for byte" cmp "$src/unpacked/$name" "$folder/$name"
  done
  drive >/dev/null <<EOF
attach "Signum - Velloway" 10000
click cmdCancel
wait-exit 10000
EOF
  check_true "$1: Cancel leaves nothing in the temporary folder" nothing_left "$temp"
}
wizard signed.exe

# A packer that does not make the package a multiple of 8 bytes (three bytes
# more in front of the entries, where no one reads): the signer pads it.
stub_size=$(stat -c %s "$STUB")
{
  head -c "$stub_size" "$C/unsigned.exe"
  printf 'odd'
  tail -c +$((stub_size + 1)) "$C/unsigned.exe"
} >"$T/odd.exe"
osslsigncode sign -certs "$T/cert.pem" -key "$T/key.pem" -in "$T/odd.exe" -out "$C/odd.exe" \
  >>"$T/sign.log"
check "odd.exe is 3 bytes past a multiple of 8 before signing" "$(($(stat -c %s "$T/odd.exe") % 8))" 3
wizard odd.exe

# Silent install from the signed package.
out=$(drive <<EOF | grep -vx -e 'seen "Extracting"' -e 'seen "Signum - Velloway"'
start $WIN_DIR\\signed.exe /I
watch-exit 60000
EOF
)
check "signed.exe /I installs silently and ends" "$out" \
'start "/I"
exit'
check_true "\"/I\" copied the font into the Fonts folder" \
  cmp "$src/SignumSans.ttf" "$WINEPREFIX/drive_c/windows/Fonts/SignumSans.ttf"

osslsigncode remove-signature -in "$C/signed.exe" -out "$C/removed.exe" >"$T/remove.log"
wizard removed.exe
