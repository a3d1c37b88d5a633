#!/usr/bin/env bash
# Checks the fstool command line as a user meets it: exit codes, messages, files written or not.
# usage: fstool_cli.sh FSTOOL [RUNNER]   (RUNNER: e.g. "wine" for fstool.exe)
set -u
FSTOOL=$1
RUNNER=${2:-}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Runs the tool; under a runner (Wine) the console's "\r\n" line ends become "\n".
fstool() {
  if [ -z "$RUNNER" ]; then "$FSTOOL" "$@"; return; fi
  local out rc
  out=$(mktemp)
  $RUNNER "$FSTOOL" "$@" >"$out" 2>"$out.err"
  rc=$?
  tr -d '\r' <"$out"
  tr -d '\r' <"$out.err" >&2
  rm -f "$out" "$out.err"
  return $rc
}
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

fstool help >"$WORK/help"; check "help lists the commands" grep -q '^  compress' "$WORK/help"
fstool help unseal >"$WORK/help"; check "help of one command" grep -q 'usage: fstool unseal' "$WORK/help"
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

# pack / list / xml
PACKS=$(cd "$(dirname "$0")/../data/packs" && pwd)
# A pack made by hand, so that list and xml are checked on every build: "d.xml" (<R x="5"><C/></R>),
# "n.txt" (no body), "s.wav" (3 bytes), "b.bmp" (1x1).
printf '\x06\x05d.xml\x06\x01R\x01\x01\x06\x01x\x01\x05\x01\x01\x06\x01C\x00\x00\x06\x05n.txt\x06\x05s.wav\x0e\x03\x00\x00\x00abc\x06\x05b.bmp\x01\x01\x01\x01\x01\x02\x03\x04' >"$WORK/seq"
fstool compress "$WORK/seq" "$WORK/hand.fs"
check "list of a hand-made pack" test "$(fstool list "$WORK/hand.fs" | tr -d '\r')" = "$(printf 'd.xml\txml <R>, 2 nodes\nn.txt\tno body\ns.wav\tsound 3 bytes\nb.bmp\tbitmap 1x1')"
check "xml prints the document" test "$(fstool xml "$WORK/hand.fs" d.xml | tr -d '\r')" = "$(printf '<?xml version="1.0" encoding="UTF-8"?>\n<R x="5">\n  <C/>\n</R>')"
head -c 40 "$WORK/seq" >"$WORK/seq.cut"
fstool compress "$WORK/seq.cut" "$WORK/cut.fs"
fstool list "$WORK/cut.fs" >/dev/null 2>"$WORK/err"
rc=$?
check "a pack cut inside an item is refused" test $rc -eq 1
check "with one line naming the item" bash -c "[ \$(wc -l <'$WORK/err') -eq 1 ] && grep -q \"'s.wav'\" '$WORK/err'"
printf 'ab' >"$WORK/short.fs"
fstool list "$WORK/short.fs" >/dev/null 2>"$WORK/err"; check "a 2-byte pack is refused" test $? -eq 1
check "as compressed data" grep -q 'Неверный формат сжатых данных.' "$WORK/err"
fstool xml "$WORK/hand.fs" n.txt >/dev/null 2>"$WORK/err"; check "xml of an item without document fails" test $? -eq 1
check "with the not-found message" grep -qF "В списке ресурсов не найден XML 'n.txt'." "$WORK/err"

if fstool help pack | grep -q 'cannot build packs'; then
  check "help says this build has no pack" bash -c "$RUNNER '$FSTOOL' help | grep -q '^  pack .*not in this build'"
  fstool pack "$PACKS/skin" "$WORK/skin.fs" >/dev/null 2>&1; check "pack fails in this build" test $? -eq 1
