# Helpers of the end-to-end scenarios: Setup.exe under Wine in an X display, driven like a person
# would (windows found by their caption, keys typed), results read from the registry and the
# files of the Wine prefix. Sourced by tests/e2e/run.sh; every scenario runs in a fresh prefix.

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$E2E_ROOT/scripts/lib/wine-boxes.sh"
source "$E2E_ROOT/scripts/lib/wizard.sh"
DIST=${DIST:-$E2E_ROOT/dist}
E2E_OUT=${E2E_OUT:-$E2E_ROOT/build/e2e}
HELPERS=${HELPERS:-$E2E_ROOT/build/win32/tests/e2e}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

log() { printf '  %s\n' "$*"; }

# new_prefix NAME: a fresh 64-bit prefix (32-bit programs run in its WoW64 part), copied from a
# pristine one made once per run.
new_prefix() {
  local base="$E2E_OUT/prefix-pristine"
  mkdir -p "$E2E_OUT"
  if [ ! -f "$base/system.reg" ]; then
    rm -rf "$base"
    WINEPREFIX="$base" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$base" wineserver -w
  fi
  export WINEPREFIX="$E2E_OUT/prefix-$1"
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
  read_machine_folders
}

# The Unix path of a Windows path in the prefix (C: only).
unix_path() {
  local p=${1#[Cc]:}
  printf '%s/drive_c%s' "$WINEPREFIX" "$(printf '%s' "$p" | tr '\\' '/')"
}

# The Windows path of a Unix path (through the Z: drive).
win_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

# The registry as the 32-bit Setup.exe sees it (its view of the local machine is the 32-bit one;
# REG_VIEW names another).
# reg_value ROOT\KEY NAME: the data of a value (status 1 when absent); reg_default: the default value.
reg_value() {
  local out
  out=$(wine reg query "$1" /v "$2" ${REG_VIEW:-/reg:32} 2>/dev/null | tr -d '\r' | grep -E "^\s+$2\s+REG_") || return 1
  printf '%s' "$out" | sed -E "s/^\s+$2\s+REG_[A-Z_]+\s+//"
}
reg_default() {
  local out
  out=$(wine reg query "$1" /ve ${REG_VIEW:-/reg:32} 2>/dev/null | tr -d '\r' | grep -E "REG_SZ") || return 1
  printf '%s' "$out" | sed -E 's/^.*REG_SZ\s+//'
}
reg_key_exists() { wine reg query "$1" ${REG_VIEW:-/reg:32} >/dev/null 2>&1; }
reg_key_missing() { ! reg_key_exists "$1"; }
reg_add_dword() { wine reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f ${REG_VIEW:-/reg:32} >/dev/null 2>&1; }

# wait_window CAPTION [SECONDS]: the id of a visible window with exactly this caption.
wait_window() {
  local caption=$1 limit=${2:-20} i wid
  for ((i = 0; i < limit * 5; i++)); do
    wid=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && { printf '%s' "$wid"; return 0; }
    sleep 0.2
  done
  return 1
}

# window_gone CAPTION: no visible window with this caption.
window_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# screenshot NAME: the whole display, kept in the build folder.
screenshot() { import -window root "$E2E_OUT/$1.png" 2>/dev/null; }

# answer WINDOW KEY: activates the window and types the key, as a person would.
answer() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1
  sleep 0.3
  xdotool key --window "$1" "$2" 2>/dev/null
}

# wait_exit PID [SECONDS]: waits for a process to end; status 1 when it does not.
wait_exit() {
  local pid=$1 limit=${2:-30} i
  for ((i = 0; i < limit * 5; i++)); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
    sleep 0.2
  done
  return 1
}

# start_setup NAME EXE ARGS...: starts a Setup.exe under Wine in the background (SETUP_PID). Wine
# traces the text of every message box it opens into $E2E_OUT/NAME.trace; box_texts reads them.
start_setup() {
  local name=$1; shift
  SETUP_TRACE="$E2E_OUT/$name.trace"
  WINEDEBUG=-all,trace+msgbox wine "$@" >"$E2E_OUT/$name.out" 2>"$SETUP_TRACE" &
  SETUP_PID=$!
}

# The texts of the message boxes opened so far, one box per line.
box_texts() { wine_box_texts "$SETUP_TRACE"; }
box_count() { box_texts | wc -l; }
# has_box TEXT: some box so far showed exactly TEXT.
has_box() { box_texts | grep -qxF -- "$1"; }

