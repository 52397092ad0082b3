#!/usr/bin/env bash
# Regenerates the user guide's pictures, docs/guide/images/*.png, from the real window.
#
#   scripts/screenshots.sh            uses build/src/app/thalwise (built with scripts/build.sh
#                                     when it is missing)
#   BUILD_DIR=build-x scripts/screenshots.sh
#
# The window runs under Xvfb (1400 x 800) with a fresh, empty home folder, so every setting is
# at its default, on the bundled sample charts in resources/samples/. xdotool plays the user,
# ImageMagick takes and trims the pictures. Each picture comes from a run of its own, so one
# picture's marks and waypoints never show up in another.
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build_dir=${BUILD_DIR:-build}
case "$build_dir" in /*) ;; *) build_dir="$repo/$build_dir" ;; esac
program="$build_dir/src/app/thalwise"
out="$repo/docs/guide/images"
samples="$repo/resources/samples"

# The screen positions below are those of the window at its start-up size, 1000 x 720, placed
# at the top-left corner of a 1400 x 800 screen without a window manager (wide enough for the
# temperature history panel beside the window).
readonly FILE_MENU="20 8"
readonly FILE_FLIP_ANY="83 73"
readonly FILE_FLIP_LATEST="83 95"
readonly FILE_PRINT="50 187"
readonly TOOL_MEASURE="876 383"
readonly TOOL_LINE="909 383"
readonly TOOL_TEXT="977 383"
readonly TOOL_WAYPOINT="875 417"
readonly TOOL_HOME="943 417"
readonly FLIP_RIGHT="960 678"
readonly PRINT_SELECTION="215 224"
readonly VIEW_MENU="139 8"
readonly VIEW_BREAKS="200 189"

if [ "${THALWISE_SCREENSHOTS_INSIDE:-}" != 1 ]; then
  if [ ! -x "$program" ]; then
    BUILD_DIR="$build_dir" scripts/build.sh
  fi
  for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
  done
  mkdir -p "$out"
  export THALWISE_SCREENSHOTS_INSIDE=1 BUILD_DIR="$build_dir"
  exec xvfb-run -a -s "-screen 0 1400x800x24" "$0" "$@"
fi

# ---- inside the X server --------------------------------------------------------------------

work=$(mktemp -d "${TMPDIR:-/tmp}/thalwise-shots.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

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

# Starts the window on a chart (or on nothing) and waits until it is up and the chart shown.
start() {
  "$program" "$@" >"$work/program.log" 2>&1 &
  pid=$!
  xdotool search --sync --onlyvisible --name "Chart viewer" >/dev/null
  sleep 2.5
  xdotool mousemove 1050 780
  sleep 0.3
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  sleep 0.5
}

at() { # at X Y: moves the pointer there in a few steps, as a hand does
  local x=$1 y=$2
  xdotool mousemove "$x" "$y"
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
  local name=$1 geometry=${2:-1000x720+0+0} draw=()
  if [ $# -ge 4 ]; then
    local x=$3 y=$4
    draw=(-stroke white -strokewidth 3 -draw "line $((x - 9)),$y $((x + 9)),$y"
          -draw "line $x,$((y - 9)) $x,$((y + 9))"
          -stroke black -strokewidth 1 -draw "line $((x - 8)),$y $((x + 8)),$y"
          -draw "line $x,$((y - 8)) $x,$((y + 8))")
  fi
  import -window root "$work/screen.png"
  convert "$work/screen.png" "${draw[@]}" -crop "$geometry" +repage "$work/cut.png"
  # At most 800 pixels wide, in 256 colours: the guide stays small.
  convert "$work/cut.png" -resize '800x>' -dither None -colors 256 "PNG8:$out/$name.png"
  echo "screenshots.sh: $out/$name.png"
}

window_geometry() { # sets dialog (WxH+X+Y), dialog_x and dialog_y for the visible window
                   # whose title contains $1
  local id WINDOW X Y WIDTH HEIGHT SCREEN
  id=$(xdotool search --sync --onlyvisible --name "$1" | tail -n 1)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  dialog="${WIDTH}x${HEIGHT}+${X}+${Y}"
  dialog_x=$X
  dialog_y=$Y
}

# Starts the window on the latest sample chart with the sample archive in place, and flips the
# latest charts of the area.
flip_latest() {
  mkdir -p "$archive"
  cp "$samples"/archive/*.gif "$archive/"
  start "$samples/area-ne01.gif"
  click_at $FILE_MENU
  click_at $FILE_FLIP_LATEST
  sleep 1.5
}

# 1. The main window: a chart, the pointer over the water and its readout.
fresh_home main
start "$samples/area-ne01.gif"
at 520 420
at 540 430
grab main-window 1000x720+0+0 540 430

# 2. Measuring range and heading: a drag with the measuring tool, button still down.
drag 330 300 640 520 keep
grab measure 1000x720+0+0 640 520
xdotool mouseup 1
stop

# 3. Home and waypoints with the list beside the chart.
fresh_home waypoints
start "$samples/area-ne01.gif"
click_at $TOOL_WAYPOINT
click_at $TOOL_HOME
click_at 330 290
click_at $TOOL_WAYPOINT
click_at 360 420
click_at 420 560
click_at 460 660
at 1050 780
grab waypoints
stop

# 4. Annotations: two lines and a text.
fresh_home annotations
start "$samples/area-ne01.gif"
click_at $TOOL_LINE
drag 420 250 600 430
drag 600 430 700 600
click_at $TOOL_TEXT
click_at 640 330
xdotool search --sync --onlyvisible --name "Enter annotation text" >/dev/null
sleep 0.4
xdotool key ctrl+a
xdotool type --delay 40 "Warm edge"
sleep 0.3
xdotool key Return
sleep 0.8
click_at $TOOL_MEASURE
at 1050 780
grab annotations
stop

# 5. The print dialog with a selection and its grab handles.
fresh_home print
start "$samples/area-ne01.gif"
click_at $FILE_MENU
click_at $FILE_PRINT
window_geometry "print image"
sleep 0.8
click_at $PRINT_SELECTION
sleep 0.5
at 1050 780
grab print-dialog "$dialog"
xdotool key Escape
sleep 0.5
stop

# 6. Flipping the latest charts of the area: tabs above the chart, arrows below the tools.
fresh_home flip
flip_latest
click_at $FLIP_RIGHT
click_at $FLIP_RIGHT
at 1350 780
grab flip 1330x720+0+0
stop

# 7. Flip any charts: the archive's charts of the area, to be ticked.
fresh_home flip-any
mkdir -p "$archive"
cp "$samples"/archive/*.gif "$archive/"
start "$samples/area-ne01.gif"
click_at $FILE_MENU
click_at $FILE_FLIP_ANY
window_geometry "Flip any charts"
sleep 0.6
# The list starts 52 pixels below the dialog's top: a click on the first name gives it the
# keyboard, then the arrow keys walk down and the space bar ticks the last four charts.
click_at $((dialog_x + 120)) $((dialog_y + 62))
xdotool key Down Down Down Down space Down space Down space Down space
sleep 0.5
grab flip-any "$dialog"
xdotool key Escape
sleep 0.5
stop

# 8. Temperature breaks on the sample chart: the warm current's edges drawn as lines.
fresh_home breaks
start "$samples/area-ne01.gif"
click_at $VIEW_MENU
click_at $VIEW_BREAKS
sleep 1.5
at 1050 780
grab breaks
stop

# 9. The water's history at a spot across the flipped charts, the panel beside the window.
fresh_home history
flip_latest
at 498 548
at 500 550
grab history 1330x720+0+0 500 550
stop

echo "screenshots.sh: done"
