#!/bin/bash
# Drives the real program as a user would, in a private X server with a private sound
# server: hears the tune, clicks the photo, the balloon, the phrase, "Credits", the link
# and the close mark; then starts it in a folder whose files are a device and named pipes.
# Usage: run-e2e.sh PROGRAM. Exit 77 means the tools are missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 180 "$0" "$@"

session_program "${1:-}" Xvfb xdotool xmessage flock pulseaudio parec pactl import compare sox xdpyinfo dbus-daemon bc python3
session_begin e2e
session_browser
export QT_QPA_PLATFORM=xcb
session_display
session_sound
# A desktop session has a bus and an accessibility bus, where the boxes are read.
session_a11y

# A fresh program folder: the program and its three files, nothing else.
mkdir "$work/app"
cp "$program" "$samples/cazzate.txt" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"
tune_length=$(sox --i -D "$work/app/audio.wav")

# When the program's stream appears, that is when the tune starts.
session_streams
session_listen

start=$(date +%s.%N)
(cd / && exec "$work/app/Ciarlatronix") >"$work/program.log" 2>&1 &
app=$!
pids+=($app)
wait_for 20 shown "$app"
window=$(shown "$app" | head -n 1)
mapped=$(date +%s.%N)
if [ -z "$window" ]; then
    fail "no window appeared"
    cat "$work/program.log"
    exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 550 ] && [ "$HEIGHT" = 304 ] && pass "window 550x304 at $X,$Y" || fail "window is ${WIDTH}x$HEIGHT"
[ "$X" = 237 ] && [ "$Y" = 232 ] && pass "window centred" || fail "window at $X,$Y, not centred"
drawn

tip() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -vx "$window"; } # the tooltip
phrase_file=$work/app/cazzate.txt
behaviours active

# The ticker, read from the accessibility tree as it turns: each step moves the credits a
# character to the left, five a second.
click 396 268
if verdict=$(/usr/bin/python3 "$here/ticker.py" "$app" 4 2>&1); then
    pass "the ticker moves the credits left, a character a tick: $verdict"
else
    fail "the ticker: $verdict"
fi

# Another window active: the same behaviours, each after the other window is made active.
xmessage -geometry +0+0 altro >/dev/null 2>&1 &
pids+=($!)
wait_for 10 xdotool search --onlyvisible --name '^xmessage$'
other=$(xdotool search --onlyvisible --name '^xmessage$' | head -n 1)
elsewhere() { xdotool windowfocus --sync "$other" 2>/dev/null; }
inactive() { [ "$(xdotool getwindowfocus)" = "$other" ]; }
behaviours inactive

# The phrase file held open for writing and locked by another program, which appends to it.
exec 5>>"$work/app/cazzate.txt"
flock -x 5
balloon_changes 60 130 && pass "held: a click shows a new phrase" || fail "held: the photo click changed nothing"
for n in 1 2 3; do printf 'Riga aggiunta %s\r\n' "$n" >&5; balloon_changes 170 40 || fail "held: click $n after a write changed nothing"; done
[ -z "$(tip)" ] && pass "held: no box" || fail "held: a box or another window"
exec 5>&-
elsewhere

close_after_tune "$start" "$tune_length"

heard=$(session_heard)
echo "tune ${tune_length}s; heard ${heard}s of sound"
within=$(echo "$heard > $tune_length - 0.5 && $heard < $tune_length + 0.5" | bc)
[ "$within" = 1 ] && pass "the tune plays once, as long as the file" || fail "heard ${heard}s for a ${tune_length}s tune"
streams_played 0 >"$work/played"
check_streams "$work/played" "$start" "$mapped" "$tune_length"

# Files that are no files: the phrases a device, the photo and the tune named pipes.
# Nothing may wait on them: three reports (the count, the pick, the photo), then the window.
mkdir "$work/odd"
cp "$program" "$work/odd/"
ln -s /dev/zero "$work/odd/cazzate.txt"
mkfifo "$work/odd/foto.jpg" "$work/odd/audio.wav"
(cd / && exec "$work/odd/Ciarlatronix") >"$work/odd.log" 2>&1 &
odd=$!
pids+=($odd)
# Each box is read once from the accessibility tree, then answered through its button.
answered_until_shown "$odd"
expected='Error "Not a regular file" in ContaRighe() routine
Error "Not a regular file" in EstraiRiga() function
Error "Not a regular file" in Form_Load() routine'
[ "$(cat "$work/box-texts")" = "$expected" ] && [ -n "$window" ] \
    && pass "a device and named pipes: three reports, word for word, then the window" \
    || fail "a device and named pipes: window '${window}', reports: $(cat "$work/box-texts")"
kill "$odd" 2>/dev/null

if ! session_summary e2e; then
    echo "--- program output"; cat "$work/program.log" "$work/odd.log"
    exit 1
fi
