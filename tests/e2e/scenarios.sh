# The end-to-end scenarios; each starts from a fresh Wine prefix. Sourced by run.sh after lib.sh.

ALL_SCENARIOS=(unknown_argument install_when_installed uninstall_no uninstall_yes
               update update_old update_wrong_key update_locked_retry update_locked_cancel
               update_hostile update_disguised update_signed uninstall_link
               uninstall_planted cyrillic_folder window wizard_default wizard_close wizard_browse wizard_typed
               wizard_disk_full wizard_keys wizard_scaled)

FSTOOL=${FSTOOL:-$E2E_ROOT/build/native/tools/fstool/fstool}
SETUP_IN_DIST=$(win_path "$DIST/Setup.exe")

# --- command line --------------------------------------------------------------------------------

scenario_unknown_argument() {
  new_prefix unknown-argument
  local argument
  for argument in /bogus /Install /UNINSTALL; do
    start_setup "unknown-${argument#/}" "$SETUP_IN_DIST" "$argument"
    check "$argument: no window" no_window_while "$SETUP_PID"
    check "$argument: the program ends" wait_exit "$SETUP_PID" 20
    check "$argument: no message box" equals "$(box_count)" 0
  done
  check "nothing registered" reg_key_missing "$UNINSTALL_KEY"
}

scenario_install_when_installed() {
  new_prefix install-when-installed
  check "installed" install_product install-when-installed
  start_setup install-when-installed "$SETUP_IN_DIST" /install
  expect_box install-already-installed "Setup - Marlowen" "Marlowen already installed." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
}

# --- uninstall ------------------------------------------------------------------------------------

# What the install steps leave, checked once as the uninstall scenarios start.
check_installed_state() {
  check "uninstall entry" equals "$(reg_default "$UNINSTALL_KEY")" "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "UninstallString" equals "$(reg_value "$UNINSTALL_KEY" UninstallString)" "$INSTALL_FOLDER\\Setup.exe /uninstall"
  check "Install folder" same_text "$(reg_value "$UNINSTALL_KEY" 'Install folder')" "$INSTALL_FOLDER"
  check "Program group" equals "$(reg_value "$UNINSTALL_KEY" 'Program group')" "$PROGRAM_GROUP"
  check "App Paths" equals "$(reg_value "$APP_PATHS_KEY" Path)" "$INSTALL_FOLDER\\"
  check "EnableAutoUpdate" equals "$(reg_value "$SETTINGS_KEY" EnableAutoUpdate)" 0x1
  check "UpdateLevel" equals "$(reg_value "$SETTINGS_KEY" UpdateLevel)" 0x1
  check "Setup.exe installed" exists "$INSTALL_FOLDER\\Setup.exe"
  check "pack installed" exists "$INSTALL_FOLDER\\Default.fs"
  local link
  for link in "$PROGRAM_GROUP\\Marlowen.lnk" "$DESKTOP_LINK"; do
    check "shortcut $link targets the product" \
      equals "$(lnk_field "$(unix_path "$link")" 'Local path')" "$INSTALL_FOLDER\\MarlowenApp.exe"
    check "shortcut $link description" equals "$(lnk_field "$(unix_path "$link")" 'Description')" "Marlowen"
  done
}

scenario_uninstall_no() {
  new_prefix uninstall-no
  check "installed" install_product uninstall-no
  check_installed_state
  start_setup uninstall-no "$INSTALL_FOLDER\\Setup.exe" /uninstall
  expect_box uninstall-confirm "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" n
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check "uninstall entry stays" reg_key_exists "$UNINSTALL_KEY"
  check "App Paths entry stays" reg_key_exists "$APP_PATHS_KEY"
  check "group shortcut stays" exists "$PROGRAM_GROUP\\Marlowen.lnk"
  check "desktop shortcut stays" exists "$DESKTOP_LINK"
  check "product stays" exists "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "no batch file" no_batch_folder
}

# wait_gone WINDOWS_PATH SECONDS: until the file or folder is gone.
wait_gone() {
  local i
  for ((i = 0; i < $2 * 5; i++)); do missing "$1" && return 0; sleep 0.2; done
  return 1
}

scenario_uninstall_yes() {
  new_prefix uninstall-yes
  check "installed" install_product uninstall-yes
  check_installed_state
  start_setup uninstall-yes "$INSTALL_FOLDER\\Setup.exe" /uninstall
  wait_box "Remove Marlowen" 30 >/dev/null
  sleep 0.5
  TREE=$(wine "$HELPERS/e2e_msaa.exe" --title "Remove Marlowen" 2>/dev/null | tr -d '\r')
  printf '%s\n' "$TREE" >"$E2E_OUT/uninstall-confirm.msaa"
  # The question is the system's own box: a reader hears its text and buttons, the focus on Yes.
  check "a reader hears the question" grep -qF '"Are you sure to remove Marlowen from your computer?"' <<<"$TREE"
  check "a reader hears Yes, focused" grep -qE '"Yes" 0x[0-9a-f]*[4567cdef] ' <<<"$TREE"
  check "a reader hears No" grep -qF '"No"' <<<"$TREE"
  expect_box uninstall-confirm "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check "uninstall entry removed" reg_key_missing "$UNINSTALL_KEY"
  check "App Paths entry removed" reg_key_missing "$APP_PATHS_KEY"
  check "program group removed" missing "$PROGRAM_GROUP"
  check "desktop shortcut removed" missing "$DESKTOP_LINK"
  check "product removed" missing "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "Setup.exe removed by the batch file" wait_gone "$INSTALL_FOLDER\\Setup.exe" 15
  check "install folder removed by the batch file" wait_gone "$INSTALL_FOLDER" 10
  check "batch file removed itself and its folder" wait_no_batch 10
  check "EnableAutoUpdate stays" equals "$(reg_value "$SETTINGS_KEY" EnableAutoUpdate)" 0x1
}

# --- update ---------------------------------------------------------------------------------------

PACKAGE='C:\update.pkg'
RELEASE_FLAG='C:\release.flag'
PRODUCT_RECORD() { printf '%s' "$(unix_path "$INSTALL_FOLDER\\MarlowenApp.started.txt")"; }

# make_package KEY LEVEL: builds C:\update.pkg with fstool from a manifest that updates
# readme.txt (with a "Read me" shortcut in the program group), adds data\new.dat, deletes old.txt
# and the empty folder "olddir".
make_package() {
  local key=$1 level=$2 source="$E2E_OUT/update-source"
  rm -rf "$source"
  mkdir -p "$source/data"
  printf 'version 2\r\n' >"$source/readme.txt"
  printf 'new data' >"$source/data/new.dat"
  printf '# test update\nupdate\treadme.txt\t\tRead me\treadme.txt\nupdate\tnew.dat\tdata\t\tdata/new.dat\ndelete\told.txt\t\t\ndelete\t\tolddir\t\n' \
    >"$source/manifest.txt"
  "$FSTOOL" update build --key "$key" --level "$level" --files-folder "$INSTALL_FOLDER" \
    --links-folder "$PROGRAM_GROUP" "$source/manifest.txt" "$(unix_path "$PACKAGE")" >"$E2E_OUT/fstool-update.log" 2>&1
}

