#!/usr/bin/env bash
# Once per test run: the Wine prefix template that each test copies.
source "$(dirname "$0")/lib.sh"
runs_32bit_programs || skip "$no_32bit_reason"
mkdir -p "$E2E_STATE"
e2e_template
say "prefix template $TEMPLATE"