# wait_box CAPTION [SECONDS]: the id of a visible window with this caption that is not the
# install wizard (which shares the setup's caption).
wait_box() {
  local i wid
  for ((i = 0; i < ${2:-20} * 5; i++)); do
    wid=$(other_window "$1") && { printf '%s' "$wid"; return 0; }
    sleep 0.2
  done
  return 1
}

# expect_box NAME CAPTION TEXT KEY: waits for a box with the caption, keeps a screenshot, checks its
# text, and answers it with the key.
expect_box() {
  local name=$1 caption=$2 text=$3 key=$4 wid
  wid=$(wait_box "$caption" 30) || { log "no window \"$caption\""; SCENARIO_FAILED=1; return 1; }
  sleep 0.5
  screenshot "$name"
  check "box \"$caption\": $text" has_box "$text"
  answer "$wid" "$key"
}

# no_window_while PID: no visible top-level window appears while the process runs (up to 20 s).
no_window_while() {
  local pid=$1 i
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    [ -n "$(xdotool search --onlyvisible --name '.' 2>/dev/null | head -n 1)" ] && return 1
    sleep 0.2
  done
  return 1
}

# install_product NAME [--no-desktop-icon]: the installed state exactly as the install steps leave
# it, made by the test-only e2e_install.exe (the install steps over the distribution folder).
install_product() {
  local name=$1; shift
  wine "$HELPERS/e2e_install.exe" "$(win_path "$DIST/Setup.exe")" "$@" >"$E2E_OUT/install-$name.log" 2>&1
}

# lnk_field FILE FIELD: a field of a shortcut as Debian's lnkinfo prints it ("Local path", ...).
lnk_field() { lnkinfo "$1" 2>/dev/null | sed -n "s/^\s*$2\s*:\s*//p" | head -n 1; }

# The machine's folders as a 32-bit program sees them, read from the prefix's registry.
read_machine_folders() {
  PROGRAM_FILES=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir)
  SHELL_FOLDERS='Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
  COMMON_PROGRAMS=$(reg_value "HKLM\\$SHELL_FOLDERS" 'Common Programs')
  COMMON_DESKTOP=$(reg_value "HKLM\\$SHELL_FOLDERS" 'Common Desktop')
  APP_DATA=$(reg_value "HKCU\\$SHELL_FOLDERS" AppData)
  INSTALL_FOLDER="$PROGRAM_FILES\\Marlowen"
  PROGRAM_GROUP="$COMMON_PROGRAMS\\Marlowen"
  DESKTOP_LINK="$COMMON_DESKTOP\\Marlowen.lnk"
  # Where the removal's batch file once lived (a folder the user may write) and where its own
  # admin-only folders are made now.
  OLD_BATCH_FOLDER="$APP_DATA\\Tovan soft\\Marlowen"
  WINDOWS_TEMP='C:\windows\temp'
}

# The removal's batch folders in the Windows temporary folder (Marlowen-<32 hex digits>).
batch_folders() { find "$(unix_path "$WINDOWS_TEMP")" -maxdepth 1 -type d -name 'Marlowen-*' 2>/dev/null; }
no_batch_folder() { [ -z "$(batch_folders)" ]; }
# wait_no_batch SECONDS: until the batch file has removed itself and its folder.
wait_no_batch() {
  local i
  for ((i = 0; i < $1 * 5; i++)); do no_batch_folder && return 0; sleep 0.2; done
  return 1
}

UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlowen'
APP_PATHS_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\MarlowenApp.exe'
SETTINGS_KEY='HKLM\Software\Tovan\MarlowenApp'
USER_SETTINGS_KEY='HKCU\Software\Tovan\MarlowenApp'

exists() { [ -e "$(unix_path "$1")" ]; }
missing() { ! exists "$1"; }
equals() { [ "$1" = "$2" ]; }

# check NAME COMMAND...: one line per check; a failing check fails the scenario.
SCENARIO_FAILED=0
check() {
  local name=$1; shift
  if "$@"; then log "ok   $name"; else log "FAIL $name"; SCENARIO_FAILED=1; fi
}

# --- skinned windows ---

# shape_mask RENDER MASK: white where the rendered window is opaque (inside its shape), black where
# it is transparent.
shape_mask() { convert "$1" -alpha extract -threshold 50% "$2"; }

