#!/usr/bin/env bash
# Builds everything and runs every test: the window-free core natively (plain, and under
# AddressSanitizer + UBSan; threads, receive buffer and link under ThreadSanitizer), the fuzz
# targets for a bounded time each, and the Windows tests through Wine on a private virtual
# display. Stops everything it started, also on failure.
#
#   scripts/test.sh            full run (what CI runs)
#   FUZZ_SECONDS=10 scripts/test.sh   shorter fuzzing
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-$(nproc)}

bash scripts/setup.sh || exit 1

. scripts/wine-env.sh
cleanup() { orbex_wine_stop; }
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
  local preset=$1
  step "build $preset"
  cmake --preset "$preset" >"$logs/build-$preset.log" 2>&1 || { cat "$logs/build-$preset.log"; return 1; }
  cmake --build --preset "$preset" -j "$JOBS" >>"$logs/build-$preset.log" 2>&1 || {
    grep -E 'error|Error|warning' "$logs/build-$preset.log" | head -n 60; return 1; }
  echo "built $preset"
}

mkdir -p build
logs="$top/build/logs"
mkdir -p "$logs"
cd "$logs"

# The builds are independent; build them side by side, each with the whole machine (the
# ThreadSanitizer preset builds only its two tests).
for p in native native-san native-tsan win; do
  (cd "$top" && build "$p" >"$logs/build-$p.out" 2>&1; echo $? >"$logs/build-$p.rc") &
done
wait
for p in native native-san native-tsan win; do
  cat "$logs/build-$p.out"
  if [ "$(cat "$logs/build-$p.rc")" != 0 ]; then failed+=("build $p"); fi
done

run_ctest() {
  local preset=$1; shift
  step "tests $preset"
  (cd "$top" && ctest --preset "$preset" -j "$JOBS" "$@") 2>&1 | tee "$logs/ctest-$preset.log"
  local rc=${PIPESTATUS[0]}
  count_ctest "$logs/ctest-$preset.log"
  [ "$rc" = 0 ] || failed+=("tests $preset")
}

[ -f "$logs/build-native.rc" ] && [ "$(cat "$logs/build-native.rc")" = 0 ] && run_ctest native
[ "$(cat "$logs/build-native-san.rc")" = 0 ] && {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
  run_ctest native-san
  step "fuzz (${FUZZ_SECONDS}s each)"
  fuzzers=$(find "$top/build/native-san/fuzz" -maxdepth 2 -type f -executable -name 'fuzz_*' ! -name '*_replay' 2>/dev/null | sort)
  for f in $fuzzers; do
    name=$(basename "$f")
    corpus="$top/build/native-san/fuzz-corpus/$name"
    mkdir -p "$corpus" "$top/build/native-san/fuzz-crashers"
    seeds="$top/fuzz/corpus/$name"
    dict=()
    [ -f "$top/fuzz/$name.dict" ] && dict=(-dict="$top/fuzz/$name.dict")
    ( "$f" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        "${dict[@]}" -artifact_prefix="$top/build/native-san/fuzz-crashers/$name-" \
        "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) >"$logs/$name.log" 2>&1
      echo $? >"$logs/$name.rc" ) &
  done
  wait
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
[ "$(cat "$logs/build-win.rc")" = 0 ] && {
  step "start Wine"
  if orbex_wine_start "$top/build/win"; then
    echo "display $DISPLAY, prefix $WINEPREFIX"
    run_ctest win
  else
    failed+=("wine start")
  fi
  orbex_wine_stop
}

step "summary"
if [ "${#failed[@]}" -gt 0 ]; then
  printf 'failed: %s\n' "${failed[@]}"
  failed_total=$((failed_total > 0 ? failed_total : ${#failed[@]}))
fi
echo "${passed_total} passed, ${failed_total} failed"
[ "${#failed[@]}" = 0 ]