else
  check "help of pack gives the typing rules" bash -c "$RUNNER '$FSTOOL' help pack | grep -q '0xFFFFFFFF'"
  fstool pack "$PACKS/skin" "$WORK/skin.fs" >"$WORK/out"
  check "pack of the sample skin" test $? -eq 0
  check "notes the skipped file" grep -q 'readme.txt' "$WORK/out"
  check "ends with a summary" bash -c "tail -n 1 '$WORK/out' | grep -q ': 4 items, '"
  fstool list "$WORK/skin.fs" | sed 's/line height [0-9]*/line height H/' >"$WORK/list"
  check "list of the sample pack" test "$(cat "$WORK/list")" = "$(printf 'Fonts\\Tiny.fnt\tfont 4 glyphs, line height H\nImages\\dot.bmp\tbitmap 2x1\nXML\\Global\\Styles.xml\txml <Styles>, 5 nodes\nclick.wav\tsound 12 bytes')"
  fstool pack "$PACKS/skin" "$WORK/again.fs" >/dev/null
  check "packs are deterministic" same "$WORK/skin.fs" "$WORK/again.fs"
  fstool decompress "$WORK/skin.fs" "$WORK/skin.seq"
  check "bitmaps keep straight alpha (B G R A)" bash -c "[[ \$(od -An -tx1 -v '$WORK/skin.seq' | tr -d ' \n') == *0201010000ff8000ff00ff* ]]"
  fstool xml "$WORK/skin.fs" 'XML\Global\Styles.xml' >"$WORK/styles.xml"
  check "attribute values are typed" bash -c "grep -q 'Color=\"-15720400\"' '$WORK/styles.xml' && grep -q 'Bold=\"true\"' '$WORK/styles.xml' &&
    grep -q 'Code=\"007\"' '$WORK/styles.xml' && grep -q 'Big=\"4294967296\"' '$WORK/styles.xml' && grep -q 'Привет' '$WORK/styles.xml'"
  mkdir -p "$WORK/round/XML/Global"
  cp "$WORK/styles.xml" "$WORK/round/XML/Global/Styles.xml"
  fstool pack "$WORK/round" "$WORK/round.fs" >/dev/null
  check "printed documents pack back to the same document" test "$(fstool xml "$WORK/round.fs" 'XML\Global\Styles.xml')" = "$(cat "$WORK/styles.xml")"

  printf 'old' >"$WORK/kept.fs"
  fstool pack "$PACKS/bad" "$WORK/kept.fs" >/dev/null 2>"$WORK/err"
  rc=$?
  check "malformed XML fails" test $rc -eq 1
  check "naming file, line and column" bash -c "[ \$(wc -l <'$WORK/err') -eq 1 ] && grep -q 'Broken.xml:4:[0-9]*: ' '$WORK/err'"
  check "and leaves the output as it was" test "$(cat "$WORK/kept.fs")" = old
  mkdir -p "$WORK/badpng"
  printf 'not a png' >"$WORK/badpng/logo.png"
  fstool pack "$WORK/badpng" "$WORK/badpng.fs" >/dev/null 2>"$WORK/err"
  rc=$?
  check "an unreadable image fails by name" bash -c "[ $rc -eq 1 ] && grep -q 'logo.png' '$WORK/err' && [ ! -e '$WORK/badpng.fs' ]"
  mkdir -p "$WORK/twice"
  cp "$PACKS/skin/Images/dot.png" "$WORK/twice/a.png"
  cp "$PACKS/skin/Images/dot.png" "$WORK/twice/a.PNG"
  fstool pack "$WORK/twice" "$WORK/twice.fs" >/dev/null 2>&1; check "two sources of one item are refused" test $? -eq 1
  # Pictures for a display scale: "NAME@2x.png" beside "NAME.png", at that size (a side may be
  # rounded either way where it is not whole); fonts rendered for the scales they ask for.
  png() { convert -size "$1" xc:'#2F6FD6' -depth 8 "PNG32:$2"; }
  mkdir -p "$WORK/scaled/Images" "$WORK/scaled/Fonts"
  png 13x10 "$WORK/scaled/Images/Next.png"
  png 20x15 "$WORK/scaled/Images/Next@1.5x.png"
  png 26x20 "$WORK/scaled/Images/Next@2x.png"
  { cat "$PACKS/skin/Fonts/Tiny.font"; echo 'scales = 200% 1.5x'; } >"$WORK/scaled/Fonts/Tiny.font"
  fstool pack "$WORK/scaled" "$WORK/scaled.fs" >"$WORK/out" 2>"$WORK/err"
  check "pictures and fonts for display scales are packed" test $? -eq 0
  fstool list "$WORK/scaled.fs" | cut -f1 >"$WORK/list"
  check "as items of their own names" test "$(tr '\n' ' ' <"$WORK/list")" = 'Fonts\Tiny.fnt Fonts\Tiny@1.5x.fnt Fonts\Tiny@2x.fnt Images\Next.bmp Images\Next@1.5x.bmp Images\Next@2x.bmp '
  lines() { fstool list "$WORK/scaled.fs" | grep "^Fonts.Tiny$1" | sed 's/.*line height //'; }
  check "the font for 200 % is rendered at twice the size" test "$(lines @2x)" -ge $(($(lines .fnt) * 2 - 1))
  png 25x20 "$WORK/scaled/Images/Next@2x.png"
  fstool pack "$WORK/scaled" "$WORK/bad.fs" >/dev/null 2>"$WORK/err"
  check "a picture of the wrong size for its scale is refused" bash -c "[ $? -eq 1 ] && grep -q 'Next@2x.png: 25x20 is not the 13x10' '$WORK/err' && [ ! -e '$WORK/bad.fs' ]"
  rm "$WORK/scaled/Images/Next.png" "$WORK/scaled/Images/Next@2x.png"
  fstool pack "$WORK/scaled" "$WORK/bad.fs" >/dev/null 2>"$WORK/err"
  check "a picture for a scale without its 100 % picture is refused" bash -c "[ $? -eq 1 ] && grep -q 'Next@1.5x.png: a picture for 150% without' '$WORK/err'"
  fstool pack "$WORK/missing" "$WORK/x.fs" >/dev/null 2>&1; check "pack of a missing folder fails" test $? -eq 1
  if [ -z "$RUNNER" ]; then
    # A subfolder the tool may not list (root reads any folder, so it runs without its rights).
    mkdir -p "$WORK/locked/Secret"
    cp "$PACKS/skin/Images/dot.png" "$WORK/locked/a.png"
    cp "$PACKS/skin/Images/dot.png" "$WORK/locked/Secret/b.png"
    chmod 000 "$WORK/locked/Secret"
    as_user=()
    [ "$(id -u)" = 0 ] && as_user=(setpriv --inh-caps=-all --bounding-set=-all)
    "${as_user[@]}" "$FSTOOL" pack "$WORK/locked" "$WORK/locked.fs" >/dev/null 2>"$WORK/err"
    rc=$?
    chmod 755 "$WORK/locked/Secret"
    check "an unreadable subfolder fails by name" bash -c "[ $rc -eq 1 ] && grep -q 'Secret: cannot be listed' '$WORK/err' && [ ! -e '$WORK/locked.fs' ]"
  fi
