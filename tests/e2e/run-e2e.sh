#!/bin/bash
# Drives the real program as a user would, in a private X server with a private sound
# server: hears the tune, clicks the photo, the balloon, the phrase, "Credits", the link
# and the close mark; then starts it in a folder whose files are a device and named pipes.
# Usage: run-e2e.sh PROGRAM. Exit 77 means the tools are missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 150 "$0" "$@"

program=$(readlink -f "${1:?usage: run-e2e.sh PROGRAM}")
samples=$(dirname "$program")
session_need Xvfb xdotool pulseaudio parec pactl import compare sox xdpyinfo dbus-daemon bc
session_begin e2e
session_browser
export QT_QPA_PLATFORM=xcb
session_display
session_sound
# A desktop session has a bus; without one the toolkit would launch its own.
dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/run/bus" >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/run/bus"

# A fresh program folder: the program and its three files, nothing else.
mkdir "$work/app"
cp "$program" "$samples/cazzate.txt" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"
tune_length=$(sox --i -D "$work/app/audio.wav")

# When the program's stream appears, that is when the tune starts.
pactl subscribe >"$work/events.log" 2>/dev/null &
pids+=($!)
( tail -F "$work/events.log" 2>/dev/null | while read -r line; do
    case $line in *"'new' on sink-input"*) date +%s.%N >>"$work/stream-started" ;; esac
done ) >/dev/null 2>&1 &
watcher=$!
session_cleanup="pkill -P $watcher; kill $watcher"
session_listen

start=$(date +%s.%N)
# Arguments are not read: were they, the toolkit would take this one and show no window.
(cd / && exec "$work/app/Ciarlatronix" -platform offscreen -reverse) >"$work/program.log" 2>&1 &
app=$!
pids+=($app)
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app" 2>/dev/null | head -n 1)
mapped=$(date +%s.%N)
if [ -z "$window" ]; then
    fail "no window appeared"
    cat "$work/program.log"
    exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 550 ] && [ "$HEIGHT" = 304 ] && pass "window 550x304 at $X,$Y" || fail "window is ${WIDTH}x$HEIGHT"
[ "$X" = 237 ] && [ "$Y" = 232 ] && pass "window centred" || fail "window at $X,$Y, not centred"
sleep 0.5

check_clicks

close_after_tune "$start" "$tune_length"

heard=$(session_heard)
echo "tune ${tune_length}s; heard ${heard}s of sound"
within=$(echo "$heard > $tune_length - 0.5 && $heard < $tune_length + 0.5" | bc)
[ "$within" = 1 ] && pass "the tune plays once, as long as the file" || fail "heard ${heard}s for a ${tune_length}s tune"
check_streams "$work/stream-started" "$start" "$mapped" "$tune_length"

# Files that are no files: the phrases a device, the photo and the tune named pipes.
# Nothing may wait on them: three reports (the count, the pick, the photo), then the window.
mkdir "$work/odd"
cp "$program" "$work/odd/"
ln -s /dev/zero "$work/odd/cazzate.txt"
mkfifo "$work/odd/foto.jpg" "$work/odd/audio.wav"
(cd / && exec "$work/odd/Ciarlatronix") >"$work/odd.log" 2>&1 &
odd=$!
pids+=($odd)
# The program's windows on screen, by size: the main window is 550 x 304, a box is not.
shown() { # shown main|box
    local id
    for id in $(xdotool search --onlyvisible --pid "$odd" --name '^Ciarlatronix$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id" | sed 's/^/SHOWN_/')"
        if [ "$SHOWN_WIDTH $SHOWN_HEIGHT" = "550 304" ]; then
            [ "$1" = main ] && echo "$id"
        else
            [ "$1" = box ] && echo "$id"
        fi
    done
}
seen=" "
window=
for _ in $(seq 150); do
    window=$(shown main | head -n 1)
    [ -n "$window" ] && break
    # A box may not take the key at once: press until it goes, count it once.
    box=$(shown box | head -n 1)
    if [ -n "$box" ]; then
        case $seen in *" $box "*) ;; *) seen="$seen$box " ;; esac
        xdotool key --window "$box" Return
    fi
    sleep 0.2
done
boxes=$(echo $seen | wc -w)
[ "$boxes" = 3 ] && [ -n "$window" ] && pass "a device and named pipes: three reports, then the window" \
    || fail "a device and named pipes: $boxes reports, window '${window}'"
kill "$odd" 2>/dev/null

if ! session_summary e2e; then
    echo "--- program output"; cat "$work/program.log" "$work/odd.log"
    exit 1
fi