# crop_at SHOT X Y W H OUT: the part of a screenshot at (X, Y) of size W x H.
crop_at() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage "$6"; }

# differing_pixels A B MASK: how many pixels differ between two images of one size where the mask
# is white (the others are blacked out in both first).
differing_pixels() {
  local a="$E2E_OUT/.mask-a.png" b="$E2E_OUT/.mask-b.png" count
  convert "$1" -background black -alpha remove -alpha off "$3" -compose multiply -composite "$a"
  convert "$2" -background black -alpha remove -alpha off "$3" -compose multiply -composite "$b"
  count=$(compare -metric AE "$a" "$b" null: 2>&1)
  rm -f "$a" "$b"
  printf '%s' "${count%% *}"
}

# window_shows SHOT RENDER X Y: inside the window's shape, the screenshot at (X, Y) is the render
# pixel for pixel.
window_shows() {
  local size crop="$E2E_OUT/.crop.png" mask="$E2E_OUT/.shape.png" count
  size=$(identify -format '%w %h' "$2")
  crop_at "$1" "$3" "$4" ${size% *} ${size#* } "$crop"
  shape_mask "$2" "$mask"
  count=$(differing_pixels "$crop" "$2" "$mask")
  rm -f "$crop" "$mask"
  [ "$count" = 0 ] || { log "$count pixels differ from the render at ($3, $4)"; return 1; }
}

# shows_within NAME RENDER X Y [SECONDS]: screenshots (kept as NAME) until the window at (X, Y)
# shows its render inside its shape; the painting may take a moment after a change.
shows_within() {
  local i limit=$(( ${5:-10} * 2 ))
  for ((i = 0; i < limit; i++)); do
    screenshot "$1"
    window_shows "$E2E_OUT/$1.png" "$2" "$3" "$4" >/dev/null && return 0
    sleep 0.5
  done
  window_shows "$E2E_OUT/$1.png" "$2" "$3" "$4"
}

# beneath_shows BEFORE AFTER RENDER X Y: outside the window's shape (placed at X, Y), the screenshot
# AFTER (a screenshot of $E2E_OUT) shows what BEFORE did. What lies beneath may take a moment to
# repaint once the shape is set, so AFTER is taken again for up to 5 s.
beneath_shows() {
  local size w h mask="$E2E_OUT/.outside.png" a="$E2E_OUT/.before.png" b="$E2E_OUT/.after.png" count i
  size=$(identify -format '%w %h' "$3")
  w=${size% *}; h=${size#* }
  convert "$3" -alpha extract -threshold 50% -negate "$mask"
  crop_at "$1" "$4" "$5" "$w" "$h" "$a"
  for ((i = 0; i < 10; i++)); do
    crop_at "$2" "$4" "$5" "$w" "$h" "$b"
    count=$(differing_pixels "$a" "$b" "$mask")
    [ "$count" = 0 ] && break
    sleep 0.5
    screenshot "$(basename "$2" .png)"
  done
  rm -f "$mask" "$a" "$b"
  [ "$count" = 0 ] || { log "$count pixels outside the shape changed"; return 1; }
}

# region_changed A B X Y W H [MORE_THAN]: the two screenshots differ in more than MORE_THAN (0)
# pixels of the rectangle.
region_changed() {
  local a="$E2E_OUT/.region-a.png" b="$E2E_OUT/.region-b.png" count
  crop_at "$1" "$3" "$4" "$5" "$6" "$a"
  crop_at "$2" "$3" "$4" "$5" "$6" "$b"
  count=$(compare -metric AE "$a" "$b" null: 2>&1)
  rm -f "$a" "$b"
  count=${count%% *}
  [ "${count%.*}" -gt "${7:-0}" ] 2>/dev/null || { log "only $count pixels changed"; return 1; }
}

# drag FROM_X FROM_Y TO_X TO_Y: presses the left button, moves and releases, like a person.
drag() {
  xdotool mousemove --sync "$1" "$2" mousedown 1
  sleep 0.2
  xdotool mousemove --sync $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
  sleep 0.1
  xdotool mousemove --sync "$3" "$4"
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}

# wait_line FILE TEXT [SECONDS]: waits until a line of the file starts with TEXT.
wait_line() {
  local i
  for ((i = 0; i < ${3:-20} * 5; i++)); do
    grep -q "^$2" "$1" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}
