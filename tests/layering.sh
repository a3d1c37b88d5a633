#!/usr/bin/env bash
# Checks that dependencies between the source folders point downwards only
# (setup -> skin -> storage -> core), that neither platform backend includes the other, and that
# portable code never includes the Windows headers.
# One "PASS name" or "FAIL name" line per rule; exits 1 when any rule is broken.
# usage: tests/layering.sh [SOURCE_ROOT]   (default: the repository's src/)
set -u
SRC=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
failed=0

# The Windows entry point of Setup.exe is built for Windows only and is no portable code.
ENTRY_POINT=setup/SetupMain.cpp

# includes FOLDER PATTERN: the include lines of FOLDER's sources that match PATTERN.
includes() {
  # Unquoted on purpose: "platform/*.h" stands for the interface headers only.
  # shellcheck disable=SC2086
  grep -rnE --include='*.h' --include='*.cpp' --include='*.inl' "^\s*#\s*include\s*[<\"]($2)" $SRC/$1 2>/dev/null |
    grep -v "^$SRC/$ENTRY_POINT:"
}

# rule NAME FOLDER PATTERN: FOLDER includes nothing matching PATTERN.
rule() {
  local found
  found=$(includes "$2" "$3")
  if [ -z "$found" ]; then
    echo "PASS $1"
  else
    echo "FAIL $1"
    printf '%s\n' "$found" | sed "s|^$SRC/|  src/|"
    failed=1
  fi
}

rule "core stands alone" core 'platform/|storage/|skin/|setup/'
rule "storage needs only core" storage 'platform/|skin/|setup/'
rule "skin does not reach into setup" skin 'setup/'
rule "skin uses the platform interfaces only" skin 'platform/(win32|headless)/'
rule "the platform interfaces stand alone" 'platform/*.h' 'storage/|skin/|setup/|platform/(win32|headless|shared)/'
# Each backend stands on the interfaces and the code both share, never on the other backend.
rule "the Win32 backend never includes the headless one" platform/win32 'platform/headless/'
rule "the headless backend never includes the Win32 one" platform/headless 'platform/win32/'
rule "the shared platform code belongs to neither backend" platform/shared 'platform/(win32|headless)/|skin/|setup/'
SYSTEM_HEADERS='[Ww]indows\.h|[Ww]inbase\.h|[Ww]indef\.h|[Ss]hlobj\.h|[Ss]hellapi\.h|unistd\.h|sys/'
for folder in core storage skin setup; do
  rule "$folder never includes the system headers" "$folder" "$SYSTEM_HEADERS"
done
rule "the platform interfaces never include the system headers" 'platform/*.h' "$SYSTEM_HEADERS"
exit $failed
