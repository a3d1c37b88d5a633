# Helpers of the test and run scripts: building presets, running GoogleTest suites natively or
# under Wine, and counting the results.

TOTAL_PASSED=0
TOTAL_FAILED=0
SUITE_LINES=()

step() { printf '\n== %s (%s free, %d min %02d s in)\n' "$*" "$(df -h --output=avail . | tail -n 1 | tr -d ' ')" $((SECONDS / 60)) $((SECONDS % 60)); }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# build_preset PRESET [TARGET...]: configures and builds a preset (only the targets, when given).
build_preset() {
  local preset=$1 log="build/$1-build.log"
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  mkdir -p build
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" "${targets[@]}"; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    return 1
  fi
  echo "built $preset (log: $log)"
}

# drop_objects PRESET: with MARLOWEN_SPARE_DISK=1 (CI machines may have little disk), removes a
# preset's object files once its programs are built; the programs are all the later steps need.
drop_objects() {
  [ "${MARLOWEN_SPARE_DISK:-0}" = 1 ] || return 0
  find "build/$1" -name '*.o' -delete 2>/dev/null || true
}

# drop_folder PATH: the same for a folder no later step reads (a Wine prefix of a finished step).
drop_folder() {
  [ "${MARLOWEN_SPARE_DISK:-0}" = 1 ] || return 0
  rm -rf "$1"
}

# A new, empty Wine prefix (32-bit programs run in its WoW64 part); quiet and without the
# installers for .NET and HTML support.
fresh_wineprefix() {
  export WINEPREFIX="$PWD/$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w 2>/dev/null || true
  [ -f "$WINEPREFIX/system.reg" ]
}

# run_gtest LABEL COMMAND...: runs one GoogleTest executable and adds its counts to the totals.
run_gtest() {
  local label=$1; shift
  local out rc passed failed skipped
  out=$(mktemp)
  "$@" --gtest_brief=1 >"$out" 2>"$out.err"
  rc=$?
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$out" | tail -n 1)
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' "$out" | tail -n 1)
  skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}[.,].*/\1/p' "$out" | tail -n 1)
  passed=${passed:-0}
  failed=${failed:-0}
  skipped=${skipped:-0}
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1  # crashed or failed outside a test
  fi
  grep -v '^\[' "$out" | sed '/^$/d' | head -n 200
  [ "$rc" -ne 0 ] && head -n 50 "$out.err" >&2
  tail -n 3 "$out"
  rm -f "$out" "$out.err"
  TOTAL_PASSED=$((TOTAL_PASSED + passed))
  TOTAL_FAILED=$((TOTAL_FAILED + failed))
  local line
  line=$(printf '%-32s %5d passed, %d failed' "$label" "$passed" "$failed")
  # A skipped test is one the host cannot run (named with its reason in the output above).
  [ "$skipped" -gt 0 ] && line+=", $skipped skipped"
  SUITE_LINES+=("$line")
}

# Counts a scripted check (end-to-end scenario, fuzz run) as one test.
record_check() {
  local label=$1 ok=$2
  if [ "$ok" -eq 0 ]; then
    TOTAL_PASSED=$((TOTAL_PASSED + 1))
    SUITE_LINES+=("$(printf '%-32s PASS' "$label")")
  else
    TOTAL_FAILED=$((TOTAL_FAILED + 1))
    SUITE_LINES+=("$(printf '%-32s FAIL' "$label")")
  fi
}

summary() {
  step "summary"
  printf '%s\n' "${SUITE_LINES[@]}"
  echo "$TOTAL_PASSED passed, $TOTAL_FAILED failed"
  [ "$TOTAL_FAILED" -eq 0 ] && [ "$TOTAL_PASSED" -gt 0 ]
}

# run_check_script LABEL COMMAND...: runs a script that prints one "PASS name" or "FAIL name"
# line per check; each line counts as one test.
run_check_script() {
  local label=$1; shift
  local out passed failed rc
  out=$(mktemp)
  "$@" >"$out" 2>&1
  rc=$?
  passed=$(grep -c '^PASS ' "$out")
  failed=$(grep -c '^FAIL ' "$out")
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  grep -v '^PASS ' "$out" | head -n 100
  rm -f "$out"
  TOTAL_PASSED=$((TOTAL_PASSED + passed))
  TOTAL_FAILED=$((TOTAL_FAILED + failed))
  SUITE_LINES+=("$(printf '%-32s %5d passed, %d failed' "$label" "$passed" "$failed")")
}

# run_fuzzer FUZZER SEED_DIR SECONDS: a bounded libFuzzer run over a copy of the seed corpus
# (the seeds in the repository stay as they are); a crash or sanitizer report fails it.
run_fuzzer() {
  local fuzzer=$1 seeds=$2 seconds=$3 name corpus log rc
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  log="build/fuzz/$name.log"
  [ -d "$seeds" ] && cp -r "$seeds/." "$corpus/"
  # A dictionary beside the seeds (SEED_DIR.dict) gives the fuzzer the spellings that matter.
  local dict=()
  [ -f "$seeds.dict" ] && dict=(-dict="$seeds.dict")
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="build/fuzz/$name-" "$corpus" >"$log" 2>&1
  rc=$?
  rm -rf "$corpus"
  printf '%s: %s\n' "$name" "$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2 " runs"}')"
  [ "$rc" -ne 0 ] && tail -n 30 "$log" >&2
  record_check "fuzz $name" "$rc"
}
