# Driving the install wizard under Wine like a person: where its controls are (read from the
# default skin's documents in skins/default), which window is the wizard (its caption and the
# window document's size) and which are boxes or dialogs, and which page it shows (a page's own
# picture found in the window). Sourced by scripts/run and tests/e2e/lib.sh; needs xdotool,
# xmllint and ImageMagick.

WIZARD_SKIN=${WIZARD_SKIN:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/skins/default}
WIZARD_CAPTION=${WIZARD_CAPTION:-Setup - Marlowen}

# skin_file 'XML\Install\Welcome.xml': the source file of a skin path (PNG for a BMP image).
skin_file() {
  local path
  path="$WIZARD_SKIN/$(printf '%s' "$1" | tr '\\' '/')"
  case "$path" in *.bmp) path="${path%.bmp}.png" ;; esac
  printf '%s' "$path"
}

# skin_attr DOCUMENT XPATH: an attribute of the document (empty when absent).
skin_attr() { xmllint --xpath "string($2)" "$(skin_file "$1")" 2>/dev/null; }

# The size of a control that does not state it: its style's (or its own) normal button picture.
control_picture() {
  local document=$1 name=$2 folder style
  folder=$(skin_attr "$document" "//*[@Name='$name']/@Path")
  if [ -z "$folder" ]; then
    style=$(skin_attr "$document" "//*[@Name='$name']/@Style")
    [ -n "$style" ] && folder=$(skin_attr "$style" "/*/@ButtonFolder")
    [ -z "$folder" ] && [ -n "$style" ] && folder=$(skin_attr "$style" "/*/@CheckboxFolder")
  fi
  [ -n "$folder" ] && [ -f "$(skin_file "$folder")/normal.png" ] && printf '%s' "$(skin_file "$folder")/normal.png"
}