# An installed copy at level 1 with the files the package replaces or removes.
prepare_update() {
  new_prefix "$1"
  check "installed" install_product "$1"
  printf 'version 1\r\n' >"$(unix_path "$INSTALL_FOLDER\\readme.txt")"
  printf 'old' >"$(unix_path "$INSTALL_FOLDER\\old.txt")"
  mkdir -p "$(unix_path "$INSTALL_FOLDER\\olddir")"
}

start_update() {
  start_setup "$1" "$INSTALL_FOLDER\\Setup.exe" /update "$2" "$PACKAGE" "$INSTALL_FOLDER\\MarlowenApp.exe" "one two" three
}

file_is() { [ -f "$(unix_path "$1")" ] && [ "$(cat "$(unix_path "$1")")" = "$2" ]; }
product_started_with() { grep -qF -- "$1" "$(PRODUCT_RECORD)" 2>/dev/null; }
# The product's record appears shortly after the setup started it.
wait_product() {
  local i
  for ((i = 0; i < 50; i++)); do [ -f "$(PRODUCT_RECORD)" ] && return 0; sleep 0.2; done
  return 1
}
# has_box_starting TEXT: some box so far began with TEXT.
has_box_starting() { box_texts | grep -qF -- "$1"; }

check_update_applied() {
  check "readme.txt replaced" file_is "$INSTALL_FOLDER\\readme.txt" "$(printf 'version 2\r')"
  check "data\\new.dat written" file_is "$INSTALL_FOLDER\\data\\new.dat" "new data"
  check "old.txt deleted" missing "$INSTALL_FOLDER\\old.txt"
  check "olddir removed" missing "$INSTALL_FOLDER\\olddir"
  local link="$PROGRAM_GROUP\\Read me.lnk"
  check "shortcut written" exists "$link"
  check "shortcut description" equals "$(lnk_field "$(unix_path "$link")" Description)" "Read me"
  check "shortcut target" equals "$(lnk_field "$(unix_path "$link")" 'Local path' | sed 's/\\\\/\\/g')" \
    "$INSTALL_FOLDER\\readme.txt"
  check "level recorded" equals "$(reg_value "$SETTINGS_KEY" UpdateLevel)" 0x2
  check "package deleted" missing "$PACKAGE"
  check "product started" wait_product
  check "product started with the quoted arguments" product_started_with '"one two" "three"'
  check "product started in its folder" product_started_with "working folder: $INSTALL_FOLDER"
}

check_update_not_applied() {
  check "readme.txt unchanged" file_is "$INSTALL_FOLDER\\readme.txt" "$(printf 'version 1\r')"
  check "level unchanged" equals "$(reg_value "$SETTINGS_KEY" UpdateLevel)" 0x1
  check "product not started" missing "$INSTALL_FOLDER\\MarlowenApp.started.txt"
}

scenario_update() {
  prepare_update update
  check "package built" make_package secret 2
  start_update update secret
  expect_box update-success "Setup - Marlowen" "Update succesfully installed." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check_update_applied
}

scenario_update_old() {
  prepare_update update-old
  check "package built" make_package secret 1
  start_update update-old secret
  expect_box update-old "Update Marlowen" "Update is not installed. | Old update files found." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "old package deleted" missing "$PACKAGE"
  check_update_not_applied
}

scenario_update_wrong_key() {
  prepare_update update-wrong-key
  check "package built" make_package secret 2
  start_update update-wrong-key not-the-key
  expect_box update-wrong-key "Update Marlowen" "Update is not installed. | Данные повреждены или испорчены." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "package kept" exists "$PACKAGE"
  check_update_not_applied
}

# The installed Setup.exe with a key of the scenario's own built in (as a release built with
# MARLOWEN_UPDATE_PUBLIC_KEYS carries it): a signed package applies; the same package changed by
# one byte, without its .sig, signed by another key or with a .sig of the wrong length is refused
# with the box, before anything of it is read, and nothing changes.
scenario_update_signed() {
  prepare_update update-signed
  local keys="$E2E_OUT/keys" setup="$INSTALL_FOLDER\\Setup.exe" sig case
  rm -rf "$keys"; mkdir -p "$keys"
  "$FSTOOL" keygen "$keys/secret.key" "$keys/public.key" && "$FSTOOL" keygen "$keys/other.key" "$keys/other.pub"
  check "the key built into Setup.exe" wine "$HELPERS/e2e_trust.exe" "$setup" "$(win_path "$keys/public.key")"
  check "fstool keys lists it" equals "$("$FSTOOL" keys "$(unix_path "$setup")")" "$(cat "$keys/public.key")"
  check "the distribution's own trusts no key" equals "$("$FSTOOL" keys "$DIST/Setup.exe")" \
    "none: unsigned packages accepted"
  check "package built" make_package secret 2
  sig="$(unix_path "$PACKAGE").sig"
  for case in unsigned changed other short; do
    rm -f "$sig"
    check "package built" make_package secret 2
    case $case in
      changed) "$FSTOOL" sign --key "$keys/secret.key" "$(unix_path "$PACKAGE")"
               printf '\x5a' | dd of="$(unix_path "$PACKAGE")" bs=1 seek=40 conv=notrunc 2>/dev/null ;;
      other) "$FSTOOL" sign --key "$keys/other.key" "$(unix_path "$PACKAGE")" ;;
      short) "$FSTOOL" sign --key "$keys/secret.key" "$(unix_path "$PACKAGE")"
             head -c 100 "$sig" >"$sig.cut" && mv "$sig.cut" "$sig" ;;
    esac
    start_update "update-signed-$case" secret
    expect_box "update-signed-$case" "Update Marlowen" \
      "Update is not installed. | The update package is not signed by the publisher of Marlowen." Return
    check "the program ends ($case)" wait_exit "$SETUP_PID" 20
    check "package kept ($case)" exists "$PACKAGE"
    check_update_not_applied
  done
  rm -f "$sig"
  check "package built" make_package secret 2
  "$FSTOOL" sign --key "$keys/secret.key" "$(unix_path "$PACKAGE")"
  start_update update-signed secret
  expect_box update-signed-success "Setup - Marlowen" "Update succesfully installed." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check_update_applied
}

# hold_file NAME WINDOWS_PATH: another process holds the file open until release_file.
hold_file() {
  rm -f "$(unix_path "$RELEASE_FLAG")"
  wine "$HELPERS/e2e_hold.exe" "$2" "$RELEASE_FLAG" >"$E2E_OUT/$1.hold" 2>&1 &
  HOLD_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do grep -q holding "$E2E_OUT/$1.hold" && return 0; sleep 0.2; done
  return 1
}
release_file() { touch "$(unix_path "$RELEASE_FLAG")"; wait_exit "$HOLD_PID" 20; }