fi

# render
png_size() {  # the width x height of a PNG file's header, or nothing when it is no PNG
  [ "$(od -An -tx1 -N8 "$1" 2>/dev/null | tr -d ' \n')" = 89504e470d0a1a0a ] || return
  local h
  h=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  printf '%dx%d' "0x${h:0:8}" "0x${h:8:8}"
}
png_colour_type() { od -An -tu1 -j25 -N1 "$1" | tr -d ' '; }
check "help describes render" bash -c "$RUNNER '$FSTOOL' help render | grep -q 'usage: fstool render'"
if fstool help render | grep -q 'cannot write PNG'; then
  check "help says this build has no render" bash -c "$RUNNER '$FSTOOL' help | grep -q '^  render .*not in this build'"
  fstool render --packs "$WORK" 'XML\Screen.xml' "$WORK/x.png" >/dev/null 2>&1
  check "render fails in this build" test $? -eq 1 -a ! -e "$WORK/x.png"
else
  mkdir -p "$WORK/rp"
  fstool pack "$PACKS/render" "$WORK/rp/Render.fs" >/dev/null
  fstool render --packs "$WORK/rp" 'XML\Screen.xml' "$WORK/screen.png"
  check "render writes a PNG of the document's size" test "$(png_size "$WORK/screen.png")" = 40x30
  fstool render --packs "$WORK/rp" --size 123x45 --lang rus --set Mode=dark --set Other=1 --focus panel \
    'XML\Screen.xml' "$WORK/sized.png"
  check "--size sets the window's size" test "$(png_size "$WORK/sized.png")" = 123x45
  fstool render --packs "$WORK/rp" 'XML\Screen.xml' "$WORK/again.png"
  check "renders are deterministic" same "$WORK/screen.png" "$WORK/again.png"
  fstool render --packs "$WORK/rp" --scale 150% 'XML\Screen.xml' "$WORK/scaled.png"
  check "--scale 150% makes the image floor(1.5 W) x floor(1.5 H)" test "$(png_size "$WORK/scaled.png")" = 60x45
  fstool render --packs "$WORK/rp" --scale 1.5x 'XML\Screen.xml' "$WORK/scaled-x.png"
  check "--scale 1.5x is the same scale" same "$WORK/scaled.png" "$WORK/scaled-x.png"
  fstool render --packs "$WORK/rp" --scale 100% 'XML\Screen.xml' "$WORK/unscaled.png"
  check "--scale 100% is the unscaled render" same "$WORK/screen.png" "$WORK/unscaled.png"
  fstool render --packs "$WORK/rp" --scale 200% 'XML\Window.xml' "$WORK/window-200.png"
  check "a window at 200% keeps its shape's alpha" test "$(png_size "$WORK/window-200.png")-$(png_colour_type "$WORK/window-200.png")" = 60x40-6
  fstool render --packs "$WORK/rp" 'XML\Global\Games.xml' "$WORK/games.png"
  check "a document without a size is 562x294" test "$(png_size "$WORK/games.png")" = 562x294
  fstool render --packs "$WORK/rp" 'XML\Window.xml' "$WORK/window.png"
  check "a window renders at its size" test "$(png_size "$WORK/window.png")" = 30x20
  check "with its alpha (RGBA)" test "$(png_colour_type "$WORK/window.png")" = 6
  check "a screen keeps RGB" test "$(png_colour_type "$WORK/screen.png")" = 2
  fstool render --packs "$WORK/rp" --passive 'XML\Window.xml' "$WORK/passive.png"
  check "--passive shows the other look" bash -c "[ -s '$WORK/passive.png' ] && ! cmp -s '$WORK/window.png' '$WORK/passive.png'"
  fstool render --packs "$WORK/rp" --passive 'XML\Screen.xml' "$WORK/x.png" 2>"$WORK/err"
  check "--passive of a document that is no window exits 1" test $? -eq 1 -a ! -e "$WORK/x.png"

  printf 'old' >"$WORK/kept.png"
  fstool render --packs "$WORK/rp" 'XML\Missing.xml' "$WORK/kept.png" 2>"$WORK/err"
  rc=$?
  check "an unknown document exits 1" test $rc -eq 1
  check "with the system's message" grep -qxF "В списке ресурсов не найден XML 'XML\\Missing.xml'." "$WORK/err"
  check "and leaves the output as it was" test "$(cat "$WORK/kept.png")" = old
  fstool render --packs "$WORK/rp" 'XML\Broken.xml' "$WORK/broken.png" 2>"$WORK/err"
  rc=$?
  check "a missing required attribute exits 1" test $rc -eq 1
  check "with the attribute message" grep -qxF 'Property LastFrame not found.' "$WORK/err"
  check "and writes nothing" test ! -e "$WORK/broken.png"
  for option in hover press focus; do
    fstool render --packs "$WORK/rp" --$option Nope 'XML\Screen.xml' "$WORK/nope.png" 2>"$WORK/err"
    rc=$?
    check "an unknown control for --$option exits 1" test $rc -eq 1 -a ! -e "$WORK/nope.png"
    check "naming the control" grep -qxF "TCustomGraphControl 'Nope' not found." "$WORK/err"
  done
  fstool render --packs "$WORK/missing" 'XML\Screen.xml' "$WORK/x.png" 2>/dev/null
  check "a missing packs folder exits 1" test $? -eq 1 -a ! -e "$WORK/x.png"
  mkdir -p "$WORK/nopacks"
  fstool render --packs "$WORK/nopacks" 'XML\Screen.xml' "$WORK/x.png" 2>"$WORK/err"
  check "a folder without packs fails in the skin start-up" bash -c "[ $? -eq 1 ] && grep -qF 'XML\\Global\\Styles.xml' '$WORK/err' && [ ! -e '$WORK/x.png' ]"
  check "and the packs folder stays as it was" test -z "$(ls -A "$WORK/nopacks")"
  for bad in "--size 0x5" "--size 12" "--size 5x5000" "--lang deu" "--set =x" "--set Mode" "--hover Panel --press Panel" \
    "--scale 99%" "--scale 401%" "--scale 1.333x" "--scale big"; do
    # shellcheck disable=SC2086
    fstool render --packs "$WORK/rp" $bad 'XML\Screen.xml' "$WORK/x.png" 2>/dev/null
    check "render $bad is a usage error" test $? -eq 2 -a ! -e "$WORK/x.png"
  done
  DIST=$(dirname "$FSTOOL")/../../dist
  if [ -e "$DIST/Default.fs" ]; then
    fstool render 'XML\Gallery\Controls.xml' "$WORK/gallery.png"
    check "render reads the built default skin by default" test "$(png_size "$WORK/gallery.png")" = 562x294
    fstool render --hover install 'XML\Gallery\Controls.xml' "$WORK/gallery-hover.png"
    check "the pointer over a button changes the picture" bash -c "[ -s '$WORK/gallery-hover.png' ] && ! cmp -s '$WORK/gallery.png' '$WORK/gallery-hover.png'"
  fi
