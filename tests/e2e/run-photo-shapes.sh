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

program=$(readlink -f "${1:?usage: run-photo-shapes.sh PROGRAM}")
samples=$(dirname "$program")
session_need Xvfb xdotool import convert python3 pulseaudio pactl dbus-daemon
session_begin photo-shapes
export QT_QPA_PLATFORM=xcb
session_display
session_sound
session_a11y

main_window() { shown "$app" | head -n 1; }

# start CASE: the program from a folder of its own with the case's photo; then either the
# main window (X, Y set) or the box, whose text goes to $work/CASE.box and which is closed.
start() {
    mkdir -p "$work/$1"
    cp "$program" "$samples/cazzate.txt" "$samples/audio.wav" "$work/$1/"
    python3 "$here/photo_shapes.py" "$1" "$work/$1/foto.jpg" || { fail "$1: no photo made"; return 1; }
    (cd / && exec "$work/$1/Ciarlatronix") >"$work/$1.log" 2>&1 &
    app=$!
    pids+=($app)
    : >"$work/$1.box"
    local _ box
    for _ in $(seq 600); do
        window=$(main_window)
        [ -n "$window" ] && break
        box=$(box_text "$app")
        if [ -n "$box" ]; then
            echo "$box" >>"$work/$1.box"
            box_answer "$app" || echo "a box was not answered: $box"
        fi
        sleep 0.1
    done
    [ -n "$window" ] || { fail "$1: no window"; return 1; }
    window_placed "$window" || fail "$1: the window at $X,$Y, not centred"
    window_painted || fail "$1: the window was not painted"
    pointer_settled || true
}
stop() { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; }

only=" ${*:2} "
wanted() { [ "$only" = "  " ] || [[ $only == *" $1 "* ]]; }

for case in tall-png wide-png tall-gif wide-gif tall-ico wide-ico tall-bmp wide-bmp tall-jpeg wide-jpeg; do
    wanted "$case" || continue
    echo "== $case"
    start "$case" || { stop; continue; }
    [ ! -s "$work/$case.box" ] && pass "$case: shown without a report" || fail "$case: $(cat "$work/$case.box")"
    check_shape "$case"
    stop
done

for case in over-png-65535-513 over-png-513-65535 over-png-8283-4051 over-jpeg-65500-513 over-jpeg-513-65500 \
    over-bmp-65535-513 over-bmp-513-65535 over-gif-65535-513 over-gif-513-65535 over-ico-65535-513; do
    wanted "$case" || continue
    echo "== $case"
    IFS=- read -r _ _ w h <<<"$case"
    start "$case" || { stop; continue; }
    check_report "$case" "Error \"Picture too large: $w x $h pixels\" in Form_Load() routine"
    check_placeholder "$case"
    stop
done

for case in bound-png-65535-512 bound-png-512-65535; do
    wanted "$case" || continue
    echo "== $case"
    start "$case" || { stop; continue; }
    [ ! -s "$work/$case.box" ] && pass "$case: at the bound, shown" || fail "$case: $(cat "$work/$case.box")"
    check_colours "$case" "60,130 red" "547,300 red"
    stop
done

for case in cut-jpeg corrupt-jpeg; do
    wanted "$case" || continue
    echo "== $case"
    start "$case" || { stop; continue; }
    check_report "$case" 'Error "Unable to read image data" in Form_Load() routine'
    check_placeholder "$case"
    stop
done

session_summary photo-shapes
