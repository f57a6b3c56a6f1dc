#!/usr/bin/env bash
# Runs the device dialog's end-to-end test: copies the program into a scratch folder (so that
# it starts without an ini file), runs the test driver under Wine, which starts the program
# from there, and turns the screenshots it wrote into PNG files in <shot-dir>. Everything
# started here is stopped on exit, also on failure.
#
#   run-connectdlg-e2e.sh <driver.exe> <orbex.exe> <shot-dir> [gtest arguments...]
# Needs WINEPREFIX and DISPLAY of a running prefix, as scripts/wine-env.sh sets them.
set -u
driver=$1
app=$2
shots=$3
shift 3
: "${WINEPREFIX:?run-connectdlg-e2e: WINEPREFIX is not set (scripts/wine-env.sh orbex_wine_start)}"
[ -f "$app" ] || { echo "run-connectdlg-e2e: program $app not built" >&2; exit 1; }

T=$(mktemp -d /tmp/orbex-connectdlg-e2e.XXXXXX)
driver_pid=""
cleanup() {
  if [ -n "$driver_pid" ]; then
    kill "$driver_pid" 2>/dev/null
    wait "$driver_pid" 2>/dev/null
  fi
  rm -rf "$T"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$T/app" "$T/shots" "$shots"
cp "$app" "$T/app/"
rm -f "$shots"/*.png

ORBEX_E2E_APP=$(winepath -w "$T/app/$(basename "$app")" 2>/dev/null) \
ORBEX_E2E_SHOTS=$(winepath -w "$T/shots" 2>/dev/null) \
  wine "$driver" --gtest_brief=1 "$@" </dev/null &
driver_pid=$!
# Ends a hung driver well before ctest's own time-out, so that the clean-up above still runs
# (the driver ends the program it started on its own way out).
deadline=$((SECONDS + ${CONNECTDLG_E2E_SECONDS:-150}))
while kill -0 "$driver_pid" 2>/dev/null; do
  if [ "$SECONDS" -ge "$deadline" ]; then
    echo "run-connectdlg-e2e: the test did not finish in time" >&2
    exit 1
  fi
  sleep 0.2
done
wait "$driver_pid"
rc=$?
driver_pid=""

for f in "$T"/shots/*.bmp; do
  [ -e "$f" ] || continue
  name=$(basename "$f" .bmp)
  if command -v convert >/dev/null; then
    convert "$f" "$shots/$name.png" 2>/dev/null || cp "$f" "$shots/"
  else
    cp "$f" "$shots/"
  fi
done
exit "$rc"
