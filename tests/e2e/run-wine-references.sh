#!/bin/bash
# The Windows program under Wine, as the user sees it: the window in several states and its
# tooltip, each compared with a reviewed picture in tests/references/win32, its message boxes
# read from their controls, and the pointer over every control.
# Usage: run-wine-references.sh ZIP   (the zip of tools/build-windows.sh; the probe,
# ciarla_probe.exe, from the build beside it). Exit 77: tools missing.
# A mismatch leaves NAME.actual.png and NAME.diff.png in references-failed/ beside the zip.
# CIARLA_UPDATE_REFERENCES=1: writes the pictures as the new references instead, for a person
# to look at before committing them.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 300 "$0" "$@"

wine_begin wine-references "${1:-}" Xvfb xdotool xwininfo import compare convert unzip python3
built "$probe"
references=$(mkdir -p "$here/../references/win32" && cd "$here/../references/win32" && pwd)
failed=$(dirname "$zip")/references-failed
update=${CIARLA_UPDATE_REFERENCES:-}
rm -rf "$failed"

session_display
session_wine

# Upright and unmirrored only one way: red at the top, a black block top left.
convert -size 200x300 gradient:red-blue -fill black -draw "rectangle 8,8 70,40" -fill white \
    -draw "circle 150,250 170,250" -quality 95 "$work/large.jpg"
folder sample "$sample_phrase"
folder credits "$sample_phrase"
folder long "$long_phrase"
folder ampersand "Pane && salame, e &vino:/nla seconda riga, &&&& due"
folder large "Una foto più grande della cornice." "$work/large.jpg"
echo "no picture" >"$work/bad.jpg"
folder badphoto "La faccia di riserva." "$work/bad.jpg"
folder nophoto "La faccia di riserva." && rm "$work/nophoto/foto.jpg"
folder nophrases "" && rm "$work/nophrases/cazzate.txt"

start() { # start CASE [TEXT...]: the program, its boxes read and answered, then its window
    boxes_then_window "$@" && park
}
gone() { for _ in $(seq 50); do [ -z "$(tip)" ] && break; sleep 0.1; done; } # until no tip is up

echo "== the credits: started, one tick later; then left to turn while the others run"
start credits || exit 1
# The same phrase and photo as the sample's: drawn when it looks like that.
judge_until credits-idle sample
credits_window=$window others=$window
credits_X=$X credits_Y=$Y credits_app=$app
# Pictures of the ticker are taken of the program stopped (SIGSTOP) at the state wanted:
# tests/e2e/freeze.py lets it run only until the box changes, a few milliseconds after each
# tick, so no tick can pass unseen however busy the machine; the picture then waits for us.
# (Reading the box's text through the accessibility client instead starts Wine for each read,
# a second or more: five ticks.)
ticker() { # ticker SECONDS [freeze.py's options]: steps the credits program on
    python3 "$here/freeze.py" "$credits_app" "$credits_window" 296 264 201 13 "$@" >/dev/null
}
kill -STOP "$credits_app"
xdotool mousemove "$((X + 396))" "$((Y + 268))" click 1
park
clicked=$(date +%s)
ticker 10 --save "$work/credits-start.raw" || fail "Credits did not fill the box"
capture credits-start "$window"
judge credits-start
ticker 10 || fail "the credits did not move"
capture credits-tick "$window"
judge credits-tick
kill -CONT "$credits_app"

echo "== the sample photo, and the pointer over every control"
start sample && {
    judge_until sample
    pointer_places | check_pointers
    # None over the link; over the photo, the tooltip, whose own picture shows its text. The
    # pointer left the window after the table, which puts away any tip the probes opened.
    gone
    # A span of time is the check here: no tip within a second and a half.
    xdotool mousemove "$((X + 90))" "$((Y + 60))" sleep 0.1 mousemove "$((X + 91))" "$((Y + 60))" sleep 1.5
    [ -n "$(tip)" ] && fail "a tooltip over the link" || pass "no tooltip over the link"
    xdotool mousemove "$((X + 60))" "$((Y + 200))" sleep 0.1 mousemove "$((X + 61))" "$((Y + 200))"
    if wait_for 5 tip; then
        judge_until tooltip tooltip "" "$(tip | head -n 1)"
    else
        fail "no tooltip over the photo"
    fi
    # Nothing above shows the focus mark: the first key does, on Credits after Tab, and back on
    # the phrase after Shift+Tab. The tip goes first, with the pointer; with no window manager
    # the keys go to the window under the pointer, here over bare backdrop.
    park
    gone
    xdotool mousemove "$((X + 520))" "$((Y + 200))" key Tab
    judge_until focus-credits
    xdotool key shift+Tab
    judge_until focus-phrase
    close
}

# The boxes before the window, in the routines' order: the stop icon, the whole text (the
# system's words without their line end, the routine and its kind), OK; then the window, with
# the placeholder face and an empty phrase.
while IFS='|' read -r case texts; do
    echo "== $case"
    boxes=()
    [ -n "$texts" ] && IFS='|' read -r -a boxes <<<"$texts"
    start "$case" "${boxes[@]}" || continue
    # No photo looks as one that is no picture: the placeholder face.
    judge_until "$case" "${case/#nophoto/badphoto}"
    # Where only the larger photo lies, over the logo and the backdrop, the pointer is its own.
    [ "$case" = large ] && check_pointers <<'TABLE'
220 200 icon the-larger-photo-over-Image1
240 285 icon the-larger-photo-over-the-backdrop
TABLE
    close
done <<'CASES'
long
ampersand
large
badphoto|Error "Unsupported image format" in Form_Load() routine
nophoto|Error "File not found." in Form_Load() routine
nophrases|Error "File not found." in ContaRighe() routine|Error "File not found." in EstraiRiga() function
CASES

# Every other window is gone, so the ticker's is on top again; the text comes back to where
# it began: the program is stepped tick by tick until the box is as it was just after the
# click, then pictured. An update has no picture of its own to write here.
if [ -z "$update" ]; then
    echo "== the credits after a whole turn"
    if ticker $((clicked + 200 - $(date +%s))) --until "$work/credits-start.raw"; then
        capture credits-turn "$credits_window"
    fi
    judge credits-turn credits-start
    kill -CONT "$credits_app"
fi
X=$credits_X Y=$credits_Y app=$credits_app
close

session_summary wine-references
