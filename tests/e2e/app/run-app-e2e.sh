#!/usr/bin/env bash
# Runs the program's end-to-end test: a raw pty pair (socat) whose one end is mapped to COM23
# in the Wine prefix, the instrument emulator in script mode on the other end, and the test
# driver under Wine, which starts scratch copies of orbex.exe itself. The driver asks for
# actions through the control file (e2e-lib.sh): the emulator's commands, and
#   shot <name>         screenshot of the display into $ORBEX_APP_E2E_SHOTS/<name>.png
# Everything started here is stopped on exit, also on failure.
#
#   run-app-e2e.sh <driver.exe> <orbex.exe> <orbex-emu> [gtest arguments...]
# Needs WINEPREFIX and DISPLAY of a running prefix, as scripts/wine-env.sh sets them.
set -u
exe=$1
app=$2
emu=$3
shift 3
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/../e2e-lib.sh"
e2e_start run-app-e2e
[ -f "$app" ] || e2e_fail "program $app not built"
shots=${ORBEX_APP_E2E_SHOTS:-$PWD/shots}
mkdir -p "$shots"

app_request() {
  case "$1" in
    shot) import -window root "$shots/$2.png" 2>>"$T/shot.log" ;;
    *) e2e_emu_request "$@" ;;
  esac
}

e2e_emulator "$emu" COM23 "raw,echo=0,"

ORBEX_APP_E2E_DIR=$(winepath -w "$T" 2>/dev/null) ORBEX_APP_E2E_PORT=COM23 \
ORBEX_APP_E2E_EXE=$(winepath -w "$app" 2>/dev/null) \
  e2e_run_test "$exe" "$@"
e2e_wait "${APP_E2E_SECONDS:-270}" app_request
exit "$e2e_rc"
