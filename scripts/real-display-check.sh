#!/usr/bin/env bash
# Drives the drawing selection dialog on a real X display, as a user would:
# Xvfb, the openbox window manager and real key presses and mouse clicks
# through xdotool. Saves a screenshot after each step and checks that the
# drawing the dialog returns is the one the keys went to. Not part of CI (it
# needs packages and an X server); run it by hand:
#
#   bash scripts/real-display-check.sh [BUILD_DIR]    (default: build)
#
# DRAWINGS=n makes the store of the write-kind steps with n drawings instead
# of 999 (making 999 takes a few minutes).
# Missing packages (xvfb, openbox, xdotool, scrot) are installed with apt-get
# when running as root. The screenshots and a log go to out/real-display/.
# Exit status 0 when every check passed, 1 otherwise. The last steps check
# the layout (default, wide and smallest window, the fixed page dialog), the
# search dialog's dates and calendar and the active-search note, the form
# dialog in Japanese and in English, the backups' numbers and the restore
# hint of `vexafol select`, and that Qt's session notes stay off stderr.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
case $build in /*) ;; *) build=$PWD/$build ;; esac
out=$PWD/out/real-display
tool=$build/tools/vexafol

need=()
for pair in Xvfb:xvfb openbox:openbox xdotool:xdotool scrot:scrot; do
  command -v "${pair%%:*}" >/dev/null || need+=("${pair#*:}")
done
if ((${#need[@]})); then
  if [ "$(id -u)" != 0 ]; then
    echo "missing: ${need[*]} (install them, or run as root)" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
if [ ! -x "$tool" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  ninja -C "$build" vexafol >/dev/null
fi

rm -rf "$out"
mkdir -p "$out"
export LC_ALL=${LC_ALL:-ja_JP.UTF-8} TZ=${TZ:-Asia/Tokyo}
# Settings (sort order, window size) go to a home of their own.
export HOME=$out/home XDG_CONFIG_HOME=$out/home/.config XDG_DATA_HOME=$out/home/.local/share
mkdir -p "$HOME"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
wm=
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$out/openbox.log" 2>&1 &
wm=$!
sleep 1
unset QT_QPA_PLATFORM

failures=0
exec 3>&1  # the checks report here, also from steps whose output is captured
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    echo "ok    $1" >&3
  else
    echo "FAIL  $1: expected '$2', got '$3'" >&3
    failures=$((failures + 1))
  fi
}
shot() { sleep 0.4; scrot -o "$out/$1.png"; }

# Starts the dialog, runs the steps (a function) on its window, prints what
# the dialog returned.
run_dialog() {  # run_dialog STEPS STORE ARGS...
  local steps=$1 store=$2
  shift 2
  "$tool" select "$store" "$@" >"$out/result.txt" 2>>"$out/dialog.log" &
  local dialog=$!
  local window
  window=$(xdotool search --sync --onlyvisible --class vexafol | head -1)
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  sleep 0.5
  "$steps" "$window"
  wait "$dialog" || true
  head -1 "$out/result.txt"
}
key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
# Record n (from 1) of the grid, in window coordinates.
click_record() {  # click_record WINDOW N
  xdotool mousemove --window "$1" 200 $((100 + 19 * ($2 - 1))) click 1
  sleep 0.3
}

demo=$out/demo-store
"$tool" demo "$demo" >"$out/demo.log"
drawings=${DRAWINGS:-999}
big=$out/store-$drawings
mkdir -p "$big"
echo "making $drawings drawings..."
for n in $(seq "$drawings"); do
  "$tool" new --store "$big" --app 1 --title "図面 $n" >/dev/null
done

# 1. Open kind: click the third record, then a moving key, then Return. What
# comes back must be the record the key went to, whichever record was clicked.
steps_home() { click_record "$1" 3; key Home; shot open-home; key Return; }
steps_ctrl_home() { click_record "$1" 3; key ctrl+Home; shot open-ctrl-home; key Return; }
steps_end() { click_record "$1" 3; key End; shot open-end; key Return; }
steps_ctrl_end() { click_record "$1" 3; key ctrl+End; shot open-ctrl-end; key Return; }
steps_first() { click_record "$1" 1; key Return; }
first=$(run_dialog steps_first "$demo")
check "Home returns the first record" "$first" "$(run_dialog steps_home "$demo")"
check "Ctrl+Home returns the first record" "$first" "$(run_dialog steps_ctrl_home "$demo")"
last=$(run_dialog steps_end "$demo")
check "Ctrl+End returns what End returns" "$last" "$(run_dialog steps_ctrl_end "$demo")"
steps_third() { click_record "$1" 3; key Return; }
third=$(run_dialog steps_third "$demo")
[ "$third" != "$last" ] || check "End moved away from the clicked record" "moved" "stayed"
[ "$first" != "$last" ] || check "Home and End reach different records" "different" "same"

# 2. Write kind over many drawings: Ctrl+End, Return, then OK in the overwrite
# question (Cancel is its default: Shift+Tab reaches OK).
steps_write_end() { key End; key Return; shot write-overwrite-question; key shift+Tab; key Return; }
steps_write_ctrl_end() {
  key ctrl+End
  shot write-ctrl-end
  key Return
  key shift+Tab
  key Return
}
steps_write_start() { key Return; key shift+Tab; key Return; }
write_start=$(run_dialog steps_write_start "$big" --kind write)
write_last=$(run_dialog steps_write_end "$big" --kind write)
check "write kind: Ctrl+End returns what End returns" "$write_last" \
  "$(run_dialog steps_write_ctrl_end "$big" --kind write)"
[ "$write_start" != "$write_last" ] || check "write kind: End moved away from the start" "moved" "stayed"

# 3. Disabled toolbar buttons, the page-list tooltip, the date fields, and a
# read-only field after Tab passed through it and the window was resized.
steps_look() {
  shot open-toolbar-and-dates
  xdotool mousemove --window "$1" 185 20  # the page-list button
  sleep 1.5
  shot open-page-list-tooltip
  xdotool mousemove --window "$1" 200 300
  click_record "$1" 1
  for _ in $(seq 4); do key Tab; done
  shot open-tab-in-panel
  key shift+Tab shift+Tab shift+Tab shift+Tab
  xdotool windowsize "$1" 1100 700
  shot open-after-tab-and-resize
  key Escape
}
run_dialog steps_look "$demo" >/dev/null
steps_look_en() { shot open-dates-en_US; key Escape; }
(LC_ALL=en_US.UTF-8 run_dialog steps_look_en "$demo" >/dev/null) 2>/dev/null  # no system locale needed

# 4. The dialogs laid out, in a home of their own (the first window opens at
# the template's size, 534 x 373 dialog units, which gives the size of a unit
# in pixels). Toolbar buttons are found from it: their centres lie 13 units
# down.
export HOME=$out/home-layout XDG_CONFIG_HOME=$out/home-layout/.config \
  XDG_DATA_HOME=$out/home-layout/.local/share
mkdir -p "$HOME"
template_width=534 template_height=373
button() {  # button WINDOW X_UNITS: clicks the toolbar button centred there
  xdotool mousemove --window "$1" $(($2 * template_width / 534)) \
    $((13 * template_height / 373)) click 1
  sleep 1
}
size_of() { xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=' | tr '\n' ' '; }
active() { xdotool getactivewindow; }
steps_layout() {
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
  template_width=$WIDTH template_height=$HEIGHT
  shot layout-default  # no horizontal scroll bar; the name column fills the grid
  xdotool windowsize "$1" 1200 760
  shot layout-wide
  xdotool windowsize "$1" 100 100  # stops at the minimum: panel whole, grid usable
  sleep 0.5
  shot layout-minimum
  echo "$(size_of "$1")" >"$out/minimum-size.txt"
  xdotool windowsize "$1" 50 50
  sleep 0.5
  check "the minimum size holds" "$(cat "$out/minimum-size.txt")" "$(size_of "$1")"
  key Escape
}
run_dialog steps_layout "$demo" >/dev/null
least=$(sed -n 's/.*WIDTH=\([0-9]*\).*/\1/p' "$out/minimum-size.txt")
[ "${least:-0}" -gt 400 ] || check "the minimum width keeps the panel" ">400" "${least:-none}"

