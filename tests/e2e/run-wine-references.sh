#!/bin/bash
# The Windows program under Wine, as the user sees it: the window in several states and its
# tooltip, each compared with a reviewed picture in tests/references/win32, its message boxes
# read from their controls, and the pointer over every control.
# Usage: run-wine-references.sh ZIP [PROBE]   (the zip of tools/build-windows.sh; the probe,
# ciarla_probe.exe, by default from the build beside the zip). Exit 77: tools missing.
# A mismatch leaves NAME.actual.png and NAME.diff.png in references-failed/ beside the zip.
# CIARLA_UPDATE_REFERENCES=1: writes the pictures as the new references instead, for a person
# to look at before committing them.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 300 "$0" "$@"

zip=$(readlink -f "${1:?usage: run-wine-references.sh ZIP [PROBE]}")
probe=$(readlink -f "${2:-$(dirname "$zip")/build/bin/ciarla_probe.exe}")
wine=$(command -v wine || command -v wine64) || { echo "SKIP: wine is missing"; exit 77; }
session_need wineserver Xvfb xdotool xwininfo import compare convert unzip python3
[ -f "$probe" ] || { echo "FAIL: no probe at $probe"; exit 1; }
references=$(mkdir -p "$here/../references/win32" && cd "$here/../references/win32" && pwd)
failed=$(dirname "$zip")/references-failed
update=${CIARLA_UPDATE_REFERENCES:-}
# Pixels that may differ by more than the fuzz: none; the fuzz absorbs smoothing.
fuzz=8%
session_begin wine-references
session_cleanup="wineserver -k"
rm -rf "$failed"

session_display
session_wine

# folder CASE PHRASE [PHOTO]: a program folder with the one-line phrase file PHRASE and the
# photo PHOTO (default: the one in the zip). No tune: it adds nothing to see.
folder() {
    mkdir -p "$work/$1"
    unzip -q "$zip" -d "$work/$1" || { echo "FAIL: cannot unpack $zip"; exit 1; }
    rm "$work/$1/audio.wav"
    printf '%s\r\n' "$2" >"$work/$1/cazzate.txt"
    case ${3:-sample} in
        sample) ;;
        *) cp "$3" "$work/$1/foto.jpg" ;;
    esac
}
# Upright and unmirrored only one way: red at the top, a black block top left.
convert -size 200x300 gradient:red-blue -fill black -draw "rectangle 8,8 70,40" -fill white \
    -draw "circle 150,250 170,250" -quality 95 "$work/large.jpg"
long="Questa è una cazzata lunghissima, scritta apposta per non stare nel fumetto alla sua grandezza:"
long="$long parole su parole, virgole, punti e ancora parole, finché la frase non supera i trecento caratteri"
long="$long e il programma deve rimpicciolirla di mezzo punto alla volta. /nFine della fiera, /nanzi no: ancora un po'!"
folder sample "Chi dorme non piglia pesci, ma almeno non puzza di pesce."
folder credits "Chi dorme non piglia pesci, ma almeno non puzza di pesce."
folder long "$long"
folder ampersand "Pane && salame, e &vino:/nla seconda riga, &&&& due"
folder large "Una foto più grande della cornice." "$work/large.jpg"
echo "no picture" >"$work/bad.jpg"
folder badphoto "La faccia di riserva." "$work/bad.jpg"
folder nophrases "" && rm "$work/nophrases/cazzate.txt"

