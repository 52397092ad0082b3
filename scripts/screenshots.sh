#!/usr/bin/env bash
# Regenerates the user guide's pictures, docs/guide/images/*.png, from the real window.
#
#   scripts/screenshots.sh            uses build/src/app/thalwise (built with scripts/build.sh
#                                     when it is missing)
#   BUILD_DIR=build-x scripts/screenshots.sh
#   scripts/screenshots.sh breaks history   makes only the pictures named
#
# The window runs under Xvfb with a fresh, empty home folder (HOME and XDG_CONFIG_HOME in a
# temporary folder), so every setting is at its default, on the bundled sample charts in
# resources/samples/. xdotool plays the user, ImageMagick takes and trims the pictures. Each
# picture comes from a run of its own, so one picture's marks and waypoints never show up in
# another.
#
# The user is played through the keyboard wherever the window has a key for it: menu access
# keys (Alt+V, then the underlined letter), the tools' letter keys and the desktop's standard
# shortcuts. Positions are taken only where a click or a drag on the chart is the point of the
# picture, and they are counted from the window's own corner, read from the X server. Every
# step that waits for the window has a time limit, and the whole run has one, so a step that
# misses its target fails loudly instead of hanging.
#
# Needs xvfb-run, xdotool, timeout and ImageMagick (import, convert).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build_dir=${BUILD_DIR:-build}
case "$build_dir" in /*) ;; *) build_dir="$repo/$build_dir" ;; esac
program="$build_dir/src/app/thalwise"
out="$repo/docs/guide/images"
samples="$repo/resources/samples"

readonly SCREEN_WIDTH=1600 SCREEN_HEIGHT=1000
# The window's size for the pictures: its start-up size, where the fitted chart and the tools
# read well at the guide's width, and the status bar's chart age shows whole. A dock panel
# beside the chart widens the window or narrows the chart.
readonly WINDOW_SIZE="1100 760"
# The waypoint list takes its room from the window: a wider one keeps the chart large beside it.
readonly WAYPOINTS_WINDOW_SIZE="1440 760"
readonly STEP_SECONDS=15   # the longest any single step may wait
readonly RUN_SECONDS=600   # the longest the whole run may take

if [ "${THALWISE_SCREENSHOTS_INSIDE:-}" != 1 ]; then
  if [ ! -x "$program" ]; then
    BUILD_DIR="$build_dir" scripts/build.sh
  fi
  for tool in xvfb-run xdotool import convert timeout; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
  done
  mkdir -p "$out"
  export THALWISE_SCREENSHOTS_INSIDE=1 BUILD_DIR="$build_dir"
  exec timeout --kill-after=10 "$RUN_SECONDS" \
    xvfb-run -a -s "-screen 0 ${SCREEN_WIDTH}x${SCREEN_HEIGHT}x24" "$0" "$@"
fi

# ---- inside the X server --------------------------------------------------------------------

work=$(mktemp -d "${TMPDIR:-/tmp}/thalwise-shots.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "screenshots.sh: $*" >&2
  if [ -s "$work/program.log" ]; then sed 's/^/  thalwise: /' "$work/program.log" >&2; fi
  exit 1
}

# A fresh home for each run: default settings, empty documents folder and archive.
fresh_home() {
  export HOME="$work/home-$1"
  rm -rf "$HOME"
  mkdir -p "$HOME/Documents" "$HOME/Downloads" "$HOME/run"
  chmod 700 "$HOME/run"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_RUNTIME_DIR="$HOME/run"
  unset XDG_DATA_HOME XDG_CACHE_HOME
  export LC_ALL=C.UTF-8 LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
  archive="$HOME/Documents/My Pelagon Files/Chart Archive"
}

find_window() { # find_window TITLE: the id of the visible window whose title contains TITLE,
                # waiting at most STEP_SECONDS for it
  local id
  id=$(timeout "$STEP_SECONDS" xdotool search --sync --onlyvisible --name "$1" | tail -n 1) ||
    fail "no window \"$1\" appeared within $STEP_SECONDS s"
  echo "$id"
}

window_geometry() { # window_geometry TITLE: sets win (WxH+X+Y), win_x, win_y, win_w and win_h
                    # for the visible window whose title contains TITLE
  local id WINDOW X Y WIDTH HEIGHT SCREEN
  id=$(find_window "$1")
  eval "$(xdotool getwindowgeometry --shell "$id")"
  win="${WIDTH}x${HEIGHT}+${X}+${Y}"
  win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
}

# Starts the window on a chart, sized WIDTH x HEIGHT at the screen's top-left corner (there is
# no window manager to place it), and gives it the keyboard.
start() { # start WIDTH HEIGHT [ARGUMENTS...]
  local width=$1 height=$2
  shift 2
  "$program" "$@" >"$work/program.log" 2>&1 &
  pid=$!
  main_id=$(find_window "Chart viewer")
  xdotool windowmove "$main_id" 0 0 windowsize "$main_id" "$width" "$height"
  sleep 2.5
  window_geometry "Chart viewer"
  main="$win"
  kill -0 "$pid" 2>/dev/null || fail "the window ended at its start"
  focus_main
}

# Gives the main window the keyboard again (a dialog that came and went may have taken it): a
# click on the chart with the measuring tool, which leaves nothing behind.
focus_main() {
  click_at $((win_w / 4)) $((win_h / 2))
  park
}

flip_latest() { # File > Flip latest charts; waits until the history panel has widened the window
  local width=$win_w i
  menu f f
  for ((i = 0; i < STEP_SECONDS * 4; i++)); do
    window_geometry "Chart viewer"
    [ "$win_w" -gt "$width" ] && break
    sleep 0.25
  done
  [ "$win_w" -gt "$width" ] || fail "flipping opened no history panel within $STEP_SECONDS s"
  main="$win"
  sleep 1
  focus_main
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  sleep 0.5
}

key() { # key KEYS...: keys pressed one after the other, as a hand does
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.35
  done
}

menu() { # menu MENU_LETTER ITEM_KEYS...: a menu by its access key, then its item
  key "alt+$1"
  sleep 0.3
  key "${@:2}"
  sleep 0.6
}

park() { # moves the pointer off the window, where it hides nothing
  xdotool mousemove $((SCREEN_WIDTH - 20)) $((SCREEN_HEIGHT - 20))
  sleep 0.3
}

at() { # at X Y: moves the pointer to X,Y of the main window
  xdotool mousemove "$1" "$2"
  sleep 0.15
}

click_at() {
  at "$1" "$2"
  xdotool click 1
  sleep 0.6
}

drag() { # drag X1 Y1 X2 Y2 [keep]: a left-button drag; with keep the button stays down
  local x1=$1 y1=$2 x2=$3 y2=$4 steps=12 i
  at "$x1" "$y1"
  xdotool mousedown 1
  sleep 0.2
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
    sleep 0.05
  done
  sleep 0.4
  if [ "${5:-}" != keep ]; then
    xdotool mouseup 1
    sleep 0.6
  fi
}

grab() { # grab NAME [GEOMETRY [POINTER_X POINTER_Y]]: the screen, cut to GEOMETRY (default the
         # main window); the screen grab has no pointer, so a crosshair marks where it is
  local name=$1 geometry=${2:-$main} draw=()
  if [ $# -ge 4 ]; then
    local x=$3 y=$4
    draw=(-stroke white -strokewidth 3 -draw "line $((x - 9)),$y $((x + 9)),$y"
          -draw "line $x,$((y - 9)) $x,$((y + 9))"
          -stroke black -strokewidth 1 -draw "line $((x - 8)),$y $((x + 8)),$y"
          -draw "line $x,$((y - 8)) $x,$((y + 8))")
  fi
  kill -0 "$pid" 2>/dev/null || fail "the window ended before the picture $name"
  timeout "$STEP_SECONDS" import -window root "$work/screen.png" || fail "no screen grab for $name"
  convert "$work/screen.png" "${draw[@]}" -crop "$geometry" +repage "$work/cut.png"
  # At most 800 pixels wide, in 256 colours: the guide stays small.
  convert "$work/cut.png" -resize '800x>' -dither None -colors 256 "PNG8:$out/$name.png"
  echo "screenshots.sh: $out/$name.png"
}

with_archive() { # the sample week of area ne01 in the archive
  mkdir -p "$archive"
  cp "$samples"/archive/*.gif "$archive/"
}

# The chart's picture in the main window: the chart is fitted to the view, so a point given as
# a fraction of the chart (per thousand of its width and height) lands on the same water at any
# window size. The view is the part of the window left of the tools and below the menu.
chart_box() { # sets chart_x, chart_y (the chart's top-left corner) and chart_side
  local view_w=$((win_w - ${dock_w:-0} - 150)) view_h=$((win_h - 24 - 24 - ${tabs_h:-0}))
  chart_side=$((view_w < view_h ? view_w : view_h))
  chart_x=$(((view_w - chart_side) / 2))
  chart_y=$((24 + ${tabs_h:-0} + (view_h - chart_side) / 2))
}
on_chart() { # on_chart PX PY: sets x, y to the window point PX/1000, PY/1000 across the chart
  chart_box
  x=$((chart_x + chart_side * $1 / 1000))
  y=$((chart_y + chart_side * $2 / 1000))
}

# ---- the pictures ---------------------------------------------------------------------------

shot_main_window() { # the main window: a chart, the pointer over the water and its readout
  fresh_home main
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  on_chart 560 560
  at $((x - 10)) $((y - 5))
  at "$x" "$y"
  grab main-window "$main" "$x" "$y"

  # Measuring range and heading: a drag with the measuring tool, the button still down.
  local x1 y1
  on_chart 330 330
  x1=$x y1=$y
  on_chart 640 640
  drag "$x1" "$y1" "$x" "$y" keep
  grab measure "$main" "$x" "$y"
  xdotool mouseup 1
  stop
}

shot_waypoints() { # home and three waypoints, with the list beside the chart
  fresh_home waypoints
  start $WAYPOINTS_WINDOW_SIZE "$samples/area-ne01.gif"
  # The waypoint tool opens the list, which narrows the chart; the list is hidden again
  # (View > Waypoints) while the spots are clicked, so that they land where the fitted chart
  # stands in the whole view, and shown for the picture.
  key w h
  menu v w
  on_chart 330 270
  click_at "$x" "$y"
  key w
  menu v w
  local p
  for p in "390 420" "450 560" "500 690"; do
    on_chart $p
    click_at "$x" "$y"
  done
  menu v w
  sleep 0.5
  park
  grab waypoints
  stop
}

shot_annotations() { # two lines and a text
  fresh_home annotations
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  key l
  local x1 y1 x2 y2
  on_chart 430 260; x1=$x y1=$y
  on_chart 600 440; x2=$x y2=$y
  drag "$x1" "$y1" "$x2" "$y2"
  on_chart 700 620
  drag "$x2" "$y2" "$x" "$y"
  key t
  on_chart 650 340
  click_at "$x" "$y"
  find_window "Enter annotation text" >/dev/null
  sleep 0.4
  key ctrl+a
  xdotool type --delay 40 "Warm edge"
  sleep 0.3
  key Return
  sleep 0.5
  key m
  park
  grab annotations
  stop
}

shot_print_dialog() { # the print window with a selection and its grab handles
  fresh_home print
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  key ctrl+p
  window_geometry "print image"
  local dialog=$win
  sleep 0.8
  # The range choice stands at a fixed place in the print window: Selection is its second line.
  click_at $((win_x + 30)) $((win_y + 88 + 42))
  sleep 0.5
  park
  grab print-dialog "$dialog"
  key Escape
  stop
}

shot_flip() { # the latest charts of the area on tabs above the chart, the arrows below the tools
  fresh_home flip
  with_archive
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  flip_latest
  # The first flip opens the temperature history beside the chart and widens the window by
  # it; its own picture shows it, this one hides it again (View > Temperature history).
  menu v h
  sleep 0.5
  window_geometry "Chart viewer"
  main="$win"
  # The arrows stand at the bottom of the tool column, just above the status bar, the right
  # one at its right end.
  click_at $((win_w - 40)) $((win_h - 24 - 17))
  click_at $((win_w - 40)) $((win_h - 24 - 17))
  park
  grab flip
  stop
}

shot_flip_any() { # flip any charts: the archive's charts of the area, four of them ticked
  fresh_home flip-any
  with_archive
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  menu f n
  window_geometry "Flip any charts"
  local dialog=$win
  sleep 0.6
  # The list has the keyboard: the arrow keys walk down, the space bar ticks the last four.
  key Home Down Down Down space Down space Down space Down space
  sleep 0.4
  park
  grab flip-any "$dialog"
  key Escape
  stop
}

shot_breaks() { # temperature breaks on the sample chart: the current's edges drawn as lines
  fresh_home breaks
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  menu v b
  sleep 2
  park
  grab breaks
  stop
}

shot_isotherms() { # isotherms over the breaks: whole lines where the water crosses a few
                   # temperatures, labelled, beside the breaks' lines
  fresh_home isotherms
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  menu v b
  menu v i
  find_window "Isotherms" >/dev/null
  sleep 0.4
  key ctrl+a
  xdotool type --delay 40 "$ISOTHERM_TEMPERATURES"
  sleep 0.3
  key Return
  sleep 2
  park
  grab isotherms
  stop
}

shot_history() { # the water's history at a spot across the flipped charts, the panel docked
  fresh_home history
  with_archive
  start $WINDOW_SIZE "$samples/area-ne01.gif"
  local width=$win_w
  flip_latest
  # The window grows by the panel, so the chart keeps the room it had.
  dock_w=$((win_w - width)) tabs_h=26
  on_chart 520 560
  at $((x - 5)) $((y - 5))
  at "$x" "$y"
  sleep 0.5
  grab history "$main" "$x" "$y"
  unset dock_w tabs_h
  stop
}

readonly ISOTHERM_TEMPERATURES="46 50 54"

all=(main_window waypoints annotations print_dialog flip flip_any breaks isotherms history)
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=("${all[@]}")
for name in "${wanted[@]}"; do
  name=${name//-/_}
  declare -F "shot_$name" >/dev/null || fail "no picture named $name (pictures: ${all[*]})"
  "shot_$name"
done

echo "screenshots.sh: done"
