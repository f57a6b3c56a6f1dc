#!/usr/bin/env bash
# Builds everything and runs every test: the window-free core natively (plain, and under
# AddressSanitizer + UBSan; threads, receive buffer and link under ThreadSanitizer), the fuzz
# targets for a bounded time each, and the Windows tests through Wine on a private virtual
# display. Stops everything it started, also on failure or when it is interrupted (each
# background build and fuzzer runs in a process group of its own, which is stopped whole: the
# compilers and workers with it).
#
# The Windows program and tests are built twice, 32-bit (what ships) and 64-bit. The 64-bit
# suites always run; the 32-bit ones wherever this machine executes 32-bit code (some machines
# run 64-bit user code only). Each runs in its own prefix and virtual display, side by side.
#
#   scripts/test.sh            full run (what CI runs)
#   FUZZ_SECONDS=10 scripts/test.sh   shorter fuzzing
#   ORBEX_WINE_ARCH=win64 scripts/test.sh   the 64-bit suites only, as where 32-bit code cannot run
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-$(nproc)}

bash scripts/setup.sh || exit 1

. scripts/wine-env.sh
. scripts/wine-arch.sh
started=$(date +%s)
background_groups=()
# in_background <command...>: runs the command as a background job in a process group of its
# own (job control is on only while it starts) and records the group.
in_background() {
  set -m
  "$@" </dev/null &
  set +m
  background_groups+=("$!")
}
# Waits for every background job; their groups are gone then.
wait_background() {
  wait
  background_groups=()
}
stop_background() {
  local g
  for g in "${background_groups[@]}"; do kill -TERM -- "-$g" 2>/dev/null; done
  background_groups=()
}
cleanup() { stop_background; orbex_wine_stop; }
trap cleanup EXIT
trap 'exit 130' INT TERM

step() { printf '\n=== %s\n' "$*"; }
failed=()
passed_total=0
failed_total=0

# ctest prints "N% tests passed, M tests failed out of T"; keep a running total.
count_ctest() {
  local log=$1 line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  [ -n "$line" ] || return
  local f t
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed_total=$((passed_total + t - f))
  failed_total=$((failed_total + f))
}

build() {
  local preset=$1 jobs=$2
  step "build $preset"
  cmake --preset "$preset" >"$logs/build-$preset.log" 2>&1 || { cat "$logs/build-$preset.log"; return 1; }
  cmake --build --preset "$preset" -j "$jobs" >>"$logs/build-$preset.log" 2>&1 || {
    grep -E 'error|Error|warning' "$logs/build-$preset.log" | head -n 60; return 1; }
  echo "built $preset"
}

mkdir -p build
logs="$top/build/logs"
mkdir -p "$logs"
cd "$logs"

# The builds are independent; build them side by side, sharing the machine: each gets a part
# of JOBS by its size (the ThreadSanitizer preset builds only its two tests).
build_presets=(native native-san native-tsan win win64)
build_weights=(2 2 1 3 3)
build_weight_total=0
for w in "${build_weights[@]}"; do build_weight_total=$((build_weight_total + w)); done
# One build: its output and exit code go to the logs.
build_logged() {
  (cd "$top" && build "$1" "$2") >"$logs/build-$1.out" 2>&1
  echo $? >"$logs/build-$1.rc"
}
for i in "${!build_presets[@]}"; do
  p=${build_presets[$i]}
  rm -f "$logs/build-$p.rc"
  n=$((JOBS * build_weights[i] / build_weight_total))
  [ "$n" -ge 1 ] || n=1
  in_background build_logged "$p" "$n"
done
wait_background
for p in "${build_presets[@]}"; do
  cat "$logs/build-$p.out"
  if [ "$(cat "$logs/build-$p.rc")" != 0 ]; then failed+=("build $p"); fi
done

