# Sourced by the Win32 test scripts: a private virtual X server when no
# display is set. Sets xvfb to its pid (empty when none was started).
xvfb=
start_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  local n
  for n in $(seq "$1" "$2"); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    sleep 1
    return 0
  done
}