# The page dialog keeps its size; its captions start clear of the box line.
steps_pages() {
  click_record "$1" 1
  button "$1" 106  # ﾍﾟｰｼﾞ一覧
  local pages
  pages=$(active)
  shot page-dialog-captions
  local before
  before=$(size_of "$pages")
  xdotool windowsize "$pages" 1000 900
  sleep 0.5
  check "the page dialog keeps its size" "$before" "$(size_of "$pages")"
  key Escape
  key Escape
}
run_dialog steps_pages "$demo" >/dev/null

# The search dialog: typed dates, one Tab per date, the calendar button; then
# a search started by the options shows "検索中" beside the filter.
steps_search() {
  button "$1" 198  # 検索
  shot search-dialog
  for _ in $(seq 10); do key Tab; done  # from 図面Noから指定 to the first date
  xdotool type --delay 80 "2001-02-03"
  key Tab
  xdotool type --delay 80 "20301231"
  key Tab
  shot search-dates-typed
  key shift+Tab
  key F4  # the calendar of the second date
  shot search-calendar
  key Escape
  key Escape
  key Escape
}
run_dialog steps_search "$demo" >/dev/null
steps_searched() { shot search-active; key Escape; }
run_dialog steps_searched "$demo" --created 2000-01-01..2100-01-01 >/dev/null

