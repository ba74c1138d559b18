#!/bin/bash
# Photos of unusual proportions in every format the program reads, in a real X session:
# each is drawn at its own size from (48, 120), transparent parts in the window's colour,
# cut by the window's edge; its visible part takes clicks and shows the icon pointer, a
# pixel beside it does neither; pictures over the bound are refused with the whole report,
# and a damaged JPEG is reported, the placeholder face kept.
# Usage: run-photo-shapes.sh PROGRAM. Exit 77 means the tools are missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
. "$here/photo-checks.sh"
session_bounded 600 "$0" "$@"

session_program "${1:-}" Xvfb xdotool import convert python3 pulseaudio pactl dbus-daemon
session_begin photo-shapes
export QT_QPA_PLATFORM=xcb
session_display
session_sound
session_a11y

# start CASE: the program from a folder of its own with the case's photo; then either the
# main window (X, Y set) or the box, whose text goes to $work/CASE.box and which is closed.
start() {
    mkdir -p "$work/$1"
    cp "$program" "$samples/cazzate.txt" "$samples/audio.wav" "$work/$1/"
    python3 "$here/photo_shapes.py" "$1" "$work/$1/foto.jpg" || { fail "$1: no photo made"; return 1; }
    (cd / && exec "$work/$1/Ciarlatronix") >"$work/$1.log" 2>&1 &
    app=$!
    pids+=($app)
    answered_until_shown "$app" 60
    cp "$work/box-texts" "$work/$1.box"
    [ -n "$window" ] || { fail "$1: no window"; return 1; }
    window_placed "$window" || fail "$1: the window at $X,$Y, not centred"
    window_painted || fail "$1: the window was not painted"
    pointer_settled || true
}
stop() { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; }
phrase_now() { shown_phrase "$app"; }

photo_cases " ${*:2} " "tall-png wide-png tall-gif wide-gif tall-ico wide-ico tall-bmp wide-bmp tall-jpeg wide-jpeg" \
    "over-png-65535-513 over-png-8283-4051 over-jpeg-513-65500 over-gif-513-65535" \
    "bound-png-65535-512 bound-png-512-65535" "cut-jpeg corrupt-jpeg" "Unable to read image data"

session_summary photo-shapes
