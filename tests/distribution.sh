#!/usr/bin/env bash
# Checks the distribution folder as it ships: the programs stripped of symbols and debug
# information, each naming its debug file, and the debug files beside the build resolving an
# address of the program to its function and source line (what a crash report needs).
# One "PASS name" or "FAIL name" line per check; exits 1 when any fails.
# usage: tests/distribution.sh DIST_DIR SYMBOLS_DIR TOOL_PREFIX   (e.g. dist build/win32/symbols i686-w64-mingw32-)
set -u
DIST=$1
SYMBOLS=$2
TOOLS=$3
failed=0

check() {
  local name=$1; shift
  if "$@"; then echo "PASS $name"; else echo "FAIL $name"; failed=1; fi
}

no_debug_sections() { ! "${TOOLS}objdump" -h "$1" | grep -q ' \.debug_'; }
no_symbols() { "${TOOLS}nm" "$1" 2>&1 | grep -q 'no symbols'; }
names_debug_file() { "${TOOLS}objcopy" --dump-section .gnu_debuglink=/dev/stdout "$1" 2>/dev/null | grep -qa "$2"; }

# resolves PROGRAM_DEBUG SOURCE: the entry point's address, as a crash report would give it, leads
# to the function and to a line of SOURCE.
resolves() {
  local address where
  address=$("${TOOLS}nm" "$1" | awk '$3 ~ /^_?wWinMain(@16)?$/ { print $1; exit }')
  [ -n "$address" ] || return 1
  where=$("${TOOLS}addr2line" -f -C -e "$1" "0x$address")
  grep -q '^wWinMain' <<<"$where" && grep -qE "$2:[0-9]+" <<<"$where"
}

for program in Setup:SetupMain.cpp MarlowenApp:MarlowenApp.cpp; do
  name=${program%%:*}
  source=${program#*:}
  exe="$DIST/$name.exe"
  debug="$SYMBOLS/$name.exe.debug"
  check "$name.exe ships without debug sections" no_debug_sections "$exe"
  check "$name.exe ships without symbols" no_symbols "$exe"
  check "$name.exe names its debug file" names_debug_file "$exe" "$name.exe.debug"
  check "$name.exe.debug resolves an address to $source" resolves "$debug" "$source"
done
exit $failed