# The print button's form dialog: Japanese (Qt's translations), on the filter
# that shows the store's standard form; in English under C.
steps_forms() { button "$1" 294; shot forms-dialog-ja; key Escape; key Escape; }
run_dialog steps_forms "$demo" >/dev/null
steps_forms_c() { button "$1" 294; shot forms-dialog-C; key Escape; key Escape; }
(LC_ALL=C.UTF-8 run_dialog steps_forms_c "$demo" >/dev/null)

# The backups of the demo's drawing with backups: the number column shows
# "履歴n" whole, sorted by number; choosing one says that nothing was restored.
backed=$(sed -n 's/^  with backups: *//p' "$out/demo.log")
backed_no=$((10#${backed##*.}))
backed_app=$(sed -n 's/^Application .*(.*, \(0x[0-9a-fA-F]*\))$/\1/p' < <("$tool" info --store "$demo" "$backed"))
steps_backups() {
  click_record "$1" 1
  button "$1" 172  # ﾊﾞｯｸｱｯﾌﾟからの復帰
  shot backups-restore-dialog
  key Return
}
run_dialog steps_backups "$demo" --app "$backed_app" --no "$backed_no" >/dev/null
grep -q "nothing was restored" "$out/dialog.log" &&
  check "a chosen backup says how to restore it" yes yes ||
  check "a chosen backup says how to restore it" yes no

# Qt's notes about the session never reach the user.
noise=$(grep -c -E "XDG_RUNTIME_DIR|propagateSizeHints" "$out/dialog.log" || true)
check "no Qt session notes on stderr" 0 "$noise"

# The printed list: a cut text ends in "…".
"$tool" print "$demo" --pdf "$out/list.pdf" >/dev/null
if command -v pdftotext >/dev/null; then
  pdftotext -layout "$out/list.pdf" "$out/list.txt"
  grep -q "…" "$out/list.txt" && check "cut texts end in …" yes yes ||
    echo "note  no text of the sample list is cut (nothing to show an ellipsis)"
fi

echo "screenshots: $out"
((failures == 0))
