#!/bin/bash
# The command line and the user's own folder, on the real program: --version, --help and
# mistakes answered on the terminal with no display at all; then, in a session, a user folder
# holding only phrases, --phrases over it and a --phrases file that is not there.
# Usage: run-commandline.sh PROGRAM. Exit 77 means the tools are missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 150 "$0" "$@"

session_program "${1:-}" Xvfb xdotool xdpyinfo dbus-daemon python3
session_begin commandline
mkdir "$work/app"
cp "$program" "$samples/cazzate.txt" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"

# Arguments | status | first line on standard output | first line on standard error.
while IFS='|' read -r arguments status out err; do
    (cd "$work" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$work/app/Ciarlatronix" $arguments) \
        >"$work/out" 2>"$work/err" </dev/null
    got=$?
    if [ "$got|$(head -n 1 "$work/out")|$(head -n 1 "$work/err")" = "$status|$out|$err" ]; then
        pass "no display, '$arguments': status $status${out:+, \"$out\"}${err:+, \"$err\"}"
    else
        fail "no display, '$arguments': status $got; out: $(head -c 300 "$work/out"); err: $(head -c 300 "$work/err")"
    fi
done <<'ROWS'
--version|0|ciarlatronix 1.0.0.0|
--help|0|Usage: ciarlatronix [OPTION]...|
--frasi x|2||ciarlatronix: unknown option '--frasi'
-platform offscreen|2||ciarlatronix: unknown option '-platform'
--phrases|2||ciarlatronix: option '--phrases' requires a file name
pippo|2||ciarlatronix: unexpected argument 'pippo'
ROWS
# The help names the folders as they are here: the XDG folder when it is set, else ~/.config.
help_folders() {
    env -u DISPLAY $1 "$work/app/Ciarlatronix" --help | sed -n 's/^  [23]\. .*: //p' | tr '\n' ' '
}
for row in "-u XDG_CONFIG_HOME|$work/.config/ciarlatronix" "XDG_CONFIG_HOME=$work/xdg|$work/xdg/ciarlatronix"; do
    expected="${row#*|} $work/app "
    [ "$(help_folders "${row%%|*}")" = "$expected" ] && pass "the help names the folders: $expected" \
        || fail "with ${row%%|*} the help names: $(help_folders "${row%%|*}")"
done

export QT_QPA_PLATFORM=xcb
session_display
session_a11y

# run NAME EXPECTED_PHRASE ARGUMENT...: the program, started from $work with the arguments;
# its boxes are read and answered, then the phrase it shows is compared, and it is ended.
run() {
    local name=$1 phrase=$2
    shift 2
    (cd "$work" && exec "$work/app/Ciarlatronix" "$@") >"$work/$name.log" 2>&1 &
    app=$!
    pids+=($app)
    answered_until_shown "$app"
    if [ -z "$window" ]; then
        fail "$name: no window; boxes: $(cat "$work/box-texts")"
        return
    fi
    [ -z "$phrase" ] || wait_for 10 shown_phrase "$app"
    [ "$(shown_phrase "$app")" = "$phrase" ] && pass "$name: the phrase \"$phrase\"" \
        || fail "$name: the phrase \"$(shown_phrase "$app")\", not \"$phrase\""
    kill "$app"
    wait "$app" 2>/dev/null
}

# Each of the user's files counts on its own: only the phrases are there; the photo and the
# tune are still the program's, with no box. (The tests' world sets XDG_CONFIG_HOME.)
mkdir -p "$XDG_CONFIG_HOME/ciarlatronix"
echo "Una cazzata tutta mia" >"$XDG_CONFIG_HOME/ciarlatronix/cazzate.txt"
run own "Una cazzata tutta mia"
[ -z "$(cat "$work/box-texts")" ] && pass "own: no box" || fail "own: boxes: $(cat "$work/box-texts")"
echo "Una cazzata dall'opzione" >"$work/altre.txt"
run named "Una cazzata dall'opzione" --phrases altre.txt
run missing "" --phrases nessuna.txt
expected='Error "No such file or directory" in ContaRighe() routine
Error "No such file or directory" in EstraiRiga() function'
[ "$(cat "$work/box-texts")" = "$expected" ] && pass "missing: the boxes of a missing phrase file, word for word" \
    || fail "missing: boxes: $(cat "$work/box-texts")"
# A mistake with a display there: status 2 all the same, the mistake named.
(cd "$work" && exec "$work/app/Ciarlatronix" --frasi x) >"$work/mistake.log" 2>&1 &
app=$!
ended "$app"
[ "$status" = 2 ] && [ "$(head -n 1 "$work/mistake.log")" = "ciarlatronix: unknown option '--frasi'" ] \
    && pass "a mistake with a display: status 2, the mistake named" || fail "a mistake with a display: status $status"

session_summary commandline