fi

# update build / show
mkdir -p "$WORK/upd/src"
printf 'new program' >"$WORK/upd/src/app.bin"
printf '# an update\nupdate\tMarlowenApp.exe\t\tMarlowen\tsrc/app.bin\r\n\ndelete\told file.dll\tbin\t\nupdate\t\tdocs\tRead me\t\n' >"$WORK/upd/manifest"
fstool update build --key k1 --level 7 --files-folder 'C:\Program Files\Marlowen' --links-folder 'C:\Links' \
  "$WORK/upd/manifest" "$WORK/upd/out.pkg"
check "update build" test $? -eq 0
fstool update show --key k1 "$WORK/upd/out.pkg" >"$WORK/upd/show"
check "update show prints header and actions" test "$(cat "$WORK/upd/show")" = "$(printf 'files folder: C:\\Program Files\\Marlowen\nlinks folder: C:\\Links\nupdate level: 7\nactions: 3\nU\tMarlowenApp.exe\t\tMarlowen\t11\nD\told file.dll\tbin\t\t0\nU\t\tdocs\tRead me\t0')"
fstool update build --key k1 --level 7 --files-folder 'C:\Program Files\Marlowen' --links-folder 'C:\Links' \
  "$WORK/upd/manifest" "$WORK/upd/again.pkg"