# locked_update_question NAME: an update whose readme.txt another process holds open, up to the
# Retry/Cancel question that follows one silent retry (QUESTION_WID); status 1 without it.
locked_update_question() {
  prepare_update "$1"
  check "package built" make_package secret 2
  check "readme.txt held open" hold_file "$1" "$INSTALL_FOLDER\\readme.txt"
  start_update "$1" secret
  QUESTION_WID=$(wait_window "Update Marlowen" 30) || { log "no retry question"; SCENARIO_FAILED=1; return 1; }
  sleep 0.5
  screenshot "$1-question"
  check "asked to close the product (after one silent retry)" equals "$(box_count)" 1
  check "question text" has_box_starting "Updating error. Close all Marlowen applications and retry. | "
}

scenario_update_locked_retry() {
  locked_update_question update-locked-retry || return
  check "file released" release_file
  answer "$QUESTION_WID" Return
  expect_box update-locked-retry-success "Setup - Marlowen" "Update succesfully installed." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check_update_applied
}

scenario_update_locked_cancel() {
  locked_update_question update-locked-cancel || return
  answer "$QUESTION_WID" Escape
  # The error box follows with the same caption.
  local i wid
  for ((i = 0; i < 100 && $(box_count) < 2; i++)); do sleep 0.2; done
  wid=$(wait_window "Update Marlowen" 20) || { log "no error box"; SCENARIO_FAILED=1; return; }
  sleep 0.5
  screenshot update-locked-cancel-error
  check "error text" equals "$(box_texts | sed -n 2p | cut -c1-27)" "Update is not installed. | "
  answer "$wid" Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  release_file
  check "package kept" exists "$PACKAGE"
  check_update_not_applied
}

# --- a hostile package --------------------------------------------------------------------------

VICTIM='C:\Victim'
STARTUP_LINK='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Startup\run.lnk'

# make_hostile_package FILES_FOLDER MANIFEST_LINES...: builds C:\update.pkg (key "secret", level 2)
# whose shortcut folder is the program group; the manifest's first line is an honest update.
make_hostile_package() {
  local files=$1 source="$E2E_OUT/update-source"; shift
  rm -rf "$source"
  mkdir -p "$source"
  printf 'version 2\r\n' >"$source/readme.txt"
  printf 'MZ' >"$source/evil.dll"
  {
    printf 'update\treadme.txt\t\t\treadme.txt\n'
    printf '%s\n' "$@"
  } >"$source/manifest.txt"
  "$FSTOOL" update build --key secret --level 2 --files-folder "$files" --links-folder "$PROGRAM_GROUP" \
    "$source/manifest.txt" "$(unix_path "$PACKAGE")" >"$E2E_OUT/fstool-update.log" 2>&1
}

check_nothing_touched() {
  check "$1: victim file kept" file_is "$VICTIM\\keep.txt" keep
  check "$1: nothing written to the system folder" missing 'C:\windows\system32\evil.dll'
  check "$1: nothing written to the 32-bit system folder" missing 'C:\windows\syswow64\evil.dll'
  check "$1: no Startup shortcut" missing "$STARTUP_LINK"
  check "$1: package kept" exists "$PACKAGE"
  check_update_not_applied
}

# Parts that climb out of the installation, then a files folder outside it: each package is refused
# whole, before its first (honest) action, with the cause in the usual box.
scenario_update_hostile() {
  prepare_update update-hostile
  mkdir -p "$(unix_path "$VICTIM")"
  printf 'keep' >"$(unix_path "$VICTIM\\keep.txt")"
  local T=$'\t'
  check "climbing package built" make_hostile_package "$INSTALL_FOLDER" \
    "update${T}evil.dll${T}..\\..\\Windows\\System32${T}${T}evil.dll" \
    "update${T}${T}${T}..\\Startup\\run${T}" \
    "delete${T}..\\..\\Victim\\keep.txt${T}${T}"
  start_update update-hostile-parts secret
  expect_box update-hostile-parts "Update Marlowen" \
    'Update is not installed. | The update package names a path outside the installation: "..\..\Windows\System32".' Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check_nothing_touched "parts"

  check "outside package built" make_hostile_package "$INSTALL_FOLDER\\..\\..\\Victim" "delete${T}keep.txt${T}${T}"
  start_update update-hostile-folder secret
  expect_box update-hostile-folder "Update Marlowen" \
    "Update is not installed. | The update package's files folder \"$INSTALL_FOLDER\\..\\..\\Victim\" is not inside the install folder \"$INSTALL_FOLDER\"." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check_nothing_touched "files folder"
}

# make_disguised_package FILES_FOLDER LINKS_FOLDER [ACTION FILE PATH LINK BODY]...: C:\update.pkg (key
# "secret", level 2) written by the test-only e2e_package.exe, which reads "%00" as a NUL: what no
# command line can carry, a file can.
make_disguised_package() {
  wine "$HELPERS/e2e_package.exe" "$PACKAGE" secret 2 "$@" >"$E2E_OUT/e2e-package.log" 2>&1
}

# refused_disguise NAME BOX_TEXT: the update started on C:\update.pkg shows one error box with the
# text and ends, keeping the package.
refused_disguise() {
  start_update "update-disguised-$1" secret
  expect_box "update-disguised-$1" "Update Marlowen" "Update is not installed. | $2" Return
  check "$1: the program ends" wait_exit "$SETUP_PID" 20
  check "$1: one box only" equals "$(box_count)" 1
  check "$1: package kept" exists "$PACKAGE"
}