windows() { # the program's windows on screen, "ID NAME" lines
    xwininfo -root -children 2>/dev/null | awk '/"ciarlatronix.exe"/ {print $1}' | while read -r id; do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
        printf '%s %s\n' "$id" "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
}
appeared() { # appeared SECONDS KNOWN: waits for a window not in KNOWN and prints its id
    local until=$(($(date +%s) + $1)) id
    while :; do
        id=$(windows | awk '{print $1}' | grep -vxF -e "${2:-none}" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ "$(date +%s)" -lt "$until" ] || return 1
        sleep 0.1
    done
}
launch() { # launch CASE: runs the program from its folder; sets app
    known=$(windows | awk '{print $1}')
    (cd / && exec "$wine" "$work/$1/Ciarlatronix.exe") >"$work/$1.log" 2>&1 &
    app=$!
    pids+=($app)
}
start() { # start CASE [TEXT...]: launches it; reads and answers a message box for each TEXT,
    # which must hold just that, as the probe reads it from the box's controls; sets window, X, Y
    local box case=$1 i=0 text got
    shift
    launch "$case"
    for text in "$@"; do
        i=$((i + 1))
        box=$(appeared 30 "$known") || { fail "$case: no message box $i"; return 1; }
        got=$("$wine" "$probe" box | tr -d '\r')
        # Before the window is shown a box stands on its own.
        [ "$got" = "caption Ciarlatronix owner none icon error buttons OK text $text" ] \
            && pass "$case: box $i, the stop icon, OK and '$text'" || fail "$case: box $i reads '$got'"
        press_ok "$box"
    done
    window=$(appeared 30 "$known") || { fail "$1: no window"; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$window")"
    park
}
press_ok() { # press_ok BOX: a click on its OK button, centred at its foot, until it is gone
    eval "$(xdotool getwindowgeometry --shell "$1" | sed 's/^/BOX_/')"
    xdotool mousemove "$((BOX_X + BOX_WIDTH / 2))" "$((BOX_Y + BOX_HEIGHT - 22))" click 1
    for _ in $(seq 50); do xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || break; sleep 0.1; done
}
park() { xdotool mousemove 1000 10; }  # off the window: no tooltip, no hover
close() { # close: a click on the close mark, and the program ends
    xdotool mousemove "$((X + 541))" "$((Y + 10))" click 1
    ended "$app"
    [ "$status" = 0 ] || fail "exit status '$status'"
    park
}

# capture NAME WINDOW: the window's picture as $work/NAME.png
capture() { import -window "$2" -depth 8 "$work/$1.png" 2>/dev/null; }
# same NAME REFERENCE: the capture matches the reference
same() {
    [ -f "$(reference "$2")" ] && [ "$(compare -metric AE -fuzz "$fuzz" "$(reference "$2")" "$work/$1.png" null: 2>&1)" = 0 ]
}
# judge NAME [REFERENCE]: passes if the capture matches, or in update mode makes it the reference
judge() {
    local reference=${2:-$1}
    if [ -n "$update" ]; then
        reference_update "$work/$1.png" "$reference" "$fuzz"
    elif same "$1" "$reference"; then
        pass "$1 looks as reviewed"
    else
        mkdir -p "$failed"
        cp "$work/$1.png" "$failed/$1.actual.png"
        compare -fuzz "$fuzz" "$(reference "$reference")" "$work/$1.png" "$failed/$1.diff.png" 2>/dev/null
        fail "$1 differs from tests/references/win32/$(basename "$(reference "$reference")"): see $failed/$1.actual.png and $1.diff.png"
    fi
}
# judge_until SECONDS NAME WINDOW REFERENCE: captures until a picture matches the reference,
# for a window still being drawn or that changes on its own
judge_until() {
    local until=$(($(date +%s) + $1))
    while [ "$(date +%s)" -lt "$until" ]; do
        capture "$2" "$3" && same "$2" "$4" && break
        sleep 0.05
    done
    judge "$2" "$4"
}

echo "== the credits: started, one tick later; then left to turn while the others run"
start credits || exit 1
# The same phrase and photo as the sample's: drawn when it looks like that.
judge_until 10 credits-idle "$window" sample
credits_window=$window
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

# check_pointers: the pointer at each "x y pointer control" line of its input.
check_pointers() {
    # x y pointer, in window pixels. The hand: 32 x 32, hot spot at the fingertip (13, 4);
    # the icon pointer: the colour icon, hot spot at its centre; the arrow: Wine's own, or X's
    # when Wine has no libXcursor to draw with.
    while read -r x y expected control; do
        case $expected in
            hand) want="32x32 13,4 mono" ;;
            icon) want="32x32 16,16 colour" ;;
            arrow) want=$wine_arrow ;;
        esac
        xdotool mousemove "$((X + x))" "$((Y + y))"
        # The program sets it when the move reaches it: a busy machine may take a while.
        for _ in $(seq 15); do
            sleep 0.2
            got=$(python3 "$here/pointer.py")
            grep -qxE "$want" <<<"$got" && break
        done
        grep -qxE "$want" <<<"$got" && pass "the $expected pointer over $control" \
            || fail "over $control at $x,$y the pointer is '$got', not the $expected ($want)"
    done
}

echo "== the sample photo, and the pointer over every control"
start sample && {
    judge_until 10 sample "$window" sample
    check_pointers <<'TABLE'
90 60 hand Image2
33 33 hand Image2
372 258 hand Label2
396 268 hand Label2-under-the-credits-box
300 268 arrow the-credits-box-left-of-Label2
480 268 arrow the-credits-box-right-of-Label2
541 10 hand imgClose
300 60 icon Label1
170 40 icon imgFumetto
330 160 icon imgFumetto-over-Image1
60 200 icon imgCazzaro
350 220 arrow Image1
520 200 arrow the-backdrop
TABLE
    # None over the link; over the photo, the tooltip, whose own picture shows its text. The
    # table ends on the backdrop, which puts away any tip the probes opened.
    known=$(printf '%s\n' "$window" "$credits_window")
    for _ in $(seq 50); do appeared 0 "$known" >/dev/null || break; sleep 0.1; done
    # A span of time is the check here: no tip within a second and a half.
    xdotool mousemove "$((X + 90))" "$((Y + 60))" sleep 0.1 mousemove "$((X + 91))" "$((Y + 60))" sleep 1.5
    appeared 0 "$known" >/dev/null && fail "a tooltip over the link" || pass "no tooltip over the link"
    xdotool mousemove "$((X + 60))" "$((Y + 200))" sleep 0.1 mousemove "$((X + 61))" "$((Y + 200))"
    if tip=$(appeared 5 "$known"); then
        judge_until 5 tooltip "$tip" tooltip
    else
        fail "no tooltip over the photo"
    fi
    # Nothing above shows the focus mark: the first key does, on Credits after Tab, and back on
    # the phrase after Shift+Tab. The tip goes first, with the pointer; with no window manager
    # the keys go to the window under the pointer, here over bare backdrop.
    park
    for _ in $(seq 50); do appeared 0 "$known" >/dev/null || break; sleep 0.1; done
    xdotool mousemove "$((X + 520))" "$((Y + 200))" key Tab
    judge_until 10 focus-credits "$window" focus-credits
    xdotool key shift+Tab
    judge_until 10 focus-phrase "$window" focus-phrase
    close
}

# The boxes: the stop icon, the whole text (the system's words without their line end, the
# routine and its kind), OK; then the window, with the placeholder face and an empty phrase.
while IFS='|' read -r case texts; do
    echo "== $case"
    boxes=()
    [ -n "$texts" ] && IFS='|' read -r -a boxes <<<"$texts"
    start "$case" "${boxes[@]}" || continue
    judge_until 10 "$case" "$window" "$case"
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
