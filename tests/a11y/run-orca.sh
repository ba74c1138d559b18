#!/bin/bash
# A real screen reader on the real program, as a blind user has it: Xvfb with mutter as the
# window manager, a private session bus with the accessibility bus, Orca with no speech
# server (its debug log has every "SPEECH OUTPUT" line all the same), then the program, driven
# from the keyboard and with the mouse. What Orca says is checked step by step; each step waits
# for Orca to say it, with a deadline. Usage: run-orca.sh PROGRAM. Exit 77: tools missing.
# CIARLA_ORCA_KEEP=FILE keeps Orca's whole debug log there.
set -uo pipefail

# Whatever happens, a run ends within three minutes. On a loaded machine Orca 43 has once
# stopped following the focus after a message box, saying nothing more: a failed run is made
# once more from a fresh start (X, buses, Orca), both in full, and the second decides.
if [ -z "${CIARLA_ORCA_BOUNDED:-}" ]; then
    for try in 1 2; do
        CIARLA_ORCA_BOUNDED=1 timeout -k 5 160 "$0" "$@"
        status=$?
        [ "$status" = 0 ] || [ "$status" = 77 ] && exit "$status"
        [ "$try" = 1 ] && echo "=== the session failed (status $status): once more, from a fresh start"
    done
    exit "$status"
fi

here=$(dirname "$(readlink -f "$0")")
. "$here/../e2e/session.sh"
session_program "${1:-}" Xvfb xdpyinfo xprop xdotool dbus-daemon dbus-send mutter orca /usr/libexec/at-spi-bus-launcher \
    /usr/libexec/at-spi2-registryd
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is missing"; exit 77; }
session_begin orca
session_cleanup='[ -z "${CIARLA_ORCA_KEEP:-}" ] || cp "$work/orca.log" "$CIARLA_ORCA_KEEP"'
trap 'echo "FAIL: stopped; Orca said:"; said | tail -n 40; exit 1' TERM INT

# What Orca has said so far, one utterance a line.
said() { sed -n "s/^.*SPEECH OUTPUT: '\\(.*\\)'\\( voice=[a-z]*\\)\\? *{'established.*$/\\1/p" "$work/orca.log" 2>/dev/null; }
# until SECONDS COMMAND...: polls for a state, true once it holds.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}
said_since() { said | tail -n +"$(($1 + 1))"; }
# hears MARK TEXT: Orca said something with TEXT in it since MARK (a count of utterances).
hears() { said_since "$1" | grep -qF -- "$2"; }
mark() { said | wc -l; }

# step WHAT EXPECTED ACTION...: runs the action, then waits for Orca to say EXPECTED.
step() {
    local what=$1 expected=$2 since
    shift 2
    since=$(mark)
    "$@"
    if until_true 20 hears "$since" "$expected"; then
        pass "$what: Orca says \"$(said_since "$since" | grep -F -- "$expected" | head -n 1)\""
    else
        fail "$what: Orca never says \"$expected\"; it said:"
        said_since "$since" | sed 's/^/    /'
    fi
}
# The phrase file holds one line, changed before each press: every new phrase is known.
phrase_next() { printf '%s\n' "$1" >"$work/app/cazzate.txt"; }
key() { xdotool key --clearmodifiers "$@"; }

mkdir "$work/app" "$work/orca"
cp "$program" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"
phrase_next "Prima cazzata per chi ascolta"
session_browser
export QT_QPA_PLATFORM=xcb GTK_A11Y=atspi
unset SPEECHD_ADDRESS
session_display
session_a11y || { echo "FAIL: no accessibility registry"; exit 1; }

# The window manager, up once it names its check window on the root.
mutter --x11 --replace --sm-disable >"$work/mutter.log" 2>&1 &
pids+=($!)
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
until_true 30 wm_up || { echo "FAIL: mutter never came up"; cat "$work/mutter.log"; exit 1; }

# Orca, with settings of its own: speech on (what it says is logged) but no speech server, so
# no sound card is needed, and no echo of the keys typed. Its debug log
# is written a line at a time, so that what it has said can be read as soon as it says it.
cat >"$work/orca/user-settings.conf" <<'JSON'
{"general": {"speechServerFactory": "", "speechFactoryModules": [], "enableKeyEcho": false,
             "enableEchoByCharacter": false, "enableEchoByWord": false},
 "pronunciations": {}, "keybindings": {}, "profiles": {"default": {"profile": ["Default", "default"]}}}
JSON
/usr/bin/python3 -c '
import builtins, runpy, sys
plain_open = builtins.open
def line_buffered(file, mode="r", *args, **kwargs):
    if file == sys.argv[-1].split("=", 1)[1] and "w" in mode and not args:
        return plain_open(file, mode, 1, **kwargs)
    return plain_open(file, mode, *args, **kwargs)