# control_point DOCUMENT NAME: "X Y" inside the window where a person clicks the control: the
# middle of a button, the box of a check box.
control_point() {
  local document=$1 name=$2 left top width height picture
  left=$(skin_attr "$document" "//*[@Name='$name']/@Left")
  top=$(skin_attr "$document" "//*[@Name='$name']/@Top")
  [ -n "$left" ] && [ -n "$top" ] || return 1
  width=$(skin_attr "$document" "//*[@Name='$name']/@Width")
  height=$(skin_attr "$document" "//*[@Name='$name']/@Height")
  picture=$(control_picture "$document" "$name")
  if [ -n "$picture" ]; then
    local size
    size=$(identify -format '%w %h' "$picture")
    # A check box's picture is its box; the stated width includes the caption.
    if [ "$(skin_attr "$document" "local-name(//*[@Name='$name'])")" = Checkbox ] || [ -z "$width" ]; then
      width=${size% *}
    fi
    [ -z "$height" ] && height=${size#* }
  fi
  printf '%d %d' $((left + ${width:-20} / 2)) $((top + ${height:-20} / 2))
}

WIZARD_WIDTH=$(skin_attr 'XML\Install\Window.xml' '/Window/@Width')
WIZARD_HEIGHT=$(skin_attr 'XML\Install\Window.xml' '/Window/@Height')

# window_box WID: "X Y WIDTH HEIGHT" of a window on the screen.
window_box() {
  local X= Y= WIDTH= HEIGHT=
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$')"
  [ -n "$X" ] && [ -n "$Y" ] && [ -n "$WIDTH" ] && [ -n "$HEIGHT" ] || return 1
  printf '%s %s %s %s' "$X" "$Y" "$WIDTH" "$HEIGHT"
}

# is_wizard WID: the window has the wizard's caption and the window document's size.
is_wizard() {
  local box
  [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$WIZARD_CAPTION" ] || return 1
  box=$(window_box "$1") || return 1
  set -- $box
  [ "$3" = "$WIZARD_WIDTH" ] && [ "$4" = "$WIZARD_HEIGHT" ]
}

# wizard_window: the id of the visible wizard window (status 1 when there is none).
wizard_window() {
  local wid
  for wid in $(xdotool search --onlyvisible --name "^${WIZARD_CAPTION}\$" 2>/dev/null); do
    is_wizard "$wid" && { printf '%s' "$wid"; return 0; }
  done
  return 1
}

# other_window [CAPTION]: a visible window other than the wizard (a message box, a dialog), with
# this caption when given; status 1 when there is none.
other_window() {
  local wid pattern=${1:+^$1\$}
  for wid in $(xdotool search --onlyvisible --name "${pattern:-.}" 2>/dev/null); do
    [ -n "$(xdotool getwindowname "$wid" 2>/dev/null)" ] || continue
    is_wizard "$wid" || { printf '%s' "$wid"; return 0; }
  done
  return 1
}

# click_control WID DOCUMENT NAME: moves the pointer to the control and clicks it.
click_control() {
  local point box
  point=$(control_point "$2" "$3") || return 1
  box=$(window_box "$1") || return 1
  set -- $box $point
  xdotool mousemove --sync $(($1 + $5)) $(($2 + $6)) 2>/dev/null
  sleep 0.3
  xdotool click ${CLICKS:+--repeat "$CLICKS" --delay 80} 1 2>/dev/null
}

# double_click_control WID DOCUMENT NAME: two quick presses, as a person's double click.
double_click_control() { CLICKS=2 click_control "$@"; }

# wizard_shot WID FILE: a photograph of the wizard window alone.
wizard_shot() {
  local box
  box=$(window_box "$1") || return 1
  set -- $box "$2"
  import -window root -crop "${3}x${4}+${1}+${2}" +repage "$5" 2>/dev/null
}

# picture_shows WID DOCUMENT XPATH: the page's image (XPATH selects its Image element) shows in
# the window at its place; only its opaque pixels count, with a little room for the colour
# conversion.
picture_shows() {
  local wid=$1 document=$2 node=$3 image left top shot mask a count total
  image=$(skin_file "$(skin_attr "$document" "$node/@Image")")
  left=$(skin_attr "$document" "$node/@Left")
  top=$(skin_attr "$document" "$node/@Top")
  [ -f "$image" ] || return 1
  shot=$(mktemp --suffix=.png) mask=$(mktemp --suffix=.png) a=$(mktemp --suffix=.png)
  wizard_shot "$wid" "$shot" || { rm -f "$shot" "$mask" "$a"; return 1; }
  local size
  size=$(identify -format '%w %h' "$image")
  convert "$shot" -crop "${size% *}x${size#* }+${left}+${top}" +repage "$a"
  convert "$image" -alpha extract -threshold 90% "$mask"
  total=$(convert "$mask" -format '%[fx:int(mean*w*h)]' info:)
  convert "$a" "$mask" -compose multiply -composite "$shot"
  convert "$image" -background black -alpha remove -alpha off "$mask" -compose multiply -composite "$a"
  count=$(compare -metric AE -fuzz 8% "$shot" "$a" null: 2>&1)
  rm -f "$shot" "$mask" "$a"
  count=${count%% *}
  [ "${count%.*}" -le $((total / 50)) ] 2>/dev/null
}

# The page the wizard shows: welcome (its side picture), summary (its badge) or directory
# (neither picture); status 1 when the window is gone.
wizard_page() {
  local wid=$1
  window_box "$wid" >/dev/null || return 1
  if picture_shows "$wid" 'XML\Install\Welcome.xml' '/Frame/Image[1]'; then echo welcome
  elif picture_shows "$wid" 'XML\Install\Summary.xml' '/Frame/Image[1]'; then echo summary
  else echo directory
  fi
}

# wait_page WID PAGE [SECONDS]: until the wizard shows the page.
wait_page() {
  local i
  for ((i = 0; i < ${3:-20} * 2; i++)); do
    [ "$(wizard_page "$1")" = "$2" ] && return 0
    sleep 0.5
  done
  return 1
}
