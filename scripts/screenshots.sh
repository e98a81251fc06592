#!/usr/bin/env bash
# Takes the README's pictures of Velumo on a real X11 desktop (Xvfb with the
# openbox window manager) as a user sees it: the start-up layout and the
# windows after opening examples/bass-horn.vlm and pressing Start at scale
# factor 1, the SPL window of that run with the FRD that velumo-sim writes
# for examples/rear-loaded-crossover.vlm loaded as measurement, the sketch
# window at scale factor 2, and a series of the "Regler" window's
# horn-length slider moving the SPL curve in the live mode (regler-1.png ..
# regler-3.png). The program is driven through the keyboard, its windows
# activated by the window manager.
#
#   scripts/screenshots.sh [VELUMO_BINARY [OUTPUT_FOLDER]]
#
# Defaults: build/release/app/velumo and docs/; velumo-sim is looked for in
# ../cli beside the program (or named by VELUMO_SIM). The desktop comes from
# ../shared/tools/desktop-session.sh beside the repository (or the script named
# by VELUMO_DESKTOP_SESSION). Fails when a title bar lies off the screen or
# the program does not end with Datei › Beenden.
set -euo pipefail
[[ -n ${VELUMO_SHOTS_TRACE:-} ]] && set -x
repo=$(cd "$(dirname "$0")/.." && pwd)

if [[ ${1:-} != --inside ]]; then
  binary=$(realpath "${1:-$repo/build/release/app/velumo}")
  out=$(realpath -m "${2:-$repo/docs}")
  session=${VELUMO_DESKTOP_SESSION:-$repo/../shared/tools/desktop-session.sh}
  [[ -x $binary ]] || { echo "no program at $binary (build it first)" >&2; exit 2; }
  [[ -x $session ]] || { echo "no desktop session at $session (set VELUMO_DESKTOP_SESSION)" >&2; exit 2; }
  mkdir -p "$out"
  "$session" "$0" --inside layout "$binary" "$out"
  "$session" "$0" --inside overlay "$binary" "$out"
  "$session" --scale 2 "$0" --inside sketch "$binary" "$out"
  "$session" "$0" --inside regler "$binary" "$out"
  exit 0
fi

mode=$2 binary=$3 out=$4
project=$repo/examples/bass-horn.vlm

fail() {
  echo "screenshots: $*" >&2
  [[ -n ${VELUMO_SHOTS_TRACE:-} ]] && shot "$out/failure-$mode.png"
  exit 1
}

