#!/bin/bash
# Drives the real program as a user would, in a private X server with a private sound
# server: hears the tune, clicks the photo, the balloon, the phrase, "Credits", the link
# and the close mark. Usage: run-e2e.sh PROGRAM. Exit 77 means the tools are missing.
set -uo pipefail

# Whatever happens, the whole run ends within two minutes.
if [ -z "${CIARLA_E2E_BOUNDED:-}" ]; then
    CIARLA_E2E_BOUNDED=1 exec timeout -k 5 120 "$0" "$@"
fi

program=$(readlink -f "${1:?usage: run-e2e.sh PROGRAM}")
samples=$(dirname "$program")
for tool in Xvfb xdotool pulseaudio parec pactl import compare sox xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

work=$(mktemp -d /tmp/ciarla-e2e.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    [ -n "${watcher:-}" ] && pkill -P "$watcher" 2>/dev/null && kill "$watcher" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: stopped"; exit 1' TERM INT

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A fresh program folder: the program and its three files, nothing else.
mkdir "$work/app" "$work/bin" "$work/pulse"
cp "$program" "$samples/cazzate.txt" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"
tune_length=$(sox --i -D "$work/app/audio.wav")

# The browser is a script that writes down what it was asked to open.
cat >"$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
echo "\$@" >>"$work/opened.log"
SCRIPT
chmod +x "$work/bin/xdg-open"

export PATH="$work/bin:$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/pulse" PULSE_RUNTIME_PATH="$work/pulse"
export QT_QPA_PLATFORM=xcb
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY BROWSER
chmod 700 "$work/pulse"

export DISPLAY=:$((200 + $$ % 500))
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=e2e rate=44100 channels=2" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl set-default-sink e2e

# When the program's stream appears, that is when the tune starts.
pactl subscribe >"$work/events.log" 2>/dev/null &
pids+=($!)
( tail -F "$work/events.log" 2>/dev/null | while read -r line; do
    case $line in *"'new' on sink-input"*) date +%s.%N >>"$work/stream-started" ;; esac
done ) >/dev/null 2>&1 &
watcher=$!

parec --device=e2e.monitor --format=s16le --rate=44100 --channels=2 --file-format=wav "$work/heard.wav" &
recorder=$!
pids+=($recorder)
sleep 0.5

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

shot() { # shot NAME X Y W H: a piece of the window
    import -window root -crop "${4}x${5}+$((X + $2))+$((Y + $3))" +repage "$work/$1.png"
}
differs() {
    [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" != 0 ]
}
click() {
    xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1
    sleep 0.4
}

# Each click draws again; the same phrase can come twice in a row, so allow a few tries.
balloon_changes() { # balloon_changes WHERE_X WHERE_Y
    shot balloon-before 184 48 291 89
    for _ in 1 2 3 4; do
        click "$1" "$2"
        shot balloon-after 184 48 291 89
        differs balloon-before balloon-after && return 0
    done
    return 1
}
balloon_changes 60 130 && pass "a click on the photo shows a new phrase" || fail "the photo click changed nothing"
balloon_changes 170 40 && pass "a click on the balloon shows a new phrase" || fail "the balloon click changed nothing"
balloon_changes 300 60 && pass "a click on the phrase shows a new phrase" || fail "the phrase click changed nothing"

shot credits-idle 296 264 201 13
click 396 268
shot credits-start 296 264 201 13
sleep 1
shot credits-later 296 264 201 13
differs credits-idle credits-start && pass "Credits fills the box" || fail "Credits did not fill the box"
differs credits-start credits-later && pass "the credits scroll" || fail "the credits do not move"

click 90 60
for _ in $(seq 50); do [ -s "$work/opened.log" ] && break; sleep 0.1; done
grep -qx "http://ciarlatronix.example/" "$work/opened.log" 2>/dev/null \
    && pass "the link opens the home page" || fail "the link opened: $(cat "$work/opened.log" 2>/dev/null)"
xdotool mousemove "$((X + 90))" "$((Y + 60))" click --repeat 2 --delay 80 1
sleep 1
opened=$(grep -cx "http://ciarlatronix.example/" "$work/opened.log" 2>/dev/null)
[ "$opened" = 2 ] && pass "a double click on the link opens the home page once" || fail "$opened opens after a click and a double click"

# Let the tune end before looking at what was heard.
elapsed=$(echo "$(date +%s.%N) - $start" | bc)
rest=$(echo "$tune_length + 1.5 - $elapsed" | bc)
[ "$(echo "$rest > 0" | bc)" = 1 ] && sleep "$rest"

click 541 10
status=
for _ in $(seq 50); do
    if ! kill -0 "$app" 2>/dev/null; then
        wait "$app"
        status=$?
        break
    fi
    sleep 0.1
done
[ "$status" = 0 ] && pass "the close mark ends the program with status 0" || fail "exit status '$status'"

kill "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
# parec leaves the WAV header's sizes unset: read the raw samples behind it.
sox -t raw -r 44100 -e signed -b 16 -c 2 <(tail -c +45 "$work/heard.wav") "$work/heard-clean.wav"
sox "$work/heard-clean.wav" "$work/sound.wav" silence 1 0.02 -40d reverse silence 1 0.02 -40d reverse 2>/dev/null
heard=$(sox --i -D "$work/sound.wav" 2>/dev/null || echo 0)
echo "tune ${tune_length}s; heard ${heard}s of sound"
within=$(echo "$heard > $tune_length - 0.5 && $heard < $tune_length + 0.5" | bc)
[ "$within" = 1 ] && pass "the tune plays once, as long as the file" || fail "heard ${heard}s for a ${tune_length}s tune"
streams=$(wc -l <"$work/stream-started" 2>/dev/null || echo 0)
[ "$streams" = 1 ] && pass "one stream played" || fail "$streams streams played"
if [ "$streams" -ge 1 ]; then
    started=$(head -n 1 "$work/stream-started")
    ends_at=$(echo "$started - $start + $tune_length" | bc)
    mapped_at=$(echo "$mapped - $start" | bc)
    [ "$(echo "$mapped_at < $ends_at" | bc)" = 1 ] \
        && pass "window mapped at ${mapped_at}s, before the tune ended at ${ends_at}s" \
        || fail "window mapped at ${mapped_at}s, after the tune ended at ${ends_at}s"
fi

if [ "$failures" -gt 0 ]; then
    echo "--- program output"; cat "$work/program.log"
    exit 1
fi
echo "end-to-end: all checks passed"
