#!/usr/bin/env bash
# Runs the link's end-to-end test: a pty pair (socat) whose one end is mapped to COM21 in
# the Wine prefix, the instrument emulator in script mode on the other end, and the test
# program under Wine. The test asks for actions by appending lines "<id> <command> ..." to
# ctl.txt in the shared folder; each is acknowledged by creating ack/<id>:
#   emu <script line>   pass the line to the emulator
#   unplug              stop the emulator and the pty pair (the port goes away)
#   plug                start the pty pair and the emulator again
# COM22 is mapped to a plain file: a port that opens but cannot be set up.
# Everything started here is stopped on exit, also on failure.
#
#   run-link-e2e.sh <test.exe> <orbex-emu> [gtest arguments...]
# Needs WINEPREFIX (and DISPLAY) of a running prefix, as scripts/wine-env.sh sets them.
set -u
exe=$1
emu=$2
shift 2
: "${WINEPREFIX:?run-link-e2e: WINEPREFIX is not set (scripts/wine-env.sh orbex_wine_start)}"
[ -x "$emu" ] || { echo "run-link-e2e: emulator $emu not built" >&2; exit 1; }

port=COM21
com="$WINEPREFIX/dosdevices/com21"
notatty="$WINEPREFIX/dosdevices/com22"
T=$(mktemp -d /tmp/orbex-link-e2e.XXXXXX)
socat_pid=""
emu_pid=""
tail_pid=""
test_pid=""

stop_pid() {
  local p=$1
  [ -n "$p" ] || return 0
  kill "$p" 2>/dev/null
  wait "$p" 2>/dev/null
  return 0
}

unplug() {
  if [ -n "$emu_pid" ]; then
    echo quit >&4
    local i
    for i in $(seq 1 50); do kill -0 "$emu_pid" 2>/dev/null || break; sleep 0.05; done
    stop_pid "$emu_pid"
    emu_pid=""
  fi
  stop_pid "$socat_pid"
  socat_pid=""
  rm -f "$com" "$T/ttyApp" "$T/ttyEmu"
}

plug() {
  # The program's end is left cooked (line splitting, echo, signal characters) on purpose:
  # the link must put the line into raw mode itself, as a real port may come up cooked.
  socat pty,link="$T/ttyApp" pty,raw,echo=0,link="$T/ttyEmu" 2>>"$T/socat.log" &
  socat_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -e "$T/ttyApp" ] && [ -e "$T/ttyEmu" ] && break
    sleep 0.05
  done
  [ -e "$T/ttyApp" ] || { echo "run-link-e2e: socat did not make the pty pair" >&2; return 1; }
  ln -sfn "$T/ttyApp" "$com"
  "$emu" --script - "$T/ttyEmu" <"$T/emu.in" >>"$T/emu.out" 2>>"$T/emu.err" &
  emu_pid=$!
}

cleanup() {
  stop_pid "$test_pid"
  unplug
  stop_pid "$tail_pid"
  exec 4>&- 5<&- 2>/dev/null
  rm -f "$notatty"
  rm -rf "$T"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkfifo "$T/emu.in"
exec 4<>"$T/emu.in"   # held open read-write: opening it never blocks, and it never ends
mkdir "$T/ack"
: >"$T/ctl.txt"
: >"$T/notatty"
ln -sfn "$T/notatty" "$notatty"
plug || exit 1

ORBEX_LINK_E2E_DIR=$(winepath -w "$T" 2>/dev/null) ORBEX_LINK_E2E_PORT=$port \
  wine "$exe" --gtest_brief=1 "$@" </dev/null &
test_pid=$!

exec 5< <(tail -n +1 -f "$T/ctl.txt")
tail_pid=$!
pending=""
# Ends a hung test well before ctest's own time-out, so that the clean-up above still runs.
deadline=$((SECONDS + ${LINK_E2E_SECONDS:-150}))
while kill -0 "$test_pid" 2>/dev/null; do
  if [ "$SECONDS" -ge "$deadline" ]; then
    echo "run-link-e2e: the test did not finish in time" >&2
    exit 1
  fi
  line=""
  if IFS= read -r -t 0.1 -u 5 line; then
    line="$pending$line"
    pending=""
  else
    pending="$pending$line"   # a timed-out read keeps what it got of a line
    continue
  fi
  read -r id cmd rest <<<"$line"
  case "$cmd" in
    emu) printf '%s\n' "$rest" >&4 ;;
    unplug) unplug ;;
    plug) plug ;;
    *) echo "run-link-e2e: unknown request: $line" >&2 ;;
  esac
  [ -n "$id" ] && : >"$T/ack/$id"
done
wait "$test_pid"
rc=$?
test_pid=""
if [ "$rc" != 0 ] && [ -s "$T/emu.err" ]; then
  echo "--- emulator:"; cat "$T/emu.err"
fi
exit "$rc"
