#!/usr/bin/env bash
# Takes the manual's pictures (docs/manual/bilder) from the program on a real
# X11 desktop: the windows after a run of each example, and three runs of the
# bass horn with the contours Exponentiell, Hyperbolisch and Konisch in the
# colour slots. The workspace picture (arbeitsplatz.png) is not taken here.
#
#   scripts/manual-pictures.sh [VELUMO_BINARY [OUTPUT_FOLDER]]
#
# Defaults: build/release/app/velumo and docs/manual/bilder. The desktop comes
# from ../shared/tools/desktop-session.sh beside the repository (or the script
# named by VELUMO_DESKTOP_SESSION).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

if [[ ${1:-} != --inside ]]; then
  binary=$(realpath "${1:-$repo/build/release/app/velumo}")
  out=$(realpath -m "${2:-$repo/docs/manual/bilder}")
  session=${VELUMO_DESKTOP_SESSION:-$repo/../shared/tools/desktop-session.sh}
  [[ -x $binary ]] || { echo "no program at $binary (build it first)" >&2; exit 2; }
  [[ -x $session ]] || { echo "no desktop session at $session (set VELUMO_DESKTOP_SESSION)" >&2; exit 2; }
  mkdir -p "$out"
  "$session" "$0" --inside "$binary" "$out"
  exit 0
fi
binary=$2 out=$3
projects=$HOME/Projekte
mkdir -p "$projects"

fail() { echo "manual-pictures: $*" >&2; exit 1; }

. "$repo/scripts/desktop-windows.sh"

activate() {
  local id
  id=$(window_id "$1")
  [[ -n $id ]] || fail "no window \"$1\""
  xdotool windowmap "$id" 2>/dev/null || true
  timeout 5 xdotool windowactivate --sync "$id" || fail "\"$1\" cannot be activated"
  sleep 0.4
}

# The client area of a window, as the user sees it.
grab() {
  activate "$1"
  import -window "$(window_id "$1")" "$2"
}

# The tab page of the main window with its menu bar and the row of colour
# fields below it.
grab_tab() {
  activate 'Velumo  '
  xdotool key "alt+$1"
  sleep 0.5
  import -window "$(window_id 'Velumo  ')" -crop 559x444+0+0 +repage "$2"
}

run() {
  activate 'Velumo  '
  xdotool key F9
  wait_for 'Membranamplitude1'
  sleep 1.5
}

open_project() {
  activate 'Velumo  '
  xdotool key ctrl+o
  wait_for 'Projekt öffnen'
  sleep 0.5
  activate 'Projekt öffnen'
  xdotool type --delay 10 "$1"
  xdotool key Return
  wait_for "Velumo  $1"
  sleep 0.5
}

start() {
  "$binary" "$1" >/dev/null 2>&1 &
  pid=$!
  wait_for "Velumo  $1"
  sleep 1.5
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# The bass horn with its own contour (Kontur 3, exponential), then
# hyperbolic (4) and conical (2).
cp "$repo/examples/bass-horn.vlm" "$projects/bass-horn.vlm"
sed 's/^Kontur=3/Kontur=4/' "$repo/examples/bass-horn.vlm" >"$projects/bass-horn-hyperbolisch.vlm"
sed 's/^Kontur=3/Kontur=2/' "$repo/examples/bass-horn.vlm" >"$projects/bass-horn-konisch.vlm"
cp "$repo/examples/two-drivers-absorber.vlm" "$repo/examples/rear-loaded-crossover.vlm" "$projects/"

start "$projects/bass-horn.vlm"
run
grab 'SPL \[dB\]' "$out/spl.png"
grab 'El. Impedanz' "$out/zel.png"
grab 'Membranamplitude' "$out/auslenkung.png"
grab 'Pmax' "$out/pmax.png"
grab 'SPLmax' "$out/splmax.png"
grab 'Akustische Phase' "$out/phase.png"
grab 'Akustische Impedanz' "$out/znorm.png"
grab 'Sonstiges' "$out/sonstiges.png"
grab 'Prinzipskizze' "$out/skizze.png"
grab_tab t "$out/treiber.png"
grab_tab h "$out/horn.png"
grab_tab a "$out/achsen.png"
open_project "$projects/bass-horn-hyperbolisch.vlm"
run
open_project "$projects/bass-horn-konisch.vlm"
run
grab 'SPL \[dB\]' "$out/vergleich-spl.png"
grab 'El. Impedanz' "$out/vergleich-zel.png"
activate 'Velumo  '
import -window "$(window_id 'Velumo  ')" -crop 559x50+0+394 +repage "$out/farbfelder.png"
stop

start "$projects/two-drivers-absorber.vlm"
run
grab_tab h "$out/horn-zwei-treiber.png"
grab 'Prinzipskizze' "$out/skizze-zwei-treiber.png"
stop

start "$projects/rear-loaded-crossover.vlm"
run
grab_tab f "$out/frequenzweiche.png"
stop
