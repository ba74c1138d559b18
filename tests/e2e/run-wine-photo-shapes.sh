#!/bin/bash
# The Windows program under Wine with photos of unusual proportions in every format its
# loader reads (JPEG, GIF, BMP, icons, WMF, EMF): each is drawn at its own size from
# (48, 120), transparent parts in the window's colour, cut by the window's edge; its
# visible part takes clicks and shows the icon pointer, a pixel beside it does neither;
# pictures over the bound are refused with the whole report, and a damaged JPEG is
# reported, the placeholder face kept.
# Usage: run-wine-photo-shapes.sh ZIP [CASE...]   (the zip of tools/build-windows.sh). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
. "$here/photo-checks.sh"
session_bounded 900 "$0" "$@"

wine_begin wine-photo-shapes "${1:-}" Xvfb xdotool xwininfo import convert unzip python3

session_display
session_wine

# start CASE: the program from a folder of its own with the case's photo and no tune;
# every box is closed; then the main window, X and Y set; $work/CASE.box the boxes' texts.
start() {
    unpack "$1"
    rm "$work/$1/audio.wav"
    python3 "$here/photo_shapes.py" "$1" "$work/$1/foto.jpg" || { fail "$1: no photo made"; return 1; }
    wine_start "$1"
    local until=$(($(date +%s) + 90)) box
    window=
    while [ "$(date +%s)" -lt "$until" ]; do
        box=$(boxes | head -n 1)
        if [ -n "$box" ]; then
            # Its one button, OK, at the middle of its bottom, if the key did not reach it.
            xdotool windowfocus "$box" key Return 2>/dev/null
            wait_for 3 gone "$box" && continue
            # The key may still close it, late, on a busy machine: then it has no geometry.
            geometry=$(xdotool getwindowgeometry --shell "$box" 2>/dev/null) || continue
            eval "$(sed 's/^/BOX_/' <<<"$geometry")"
            xdotool mousemove "$((BOX_X + BOX_WIDTH / 2))" "$((BOX_Y + BOX_HEIGHT - 22))" click 1
            wait_for 10 gone "$box"
            continue
        fi
        window=$(main_unnamed | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    box_texts "$1" | grep -v 'in EstraiRiga\|in ContaRighe' >"$work/$1.box"
    if [ -z "$window" ] && [ ! -s "$work/$1.box" ] && [ ! -s "$work/$1.log" ] && [ -z "${again:-}" ]; then
        # Now and then, on a busy machine, a fresh Wine server starts nothing at all, not a line
        # of its log: that is Wine's, not the program's, so the case starts once more.
        echo "NOTE: $1: Wine showed nothing in 90 s; starting it once more"
        stop
        again=1 start "$1"
        return
    fi
    [ -n "$window" ] || { fail "$1: no window; $(cat "$work/$1.box"); its log: $(tail -n 5 "$work/$1.log")"; return 1; }
    window_placed "$window" || fail "$1: the window at $X,$Y, not centred"
    window_painted || fail "$1: the window was not painted"
    pointer_settled || true
}
gone() { boxes | grep -qx "$1" || echo gone; }
# The server gone before the next case starts: a new program must not meet a dying one.
stop() { wineserver -k; wineserver -w; wait_for 10 no_windows; }
no_windows() { [ -z "$(visible)" ] && echo none; }

# The cases each face has, in the formats this one reads: WMF and EMF beside the others.
photo_cases " ${*:2} " "tall-gif wide-gif tall-ico wide-ico tall-wmf wide-wmf tall-emf wide-emf tall-bmp wide-bmp tall-jpeg wide-jpeg" \
    "over-jpeg-65500-513 over-jpeg-513-65500 over-gif-65535-513 over-gif-513-65535 over-bmp-65535-513 over-bmp-8283-4051
     over-ico-65535-513 over-wmf-40000-1000 over-wmf-1000-40000 over-emf-8283-4051" \
    "bound-bmp-65535-512 bound-bmp-512-65535" "damaged-jpeg cut-jpeg corrupt-jpeg" "Invalid picture"

session_summary wine-photo-shapes