# The outer frames of all of Velumo's windows, found by their class since
# only the main window's title names the program; a window closing meanwhile
# is no error.
list() {
  xwininfo -root -tree | grep -E '^ *0x[0-9a-f]+ "[^"]*": \("velumo"' | grep -v '1x1+' |
    while read -r id rest; do
      local title parent
      title=$(sed 's/^"\([^"]*\)".*/\1/' <<<"$rest")
      parent=$(xwininfo -id "$id" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
      [[ -n $parent ]] || continue
      xwininfo -id "$parent" 2>/dev/null | awk -v t="$title" '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{if (w) print x, y, w, h, t}'
    done
}

. "$repo/scripts/desktop-windows.sh"

# Every title bar on the screen: no frame may start above or left of it.
check_frames() {
  list | while read -r x y w h title; do
    ((x >= 0 && y >= 0)) || fail "title bar off the screen: $x $y ${w}x$h $title"
  done
}

# The main window gets the keyboard (a window of the program may lie over
# it); the focus inside it stays where it was.
focus_main() {
  timeout 5 xdotool windowactivate --sync "$(window_id Velumo)" || fail "the main window cannot be activated"
  sleep 0.3
}

open_and_run() {
  local file=${1:-$project}
  focus_main
  xdotool key ctrl+o
  wait_for 'Projekt öffnen'
  sleep 0.5
  timeout 5 xdotool windowactivate --sync "$(window_id 'Projekt öffnen')" || fail "the open dialog cannot be activated"
  xdotool type --delay 10 "$file"
  xdotool key Return
  wait_for "$(basename "$file")"
  sleep 0.5
  focus_main
  xdotool key F9
  # A run names the driver in the excursion window's caption.
  wait_for 'Membranamplitude1'
  sleep 1
}

# "discard": the design was changed, the question whether to save it is
# answered "Nein".
quit_program() {
  focus_main
  xdotool key alt+d
  sleep 0.3
  xdotool key b
  if [[ ${1:-} == discard ]]; then
    wait_for 'Hinweis'
    sleep 0.5
    timeout 5 xdotool windowactivate --sync "$(window_id 'Hinweis')" || fail "the question cannot be activated"
    xdotool key alt+n
  fi
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "Datei › Beenden did not end the program"
}

"$binary" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
wait_for 'Prinzipskizze'
sleep 1

case $mode in
  layout)
    check_frames
    shot "$out/startup.png"
    open_and_run
    check_frames
    shot "$out/bass-horn-run.png"
    ;;
  overlay)
    sim=${VELUMO_SIM:-$(dirname "$binary")/../cli/velumo-sim}
    [[ -x $sim ]] || fail "no velumo-sim at $sim"
    measured=$HOME/rear-loaded-crossover.frd
    "$sim" "$repo/examples/rear-loaded-crossover.vlm" --out "$HOME" --frd "$measured" >/dev/null ||
      fail "velumo-sim wrote no FRD"
    open_and_run
    focus_main
    xdotool key alt+d
    sleep 0.3
    xdotool key m
    wait_for 'Messung laden'
    sleep 0.5
    timeout 5 xdotool windowactivate --sync "$(window_id 'Messung laden')" || fail "the load dialog cannot be activated"
    xdotool type --delay 10 "$measured"
    xdotool key Return
    sleep 1
    spl=$(window_id 'SPL \[dB\]')
    [[ -n $spl ]] || fail "no SPL window"
    timeout 5 xdotool windowactivate --sync "$spl" || fail "the SPL window cannot be activated"
    sleep 0.5
    parent=$(xwininfo -id "$spl" -tree | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    import -window "$parent" "$out/measurement-overlay.png"
    # A loaded measurement changed the project.
    quit_program discard
    exit 0
    ;;
  sketch)
    open_and_run
    check_frames
    sketch=$(window_id 'Prinzipskizze')
    timeout 5 xdotool windowactivate --sync "$sketch" || fail "the sketch cannot be activated"
    sleep 0.5
    parent=$(xwininfo -id "$sketch" -tree | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    import -window "$parent" "$out/sketch-scale2.png"
    ;;
  regler)
    # The example with three sliders stored in its section [Regler]; Start
    # draws it black, and the live mode then draws every slider step red.
    tuned=$HOME/Documents/bass-horn-regler.vlm
    { cat "$project"; printf '[Regler]\r\nRegler1=Editl1\r\nRegler1Min=1.2\r\nRegler1Max=3.6\r\n'
      printf 'Regler2=EditVrk\r\nRegler2Min=20\r\nRegler2Max=60\r\n'
      printf 'Regler3=EditH\r\nRegler3Min=35\r\nRegler3Max=105\r\n'; } >"$tuned"
    open_and_run "$tuned"
    focus_main
    xdotool key alt+x
    sleep 0.3
    xdotool key v
    sleep 0.3
    xdotool key alt+x
    sleep 0.3
    xdotool key r
    wait_for 'Regler'
    sleep 0.5
    timeout 5 xdotool windowactivate --sync "$(window_id Regler)" || fail "the Regler window cannot be activated"
    # From the first input's list over its lower end to its slider.
    xdotool key Tab Tab
    n=1
    for keys in Home "Prior Prior Prior Prior Prior" End; do
      # shellcheck disable=SC2086
      xdotool key --delay 50 $keys
      sleep 1
      # The inputs, the sliders and the SPL and impedance windows.
      shot "$out/regler-$n.png"
      convert "$out/regler-$n.png" -crop 990x690+0+0 +repage "$out/regler-$n.png"
      n=$((n + 1))
    done
    quit_program discard
    exit 0
    ;;
  *) fail "unknown mode $mode" ;;
esac
quit_program