# run_ctest <preset> [name] [ctest options...]: the preset's tests, logged and reported under
# the name (the preset's by default).
run_ctest() {
  local preset=$1 name=${2:-$1}
  shift $(( $# >= 2 ? 2 : 1 ))
  step "tests $name"
  (cd "$top" && ctest --preset "$preset" -j "$JOBS" "$@") 2>&1 | tee "$logs/ctest-$name.log"
  local rc=${PIPESTATUS[0]}
  count_ctest "$logs/ctest-$name.log"
  [ "$rc" = 0 ] || failed+=("tests $name")
}

[ -f "$logs/build-native.rc" ] && [ "$(cat "$logs/build-native.rc")" = 0 ] && run_ctest native
[ "$(cat "$logs/build-native-san.rc")" = 0 ] && {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
  run_ctest native-san
  step "fuzz (${FUZZ_SECONDS}s each)"
  fuzzers=$(find "$top/build/native-san/fuzz" -maxdepth 2 -type f -executable -name 'fuzz_*' ! -name '*_replay' 2>/dev/null | sort)
  # One fuzzer: its output and exit code go to the logs.
  fuzz_logged() {
    local f=$1 name
    name=$(basename "$f")
    local corpus="$top/build/native-san/fuzz-corpus/$name" seeds="$top/fuzz/corpus/$name" dict=()
    mkdir -p "$corpus" "$top/build/native-san/fuzz-crashers"
    [ -f "$top/fuzz/$name.dict" ] && dict=(-dict="$top/fuzz/$name.dict")
    "$f" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        "${dict[@]}" -artifact_prefix="$top/build/native-san/fuzz-crashers/$name-" \
        "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) >"$logs/$name.log" 2>&1
    echo $? >"$logs/$name.rc"
  }
  # At most JOBS fuzzers at a time, one core each.
  running=0
  for f in $fuzzers; do
    rm -f "$logs/$(basename "$f").rc"
    if [ "$running" -ge "$JOBS" ]; then wait -n; running=$((running - 1)); fi
    in_background fuzz_logged "$f"
    running=$((running + 1))
  done
  wait_background
  for f in $fuzzers; do
    name=$(basename "$f")
    if [ "$(cat "$logs/$name.rc")" = 0 ]; then
      echo "$name: no finding"; passed_total=$((passed_total + 1))
    else
      echo "$name: FINDING"; tail -n 40 "$logs/$name.log"; failed+=("$name"); failed_total=$((failed_total + 1))
    fi
  done
}
# ThreadSanitizer: the preset's test filter and options (any report fails the test).
[ "$(cat "$logs/build-native-tsan.rc")" = 0 ] && run_ctest native-tsan
# One Windows suite: the build's tests in a prefix of its kind, then the skinned forms once
# more where the system reports Windows 10 (composition on). Runs in a subshell of its own
# (its Wine environment stays there); each ctest run's log and exit code go to the logs.
# A test that times out is run once more (ctest logs both runs); a test that hangs twice fails.
windows_suite() {
  local preset=$1 arch=$2 jobs=$3 rc
  if orbex_wine_start "$top/build/$preset" "$arch"; then
    echo "$preset: display $DISPLAY, prefix $WINEPREFIX"
    (cd "$top" && ctest --preset "$preset" -j "$jobs" --repeat after-timeout:2) >"$logs/ctest-$preset.log" 2>&1
    echo $? >"$logs/ctest-$preset.rc"
  else
    echo "$preset: Wine did not start" >"$logs/ctest-$preset.log"; echo 1 >"$logs/ctest-$preset.rc"
  fi
  orbex_wine_stop
  if orbex_wine_start "$top/build/$preset" "$arch" virtual win10; then
    echo "$preset-win10: display $DISPLAY, prefix $WINEPREFIX"
    (cd "$top" && ctest --preset "$preset" -j "$jobs" -L skinforms --repeat after-timeout:2) \
      >"$logs/ctest-$preset-win10.log" 2>&1
    echo $? >"$logs/ctest-$preset-win10.rc"
  else
    echo "$preset-win10: Wine did not start" >"$logs/ctest-$preset-win10.log"; echo 1 >"$logs/ctest-$preset-win10.rc"
  fi
  orbex_wine_stop
}

# Which Windows suites run here: 64-bit always, 32-bit where this machine executes it.
suites=(win64:win64)
no32=""
if orbex_runs_32bit; then
  [ -x /usr/lib/wine/wine ] && suites=(win:win32 "${suites[@]}") ||
    no32="the 32-bit Wine loader is not installed (scripts/setup.sh could not install wine32:i386)"
else
  no32=$ORBEX_NO32_WHY
fi
step "Windows suites: ${suites[*]%%:*}"
[ -z "$no32" ] || echo "32-bit Windows suite not run: $no32"
suite_jobs=$((JOBS / ${#suites[@]}))
[ "$suite_jobs" -ge 1 ] || suite_jobs=1
ran_suites=()
for s in "${suites[@]}"; do
  preset=${s%%:*}
  rm -f "$logs/ctest-$preset.rc" "$logs/ctest-$preset-win10.rc"
  if [ "$(cat "$logs/build-$preset.rc")" = 0 ]; then
    in_background windows_suite "$preset" "${s##*:}" "$suite_jobs"
    ran_suites+=("$preset")
  fi
done
wait_background
for preset in "${ran_suites[@]}"; do
  for name in "$preset" "$preset-win10"; do
    step "tests $name"
    cat "$logs/ctest-$name.log"
    count_ctest "$logs/ctest-$name.log"
    [ "$(cat "$logs/ctest-$name.rc" 2>/dev/null)" = 0 ] || failed+=("tests $name")
  done
done

step "summary"
echo "Windows suites run: ${ran_suites[*]:-none}"
[ -z "$no32" ] || echo "32-bit Windows suite not run: $no32"
echo "wall time: $(( $(date +%s) - started )) s"
if [ "${#failed[@]}" -gt 0 ]; then
  printf 'failed: %s\n' "${failed[@]}"
  failed_total=$((failed_total > 0 ? failed_total : ${#failed[@]}))
fi
echo "${passed_total} passed, ${failed_total} failed"
[ "${#failed[@]}" = 0 ]