check "update packages are deterministic" same "$WORK/upd/out.pkg" "$WORK/upd/again.pkg"
fstool update show --key wrong "$WORK/upd/out.pkg" >/dev/null 2>"$WORK/err"
rc=$?
check "update show with a wrong key exits 1" test $rc -eq 1
check "with the damage message" grep -qx 'Данные повреждены или испорчены.' "$WORK/err"
printf 'update\ta.txt\t\t\tsrc/app.bin\nupdate\tb.txt\t\t\n' >"$WORK/upd/short"
fstool update build --key k --level 2 --files-folder a --links-folder b "$WORK/upd/short" "$WORK/upd/bad.pkg" 2>"$WORK/err"
rc=$?
check "a short manifest line fails" test $rc -eq 1
check "naming manifest and line" grep -q 'short:2: ' "$WORK/err"
check "and writes nothing" test ! -e "$WORK/upd/bad.pkg"
printf 'update\ta.txt\t\t\tnot-there.bin\n' >"$WORK/upd/nosource"
fstool update build --key k --level 2 --files-folder a --links-folder b "$WORK/upd/nosource" "$WORK/upd/bad.pkg" 2>"$WORK/err"
check "a missing source file fails by line" bash -c "[ $? -eq 1 ] && grep -q 'nosource:1: .*not-there.bin' '$WORK/err' && [ ! -e '$WORK/upd/bad.pkg' ]"
printf 'replace\ta.txt\t\t\n' >"$WORK/upd/unknown"
fstool update build --key k --level 2 --files-folder a --links-folder b "$WORK/upd/unknown" "$WORK/upd/bad.pkg" 2>"$WORK/err"
check "an unknown action fails" bash -c "[ $? -eq 1 ] && grep -q 'unknown:1: unknown action' '$WORK/err'"
fstool update build --key k --level 0 --files-folder a --links-folder b "$WORK/upd/manifest" "$WORK/upd/bad.pkg" 2>/dev/null
check "level 0 is a usage error" test $? -eq 2
fstool update frob 2>/dev/null; check "an unknown update action exits 2" test $? -eq 2

