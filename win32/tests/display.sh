# Sourced by the Win32 test scripts: a private virtual X server when no
# display is set. Sets xvfb to its pid (empty when none was started).

# Wine runs the 32-bit programs under test only on a kernel that runs 32-bit
# programs; some are started with that off (ia32_emulation=off).
runs_32bit_programs() {
  [ "${SORVELA_WINE64:-0}" = 1 ] || /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
# The 64-bit check build runs under 64-bit Wine (tests/wine64).
if [ "${SORVELA_WINE64:-0}" = 1 ]; then
  PATH=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tests/wine64" && pwd):$PATH
  export PATH WINEARCH=win64
fi
no_32bit_reason="this machine's kernel runs no 32-bit programs (ia32_emulation is off), so Wine can't run the stub"

xvfb=
start_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  local fd_file deadline
  fd_file=$(mktemp)
  # -displayfd picks a free display and reports it once the server is ready.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 3>"$fd_file" &
  xvfb=$!
  deadline=$((SECONDS + 30))
  while [ ! -s "$fd_file" ] && kill -0 "$xvfb" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    sleep 0.05
  done
  [ -s "$fd_file" ] && export DISPLAY=:$(head -n1 "$fd_file" | tr -d '\n')
  rm -f "$fd_file"
}
