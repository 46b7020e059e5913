# Shared by the end-to-end tests: sourced, not run.
#
# Each test gets its own copy of a Wine prefix that is made once (wineboot
# takes many seconds) and a virtual X server shared by the whole run. The
# stub and the test driver run inside that prefix; packages go to C:\e2e.
#
# Paths can be overridden for a build elsewhere: E2E_STUB, E2E_DRIVER,
# E2E_PACK, E2E_PACK_WIN, E2E_STATE. E2E_KEEP=1 keeps each test's prefix for a look after.
# SORVELA_WINE64=1 runs a 64-bit build under 64-bit Wine (tests/wine64).
set -euo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
STUB=${E2E_STUB:-$E2E_ROOT/build/win32/sorvela.exe}
DRIVER=${E2E_DRIVER:-$E2E_ROOT/build/win32/e2e-driver.exe}
PACK=${E2E_PACK:-$E2E_ROOT/build/host/sorvela-pack}
PACK_WIN=${E2E_PACK_WIN:-$E2E_ROOT/build/win32/sorvela-pack.exe}
IDS=$E2E_ROOT/win32/control_ids.h
E2E_STATE=${E2E_STATE:-$E2E_ROOT/build/e2e}
TEMPLATE=$E2E_STATE/prefix-template
# Each test's folder lives under E2E_WORK.
E2E_WORK=${E2E_WORK:-$E2E_STATE/tests}
FONT_DIR=${E2E_FONT_DIR:-/usr/share/fonts/truetype}

export WINEDEBUG=-all
if [ "${SORVELA_WINE64:-0}" = 1 ]; then
  export PATH=$E2E_ROOT/tests/wine64:$PATH WINEARCH=win64
else
  # Only 32-bit Wine may be installed; the stub is 32-bit anyway.
  export WINEARCH=win32
fi
# No downloads of Wine's .NET or HTML engines.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The installer folder inside the prefix, as Windows and as Linux sees it.
WIN_DIR='C:\e2e'

failures=0
own_xvfb=

say() { printf '%s\n' "$*"; }
skip() { say "SKIP: $*"; exit 77; }

