#!/usr/bin/env bash
# The package tool built for Windows, under Wine, against the Linux one: the
# same inputs make the same package bytes, and list, check and the failures
# print the same lines with the same exit codes.
source "$(dirname "$0")/lib.sh"
e2e_begin
[ -f "$PACK_WIN" ] || skip "$PACK_WIN is not built"

# Both tools run in the same folder with the same relative paths.
work=$C/tool
mkdir -p "$work"
cd "$work"
cp "$font_sans" Sans.ttf
cp "$font_serif" Serif.ttf
cp "$font_sans" Copy.ttf
printf 'Read me\r\n' >readme.txt
printf 'Licence\r\n' >licence.txt
printf 'not a font\r\n' >Broken.ttf

# run TOOL NAME ARGS...: TOOL's standard output in NAME.out, its errors in
# NAME.err and its exit code in NAME.rc.
run() {
  local tool=$1 name=$2 rc=0
  shift 2
  if [ "$tool" = linux ]; then
    "$PACK" "$@" >"$name.out" 2>"$name.err" || rc=$?
  else
    # A console program: it needs no display.
    env -u DISPLAY wine "$PACK_WIN" "$@" >"$name.out" 2>"$name.err" </dev/null || rc=$?
  fi
  printf '%s\n' "$rc" >"$name.rc"
}

# same DESCRIPTION NAME: both tools' runs NAME gave the same bytes and code.
same() {
  check_true "$1: the same output" cmp "linux-$2.out" "windows-$2.out"
  check_true "$1: the same errors" cmp "linux-$2.err" "windows-$2.err"
  check "$1: the same exit code" "$(cat "windows-$2.rc")" "$(cat "linux-$2.rc")"
}

create=(create --title "Tool Fonts" --url https://fonts.example/ --url-title "Tool Fonts"
  --readme readme.txt --license licence.txt Sans.ttf Serif.ttf)
for tool in linux windows; do
  run $tool "$tool-create" "${create[@]}" --out "$tool.exe"
  run $tool "$tool-list" list "$tool.exe"
  run $tool "$tool-check" check "$tool.exe"
  run $tool "$tool-bad" create --out "$tool-bad.exe" Sans.ttf Copy.ttf Broken.ttf
  run $tool "$tool-bad-check" check "$tool-bad.exe"
  run $tool "$tool-missing" create --out "$tool.exe" Sans.ttf Missing.ttf
  mkdir -p "$tool-folder"
  run $tool "$tool-folder" create --out "$tool-folder" Sans.ttf
  run $tool "$tool-usage" create Sans.ttf
  run $tool "$tool-version" --version
done

check_true "the Windows tool's package is the Linux tool's, byte for byte" cmp linux.exe windows.exe
check_true "so is a package of fonts with problems" cmp linux-bad.exe windows-bad.exe
"$PACK" "${create[@]}" --stub "$STUB" --out stub.exe
check_true "the stub the tools carry is the one built" cmp linux.exe stub.exe
same "create" create
same "list" list
same "check of a sound package" check
check "check of a sound package: each font and its value, no problem" "$(cat linux-check.out)" \
"font Sans.ttf -> DejaVu Sans (TrueType)
font Serif.ttf -> DejaVu Serif (TrueType)
2 fonts, 0 problems"
check "check of a sound package exits with 0" "$(cat windows-check.rc)" 0
same "check of a package with problems" bad-check
check "check names each problem once" "$(cat linux-bad-check.out)" \
"font Sans.ttf -> DejaVu Sans (TrueType)
font Copy.ttf -> DejaVu Sans (TrueType)
problem: \"Sans.ttf\" and \"Copy.ttf\" would both be registered as \"DejaVu Sans (TrueType)\"
problem: \"Broken.ttf\" is not a usable font: it is not a TrueType or OpenType font
2 fonts, 2 problems"
check "check of a package with problems exits with 1" "$(cat windows-bad-check.rc)" 1

same "a missing font" missing
check "a missing font is named" "$(cat windows-missing.err)" \
  "sorvela-pack: Missing.ttf: No such file or directory"
check_true "a failed create leaves the earlier package as it was" cmp windows.exe linux.exe
check "a package that can't be written fails" "$(cat windows-folder.rc)" 1
check "and leaves no partial file" "$(ls -d windows-folder* | tr '\n' ' ')" "windows-folder windows-folder.err windows-folder.out windows-folder.rc "
same "a usage error" usage
check "a usage error exits with 2" "$(cat windows-usage.rc)" 2
same "--version" version

# The stub's version resource carries the tool's number.
stub_version=$(python3 - "$STUB" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
at = data.find("FileVersion".encode("utf-16-le")) + 22
while data[at] == 0:
    at += 1
print(data[at:data.find(b"\0\0", at) + 1].decode("utf-16-le"))
EOF
)
check "the stub's version resource says the tool's version" "sorvela-pack $stub_version" \
  "$(cat windows-version.out)"
