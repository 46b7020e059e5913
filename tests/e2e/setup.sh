#!/usr/bin/env bash
# Once per test run: the Wine prefix template and a shared virtual X server,
# whose display and process id go to the file named by E2E_XVFB.
source "$(dirname "$0")/lib.sh"
: "${E2E_XVFB:?must name the file that records the shared X server}"
mkdir -p "$E2E_STATE" "$(dirname "$E2E_XVFB")"
e2e_template
if read -r display pid 2>/dev/null <"$E2E_XVFB" && kill -0 "$pid" 2>/dev/null; then
  say "X server $display already running"
  exit 0
fi
read -r display pid < <(start_xvfb "$E2E_XVFB.log") || { say "can't start Xvfb"; exit 1; }
printf '%s %s\n' "$display" "$pid" >"$E2E_XVFB"
say "X server $display (pid $pid), prefix template $TEMPLATE"