# keygen / sign / verify / update build --sign
fstool keygen "$WORK/secret.key" "$WORK/public.key"
check "keygen" test $? -eq 0
check "the secret key is 64 hex digits and a line end" grep -qxE '[0-9a-f]{64}' "$WORK/secret.key"
check "the public key too" grep -qxE '[0-9a-f]{64}' "$WORK/public.key"
if [ -z "$RUNNER" ]; then
  check "the secret key is its owner's alone" test "$(stat -c %a "$WORK/secret.key")" = 600
fi
fstool keygen "$WORK/other.key" "$WORK/other.pub"
check "two key pairs differ" bash -c "! cmp -s '$WORK/secret.key' '$WORK/other.key'"
fstool sign --key "$WORK/secret.key" "$WORK/upd/out.pkg"
check "sign writes PACKAGE.sig" grep -qxE '[0-9a-f]{128}' "$WORK/upd/out.pkg.sig"
fstool verify --public "$WORK/public.key" "$WORK/upd/out.pkg" >"$WORK/verdict"
check "verify: the signature holds" bash -c "[ $? -eq 0 ] && grep -qx 'signature holds: .*out.pkg.sig' '$WORK/verdict'"
fstool verify --public "$WORK/other.pub" "$WORK/upd/out.pkg" >"$WORK/verdict"
check "another key's verdict is no" bash -c "[ $? -eq 1 ] && grep -q 'does not hold' '$WORK/verdict'"
cp "$WORK/upd/out.pkg" "$WORK/upd/upper"
tr 'a-f' 'A-F' <"$WORK/upd/out.pkg.sig" | sed 's/^/  /' >"$WORK/upd/upper.sig"
fstool verify --public "$WORK/public.key" "$WORK/upd/upper" >/dev/null
check "upper case and white space around a signature are accepted" test $? -eq 0
cp "$WORK/upd/out.pkg" "$WORK/upd/changed.pkg"; cp "$WORK/upd/out.pkg.sig" "$WORK/upd/changed.pkg.sig"
printf '\x01' | dd of="$WORK/upd/changed.pkg" bs=1 seek=20 conv=notrunc 2>/dev/null
fstool verify --public "$WORK/public.key" "$WORK/upd/changed.pkg" >/dev/null
check "a changed package's signature does not hold" test $? -eq 1
cp "$WORK/upd/out.pkg" "$WORK/upd/unsigned.pkg"
fstool verify --public "$WORK/public.key" "$WORK/upd/unsigned.pkg" >/dev/null
check "a package without a signature file does not verify" test $? -eq 1
cp "$WORK/upd/out.pkg" "$WORK/upd/short.pkg"; head -c 127 "$WORK/upd/out.pkg.sig" >"$WORK/upd/short.pkg.sig"
fstool verify --public "$WORK/public.key" "$WORK/upd/short.pkg" >/dev/null
check "a signature of the wrong length does not verify" test $? -eq 1
fstool verify --public "$WORK/secret.key.missing" "$WORK/upd/out.pkg" >/dev/null 2>&1
check "a missing key file fails" test $? -eq 1
fstool update build --key k1 --level 7 --files-folder 'C:\Program Files\Marlowen' --links-folder 'C:\Links' \
  --sign "$WORK/secret.key" "$WORK/upd/manifest" "$WORK/upd/signed.pkg"
check "update build --sign writes the package and its signature" same "$WORK/upd/signed.pkg.sig" "$WORK/upd/out.pkg.sig"
fstool update show --key k1 --public "$WORK/public.key" "$WORK/upd/signed.pkg" >"$WORK/upd/show"
check "update show --public reports the signature" grep -qx 'signature: holds' "$WORK/upd/show"