# Wine runs the 32-bit stub only on a kernel that runs 32-bit programs; some
# are started with that off (ia32_emulation=off).
runs_32bit_programs() {
  [ "${SORVELA_WINE64:-0}" = 1 ] || /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
no_32bit_reason="this machine's kernel runs no 32-bit programs (ia32_emulation is off), so Wine can't run the stub"

# Makes the prefix template once; later calls, also from parallel tests, wait
# for it. A template made by another Wine version is made again.
e2e_template() {
  mkdir -p "$E2E_STATE"
  (
    flock 9
    local version
    version="$(wine --version) unmanaged, Wine's fonts"
    if [ "$(cat "$TEMPLATE/.e2e-ready" 2>/dev/null)" != "$version" ]; then
      rm -rf "$TEMPLATE"
      WINEPREFIX=$TEMPLATE wineboot -i >/dev/null 2>&1
      # A crash should end the program, not leave a dialog waiting for a user.
      WINEPREFIX=$TEMPLATE wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1
      # Without a window manager Wine waits about 2 s whenever a window is shown
      # or hidden unless its windows are unmanaged; that wait is not the program's.
      WINEPREFIX=$TEMPLATE wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
        /t REG_SZ /d N /f >/dev/null 2>&1
      # Wine's own Marlett (the title bar's glyphs) and Tahoma (its dialog
      # font) from fonts-wine: this Wine finds them only in the Fonts folder.
      local fonts
      fonts=$(dpkg -L fonts-wine | grep -E '/(marlett|tahoma|tahomabd)\.ttf$')
      cp $fonts "$TEMPLATE/drive_c/windows/Fonts/"
      WINEPREFIX=$TEMPLATE wineserver -w
      # Wine links Desktop and the other user folders to the Linux home: make
      # them folders of the prefix, so that each test has its own.
      local link
      for link in "$TEMPLATE"/drive_c/users/*/*; do
        if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
      done
      printf '%s' "$version" >"$TEMPLATE/.e2e-ready"
    fi
  ) 9>"$E2E_STATE/template.lock"
}

# Starts a virtual X server on a free display; prints "DISPLAY PID".
start_xvfb() {
  local log=$1 fd_file
  fd_file=$(mktemp)
  # -displayfd picks a free display and reports it once the server is ready;
  # setsid and the redirections keep it from holding a caller's pipes open.
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    </dev/null >"$log" 2>&1 3>"$fd_file" &
  local pid=$! deadline=$((SECONDS + 30))
  while [ ! -s "$fd_file" ]; do
    kill -0 "$pid" 2>/dev/null || { rm -f "$fd_file"; return 1; }
    [ $SECONDS -lt $deadline ] || { kill "$pid"; rm -f "$fd_file"; return 1; }
    sleep 0.05
  done
  printf ':%s %s\n' "$(head -n1 "$fd_file" | tr -d '\n')" "$pid"
  rm -f "$fd_file"
}

# An X server of the test's own: tests that run side by side must not take
# each other's keyboard focus or cover each other's windows.
e2e_display() {
  local display pid
  read -r display pid < <(start_xvfb "$T/xvfb.log") || { say "can't start Xvfb"; exit 1; }
  own_xvfb=$pid
  export DISPLAY=$display
}

# Copies the template; system32 (most of its size, never written by a test)
# is hard-linked.
copy_prefix() {
  local from=$1 to=$2
  mkdir -p "$to"
  tar -C "$from" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$to" -xf -
  cp -al "$from/drive_c/windows/system32" "$to/drive_c/windows/"
}

# A fresh prefix in DIR/prefix with the installer folder C (drive_c/NAME),
# for the demo and the screenshots, which run outside the test fixture.
fresh_prefix() {
  e2e_template
  export WINEPREFIX=$1/prefix
  copy_prefix "$TEMPLATE" "$WINEPREFIX"
  C=$WINEPREFIX/drive_c/$2
  mkdir -p "$C"
}

# Sets up a test: T (its folder), WINEPREFIX (a fresh prefix), C (the
# installer folder in it), DISPLAY; ends it on exit.
e2e_begin() {
  local name
  name=$(basename "${BASH_SOURCE[1]}" .sh)
  for tool in wine wineserver winepath Xvfb; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
  runs_32bit_programs || skip "$no_32bit_reason"
  for file in "$STUB" "$DRIVER" "$PACK"; do
    [ -x "$file" ] || [ -f "$file" ] || skip "$file is not built"
  done
  T=$E2E_WORK/$name
  rm -rf "$T"
  mkdir -p "$T"
  e2e_template
  trap e2e_end EXIT
  e2e_display
  export WINEPREFIX=$T/prefix
  # Shared, so that no one makes the template anew while it is being copied.
  (flock -s 9 && copy_prefix "$TEMPLATE" "$WINEPREFIX") 9>"$E2E_STATE/template.lock"
  C=$WINEPREFIX/drive_c/e2e
  mkdir -p "$C"
  say "# $name (prefix $WINEPREFIX, display $DISPLAY)"
}

e2e_end() {
  local status=$?
  trap - EXIT
  [ -z "${WINEPREFIX:-}" ] || chattr -i "$WINEPREFIX/drive_c/windows/Fonts" 2>/dev/null || true
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [ "${E2E_KEEP:-0}" = 1 ] || rm -rf "$WINEPREFIX"
  fi
  [ -z "$own_xvfb" ] || kill "$own_xvfb" 2>/dev/null || true
  [ $status -ne 0 ] || [ $failures -eq 0 ] || status=1
  if [ $status -eq 0 ]; then say "# passed"; else say "# FAILED ($failures checks)"; fi
  exit $status
}

# set_dpi DPI: the screen resolution of the prefix, which each program reads
# as it starts.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# Wine's own path for a Windows path.
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# The Wine user's temporary folder, as Linux sees it (no trailing slash).
wine_temp_dir() {
  local temp
  temp=$(wine cmd /c echo %TEMP% 2>/dev/null </dev/null | tr -d '\r')
  unix_path "$temp" | sed 's:/*$::'
}

# The working folders that runs have made in the temporary folder TEMP, one
# a line; none once every run has ended.
working_folders() { find "$1" -mindepth 1 -maxdepth 1 -name 'sorvela-*' 2>/dev/null; }

# nothing_left TEMP: no run left a folder or a file of its own there.
nothing_left() { [ -z "$(ls -A "$1")" ]; }

# An install that fails: the prefix's Fonts folder made immutable, so that no
# file can be made in it, not even by root. (A font file held open no longer
# fails an install: it is replaced at the next restart.)
lock_fonts() { chattr +i "$WINEPREFIX/drive_c/windows/Fonts"; }
unlock_fonts() { chattr -i "$WINEPREFIX/drive_c/windows/Fonts"; }

# Makes a package: pack NAME [sorvela-pack create options and fonts]. The
# package lands in the installer folder as NAME.
pack() {
  local name=$1
  shift
  "$PACK" create --stub "$STUB" --out "$C/$name" "$@"
}

# Runs a driver script (standard input) against the prefix; its transcript
# goes to the test's log and to standard output, there with exit codes left
# out, which the program's description does not fix. The driver writes to a
# file, not a pipe: a program it started and left running inherits its output
# and would keep a pipe open.
drive() {
  local out=$T/drive.out
  # A failing script shows as "FAIL ..." in the transcript, which the check
  # then reports; it must not end the test here.
  { printf 'ids %s\n' "$IDS"; cat; } | wine "$DRIVER" - >"$out" 2>>"$T/wine.log" || true
  tr -d '\r' <"$out" | tee -a "$T/transcript.log" | sed -E 's/^exit [0-9]+$/exit/'
}


# check DESCRIPTION ACTUAL EXPECTED: one check, passed when equal.
check() {
  if [ "$2" == "$3" ]; then
    say "ok - $1"
  else
    say "not ok - $1"
    diff -u <(printf '%s\n' "$3") <(printf '%s\n' "$2") | sed '1,2d; s/^/    /' || true
    failures=$((failures + 1))
  fi
}

# check_true DESCRIPTION COMMAND...: passed when the command succeeds.
check_true() {
  local what=$1
  shift
  if "$@"; then
    say "ok - $what"
  else
    say "not ok - $what"
    failures=$((failures + 1))
  fi
}

# A file's bytes as one hex line, for showing small files in a check.
hex() { od -An -tx1 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Free fonts the tests install.
font_sans=$FONT_DIR/dejavu/DejaVuSans.ttf
font_serif=$FONT_DIR/dejavu/DejaVuSerif.ttf
font_mono=$FONT_DIR/dejavu/DejaVuSansMono.ttf

# make_font SOURCE FAMILY OUT [WORD]: a copy of a font whose family is FAMILY
# (six letters, replacing WORD, by default "DejaVu", in place), so that no
# font the system already knows shares its names: Wine registers the fonts of
# the machine it runs on.
make_font() {
  local source=$1 family=$2 out=$3 word=${4:-DejaVu} wide="" from="" i
  [ ${#family} -eq 6 ] && [ ${#word} -eq 6 ] || { say "make_font: $family or $word is not six letters"; return 1; }
  for ((i = 0; i < 6; i++)); do wide+="\\x00${family:i:1}" from+="\\x00${word:i:1}"; done
  perl -0777 -pe "s/$from/$wide/g; s/$word/$family/g" "$source" >"$out"
}
