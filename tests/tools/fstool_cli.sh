#!/usr/bin/env bash
# Checks the fstool command line as a user meets it: exit codes, messages, files written or not.
# usage: fstool_cli.sh FSTOOL [RUNNER]   (RUNNER: e.g. "wine" for fstool.exe)
set -u
FSTOOL=$1
RUNNER=${2:-}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

fstool() { $RUNNER "$FSTOOL" "$@"; }
check() {  # check NAME COMMAND...: PASS when the command succeeds
  local name=$1; shift
  if "$@"; then echo "PASS $name"; else echo "FAIL $name"; fi
}
same() { cmp -s "$1" "$2"; }
hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }

# Fixtures: text, random bytes, an empty file.
printf 'abcabcabc' >"$WORK/abc"
head -c 200000 /dev/urandom >"$WORK/random"
{ for i in $(seq 1 3000); do echo "line $i of a repetitive text, line $((i % 7))"; done; } >"$WORK/text"
: >"$WORK/empty"

check "help lists the commands" bash -c "$RUNNER '$FSTOOL' help | grep -q '^  compress'"
check "help of one command" bash -c "$RUNNER '$FSTOOL' help unseal | grep -q 'usage: fstool unseal'"
fstool frobnicate >/dev/null 2>&1; check "unknown command exits 2" test $? -eq 2

# compress / decompress
for method in lzrb lzrd lzwb; do
  for f in abc random text empty; do
    fstool compress --method $method "$WORK/$f" "$WORK/$f.$method" &&
      fstool decompress --method $method "$WORK/$f.$method" "$WORK/$f.$method.out"
    check "$method round trip of $f" same "$WORK/$f" "$WORK/$f.$method.out"
  done
done
fstool compress "$WORK/abc" "$WORK/abc.default"
check "lzrb is the default and its bytes are exact" test "$(hex "$WORK/abc.default")" = "09000000076162630230"
check "text shrinks" test "$(stat -c %s "$WORK/text.lzrb")" -lt "$(stat -c %s "$WORK/text")"
fstool decompress --method lzrd "$WORK/text.lzrb" "$WORK/wrong" 2>"$WORK/err"
rc=$?
check "decoding with the wrong method fails" test $rc -eq 1
check "and writes nothing" test ! -e "$WORK/wrong"
fstool compress --method zip "$WORK/abc" "$WORK/x" 2>/dev/null; check "unknown method exits 2" test $? -eq 2
fstool compress "$WORK/missing" "$WORK/x" 2>"$WORK/err"
rc=$?
check "missing input fails" test $rc -eq 1
check "with one line naming the file" bash -c "[ \$(wc -l <'$WORK/err') -eq 1 ] && grep -q missing '$WORK/err'"
check "and writes nothing" test ! -e "$WORK/x"
fstool compress "$WORK/abc" 2>/dev/null; check "a missing argument exits 2" test $? -eq 2

# seal / unseal / md5
fstool seal --key secret "$WORK/empty" "$WORK/empty.sealed"
check "a sealed empty file is 36 bytes" test "$(stat -c %s "$WORK/empty.sealed")" -eq 36
fstool seal --key secret "$WORK/random" "$WORK/random.sealed" &&
  fstool unseal --key secret "$WORK/random.sealed" "$WORK/random.opened"
check "seal round trip" same "$WORK/random" "$WORK/random.opened"
fstool unseal --key wrong "$WORK/random.sealed" "$WORK/bad" 2>"$WORK/err"
rc=$?
check "a wrong key exits 1" test $rc -eq 1
check "with the damage message" grep -qx 'Данные повреждены или испорчены.' "$WORK/err"
check "and writes nothing" test ! -e "$WORK/bad"
cp "$WORK/random.sealed" "$WORK/flipped"
printf '\x55' | dd of="$WORK/flipped" bs=1 seek=1000 conv=notrunc status=none
fstool unseal --key secret "$WORK/flipped" "$WORK/bad" 2>/dev/null
check "a damaged file is refused" test $? -eq 1 -a ! -e "$WORK/bad"
check "md5 of nothing" test "$(fstool md5 "$WORK/empty")" = "D41D8CD98F00B204E9800998ECF8427E"
check "md5 agrees with md5sum" test "$(fstool md5 "$WORK/random")" = "$(md5sum "$WORK/random" | cut -c1-32 | tr a-f A-F)"
fstool seal "$WORK/abc" "$WORK/x" 2>/dev/null; check "seal without a key exits 2" test $? -eq 2
