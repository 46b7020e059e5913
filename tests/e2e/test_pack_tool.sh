#!/usr/bin/env bash
# The package tool built for Windows, under Wine, against the Linux one: the
# same inputs make the same package bytes, and list, check, extract and the
# failures print the same lines with the same exit codes; a package past
# 2 GiB is made and read in little memory.
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
# NAME.err, its exit code in NAME.rc and its peak memory in KiB in NAME.kib.
run() {
  local tool=$1 name=$2 rc=0
  shift 2
  local measure=(/usr/bin/time -f %M -o "$name.kib")
  if [ "$tool" = linux ]; then
    "${measure[@]}" "$PACK" "$@" >"$name.out" 2>"$name.err" || rc=$?
  else
    # A console program: it needs no display.
    "${measure[@]}" env -u DISPLAY wine "$PACK_WIN" "$@" >"$name.out" 2>"$name.err" </dev/null ||
      rc=$?
  fi
  printf '%s\n' "$rc" >"$name.rc"
}
# Time's own line before the figure when the program failed.
kib() { tail -n 1 "$1.kib"; }

# same DESCRIPTION NAME: both tools' runs NAME gave the same bytes and code.
same() {
  check_true "$1: the same output" cmp "linux-$2.out" "windows-$2.out"
  check_true "$1: the same errors" cmp "linux-$2.err" "windows-$2.err"
  check "$1: the same exit code" "$(cat "windows-$2.rc")" "$(cat "linux-$2.rc")"
}

create=(create --title "Tool Fonts" --url https://fonts.example/ --url-title "Tool Fonts"
  --publisher "Tool Type" --version 1.2.3
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
check "check of a sound package: its entry, each font and its value, no problem" \
  "$(cat linux-check.out)" \
"entry Sorvela.Tool Type Tool Fonts: publisher \"Tool Type\", version \"1.2.3\"
font Sans.ttf -> DejaVu Sans (TrueType)
font Serif.ttf -> DejaVu Serif (TrueType)
2 fonts, 0 problems"
check "check of a sound package exits with 0" "$(cat windows-check.rc)" 0
same "check of a package with problems" bad-check
check "check names each problem once" "$(cat linux-bad-check.out)" \
"entry Sorvela.Fonts: publisher \"\", version \"\"
font Sans.ttf -> DejaVu Sans (TrueType)
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
check "and leaves no partial file" "$(ls -d windows-folder* | tr '\n' ' ')" "windows-folder windows-folder.err windows-folder.kib windows-folder.out windows-folder.rc "
same "a usage error" usage
check "a usage error exits with 2" "$(cat windows-usage.rc)" 2
same "--version" version

for tool in linux windows; do
  mkdir "$tool-out"
  run $tool "$tool-extract" extract linux.exe "$tool-out"
done
same "extract" extract
check "extract gives back every entry" "$(ls windows-out | tr '\n' ' ')" \
  "Sans.ttf Serif.ttf kestrel.dat licence.txt readme.txt "
for file in Sans.ttf Serif.ttf readme.txt licence.txt; do
  check_true "extract gives back $file as it was packed" cmp "$file" "windows-out/$file"
done
check_true "both tools extract the same bytes" diff -r linux-out windows-out

# Past 2 GiB: the package holds a font of 2.1 GB (sparse here) and, behind
# it, one whose data and header lie past 2 GiB. Nothing holds a whole entry.
cp "$font_sans" Vast.ttf
truncate -s 2100000000 Vast.ttf
run windows windows-vast create --out vast.exe Serif.ttf Vast.ttf
for tool in linux windows; do
  run $tool "$tool-vast-list" list vast.exe
  run $tool "$tool-vast-check" check vast.exe
done
same "list of a package past 2 GiB" vast-list
same "check of a package past 2 GiB" vast-check
check "the Windows tool reads the font behind 2 GiB" "$(cat windows-vast-check.out)" \
"entry Sorvela.Fonts: publisher \"\", version \"\"
font Serif.ttf -> DejaVu Serif (TrueType)
font Vast.ttf -> DejaVu Sans (TrueType)
2 fonts, 0 problems"
for run in windows-vast windows-vast-list windows-vast-check linux-vast-list linux-vast-check \
  linux-create linux-extract; do
  check "${run//-/ } stays under 64 MiB" "$(($(kib "$run") < 64 * 1024))" 1
done
rm -f vast.exe Vast.ttf

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
