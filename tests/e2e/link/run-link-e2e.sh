#!/usr/bin/env bash
# Runs the link's end-to-end test: a pty pair (socat) whose one end is mapped to COM21 in
# the Wine prefix, the instrument emulator in script mode on the other end, and the test
# program under Wine, which asks for emulator actions through the control file (e2e-lib.sh).
# COM22 is mapped to a plain file: a port that opens but cannot be set up.
# Everything started here is stopped on exit, also on failure.
#
#   run-link-e2e.sh <test.exe> <orbex-emu> [gtest arguments...]
# Needs WINEPREFIX (and DISPLAY) of a running prefix, as scripts/wine-env.sh sets them.
set -u
exe=$1
emu=$2
shift 2
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/../e2e-lib.sh"
e2e_start run-link-e2e

notatty="$WINEPREFIX/dosdevices/com22"
e2e_on_cleanup() { rm -f "$notatty"; }
: >"$T/notatty"
ln -sfn "$T/notatty" "$notatty"

# The program's end is left cooked (line splitting, echo, signal characters) on purpose:
# the link must put the line into raw mode itself, as a real port may come up cooked.
e2e_emulator "$emu" COM21 ""

ORBEX_LINK_E2E_DIR=$(winepath -w "$T" 2>/dev/null) ORBEX_LINK_E2E_PORT=COM21 \
  e2e_run_test "$exe" "$@"
e2e_wait "${LINK_E2E_SECONDS:-150}" e2e_emu_request
exit "$e2e_rc"