builtins.open = line_buffered
sys.argv[0] = "orca"
runpy.run_path(sys.argv.pop(0) and "'"$(command -v orca)"'", run_name="__main__")
' orca --replace -u "$work/orca" -d braille --debug-file="$work/orca.log" >"$work/orca.out" 2>&1 &
pids+=($!)
# Ready once it has said its start-up line and the registry lists its listeners for focus
# and window events, which it registers as it starts to listen: the same on every release.
listening() {
    said | grep -qxF "Screen reader on." || return 1
    dbus-send --bus="$a11y_bus" --print-reply --dest=org.a11y.atspi.Registry /org/a11y/atspi/registry \
        org.a11y.atspi.Registry.GetRegisteredEvents 2>/dev/null | grep -q '"Window:Activate'
}
until_true 30 listening \
    || { echo "FAIL: Orca never started"; cat "$work/orca.out"; tail -n 30 "$work/orca.log"; exit 1; }

# At start-up, the phrase, with the focus on it. On a loaded machine Orca 48 may take the
# window's activation after the focus it brought, and then hears nothing of the window: the
# program is then started once more, and must be heard then.
for try in 1 2; do
    since=$(mark)
    "$work/app/Ciarlatronix" >"$work/program.log" 2>&1 &
    app=$!
    pids+=($app)
    until_true 30 hears "$since" "Prima cazzata per chi ascolta" && break
    [ "$try" = 2 ] && break
    echo "Orca missed the focus at start-up, saying only: $(said_since "$since" | tr '\n' ' '); the program starts once more"
    kill "$app"
    wait "$app" 2>/dev/null
done
if hears "$since" "Prima cazzata per chi ascolta"; then
    pass "start-up: Orca says \"$(said_since "$since" | grep -F 'Prima cazzata' | head -n 1)\""
else
    fail "start-up: Orca never says the phrase; it said:"
    said_since "$since" | sed 's/^/    /'
fi
started=$since
# The window Orca has just read is the active one.
window=$(xdotool getactivewindow)

# A new phrase each time, by the keyboard and by the mouse on the photo.
phrase_next "Seconda cazzata dalla barra spaziatrice"
step "Space" "Seconda cazzata dalla barra spaziatrice" key space
phrase_next "Terza cazzata dal tasto Invio"
step "Enter" "Terza cazzata dal tasto Invio" key Return
phrase_next "Quarta cazzata da un clic sulla foto"
step "a click on the photo" "Quarta cazzata da un clic sulla foto" \
    xdotool mousemove --window "$window" 98 195 click 1

# The phrase file gone: a box says so; once it is answered the focus is back on the phrase,
# now empty, and Orca says so by its description.
rm "$work/app/cazzate.txt"
step "Space with no phrase file" "EstraiRiga" key space
step "Enter on the box" "La cazzata del momento" key Return
phrase_next "Quinta cazzata dopo la finestra di errore"
step "Space after the box" "Quinta cazzata dopo la finestra di errore" key space

# Round the ring and back.
step "Tab" "Credits" key Tab
step "Tab, Tab" "Homepage" key Tab
step "Tab, Tab, Tab" "Chiudi" key Tab
step "Tab, Tab, Tab, Tab" "Quinta cazzata dopo la finestra di errore" key Tab
step "Shift+Tab" "Chiudi" key shift+Tab
step "Tab" "Quinta cazzata dopo la finestra di errore" key Tab
step "Tab" "Credits" key Tab

# Space on Credits: the ticker turns, read through the bus, and Orca stays quiet.
since=$(mark)
key space
if verdict=$(/usr/bin/python3 "$here/../e2e/ticker.py" "$app" 3 2>&1); then
    pass "Space on Credits: the ticker turns, $verdict"
else
    fail "Space on Credits: $verdict"
fi
ticker=$(said_since "$since")
if [ -z "$ticker" ]; then
    pass "the ticker is not read out"
else
    fail "while the ticker turns Orca says:"
    printf '%s\n' "$ticker" | sed 's/^/    /'
fi

# The focus given by the reader itself: the keys go on from there.
grab_focus() {
    /usr/bin/python3 -c '
import sys, pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == int(sys.argv[1]))
sys.exit(0 if next(n for n in app[0] if n.name == sys.argv[2]).queryComponent().grabFocus() else 1)' "$app" "$1"
}
step "the reader's own focus on the link" "Homepage" grab_focus Homepage
step "Tab" "Chiudi" key Tab
step "Shift+Tab" "Homepage" key shift+Tab
step "Tab" "Chiudi" key Tab

# Enter on the close mark: the program ends, with 0.
key Return
until_true 20 eval '! kill -0 "$app" 2>/dev/null' || fail "Enter on the close mark: the program is still running"
wait "$app"
status=$?
[ "$status" = 0 ] && pass "Enter on the close mark: the program ends with 0" || fail "the program ended with $status"

# Each new phrase is said once: by now Orca has gone on to later events, so a second
# utterance of one of them would have come.
for phrase in "Prima cazzata per chi ascolta" "Seconda cazzata dalla barra spaziatrice" \
    "Terza cazzata dal tasto Invio" "Quarta cazzata da un clic sulla foto"; do
    times=$(said_since "$started" | grep -cF -- "$phrase")
    [ "$times" = 1 ] && pass "\"$phrase\" said once" || fail "\"$phrase\" said $times times"
done

if [ "$failures" != 0 ]; then
    echo "--- program output"; cat "$work/program.log"
    echo "--- everything Orca said"; said | sed 's/^/    /'
fi
session_summary orca