# Spellings the file system reads otherwise than a string compare does (a NUL ends the string the
# system sees; Windows drops a trailing dot or space of the last part only; "\\?\" passes a path
# through as it is): each refused, nothing outside the installation touched; then a sound package
# still applies.
scenario_update_disguised() {
  prepare_update update-disguised
  mkdir -p "$(unix_path "$VICTIM")"
  printf 'keep' >"$(unix_path "$VICTIM\\keep.txt")"
  local climb='\..\..\..' group_tail=${PROGRAM_GROUP#C:} install_tail=${INSTALL_FOLDER#C:}

  check "NUL delete built" make_disguised_package "$VICTIM\\keep.txt%00$climb$install_tail" "$PROGRAM_GROUP" \
    D x '' '' ''
  refused_disguise nul-delete "The update package's files folder \"$VICTIM\\keep.txt<NUL>$climb$install_tail\" is not inside the install folder \"$INSTALL_FOLDER\"."
  check "NUL write built" make_disguised_package "$VICTIM\\made%00$climb$install_tail" "$PROGRAM_GROUP" \
    U evil.dll '' '' MZ
  refused_disguise nul-write "The update package's files folder \"$VICTIM\\made<NUL>$climb$install_tail\" is not inside the install folder \"$INSTALL_FOLDER\"."
  check "NUL link built" make_disguised_package "$INSTALL_FOLDER" "$VICTIM\\links%00$climb$group_tail" \
    U '' '' 'Read me' ''
  refused_disguise nul-link "The update package's shortcut folder \"$VICTIM\\links<NUL>$climb$group_tail\" is not inside the program group \"$PROGRAM_GROUP\"."
  check "NUL part built" make_disguised_package "$INSTALL_FOLDER" "$PROGRAM_GROUP" \
    D "keep.txt%00$climb\\Victim\\keep.txt" '' '' ''
  refused_disguise nul-part "The update package names a path outside the installation: \"keep.txt<NUL>$climb\\Victim\\keep.txt\"."
  check "trailing space built" make_disguised_package "$INSTALL_FOLDER \\data" "$PROGRAM_GROUP" U evil.dll '' '' MZ
  refused_disguise trailing-space "The update package's files folder \"$INSTALL_FOLDER \\data\" is not inside the install folder \"$INSTALL_FOLDER\"."
  check "verbatim trailing dot built" make_disguised_package "\\\\?\\$INSTALL_FOLDER.\\data" "$PROGRAM_GROUP" \
    U evil.dll '' '' MZ
  refused_disguise verbatim-dot "The update package's files folder \"\\\\?\\$INSTALL_FOLDER.\\data\" is not inside the install folder \"$INSTALL_FOLDER\"."

  check "victim file kept" file_is "$VICTIM\\keep.txt" keep
  check "no folder made beside the victim file" missing "$VICTIM\\made"
  check "no evil.dll in the victim folder" missing "$VICTIM\\evil.dll"
  check "no shortcut in the victim folder" missing "$VICTIM\\links.lnk"
  check "no sibling folder with a trailing space" missing "$INSTALL_FOLDER "
  check "no sibling folder with a trailing dot" missing "$INSTALL_FOLDER."
  check_update_not_applied

  check "sound package built" make_package secret 2
  start_update update-disguised-sound secret
  expect_box update-disguised-sound "Setup - Marlowen" "Update succesfully installed." Return
  check "the program ends" wait_exit "$SETUP_PID" 20
  check_update_applied
}

# A link in the install folder that leads out of it (a Unix link to a folder, which Wine shows as
# a reparse point): the uninstall removes the installation around it and leaves what it leads to.
scenario_uninstall_link() {
  new_prefix uninstall-link
  check "installed" install_product uninstall-link
  mkdir -p "$(unix_path "$VICTIM\\Deep")"
  printf 'keep' >"$(unix_path "$VICTIM\\keep.txt")"
  printf 'keep' >"$(unix_path "$VICTIM\\Deep\\keep.txt")"
  ln -s "$(unix_path "$VICTIM")" "$(unix_path "$INSTALL_FOLDER\\Data")"
  ln -s "$(unix_path "$VICTIM")" "$(unix_path "$PROGRAM_GROUP\\Docs")"
  start_setup uninstall-link "$INSTALL_FOLDER\\Setup.exe" /uninstall
  expect_box uninstall-link-confirm "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the program ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check "uninstall entry removed" reg_key_missing "$UNINSTALL_KEY"
  check "product removed" missing "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "group shortcut removed" missing "$PROGRAM_GROUP\\Marlowen.lnk"
  check "linked folder's file kept" file_is "$VICTIM\\keep.txt" keep
  check "linked folder's subfolder kept" file_is "$VICTIM\\Deep\\keep.txt" keep
}

# --- an install folder beyond ASCII ---------------------------------------------------------------

# utf16_in FILE TEXT: the file holds TEXT as UTF-16 (how a shortcut keeps its Unicode strings;
# Wine writes a shortcut's "Local path" in the ANSI code page, which has no Cyrillic letters).
utf16_in() {
  local needle
  needle=$(printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n')
  od -An -tx1 -v "$1" | tr -d ' \n' | grep -q "$needle"
}

# same_text SHOWN TEXT: SHOWN is TEXT, or TEXT as a console in the OEM code page shows it (every
# character beyond ASCII a "?"), which is how Wine's reg.exe prints into a pipe.
same_text() {
  [ "$1" = "$2" ] || [ "$1" = "$(printf '%s' "$2" | perl -CS -pe 's/[^\x00-\x7F]/?/g')" ]
}

# Install, update and uninstall with the install folder C:\Программы\Marlowen: cmd reads the
# self-deleting batch file in the OEM code page, so the folder must reach it some other way.
scenario_cyrillic_folder() {
  new_prefix cyrillic-folder
  local -x LC_ALL=C.UTF-8
  INSTALL_FOLDER='C:\Программы\Marlowen'
  check "installed" install_product cyrillic-folder --folder "$INSTALL_FOLDER"
  check "Install folder" same_text "$(reg_value "$UNINSTALL_KEY" 'Install folder')" "$INSTALL_FOLDER"
  check "Setup.exe installed" exists "$INSTALL_FOLDER\\Setup.exe"
  check "pack installed" exists "$INSTALL_FOLDER\\Default.fs"
  check "group shortcut names the folder" utf16_in "$(unix_path "$PROGRAM_GROUP\\Marlowen.lnk")" "$INSTALL_FOLDER"

  printf 'version 1\r\n' >"$(unix_path "$INSTALL_FOLDER\\readme.txt")"
  printf 'old' >"$(unix_path "$INSTALL_FOLDER\\old.txt")"
  mkdir -p "$(unix_path "$INSTALL_FOLDER\\olddir")"
  check "package built" make_package secret 2
  start_update cyrillic-update secret
  expect_box cyrillic-update "Setup - Marlowen" "Update succesfully installed." Return
  check "the update ends" wait_exit "$SETUP_PID" 20
  check "readme.txt replaced" file_is "$INSTALL_FOLDER\\readme.txt" "$(printf 'version 2\r')"
  check "data\\new.dat written" file_is "$INSTALL_FOLDER\\data\\new.dat" "new data"
  check "old.txt deleted" missing "$INSTALL_FOLDER\\old.txt"
  check "level recorded" equals "$(reg_value "$SETTINGS_KEY" UpdateLevel)" 0x2
  check "update shortcut names the folder" utf16_in "$(unix_path "$PROGRAM_GROUP\\Read me.lnk")" "$INSTALL_FOLDER"
  check "product started" wait_product
  check "product started in its folder" product_started_with "working folder: $INSTALL_FOLDER"
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null

  start_setup cyrillic-uninstall "$INSTALL_FOLDER\\Setup.exe" /uninstall
  expect_box cyrillic-uninstall "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the uninstall ends" wait_exit "$SETUP_PID" 20
  check "one box only" equals "$(box_count)" 1
  check "uninstall entry removed" reg_key_missing "$UNINSTALL_KEY"
  check "program group removed" missing "$PROGRAM_GROUP"
  check "desktop shortcut removed" missing "$DESKTOP_LINK"
  check "product removed" missing "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "Setup.exe removed by the batch file" wait_gone "$INSTALL_FOLDER\\Setup.exe" 15
  check "install folder removed by the batch file" wait_gone "$INSTALL_FOLDER" 10
  check "batch file removed itself and its folder" wait_no_batch 10
  read_machine_folders
}

# --- a skinned window on the real platform ----------------------------------------------------------

# The default skin's window document, opened by the test-only e2e_window.exe at (200, 150) over a
# patterned backdrop: it must look exactly like its render, drag by its caption area with snapping
# to the screen's edge, take typed text and the clipboard's keys, and close by its button.
scenario_window() {
  new_prefix window
  local render="$E2E_OUT/window-render.png" text="$E2E_OUT/window-text.txt" out="$E2E_OUT/window.out"
  local left=200 top=150 pid backdrop
  "$FSTOOL" render --packs "$DIST" 'XML\Gallery\Window.xml' "$render" ||
    { log "fstool render failed"; SCENARIO_FAILED=1; return 1; }
  convert -size 1024x768 pattern:checkerboard -fill '#5A7FA8' -colorize 50% "$E2E_OUT/window-backdrop.png"
  # The backdrop is a window of its own under the skinned one (Wine's desktop may repaint the root).
  display -geometry +0+0 -borderwidth 0 -title backdrop "$E2E_OUT/window-backdrop.png" &
  backdrop=$!
  xdotool mousemove --sync 1000 740
  sleep 1.5
  screenshot window-before
  check "the backdrop is up" test "$(identify -format '%k' "$E2E_OUT/window-before.png")" -gt 1
  rm -f "$text"
  wine "$HELPERS/e2e_window.exe" "$(win_path "$DIST")" "$(win_path "$text")" "$left" "$top" >"$out" 2>&1 &
  pid=$!
  check "the window opens" wait_line "$out" shown 30 || { kill "$pid" "$backdrop" 2>/dev/null; return 1; }
  check "inside its shape the window is its render" shows_within window-shown "$render" "$left" "$top" 20
  check "outside its shape the backdrop shows" \
    beneath_shows "$E2E_OUT/window-before.png" "$E2E_OUT/window-shown.png" "$render" "$left" "$top"

  # The caption area drags the window: 10 pixels from the left edge it snaps onto it, 11 stay.
  drag $((left + 100)) $((top + 20)) 110 $((top + 20))
  xdotool mousemove --sync 1000 740
  check "dragged to 10 pixels off the edge, it snaps onto it" shows_within window-snapped "$render" 0 "$top"
  drag 100 $((top + 20)) 111 $((top + 20))
  xdotool mousemove --sync 1000 740
  check "dragged to 11 pixels off the edge, it stays there" shows_within window-dragged "$render" 11 "$top"

  # Typing into the edit, then copying all of it and pasting it after itself: the text shows (more
  # than a caret's worth of pixels change) and reaches the program.
  xdotool mousemove --sync $((11 + 120)) $((top + 90)) click 1
  sleep 0.3
  xdotool type --delay 60 'Games'
  sleep 0.2
  xdotool key shift+Home; sleep 0.1
  xdotool key ctrl+c; sleep 0.1
  xdotool key End; sleep 0.1
  xdotool key ctrl+v; sleep 0.5
  screenshot window-typed
  check "the typed text shows in the edit" \
    region_changed "$E2E_OUT/window-dragged.png" "$E2E_OUT/window-typed.png" $((11 + 21)) $((top + 77)) 338 26 100

  # The close button ends the modal run; the program reports the edit's text.
  xdotool mousemove --sync $((11 + 342 + 14)) $((top + 8 + 14)) click 1
  check "the close button closes the window" wait_exit "$pid" 20
  check "the program says so" wait_line "$out" closed 1
  check "typed text and the pasted copy reach the program" equals "$(cat "$text" 2>/dev/null)" GamesGames
  kill "$backdrop" 2>/dev/null
}

# --- the install wizard -----------------------------------------------------------------------------

SCREENSHOTS=${SCREENSHOTS:-$E2E_ROOT/docs/screenshots}
WELCOME='XML\Install\Welcome.xml'
DIRECTORY='XML\Install\Directory.xml'
SUMMARY='XML\Install\Summary.xml'
CAPTION_BAR='XML\Install\Layers\ActiveForeground.xml'

# start_wizard NAME: Setup.exe from the distribution folder, up to its welcome page (WIZARD).
start_wizard() {
  start_setup "$1" "$SETUP_IN_DIST"
  local i
  for ((i = 0; i < 150; i++)); do WIZARD=$(wizard_window) && break; sleep 0.2; done
  [ -n "${WIZARD:-}" ] || { log "no wizard window"; SCENARIO_FAILED=1; return 1; }
  check "the welcome page shows" wait_page "$WIZARD" welcome 20
}

wizard_shown() { wizard_window >/dev/null; }

# page_shot NAME: the wizard window alone, kept in the build folder; the pointer is moved off it
# first, so that no button shows its hover look.
page_shot() {
  xdotool mousemove --sync 1010 750 2>/dev/null
  sleep 0.5
  wizard_shot "$WIZARD" "$E2E_OUT/$1.png"
}

# The whole life through the wizard: Next, Back from the directory page, Next, Install with the
# defaults, Finish with the start box checked (as it comes); then an update and the removal from the installed
# copy. With E2E_SCREENSHOTS=1 the pages' photographs replace docs/screenshots/wine-*.png.
scenario_wizard_default() {
  new_prefix wizard-default
  start_wizard wizard-default || return 1
  page_shot wizard-welcome
  click_control "$WIZARD" "$WELCOME" ButtonNext
  check "Next: the directory page" wait_page "$WIZARD" directory 10
  click_control "$WIZARD" "$DIRECTORY" ButtonPrev
  check "Back: the welcome page again" wait_page "$WIZARD" welcome 10
  click_control "$WIZARD" "$WELCOME" ButtonNext
  check "Next again: the directory page" wait_page "$WIZARD" directory 10
  sleep 0.5
  page_shot wizard-directory
  click_control "$WIZARD" "$DIRECTORY" ButtonNext
  check "Install: the summary page" wait_page "$WIZARD" summary 120
  page_shot wizard-summary
  check "no message box" equals "$(box_count)" 0
  click_control "$WIZARD" "$SUMMARY" ButtonFinish
  check "Finish ends the setup" wait_exit "$SETUP_PID" 20
  check_installed_state
  check "files of the distribution installed" exists "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "Finish started the product" wait_product
  check "the product started in its folder" product_started_with "working folder: $INSTALL_FOLDER"
  check "the product says whether it runs elevated" product_started_with "elevated: "
  log "the product started by Finish reports $(grep -a '^elevated: ' "$(PRODUCT_RECORD)" | tr -d '\r')"
  if [ -n "${E2E_SCREENSHOTS:-}" ]; then
    mkdir -p "$SCREENSHOTS"
    cp "$E2E_OUT/wizard-welcome.png" "$SCREENSHOTS/wine-welcome.png"
    cp "$E2E_OUT/wizard-directory.png" "$SCREENSHOTS/wine-directory.png"
    cp "$E2E_OUT/wizard-summary.png" "$SCREENSHOTS/wine-summary.png"
  fi
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null

  rm -f "$(PRODUCT_RECORD)"
  printf 'version 1\r\n' >"$(unix_path "$INSTALL_FOLDER\\readme.txt")"
  printf 'old' >"$(unix_path "$INSTALL_FOLDER\\old.txt")"
  mkdir -p "$(unix_path "$INSTALL_FOLDER\\olddir")"
  check "package built" make_package secret 2
  start_update wizard-default-update secret
  expect_box wizard-default-update "Setup - Marlowen" "Update succesfully installed." Return
  check "the update ends" wait_exit "$SETUP_PID" 20
  check_update_applied
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null

  start_setup wizard-default-uninstall "$INSTALL_FOLDER\\Setup.exe" /uninstall
  expect_box wizard-default-uninstall "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the uninstall ends" wait_exit "$SETUP_PID" 20
  check_removed
}

# A user without administrator rights plants ping.bat, ping.cmd and a ping.exe wherever a user may
# write and the removal's batch file could look: none of them runs, not even while Setup.exe is
# still held open when the batch starts (so that it waits on ping).
scenario_uninstall_planted() {
  new_prefix uninstall-planted
  check "installed" install_product uninstall-planted
  local folder planted=()
  for folder in "$OLD_BATCH_FOLDER" "$WINDOWS_TEMP" "$INSTALL_FOLDER"; do
    mkdir -p "$(unix_path "$folder")"
    printf 'echo planted>"%s\\planted-bat.txt"\r\n' "$folder" >"$(unix_path "$folder\\ping.bat")"
    printf 'echo planted>"%s\\planted-cmd.txt"\r\n' "$folder" >"$(unix_path "$folder\\ping.cmd")"
    planted+=("$folder")
  done
  # A program that leaves MarlowenApp.started.txt beside itself when it runs.
  cp "$DIST/MarlowenApp.exe" "$(unix_path "$OLD_BATCH_FOLDER\\ping.exe")"
  check "Setup.exe held open" hold_file uninstall-planted "$INSTALL_FOLDER\\Setup.exe"
  start_setup uninstall-planted "$INSTALL_FOLDER\\Setup.exe" /uninstall
  expect_box uninstall-planted "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the uninstall ends" wait_exit "$SETUP_PID" 20
  check "the batch file waits in a folder of its own" test -n "$(batch_folders)"
  sleep 4
  check "Setup.exe stays while it is held" exists "$INSTALL_FOLDER\\Setup.exe"
  check "released" release_file
  check_removed
  for folder in "${planted[@]}"; do
    check "no planted ping.bat ran ($folder)" missing "$folder\\planted-bat.txt"
    check "no planted ping.cmd ran ($folder)" missing "$folder\\planted-cmd.txt"
  done
  check "no planted ping.exe ran" missing "$OLD_BATCH_FOLDER\\MarlowenApp.started.txt"
}

# Nothing of the installation remains but the product's settings.
check_removed() {
  check "uninstall entry removed" reg_key_missing "$UNINSTALL_KEY"
  check "App Paths entry removed" reg_key_missing "$APP_PATHS_KEY"
  check "program group removed" missing "$PROGRAM_GROUP"
  check "desktop shortcut removed" missing "$DESKTOP_LINK"
  check "Setup.exe removed by the batch file" wait_gone "$INSTALL_FOLDER\\Setup.exe" 15
  check "install folder removed by the batch file" wait_gone "$INSTALL_FOLDER" 10
  check "batch file removed itself and its folder" wait_no_batch 10
  check "the settings stay" reg_key_exists "$SETTINGS_KEY"
}

# The close button on the welcome page asks first: No keeps the wizard, Yes ends it, and nothing
# is installed.
scenario_wizard_close() {
  new_prefix wizard-close
  start_wizard wizard-close || return 1
  local question='Setup is not complete. If you quit now, the program will not be installed. You may run the Setup program again at another time to complete the installation. Exit Setup?'
  click_control "$WIZARD" "$CAPTION_BAR" ButtonClose
  expect_box wizard-close-no "Setup - Marlowen" "$question" n
  sleep 1
  check "No: the wizard stays" wizard_shown
  check "No: still the welcome page" wait_page "$WIZARD" welcome 5
  click_control "$WIZARD" "$CAPTION_BAR" ButtonClose
  expect_box wizard-close-yes "Setup - Marlowen" "$question" y
  check "Yes: the setup ends" wait_exit "$SETUP_PID" 20
  check "two boxes" equals "$(box_count)" 2
  check "nothing registered" reg_key_missing "$UNINSTALL_KEY"
  check "nothing installed" missing "$INSTALL_FOLDER"
  check "no program group" missing "$PROGRAM_GROUP"
}

# A folder picked in the browse dialog with the keyboard (Wine's folder tree finds a typed name,
# though not one typed in Cyrillic through xdotool's remapped keys: the folder is the one after
# "windows" on drive C:) gets a folder of the product's own: C:\Программы becomes C:\Программы\Marlowen, and
# removal leaves the picked folder and what else it holds.
scenario_wizard_browse() {
  new_prefix wizard-browse
  local -x LC_ALL=C.UTF-8
  local picked='C:\Программы'
  mkdir -p "$(unix_path "$picked")"
  printf 'keep' >"$(unix_path "$picked\\keep.txt")"
  start_wizard wizard-browse || return 1
  click_control "$WIZARD" "$WELCOME" ButtonNext
  check "the directory page" wait_page "$WIZARD" directory 10
  click_control "$WIZARD" "$DIRECTORY" ButtonDirectory
  local dialog
  dialog=$(wait_box 'Browse for Folder' 20) || { log "no browse dialog"; SCENARIO_FAILED=1; return 1; }
  sleep 1
  xdotool windowactivate --sync "$dialog" >/dev/null 2>&1
  xdotool type --delay 80 windows
  sleep 0.3
  xdotool key Down
  sleep 0.5
  screenshot wizard-browse-dialog
  xdotool key Return
  check "the dialog closes" wait_window_gone "$dialog" 10
  page_shot wizard-browse-directory
  click_control "$WIZARD" "$DIRECTORY" ButtonNext
  check "Install: the summary page" wait_page "$WIZARD" summary 120
  check "no message box" equals "$(box_count)" 0
  # Without starting the product this time.
  click_control "$WIZARD" "$SUMMARY" CheckBoxStartProgram
  click_control "$WIZARD" "$SUMMARY" ButtonFinish
  check "Finish ends the setup" wait_exit "$SETUP_PID" 20
  INSTALL_FOLDER="$picked\\Marlowen"
  check "Install folder" same_text "$(reg_value "$UNINSTALL_KEY" 'Install folder')" "$INSTALL_FOLDER"
  check "installed into the product's folder" exists "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "group shortcut names the folder" utf16_in "$(unix_path "$PROGRAM_GROUP\\Marlowen.lnk")" "$INSTALL_FOLDER"
  check "the product was not started" missing "$INSTALL_FOLDER\\MarlowenApp.started.txt"
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null

  start_setup wizard-browse-uninstall "$INSTALL_FOLDER\\Setup.exe" /uninstall
  expect_box wizard-browse-uninstall "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the uninstall ends" wait_exit "$SETUP_PID" 20
  check_removed
  check "the picked folder's own file stays" file_is "$picked\\keep.txt" keep
  read_machine_folders
}

# wait_window_gone WID SECONDS: until the window is no longer shown.
wait_window_gone() {
  local i
  for ((i = 0; i < $2 * 5; i++)); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.2
  done
  return 1
}

# A folder typed into the install-folder edit, as a person would (click, select all, type): the
# product goes there, into a folder of its own, and the uninstall entry names it. A Start-menu group
# typed that holds another program's shortcut is refused first, and that shortcut outlives the
# install and the uninstall.
scenario_wizard_typed() {
  new_prefix wizard-typed
  local theirs="$COMMON_PROGRAMS\\Games\\Solitaire.lnk"
  mkdir -p "$(unix_path "$COMMON_PROGRAMS\\Games")"
  printf 'theirs' >"$(unix_path "$theirs")"
  start_wizard wizard-typed || return 1
  click_control "$WIZARD" "$WELCOME" ButtonNext
  check "the directory page" wait_page "$WIZARD" directory 10
  type_into EditProgramGroup 'Programs\Games'
  click_control "$WIZARD" "$DIRECTORY" ButtonNext
  expect_box wizard-typed-group "Setup - Marlowen" \
    "The group Programs\\Games already holds other shortcuts. Please choose a group of its own for Marlowen." Return
  type_into EditProgramGroup 'Programs\Marlowen'
  type_into EditInstallFolder 'C:\Typed'
  # A double click on the desktop box is two presses: it toggles twice and stays checked.
  double_click_control "$WIZARD" "$DIRECTORY" CheckBoxCreateDesctopIcons
  sleep 0.5
  page_shot wizard-typed-directory
  click_control "$WIZARD" "$DIRECTORY" ButtonNext
  check "Install: the summary page" wait_page "$WIZARD" summary 120
  check "one message box" equals "$(box_count)" 1
  click_control "$WIZARD" "$SUMMARY" CheckBoxStartProgram
  click_control "$WIZARD" "$SUMMARY" ButtonFinish
  check "Finish ends the setup" wait_exit "$SETUP_PID" 20
  check "Install folder" equals "$(reg_value "$UNINSTALL_KEY" 'Install folder')" 'C:\Typed\Marlowen'
  check "installed where typed" exists 'C:\Typed\Marlowen\MarlowenApp.exe'
  check "nothing in the default folder" missing "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "the desktop box double-clicked stayed checked" exists "$DESKTOP_LINK"
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null

  start_setup wizard-typed-uninstall 'C:\Typed\Marlowen\Setup.exe' /uninstall
  expect_box wizard-typed-uninstall "Remove Marlowen" "Are you sure to remove Marlowen from your computer?" y
  check "the uninstall ends" wait_exit "$SETUP_PID" 20
  check "the typed folder's product removed" missing 'C:\\Typed\\Marlowen\\MarlowenApp.exe'
  check "the other program's shortcut outlives both" file_is "$theirs" theirs
}

# type_into NAME TEXT: replaces the text of an edit of the directory page as a person would.
# The first click after a message box may only give the window back its activation: click again.
type_into() {
  click_control "$WIZARD" "$DIRECTORY" "$1"
  sleep 0.7
  click_control "$WIZARD" "$DIRECTORY" "$1"
  xdotool key Home shift+End Delete
  xdotool type --delay 60 "$2"
  sleep 0.3
}

# Every key and value an install writes, as the registry shows them.
product_keys() {
  local key
  for key in "$SETTINGS_KEY" "$USER_SETTINGS_KEY" "$UNINSTALL_KEY" "$APP_PATHS_KEY"; do
    printf '%s:\n' "$key"; wine reg query "$key" /s /reg:32 2>&1 | tr -d '\r' | grep -v '^$' | sort
  done
}
menu_entries() {
  (cd "$(unix_path "$COMMON_PROGRAMS")" && find . | sort)
  (cd "$(unix_path "$COMMON_DESKTOP")" && find . | sort)
}

# An install onto a drive too small for the product (a small tmpfs as Wine's T:) fails with the
# system's disk-full text naming the file, and leaves the drive (a folder that was there and its
# file included), the registry and the Start menu exactly as they were.
scenario_wizard_disk_full() {
  new_prefix wizard-disk-full
  local mount="$E2E_OUT/small-drive" size drive_before registry_before menu_before wid text
  size=$(( $(du -sk "$DIST" | cut -f1) / 2 ))
  mkdir -p "$mount"
  umount "$mount" 2>/dev/null
  if ! mount -t tmpfs -o "size=${size}k" tmpfs "$mount"; then
    log "cannot mount a small tmpfs (root and mount rights are needed)"; SCENARIO_FAILED=1; return 1
  fi
  mkdir -p "$mount/Apps"
  printf 'mine' >"$mount/Apps/keep.txt"
  ln -sfn "$mount" "$WINEPREFIX/dosdevices/t:"
  drive_before=$(cd "$mount" && find . | sort)
  menu_before=$(menu_entries)

  start_wizard wizard-disk-full || { umount "$mount"; return 1; }
  # The skin library makes the user's settings key as the wizard starts; the install's own
  # changes are what must not stay.
  registry_before=$(product_keys)
  click_control "$WIZARD" "$WELCOME" ButtonNext
  check "the directory page" wait_page "$WIZARD" directory 10
  type_into EditInstallFolder 'T:\Apps'
  click_control "$WIZARD" "$DIRECTORY" ButtonNext
  wid=$(wait_box "Setup - Marlowen" 60) || { log "no error box"; SCENARIO_FAILED=1; }
  sleep 0.5
  screenshot wizard-disk-full-error
  text=$(box_texts | tail -n 1)
  log "the error: $text"
  check "the error names the file" has_box_starting 'Copy file error: T:\Apps\Marlowen\'
  check "the error gives the system's reason" equals "${text##* | }" "Disk full."
  [ -n "$wid" ] && answer "$wid" Return
  sleep 1
  log "the drive after: $(cd "$mount" && find . | sort | tr '\n' ' ')"
  check "the drive holds what it held" equals "$(cd "$mount" && find . | sort)" "$drive_before"
  check "the user's file is untouched" equals "$(cat "$mount/Apps/keep.txt")" mine
  check "the registry holds what it held" equals "$(product_keys)" "$registry_before"
  check "no uninstall entry" reg_key_missing "$UNINSTALL_KEY"
  check "the Start menu and desktop hold what they held" equals "$(menu_entries)" "$menu_before"
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  umount "$mount"
}

# --- keyboard and screen readers ------------------------------------------------------------------

# msaa_tree: what a screen reader in another process reads of Setup.exe's windows, one line per
# node ("depth role "name" state "value" left,top widthxheight"); msaa_focus: the focused node.
msaa_tree() { wine "$HELPERS/e2e_msaa.exe" --title "$WIZARD_CAPTION" 2>/dev/null | tr -d '\r'; }
msaa_focus() { wine "$HELPERS/e2e_msaa.exe" --title "$WIZARD_CAPTION" --focus 2>/dev/null | tr -d '\r'; }
# msaa_has ROLE NAME [STATE-BITS]: a node of that role and name whose state holds the bits.
msaa_has() {
  local line state
  line=$(printf '%s\n' "$TREE" | awk -v role="$1" -v name="\"$2\"" '$2 == role && index($0, " " name " ") {print; exit}')
  [ -n "$line" ] || { log "no node $1 \"$2\" in:"; printf '%s\n' "$TREE" >&2; return 1; }
  [ -z "${3:-}" ] && return 0
  state=$(printf '%s\n' "$line" | grep -o ' 0x[0-9a-f]* ' | head -1)
  (( (state & $3) == $3 )) || { log "node $1 \"$2\" has state $state, not $3"; return 1; }
}
msaa_lacks_state() {
  local line state
  line=$(printf '%s\n' "$TREE" | awk -v role="$1" -v name="\"$2\"" '$2 == role && index($0, " " name " ") {print; exit}')
  state=$(printf '%s\n' "$line" | grep -o ' 0x[0-9a-f]* ' | head -1)
  [ -n "$line" ] && (( (state & $3) == 0 ))
}
# key_wizard KEY...: keys to the wizard. Without a window manager the X focus may follow the
# pointer (moved off the window for photographs), so the wizard is given the focus first.
key_wizard() {
  xdotool windowfocus --sync "$WIZARD" 2>/dev/null
  xdotool key "$@"
}
focus_is() { msaa_focus | grep "^focus: " | grep -qF -- "\"$1\""; }
# tab_to NAME: Tab until a screen reader hears the focus on NAME (at most 12 presses).
tab_to() {
  local i
  for ((i = 0; i < 12; i++)); do
    focus_is "$1" && return 0
    key_wizard Tab
    sleep 0.3
  done
  focus_is "$1"
}

# A whole install with keys only: Alt+N and Alt+B there and back, Return on the welcome page, Tab
# to the desktop box and Space to clear it, Return to install, Return to finish. On the way a screen reader in another process
# reads each page's buttons and check boxes, their states, and where the focus is.
scenario_wizard_keys() {
  new_prefix wizard-keys
  start_wizard wizard-keys || return 1
  sleep 0.5
  TREE=$(msaa_tree)
  printf '%s\n' "$TREE" >"$E2E_OUT/wizard-keys-welcome.msaa"
  check "welcome: Next is a push button" msaa_has 43 Next
  check "welcome: Back is unavailable" msaa_has 43 Back 0x1
  check "welcome: the greeting is read" msaa_has 41 "Welcome to Marlowen"
  key_wizard alt+n
  check "Alt+N: the directory page" wait_page "$WIZARD" directory 10
  page_shot wizard-keys-access-keys
  key_wizard alt+b
  check "Alt+B: the welcome page again" wait_page "$WIZARD" welcome 10
  key_wizard Return
  check "Return: the directory page" wait_page "$WIZARD" directory 10
  sleep 0.5
  TREE=$(msaa_tree)
  printf '%s\n' "$TREE" >"$E2E_OUT/wizard-keys-directory.msaa"
  check "directory: the install folder edit is named by its label" msaa_has 42 "Install folder"
  check "directory: the desktop box is checked" msaa_has 44 "Create a desktop shortcut" 0x10
  check "directory: Install is a push button" msaa_has 43 Install
  check "Tab reaches the desktop box" tab_to "Create a desktop shortcut"
  page_shot wizard-keys-focus
  key_wizard space
  sleep 0.5
  page_shot wizard-keys-space
  TREE=$(msaa_tree)
  check "Space cleared it, as a reader hears" msaa_lacks_state 44 "Create a desktop shortcut" 0x10
  key_wizard Return
  check "Return installs: the summary page" wait_page "$WIZARD" summary 120
  check "no message box" equals "$(box_count)" 0
  sleep 0.5
  TREE=$(msaa_tree)
  check "summary: Finish is read" msaa_has 43 Finish
  key_wizard Return
  check "Return finishes" wait_exit "$SETUP_PID" 20
  check "installed" exists "$INSTALL_FOLDER\\MarlowenApp.exe"
  check "no desktop shortcut" missing "$DESKTOP_LINK"
}

# --- display scale ---------------------------------------------------------------------------------

# set_dpi DPI: the prefix's displays are at DPI dots per inch (96 at 100 %) from the next program on.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}

# reader_hears ROLE NAME [SECONDS]: until a screen reader in another process finds that node.
reader_hears() {
  local i
  for ((i = 0; i < ${3:-10} * 2; i++)); do
    TREE=$(msaa_tree)
    msaa_has "$1" "$2" >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  msaa_has "$1" "$2"
}

# scaled_click WID DOCUMENT NAME PERCENT: a click on the control where the scale puts it.
scaled_click() {
  local point box
  point=$(control_point "$2" "$3") || return 1
  box=$(window_box "$1") || return 1
  set -- $box $point "$4"
  xdotool mousemove --sync $(($1 + $5 * $7 / 100)) $(($2 + $6 * $7 / 100)) click 1 2>/dev/null
}

# On a 150 % display (LogPixels 144) the wizard opens at 900 x 600 pixels, shows exactly what
# fstool renders at 150 %, and a click on Next where it is drawn goes on; on a 200 % display it
# opens at 1200 x 800 and installs with keys alone. The scenario has an X display of its own, large
# enough for the 200 % window.
scenario_wizard_scaled() {
  local display n xvfb outer=$DISPLAY
  for n in $(seq 70 99); do [ -e "/tmp/.X$n-lock" ] || { display=:$n; break; }; done
  Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  DISPLAY=$display wizard_scaled_pages
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
  export DISPLAY=$outer
}

wizard_scaled_pages() {
  local dpi percent render
  for dpi in 144 192; do
    percent=$((dpi * 100 / 96))
    new_prefix "wizard-scaled-$dpi"
    set_dpi "$dpi"
    local WIZARD_WIDTH=$((600 * dpi / 96)) WIZARD_HEIGHT=$((400 * dpi / 96))
    start_setup "wizard-scaled-$dpi" "$SETUP_IN_DIST"
    WIZARD=
    local i
    for ((i = 0; i < 150; i++)); do WIZARD=$(wizard_window) && break; sleep 0.2; done
    check "at $percent % the wizard opens at ${WIZARD_WIDTH} x ${WIZARD_HEIGHT}" test -n "$WIZARD" || continue
    check "at $percent %: the welcome page is read" reader_hears 41 "Welcome to Marlowen" 20
    render="$E2E_OUT/wizard-scaled-$dpi-render.png"
    "$FSTOOL" render --packs "$DIST" --scale "$percent%" --page "$WELCOME" 'XML\Install\Window.xml' "$render"
    xdotool mousemove --sync 1590 990 2>/dev/null
    set -- $(window_box "$WIZARD")
    check "at $percent %: the window is fstool's render at $percent %, pixel for pixel" \
      shows_within "wizard-scaled-$dpi-welcome" "$render" "$1" "$2" 10
    if [ "$dpi" = 144 ]; then
      scaled_click "$WIZARD" "$WELCOME" ButtonNext "$percent"
      check "at $percent %: a click on Next where it is drawn goes on" reader_hears 42 "Install folder" 10
      page_shot "wizard-scaled-$dpi-directory"
    else
      key_wizard Return
      check "at $percent %: Return goes on" reader_hears 42 "Install folder" 10
      page_shot "wizard-scaled-$dpi-directory"
      key_wizard Return
      check "at $percent %: Return installs" reader_hears 43 Finish 120
      key_wizard Return
      check "at $percent %: Return finishes" wait_exit "$SETUP_PID" 20
      check "at $percent %: installed" exists "$INSTALL_FOLDER\\MarlowenApp.exe"
    fi
    wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  done
}
