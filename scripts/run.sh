#!/usr/bin/env bash
# Builds the program and runs it under Wine with the demonstration instrument attached.
#  - With a display (DISPLAY set): the program opens there; the command returns when it closes.
#  - Without one: it runs on a virtual display for RUN_SECONDS (default 15) and writes a
#    screenshot, whose path it prints.
# The program shipped is the 32-bit one, and it is what runs where this machine executes
# 32-bit code; elsewhere (or with ORBEX_WINE_ARCH=win64) the same program built for 64-bit.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh
. scripts/wine-arch.sh
if orbex_runs_32bit && [ -x /usr/lib/wine/wine ]; then
  preset=win arch=win32
  echo "run: the 32-bit program"
else
  preset=win64 arch=win64
  why=${ORBEX_NO32_WHY:-"the 32-bit Wine loader is not installed"}
  echo "run: the 64-bit program ($why)"
fi
mkdir -p build/logs
log="$top/build/logs/run-build.log"
# The build's output goes to a log, shown when the build fails.
if ! { cmake --preset $preset && cmake --build --preset $preset -j "$(nproc)"; } >"$log" 2>&1; then
  grep -E 'error|Error' "$log" | head -n 60 >&2
  echo "run: the build failed (whole log: $log)" >&2
  exit 1
fi
exe="$top/build/$preset/app/orbex.exe"
if [ ! -f "$exe" ]; then
  echo "run: the build did not make the program ($exe is missing; log: $log)" >&2
  exit 1
fi

. scripts/wine-env.sh
demo_pids=()
cleanup() {
  for p in "${demo_pids[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null; done
  orbex_wine_stop
}
trap cleanup EXIT

mode=virtual
[ -n "${DISPLAY:-}" ] && mode=current
orbex_wine_start "$top/build/$preset" $arch "$mode"

# The demonstration instrument: the emulator on a raw pty mapped to COM7, and a fake attached
# instrument in the prefix's registry so that the "Select device" dialog lists it.
if [ -f scripts/demo-instrument.sh ]; then
  . scripts/demo-instrument.sh
  demo_instrument_start "$top/build/$preset" && demo_pids+=("${DEMO_PIDS[@]}")
fi

if [ "$mode" = current ]; then
  wine "$exe"
else
  wine "$exe" &
  app=$!
  sleep "${RUN_SECONDS:-15}"
  shot="$top/build/screenshot.png"
  import -window root "$shot"
  echo "screenshot: $shot"
  kill "$app" 2>/dev/null || true
fi
