#!/bin/bash
# The Windows program's command line and the user's own folder under Wine: --version, --help
# and a mistake answered in a box (and on the output, when it goes somewhere), with their exit
# status; a %APPDATA%\Ciarlatronix holding only phrases; --phrases over it, and a --phrases
# file that is not there.
# Usage: run-wine-commandline.sh ZIP   (the zip of tools/build-windows.sh; the probe,
# ciarla_probe.exe, from the build beside it). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 240 "$0" "$@"

wine_begin wine-commandline "${1:-}" winepath Xvfb xdotool xwininfo xdpyinfo unzip
built "$probe"
unpack app
session_display
session_wine

# launch NAME ARGUMENT...: the program from $work, its output in NAME.out; sets app.
launch() {
    local name=$1
    shift
    (cd "$work" && exec "$wine" "$work/app/Ciarlatronix.exe" "$@") >"$work/$name.out" 2>"$work/$name.err" </dev/null &
    app=$!
    pids+=($app)
}
appdata=$(winepath -u "$("$wine" cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
program_folder=$(winepath -w "$work/app")

echo "== --version, --help and a mistake: a box each, then the status"
help_first="Usage: ciarlatronix [OPTION]..."
# Arguments | status | the box's icon | the first line of its text.
for row in "--version|0|information|ciarlatronix 1.0.0.0" "--frasi x|2|error|ciarlatronix: unknown option '--frasi'"; do
    IFS='|' read -r arguments expected icon first <<<"$row"
    launch line $arguments
    wait_for 30 boxes || { fail "'$arguments': no box"; continue; }
    got=$("$wine" "$probe" box | tr -d '\r')
    [ "$(head -n 1 <<<"$got")" = "caption Ciarlatronix owner none icon $icon buttons OK text $first" ] \
        && pass "'$arguments': a box, $icon icon: $first" || fail "'$arguments': the box reads '$got'"
    [ -z "$(unnamed)" ] || fail "'$arguments': a window beside the box"
    press_ok "$(boxes | head -n 1)"
    ended "$app"
    [ "$status" = "$expected" ] && pass "'$arguments': status $expected" || fail "'$arguments': status $status"
done
# The output sent to a file has the same text, in the stream it belongs to.
[ "$(tr -d '\r' <"$work/line.err" | grep -c "^ciarlatronix: unknown option '--frasi'$")" = 1 ] \
    && pass "the mistake is written to the error output too" || fail "error output: $(head -c 300 "$work/line.err")"

launch help --help
wait_for 30 boxes || fail "--help: no box"
got=$("$wine" "$probe" box | tr -d '\r')
[ "$(head -n 1 <<<"$got")" = "caption Ciarlatronix owner none icon information buttons OK text $help_first" ] \
    && pass "--help: a box, information icon: $help_first" || fail "--help: the box reads '$got'"
own_folder="$(winepath -w "$appdata")\\Ciarlatronix"
for folder in "  2. your own folder: $own_folder" "  3. the program's folder: $program_folder"; do
    grep -qxF -- "$folder" <<<"$got" && pass "--help names '$folder'" || fail "--help does not name '$folder': $(grep -F '. ' <<<"$got")"
done
press_ok "$(boxes | head -n 1)"
ended "$app"
[ "$status" = 0 ] && pass "--help: status 0" || fail "--help: status $status"
tr -d '\r' <"$work/help.out" | grep -qxF "$help_first" && pass "the help is written to the output too" \
    || fail "help output: $(head -c 300 "$work/help.out")"

# phrase_of NAME EXPECTED ARGUMENT...: the program, a box for each of $texts before its
# window (answer_boxes), then the phrase it shows, as a screen reader names it; then it is closed.
texts=()
phrase_of() {
    local name=$1 expected=$2 got
    shift 2
    launch "$name" "$@"
    answer_boxes "$name" "${texts[@]}"
    main_window || { fail "$name: no window"; return 1; }
    [ -z "$(boxes)" ] || fail "$name: a box after the window"
    got=$("$wine" "$probe" phrase | tr -d '\r')
    [ "$got" = "$expected" ] && pass "$name: the phrase \"$expected\"" || fail "$name: the phrase \"$got\", not \"$expected\""
    click 541 10
    ended "$app"
    [ "$status" = 0 ] || fail "$name: closed with status $status"
}

echo "== the user's own phrases, and --phrases over them"
mkdir -p "$appdata/Ciarlatronix"
printf 'Una cazzata tutta mia\r\n' >"$appdata/Ciarlatronix/cazzate.txt"
phrase_of own "Una cazzata tutta mia"
# A tune in a folder whose name the ANSI code page cannot spell: played by its short name, no box.
mkdir "$work/Проба" && cp "$work/app/audio.wav" "$work/Проба/"
phrase_of tune "Una cazzata tutta mia" --tune "Проба/audio.wav"
printf "Una cazzata dall'opzione\r\n" >"$work/altre frasi è.txt"
phrase_of named "Una cazzata dall'opzione" --phrases "altre frasi è.txt"
texts=("Error \"File not found.\" in ContaRighe() routine" "Error \"File not found.\" in EstraiRiga() function")
phrase_of missing "" --phrases nessuna.txt

session_summary wine-commandline
