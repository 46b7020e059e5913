#!/usr/bin/env bash
# Ends the run's shared virtual X server.
source "$(dirname "$0")/lib.sh"
: "${E2E_XVFB:?must name the file that records the shared X server}"
if read -r display pid 2>/dev/null <"$E2E_XVFB"; then
  kill "$pid" 2>/dev/null || true
  rm -f "$E2E_XVFB"
  say "X server $display stopped"
fi
