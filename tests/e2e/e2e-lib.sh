# Shared machinery of the end-to-end wrappers (sourced, not run): a scratch folder, the test
# program under Wine with a deadline, and, for the tests that talk to an instrument, a pty pair
# (socat) whose one end is mapped to a COM port in the Wine prefix with the instrument emulator
# in script mode on the other end, plus the control file through which the test asks for
# actions. It owns every process it starts and the scratch folder, and stops or removes them
# all on exit, also on failure or interruption.
#
# A wrapper sets `set -u`, then calls, in this order:
#   e2e_start <name>                      scratch folder $T, clean-up on exit
#   e2e_emulator <emu> <COMnn> <app-pty>  optional: the pty pair and the emulator (plugged)
#   e2e_run_test <exe> [args...]          the test under Wine, with its own environment
#   e2e_wait <seconds> [handler]          serve requests until the test ends; sets e2e_rc
# A wrapper may define e2e_on_cleanup to remove what it added itself.
#
# Control file: the test appends lines "<id> <command> ..." to $T/ctl.txt; each is
# acknowledged by creating $T/ack/<id>. e2e_emu_request serves the emulator's commands:
#   emu <script line>   pass the line to the emulator
#   unplug              stop the emulator and the pty pair (the port goes away)
#   plug                start the pty pair and the emulator again
# A wrapper's own handler serves its further commands and passes the rest to it.

e2e_name=""
T=""
e2e_test_pid=""
e2e_test_group=""
e2e_tail_pid=""
e2e_socat_pid=""
e2e_emu_pid=""
e2e_emu=""
e2e_com=""
e2e_app_pty=""
e2e_rc=1

e2e_fail() {
  echo "$e2e_name: $*" >&2
  exit 1
}

e2e_stop_pid() {
  local p=$1
  [ -n "$p" ] || return 0
  kill "$p" 2>/dev/null
  wait "$p" 2>/dev/null
  return 0
}

# Stops the test and every program it started: the Windows programs a test starts keep the
# process group of the test (they outlive the test's own process under Wine).
e2e_stop_test() {
  [ -n "$e2e_test_group" ] || return 0
  kill -TERM -- "-$e2e_test_group" 2>/dev/null
  [ -n "$e2e_test_pid" ] && wait "$e2e_test_pid" 2>/dev/null
  local i
  for i in $(seq 1 50); do
    kill -0 -- "-$e2e_test_group" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "-$e2e_test_group" 2>/dev/null
  e2e_test_group=""
  e2e_test_pid=""
  return 0
}

e2e_cleanup() {
  e2e_stop_test
  [ -n "$e2e_emu" ] && e2e_unplug
  e2e_stop_pid "$e2e_tail_pid"
  exec 4>&- 5<&- 2>/dev/null
  if declare -F e2e_on_cleanup >/dev/null; then e2e_on_cleanup; fi
  [ -n "$T" ] && rm -rf "$T"
}

# e2e_start <name>: checks the prefix, makes the scratch folder $T and arms the clean-up.
e2e_start() {
  e2e_name=$1
  : "${WINEPREFIX:?$e2e_name: WINEPREFIX is not set (scripts/wine-env.sh orbex_wine_start)}"
  T=$(mktemp -d "/tmp/orbex-$e2e_name.XXXXXX") || e2e_fail "no scratch folder"
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
}

e2e_unplug() {
  if [ -n "$e2e_emu_pid" ]; then
    echo quit >&4
    local i
    for i in $(seq 1 50); do kill -0 "$e2e_emu_pid" 2>/dev/null || break; sleep 0.05; done
    e2e_stop_pid "$e2e_emu_pid"
    e2e_emu_pid=""
  fi
  e2e_stop_pid "$e2e_socat_pid"
  e2e_socat_pid=""
  rm -f "$e2e_com" "$T/ttyApp" "$T/ttyEmu"
}

e2e_plug() {
  socat "pty,${e2e_app_pty}link=$T/ttyApp" pty,raw,echo=0,link="$T/ttyEmu" 2>>"$T/socat.log" &
  e2e_socat_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -e "$T/ttyApp" ] && [ -e "$T/ttyEmu" ] && break
    sleep 0.05
  done
  [ -e "$T/ttyApp" ] || { echo "$e2e_name: socat did not make the pty pair" >&2; return 1; }
  ln -sfn "$T/ttyApp" "$e2e_com"
  "$e2e_emu" --script - "$T/ttyEmu" <"$T/emu.in" >>"$T/emu.out" 2>>"$T/emu.err" &
  e2e_emu_pid=$!
}

# e2e_emulator <orbex-emu> <COMnn> <app-pty-options>: maps COMnn to the program's end of a
# fresh pty pair with the emulator on the other end, and opens the control file. The
# options of the program's end are socat's, each followed by a comma ("raw,echo=0,"), or
# empty for a cooked line.
e2e_emulator() {
  e2e_emu=$1
  e2e_com="$WINEPREFIX/dosdevices/$(printf '%s' "$2" | tr '[:upper:]' '[:lower:]')"
  e2e_app_pty=$3
  [ -x "$e2e_emu" ] || e2e_fail "emulator $e2e_emu not built"
  mkfifo "$T/emu.in"
  exec 4<>"$T/emu.in"   # held open read-write: opening it never blocks, and it never ends
  mkdir "$T/ack"
  : >"$T/ctl.txt"
  e2e_plug || exit 1
}

# e2e_run_test <exe> [args...]: starts the test under Wine in the background, in a process
# group of its own (job control is on only while it starts); the caller puts the test's own
# environment before the call (VAR=value e2e_run_test ...).
e2e_run_test() {
  local exe=$1
  shift
  set -m
  wine "$exe" --gtest_brief=1 "$@" </dev/null &
  set +m
  e2e_test_pid=$!
  e2e_test_group=$!
}

# The emulator's requests; returns 1 for a command it does not know.
e2e_emu_request() {
  case "$1" in
    emu) printf '%s\n' "$2" >&4 ;;
    unplug) e2e_unplug ;;
    plug) e2e_plug ;;
    *) return 1 ;;
  esac
}

# e2e_wait <seconds> [handler]: waits for the test, serving the control file with the
# handler (called as "handler <command> <rest>", returning 1 for an unknown command) when
# there is one. Ends a hung test after <seconds>, well before ctest's own time-out, so that
# the clean-up still runs. Sets e2e_rc to the test's exit code.
e2e_wait() {
  local seconds=$1 handler=${2:-}
  local deadline=$((SECONDS + seconds)) pending="" line id cmd rest
  if [ -n "$handler" ]; then
    exec 5< <(tail -n +1 -f "$T/ctl.txt")
    e2e_tail_pid=$!
  fi
  while kill -0 "$e2e_test_pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || e2e_fail "the test did not finish in time"
    if [ -z "$handler" ]; then
      sleep 0.2
      continue
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
    "$handler" "$cmd" "$rest" || echo "$e2e_name: unknown request: $line" >&2
    [ -n "$id" ] && : >"$T/ack/$id"
  done
  wait "$e2e_test_pid"
  e2e_rc=$?
  e2e_test_pid=""
  # Whatever the test left running goes with it.
  e2e_stop_test
  if [ "$e2e_rc" != 0 ] && [ -n "$e2e_emu" ] && [ -s "$T/emu.err" ]; then
    echo "--- emulator:"; cat "$T/emu.err"
  fi
  return 0
}
