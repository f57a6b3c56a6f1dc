#!/usr/bin/env bash
# Runs the device dialog's end-to-end test: copies the program into a scratch folder (so that
# it starts without an ini file), runs the test driver under Wine, which starts the program
# from there, and turns the screenshots it wrote into PNG files in <shot-dir>. Everything
# started here is stopped on exit, also on failure (the driver ends the program it started
# on its own way out).
#
#   run-connectdlg-e2e.sh <driver.exe> <orbex.exe> <shot-dir> [gtest arguments...]
# Needs WINEPREFIX and DISPLAY of a running prefix, as scripts/wine-env.sh sets them.
set -u
driver=$1
app=$2
shots=$3
shift 3
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/../e2e-lib.sh"
e2e_start run-connectdlg-e2e
[ -f "$app" ] || e2e_fail "program $app not built"

mkdir -p "$T/app" "$T/shots" "$shots"
cp "$app" "$T/app/"
rm -f "$shots"/*.png

ORBEX_E2E_APP=$(winepath -w "$T/app/$(basename "$app")" 2>/dev/null) \
ORBEX_E2E_SHOTS=$(winepath -w "$T/shots" 2>/dev/null) \
  e2e_run_test "$driver" "$@"
e2e_wait "${CONNECTDLG_E2E_SECONDS:-150}"

for f in "$T"/shots/*.bmp; do
  [ -e "$f" ] || continue
  name=$(basename "$f" .bmp)
  if command -v convert >/dev/null; then
    convert "$f" "$shots/$name.png" 2>/dev/null || cp "$f" "$shots/"
  else
    cp "$f" "$shots/"
  fi
done
exit "$e2e_rc"
