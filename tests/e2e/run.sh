#!/usr/bin/env bash
# End-to-end scenarios: Setup.exe from the distribution folder under Wine, in an X display (the
# caller's, or Xvfb through xvfb-run), driven with xdotool. One "PASS name" or "FAIL name" line per
# scenario, then "N passed, N failed". Screenshots of every message box and Wine's traces are kept
# in build/e2e. usage: tests/e2e/run.sh [SCENARIO...]   (default: all)
set -u
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/scenarios.sh"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

for needed in "$DIST/Setup.exe" "$HELPERS/e2e_install.exe" "$HELPERS/e2e_hold.exe" "$FSTOOL"; do
  [ -e "$needed" ] || { echo "missing $needed (build both presets first)" >&2; exit 1; }
done

mkdir -p "$E2E_OUT"
scenarios=("$@")
[ ${#scenarios[@]} -eq 0 ] && scenarios=("${ALL_SCENARIOS[@]}")
passed=0
failed=0
for scenario in "${scenarios[@]}"; do
  echo "scenario $scenario"
  SCENARIO_FAILED=0
  "scenario_$scenario"
  wineserver -k 2>/dev/null
  # A prefix holds hundreds of megabytes; only the pristine one is kept (E2E_KEEP=1 keeps all).
  [ -n "${E2E_KEEP:-}" ] || rm -rf "$WINEPREFIX"
  if [ "$SCENARIO_FAILED" -eq 0 ]; then
    echo "PASS $scenario"; passed=$((passed + 1))
  else
    echo "FAIL $scenario"; failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
