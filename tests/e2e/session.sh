# What the real-session scripts share, sourced by them: a bounded run, a scratch folder
# cleaned up with everything started in it, PASS/FAIL counting, a private X server and
# sound server, a browser that writes down what it is asked to open, and looks at parts
# of the window.

# session_bounded SECONDS "$0" "$@": reruns the script under timeout, once.
session_bounded() {
    local seconds=$1
    shift
    if [ -z "${CIARLA_SESSION_BOUNDED:-}" ]; then
        CIARLA_SESSION_BOUNDED=1 exec timeout -k 5 "$seconds" "$@"
    fi
}

# session_need TOOL...: exit 77, "skipped", when one is missing.
session_need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
    done
}

. "$(dirname "${BASH_SOURCE[0]}")/../world.sh"

# session_program PROGRAM TOOL...: the Linux program under test, and the sample files beside it
# in $samples; skipped when a TOOL is missing.
session_program() {
    program=$(readlink -f "$1") && [ -f "$program" ] || { echo "usage: $(basename "$0") PROGRAM: no program at '$1'"; exit 2; }
    samples=$(dirname "$program")
    session_need "${@:2}"
}

# session_begin NAME: the scratch folder $work, with the tests' own world (fonts, locale,
# style, settings: tests/world.sh), bin/ first on PATH and a private runtime folder;
# everything whose pid is added to pids is ended on the way out, the last started first.
session_begin() {
    work=$(mktemp -d "/tmp/ciarla-$1.XXXXXX")
    pids=()
    passes=0
    failures=0
    mkdir "$work/bin" "$work/run"
    chmod 700 "$work/run"
    world_enter "$work/world"
    export PATH="$work/bin:$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run"
    unset BROWSER
    trap session_end EXIT
    trap 'echo "FAIL: stopped"; exit 1' TERM INT
}
session_end() {
    local i
    [ -n "${session_cleanup:-}" ] && eval "$session_cleanup" 2>/dev/null
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}

pass() { echo "PASS: $*"; passes=$((passes + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# session_browser: xdg-open writes each address it is given to $work/opened.log.
session_browser() {
    cat >"$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
echo "\$@" >>"$work/opened.log"
SCRIPT
    chmod +x "$work/bin/xdg-open"
}
opened() { cat "$work/opened.log" 2>/dev/null | grep -c . || true; } # how many addresses were opened

# session_display [WxH]: Xvfb, 1024 x 768 (or WxH) at 96 dots an inch, with no resources (no Xft.dpi), on a
# display number of its own.
session_display() {
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -dpi 96 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    local _
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$work/display")"
}

# session_a11y: a session bus with the accessibility bus and its registry, as a desktop has,
# for the program (Qt's bridge always on) and for a client that reads the Linux program's
# boxes from the accessibility tree (box_text, box_answer).
session_a11y() {
    local launcher=/usr/libexec/at-spi-bus-launcher registry=/usr/libexec/at-spi2-registryd _
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/run/bus" >"$work/dbus.log" 2>&1 &
    pids+=($!)
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/run/bus"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
    unset AT_SPI_BUS_ADDRESS
    for _ in $(seq 100); do [ -S "$work/run/bus" ] && break; sleep 0.1; done
    "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        a11y_bus=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [ -n "$a11y_bus" ] && break
        sleep 0.1
    done
    # Ready once the registry holds its name on the accessibility bus; one that gave up on a
    # bus still starting is started again.
    local registry_pid=
    for _ in $(seq 600); do
        if [ -z "$registry_pid" ] || ! kill -0 "$registry_pid" 2>/dev/null; then
            "$registry" >>"$work/registry.log" 2>&1 &
            registry_pid=$!
            pids+=($!)
        fi
        dbus-send --bus="$a11y_bus" --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry 2>/dev/null | grep -q true && return 0
        sleep 0.1
    done
    echo "the accessibility registry did not start"
    cat "$work/registry.log" "$work/launcher.log"
    return 1
}

# session_sound: a PulseAudio server whose only sink, "e2e", goes nowhere; its monitor
# is what the tests listen to.
session_sound() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        -L "module-native-protocol-unix auth-anonymous=1" \
        -L "module-null-sink sink_name=e2e rate=44100 channels=2" >"$work/pulse.log" 2>&1 &
    pids+=($!)
    local _
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink e2e
}

# session_streams: each sound stream's birth and end on the sound server, noted as it comes.
session_streams() {
    pactl subscribe >"$work/events.log" 2>/dev/null &
    pids+=($!)
    ( tail -F "$work/events.log" 2>/dev/null | while read -r line; do
        case $line in
            *"'new' on sink-input #"*) echo "new ${line##*#} $(date +%s.%N)" >>"$work/streams.log" ;;
            *"'remove' on sink-input #"*) echo "remove ${line##*#} $(date +%s.%N)" >>"$work/streams.log" ;;
        esac
    done ) >/dev/null 2>&1 &
    session_cleanup="${session_cleanup:+$session_cleanup; }pkill -P $!; kill $!"
}
# streams_played SECONDS: when each stream that lived SECONDS or more began, a line each, in order.
streams_played() {
    awk -v now="$(date +%s.%N)" -v least="$1" '$1 == "new" {born[$2] = $3} $1 == "remove" {gone[$2] = $3}
        END {for (id in born) if (((id in gone) ? gone[id] : now) - born[id] >= least) print born[id]}' \
        "$work/streams.log" 2>/dev/null | sort -n
}
# streams_ended: prints "ended" once nothing plays on the sound server.
streams_ended() { [ -z "$(pactl list short sink-inputs 2>/dev/null)" ] && echo ended; }
# session_listen: records the sink's monitor to $work/heard.wav until session_heard.
session_listen() {
    parec --device=e2e.monitor --format=s16le --rate=44100 --channels=2 --file-format=wav "$work/heard.wav" &
    recorder=$!
    pids+=($recorder)
    # Listening once the recorder's stream is on the sound server.
    wait_for 10 pactl list short source-outputs || echo "the recorder did not connect"
}
# session_heard: stops listening and prints how many seconds of sound were heard.
session_heard() {
    kill "$recorder" 2>/dev/null
    wait "$recorder" 2>/dev/null
    # parec leaves the WAV header's sizes unset: read the raw samples behind it.
    sox -t raw -r 44100 -e signed -b 16 -c 2 <(tail -c +45 "$work/heard.wav") "$work/heard-clean.wav"
    sound_length "$work/heard-clean.wav"
}
# sound_only FILE: seconds of sound above silence, the pauses between left out.
sound_only() {
    sox "$1" "$work/sound-only.wav" silence 1 0.02 -40d -1 0.02 -40d 2>/dev/null
    sox --i -D "$work/sound-only.wav" 2>/dev/null || echo 0
}
# sound_length FILE: seconds from the first to the last sound above silence.
sound_length() {
    sox "$1" "$work/trimmed.wav" silence 1 0.02 -40d reverse silence 1 0.02 -40d reverse 2>/dev/null
    sox --i -D "$work/trimmed.wav" 2>/dev/null || echo 0
}

# Looks and clicks at the design's pixels, scaled to the screen's $dpi (96: as they are); X and
# Y are the window's corner on screen.
dpi=96
# s V: design pixels V on the screen at $dpi, rounded half up; "V-" is the pixel just before.
s() {
    local v=${1%-}
    echo $(((2 * v * dpi + 96) / 192 - (${#1} - ${#v})))
}
shot() { # shot NAME X Y W H: a piece of the window
    import -window root -crop "$(($(s $(($2 + $4))) - $(s "$2")))x$(($(s $(($3 + $5))) - $(s "$3")))+$((X + $(s "$2")))+$((Y + $(s "$3")))" \
        +repage "$work/$1.png"
}
differs() { # differs NAME NAME: the two shots are not the same
    [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" != 0 ]
}
move() { xdotool mousemove "$((X + $(s "$1")))" "$((Y + $(s "$2")))"; } # move X Y
# Clicks, then parks the pointer on bare backdrop, where no tooltip covers what is compared.
click() { move "$1" "$2"; xdotool click 1; move 520 200; }
# changed SECONDS NAME X Y W H: shoots the piece as NAME until it differs from NAME-before.
changed() {
    local until=$(($(date +%s) + $1)) name=$2
    shift 2
    while :; do
        shot "$name" "$@"
        differs "$name-before" "$name" && return 0
        [ "$(date +%s)" -lt "$until" ] || return 1
        sleep 0.05
    done
}
# drawn: waits until the window's picture has the artwork on it and holds still.
drawn() {
    local until=$(($(date +%s) + 60))
    shot drawn-before 0 0 550 304
    while [ "$(date +%s)" -lt "$until" ]; do
        sleep 0.1
        shot drawn 0 0 550 304
        [ "$(convert "$work/drawn.png" -format %k info:)" -gt 100 ] && ! differs drawn-before drawn && return 0
        mv "$work/drawn.png" "$work/drawn-before.png"
    done
    echo "the window was not drawn in 60 s"
}
# Each click draws again; the same phrase can come twice in a row, so allow a few tries.
balloon_changes() { # balloon_changes X Y
    shot balloon-before 184 48 291 89
    local _
    for _ in 1 2 3 4; do
        click "$1" "$2"
        changed 3 balloon 184 48 291 89 && return 0
    done
    return 1
}
# The design's behaviours at points of the window, one table for both faces: "X Y WHAT NAME"
# lines in window pixels. phrase: a click draws a new phrase; credits: a click fills the
# credits box, which then turns; link, double: a click, or a double click, opens the home page
# once; tip: a hover shows the tooltip; icon, hand: the pointer there.
behaviour_table() {
    cat <<'TABLE'
60 130 phrase the-photo
170 40 phrase the-balloon
300 60 phrase the-phrase
148- 270- phrase the-photo's-last-pixel
70 200 tip the-photo
170 160 tip the-balloon
330 92 tip the-phrase
148- 270- tip the-photo's-last-pixel
70 200 icon the-photo
90 60 hand the-link
396 268 credits Credits
90 60 link the-link
153- 100- link the-link's-last-pixel
90 60 double the-link
TABLE
}
# behaviours active|inactive [WHAT...]: each row of the table with the program's window active, or with
# another window made active before each (the face's elsewhere), where the first click must
# count and a hover must leave the window inactive (the face's inactive tells). The face's tip
# prints the tooltip's window when one is shown; $phrase_file is the program's phrase file,
# which the rows rewrite before each click and put back after. WHATs after the mode: only those rows.
behaviours() {
    local mode=$1 label= x y what name before
    [ "$mode" = active ] || label="inactive: "
    cp "$phrase_file" "$work/phrases-kept"
    while read -r x y what name; do
        [ $# = 1 ] || [[ " ${*:2} " == *" $what "* ]] || continue
        [ "$mode" = active ] || elsewhere
        case $what in
        phrase)
            # A phrase of its own for this click, on every line the program counted at start
            # and more: the same line drawn twice is no failure here.
            clicks=$((${clicks:-0} + 1))
            yes "Clic numero $clicks."$'\r' | head -n $(($(wc -l <"$work/phrases-kept") + 10)) >"$phrase_file"
            shot balloon-before 184 48 291 89 && click "$x" "$y" && changed 10 balloon 184 48 291 89 \
                && pass "${label}a click on $name shows a new phrase" || fail "${label}a click on $name changed nothing" ;;
        credits)
            shot credits-before 296 264 201 13
            click "$x" "$y"
            changed 10 credits 296 264 201 13 && pass "${label}a click on $name fills the box" || fail "${label}a click on $name left the box as it was"
            mv "$work/credits.png" "$work/credits-before.png"
            changed 10 credits 296 264 201 13 && pass "${label}the credits turn" || fail "${label}the credits do not move" ;;
        link | double)
            before=$(opened)
            if [ "$what" = link ]; then click "$x" "$y"; else move "$x" "$y"; xdotool click --repeat 2 --delay 80 1; fi
            wait_opened $((before + 1))
            [ "$(opened)" = $((before + 1)) ] && [ "$(tail -n 1 "$work/opened.log")" = http://ciarlatronix.example/ ] \
                && pass "${label}a $what click on $name opens the home page once" \
                || fail "${label}a $what click on $name opened $(($(opened) - before)) times: $(tail -n 2 "$work/opened.log" 2>/dev/null)" ;;
        tip)
            move 520 200
            for _ in $(seq 40); do [ -z "$(tip)" ] && break; sleep 0.05; done
            move "$x" "$y" && sleep 0.1 && xdotool mousemove_relative -- -1 0
            wait_for 5 tip && pass "${label}a tip over $name" || fail "${label}no tip over $name" ;;
        icon | hand)
            move 520 200
            pointer_over "$x" "$y" "$(pointer_want "$what" "$(pointer_size)")" && pass "${label}the $what pointer over $name" \
                || fail "${label}over $name the pointer is '$got'" ;;
        esac
        case $mode$what in
        inactivetip | inactiveicon | inactivehand) inactive || fail "hovering over $name made the window active: the checks prove nothing" ;;
        esac
    done < <(behaviour_table)
    move 520 200
    cp "$work/phrases-kept" "$phrase_file"
}
# pointer_over X Y WANT: moves there and waits for the pointer pointer.py reads ("WxH X,Y
# colour|mono") to match WANT, an extended regular expression; got is the last one read.
pointer_over() {
    local _
    move "$1" "$2"
    # The program sets it when the move reaches it: a busy machine may take a while.
    for _ in $(seq 15); do
        sleep 0.2
        got=$(python3 "$(dirname "${BASH_SOURCE[0]}")/pointer.py")
        grep -qxE "$3" <<<"$got" && return 0
    done
    return 1
}
# pointer_size: the system's pointer size at $dpi, as the probe reads it under Wine; 32 on Linux.
pointer_size() { if [ -n "${wine:-}" ]; then "$wine" "$probe" metric 13 "$dpi" | tr -d '\r'; else echo 32; fi; }
# pointer_want hand|icon SIZE: the program's own pointer drawn at SIZE, hot spots scaled with it:
# the hand's at its fingertip, the icon's at its centre.
pointer_want() {
    [ "$1" = icon ] && echo "${2}x$2 $(($2 / 2)),$(($2 / 2)) colour" || echo "${2}x$2 $((13 * $2 / 32)),$((4 * $2 / 32)) mono"
}
wait_opened() { # wait_opened COUNT: until xdg-open has been asked COUNT times, and a little more
    local _
    for _ in $(seq 80); do [ "$(opened)" -ge "$1" ] && break; sleep 0.1; done
    # A span of time is the check: no more openings within a second after.
    sleep 1
}

# shown PID: the main window of the Linux program PID on screen, told by its name and size,
# 550 x 304 (a toolkit may map small helper windows of the same name).
shown() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" --name '^Ciarlatronix$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id" | sed 's/^/SHOWN_/')"
        [ "$SHOWN_WIDTH $SHOWN_HEIGHT" = "550 304" ] && echo "$id"
    done
}

# The Linux program's message boxes, read from the accessibility tree (session_a11y): the
# box's own title, kind, text and buttons, whatever a toolkit release draws of them.
# box_text PID: "TITLE|ROLE|TEXT|BUTTONS" of its box on screen, nothing when none is there.
box_text() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/qtbox.py" "$1" read; }
# box_answer PID: presses the box's one button, as a click on OK does, and waits until it is gone.
box_answer() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/qtbox.py" "$1" answer; }

# answered_until_shown PID [SECONDS]: reads each box the program shows, in turn, into
# $work/box-texts and answers it, until its window shows; window is then its id (empty after
# SECONDS, 20, without).
answered_until_shown() {
    local until=$(($(date +%s) + ${2:-20})) text
    window=
    : >"$work/box-texts"
    while [ "$(date +%s)" -lt "$until" ]; do
        window=$(shown "$1" | head -n 1)
        [ -n "$window" ] && return
        text=$(box_text "$1")
        if [ -n "$text" ]; then
            echo "$text" >>"$work/box-texts"
            box_answer "$1" || echo "a box was not answered: $text"
        fi
        sleep 0.1
    done
}
# shown_phrase PID: the phrase on show, as the accessibility tree names it.
shown_phrase() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/qtbox.py" "$1" phrase; }

ended() { # ended PID: waits up to 10 s for it to end and sets status to its exit status
    status="still running"
    local _
    for _ in $(seq 100); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            status=$?
            return
        fi
        sleep 0.1
    done
}

# close_after_tune START TUNE_LENGTH: lets the tune started about START end, then clicks the
# close mark; the program ($app) must end with status 0.
close_after_tune() {
    local rest
    rest=$(echo "$2 + 1.5 - ($(date +%s.%N) - $1)" | bc)
    # The tune's own length is what is heard and measured: let it pass whole.
    [ "$(echo "$rest > 0" | bc)" = 1 ] && sleep "$rest"
    click 541 10
    ended "$app"
    [ "$status" = 0 ] && pass "the close mark ends the program with status 0" || fail "exit status '$status'"
}

# check_streams FILE START MAPPED TUNE_LENGTH: FILE lists when each stream that played began;
# one stream, and the window mapped before it ended.
check_streams() {
    local streams stream_at ends_at mapped_at
    streams=$(grep -c . "$1" 2>/dev/null)
    [ "${streams:-0}" = 1 ] && pass "one stream played" || fail "${streams:-0} streams played"
    [ "${streams:-0}" -ge 1 ] || return
    stream_at=$(head -n 1 "$1")
    ends_at=$(echo "$stream_at - $2 + $4" | bc)
    mapped_at=$(echo "$3 - $2" | bc)
    [ "$(echo "$mapped_at < $ends_at" | bc)" = 1 ] \
        && pass "window mapped at ${mapped_at}s, before the tune ended at ${ends_at}s" \
        || fail "window mapped at ${mapped_at}s, after the tune ended at ${ends_at}s"
}

# ---- the Windows program under Wine

# wine_begin NAME ZIP TOOL...: a session of the Windows program in ZIP, as tools/build-windows.sh
# packs it (- for none), with the test programs built beside it ($probe, $client, $planted):
# skipped without Wine or a TOOL; its scratch folder made, Wine's server ended on the way out.
wine_begin() {
    wine=$(command -v wine || command -v wine64) || { echo "SKIP: wine is missing"; exit 77; }
    session_need wineserver sox "${@:3}"
    if [ "$2" != - ]; then
        zip=$(readlink -f "$2") && [ -f "$zip" ] || { echo "usage: $(basename "$0") ZIP: no zip at '$2'"; exit 2; }
        local bin
        bin=$(dirname "$zip")/build/bin
        probe=$bin/ciarla_probe.exe client=$bin/ciarla_a11y_client.exe planted=$bin/planted.dll
    fi
    session_begin "$1"
    session_cleanup="wineserver -k"
}
# built FILE...: test programs the session runs, there when the zip's build had CIARLA_BUILD_TESTS=ON.
built() {
    local file
    for file; do [ -f "$file" ] || { echo "FAIL: no $file (CIARLA_BUILD_TESTS=ON builds it)"; exit 1; }; done
}
# unpack FOLDER...: the files of the zip ($zip) in $work/FOLDER, for each.
unpack() {
    local folder
    for folder; do
        mkdir -p "$work/$folder" && unzip -oq "$zip" -d "$work/$folder" || { echo "FAIL: cannot unpack $zip"; exit 1; }
    done
}
# wine_start FOLDER [CHANNEL]: the program in $work/FOLDER, started from /; the texts of its
# message boxes (and Wine's CHANNEL) logged in $work/FOLDER.log. Sets app.
wine_start() {
    case_started=$1
    (cd / && WINEDEBUG=${CIARLA_WINEDEBUG:--all},trace+msgbox${2:+,$2} exec "$wine" "$work/$1/Ciarlatronix.exe") >"$work/$1.log" 2>&1 &
    app=$!
    pids+=($app)
}
# box_texts FOLDER: the texts of the boxes the program from FOLDER showed, a line each.
box_texts() { sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$work/$1.log" | sed 's/\\"/"/g'; }
# main_window [SECONDS]: waits (30 s) for the main window at 96 DPI; sets window, X, Y, WIDTH, HEIGHT.
main_window() {
    window=
    wait_for "${1:-30}" main_unnamed || return 1
    window=$(main_unnamed | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
}
# press_ok BOX: a click on its one button, OK, centred at its foot; then until it is gone.
press_ok() {
    eval "$(xdotool getwindowgeometry --shell "$1" | sed 's/^/BOX_/')"
    xdotool mousemove "$((BOX_X + BOX_WIDTH / 2))" "$((BOX_Y + BOX_HEIGHT - 22))" click 1
    for _ in $(seq 50); do xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || break; sleep 0.1; done
}
# answer_boxes CASE TEXT...: a message box for each TEXT in turn, before the main window, as the
# probe reads it from its controls: captioned Ciarlatronix, no owner, the stop icon, one button,
# $ok_label (OK), and just that text; each answered by a click on its button.
answer_boxes() {
    local case=$1 i=0 text got
    shift
    for text in "$@"; do
        i=$((i + 1))
        wait_for 30 boxes || { fail "$case: box $i did not come"; return 1; }
        [ -z "$(main_unnamed)" ] || fail "$case: the window was shown before box $i"
        got=$("$wine" "$probe" box | tr -d '\r')
        [ "$got" = "caption Ciarlatronix owner none icon error buttons ${ok_label:-OK} text $text" ] \
            && pass "$case: box $i, '$text'" || fail "$case: box $i reads '$got'"
        press_ok "$(boxes | head -n 1)"
    done
}
# boxes_then_window CASE TEXT...: the program from $work/CASE, its boxes answered (answer_boxes),
# then its main window (main_window) with no box after it.
boxes_then_window() {
    wine_start "$1"
    answer_boxes "$@" || return 1
    main_window || { fail "$1: no window after the boxes"; return 1; }
    [ -z "$(boxes)" ] || fail "$1: a box after the window"
}
# with_client FOLDER [DPI]: the screen reader's client ($client), listening for the program in
# $work/FOLDER before it starts (so it hears where the focus is at start-up), then the
# program; waits for the client to finish its checks and sets client_status. The client's
# output is in $work/client.out.
with_client() {
    local phrases client_pid
    phrases=$("$wine" winepath -w "$work/$1/cazzate.txt" 2>/dev/null)
    WINEDEBUG=${CLIENT_WINEDEBUG:--all} "$wine" "$client" "$phrases" ${2:+"$2"} >"$work/client.out" 2>"$work/client.log" &
    client_pid=$!
    pids+=($client_pid)
    wait_for 30 grep "PASS: listening" "$work/client.out" || fail "the client is not listening"
    wine_start "$1"
    wait "$client_pid"
    client_status=$?
}
tip() { unnamed | grep -vx "$window"; } # the tooltip: neither the main window nor a box (Linux has its own)

# session_wine: a fresh prefix of our own, its server kept up between the program's runs;
# $wine_major is Wine's own version, 8 on Debian 12, 10 on 13.
session_wine() {
    wine_major=$("$wine" --version | sed -E 's/^wine-([0-9]+).*/\1/')
    # The arrow over what takes no click is Wine's own, as pointer.py reads it: Wine 8 draws
    # its own, 24 x 24 at 4,4; Wine 10 takes X's from the cursor theme, 24 x 24 at 3,1. Either
    # shows X's bare 10 x 16 arrow when it has no libXcursor to draw with.
    case $wine_major in
        8) wine_arrow="24x24 4,4 mono|10x16 1,1 mono" ;;
        *) wine_arrow="24x24 3,1 mono|10x16 1,1 mono" ;;
    esac
    # Wine loads its own winmm and oleacc before a DLL of that name beside the program;
    # Windows, where they are not known DLLs, looks beside the program first.
    export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=;winmm,oleacc=n,b" WINEDEBUG=-all
    mkdir -p "$WINEPREFIX" && wineserver -p
    "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { echo "FAIL: wineboot"; cat "$work/wineboot.log"; exit 1; }
    # A default sound, as every Windows has, played for a sound that cannot be found unless
    # the program asks for none: Windows takes it from the sound scheme, Wine from win.ini's
    # [Sounds], kept in Control Panel\Sounds.
    mkdir -p "$WINEPREFIX/drive_c/windows/media"
    sox -n -r 44100 -c 2 -b 16 "$WINEPREFIX/drive_c/windows/media/default.wav" synth 1 sine 880 || exit 1
    printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Control Panel\Sounds]' \
        '"Default"="C:\\windows\\media\\default.wav"' '' \
        '[HKEY_CURRENT_USER\AppEvents\Schemes\Apps\.Default\.Default\.Current]' \
        '@="C:\\windows\\media\\default.wav"' >"$work/windows.reg"
    "$wine" regedit /S "$work/windows.reg" >>"$work/wineboot.log" 2>&1 || { echo "FAIL: the default sound"; exit 1; }
}

# plant FOLDER: the planted DLL beside the program as winmm.dll and oleacc.dll, as a user's
# downloads folder may hold them; planted_loaded FOLDER: those of them loaded since.
plant() {
    local dll
    built "$planted"
    for dll in winmm oleacc; do cp "$planted" "$work/$1/$dll.dll" || exit 1; done
}
planted_loaded() { (cd "$work/$1" && ls -- *.dll.loaded 2>/dev/null); }

# The program's windows that are on screen: "ID NAME" lines. The main window's caption is
# empty, the message boxes' is "Ciarlatronix"; the tooltip is the one of neither kind. Those
# in $others (ids), of another run the session keeps going, are left out.
visible() {
    xwininfo -root -children 2>/dev/null | awk '/"ciarlatronix.exe"/ {print $1}' | while read -r id; do
        [[ " ${others:-} " == *" $id "* ]] && continue
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
        printf '%s %s\n' "$id" "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
}
boxes() { visible | awk '$2 == "Ciarlatronix" && NF == 2 {print $1}'; }
unnamed() { visible | awk 'NF == 1 {print $1}'; }
# main_unnamed: the unnamed window of 550 x 304, the main window at 96 DPI (Wine 10 may map
# another unnamed window for a moment, at 0,0).
main_unnamed() {
    local id
    for id in $(unnamed); do
        xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 550x304$' && echo "$id"
    done
}
wait_for() { # wait_for SECONDS COMMAND: until COMMAND prints something
    local until=$(($(date +%s) + $1))
    shift
    while [ "$(date +%s)" -lt "$until" ]; do
        [ -n "$("$@")" ] && return 0
        sleep 0.05
    done
    return 1
}

# ---- pictures and places of the Windows program, in the design's pixels scaled to $dpi

park() { xdotool mousemove 5 5; } # off the window: no tooltip, no hover
# close: a click on the close mark; the program ($app) must end with status 0.
close() {
    click 541 10
    ended "$app"
    [ "$status" = 0 ] && pass "the close mark ends it at $dpi DPI" || fail "at $dpi DPI: exit status '$status'"
}

# capture NAME [WINDOW]: the picture of WINDOW (the main window) as $work/NAME.png.
capture() { import -window "${2:-$window}" -depth 8 "$work/$1.png" 2>/dev/null; }
same() { # same NAME REFERENCE [FUZZ]: the capture matches the reference
    [ -f "$(reference "$2")" ] \
        && [ "$(compare -metric AE -fuzz "${3:-8%}" "$(reference "$2")" "$work/$1.png" null: 2>&1)" = 0 ]
}
# judge NAME [REFERENCE [FUZZ]]: the capture NAME matches the reference REFERENCE (NAME) but for
# FUZZ (8%), which absorbs smoothing; $update set, a capture named as its reference becomes it.
judge() {
    local reference=${2:-$1} fuzz=${3:-8%}
    if [ -n "$update" ]; then
        [ "$1" != "$reference" ] || reference_update "$work/$1.png" "$reference" "$fuzz"
    elif same "$1" "$reference" "$fuzz"; then
        pass "$1 looks as $(basename "$(reference "$reference")")${3:+ (fuzz $3)}"
    else
        mkdir -p "$failed"
        cp "$work/$1.png" "$failed/$1.actual.png"
        compare -fuzz "$fuzz" "$(reference "$reference")" "$work/$1.png" "$failed/$1.diff.png" 2>/dev/null
        fail "$1 differs from tests/references/win32/$(basename "$(reference "$reference")"): see $failed/$1.actual.png and $1.diff.png"
    fi
}
# judge_until NAME [REFERENCE [FUZZ [WINDOW]]]: captures for up to 10 s until a picture matches,
# for a window still being drawn; then judges the last.
judge_until() {
    local until=$(($(date +%s) + 10))
    while [ "$(date +%s)" -lt "$until" ]; do
        capture "$1" "${4:-$window}" && same "$1" "${2:-$1}" "${3:-}" && break
        sleep 0.05
    done
    judge "$1" "${2:-$1}" "${3:-}"
}

# The sample's phrase, and one long enough to be drawn smaller, over lines of its own.
sample_phrase="Chi dorme non piglia pesci, ma almeno non puzza di pesce."
long_phrase="Questa è una cazzata lunghissima, scritta apposta per non stare nel fumetto alla sua grandezza:"
long_phrase="$long_phrase parole su parole, virgole, punti e ancora parole, finché la frase non supera i trecento caratteri"
long_phrase="$long_phrase e il programma deve rimpicciolirla di mezzo punto alla volta. /nFine della fiera, /nanzi no: ancora un po'!"
# folder CASE PHRASE [PHOTO]: a program folder with the one-line phrase file PHRASE, the photo
# PHOTO (the zip's by default) and no tune, which adds nothing to see.
folder() {
    unpack "$1"
    rm "$work/$1/audio.wav"
    printf '%s\r\n' "$2" >"$work/$1/cazzate.txt"
    [ -z "${3:-}" ] || cp "$3" "$work/$1/foto.jpg"
}

# pointer_places: the pointer the design gives over each control and just beside it,
# "X Y POINTER CONTROL" lines in design pixels.
pointer_places() {
    cat <<'TABLE'
90 60 hand Image2
153- 60 hand Image2's-last-column
153 60 arrow right-of-Image2
32 32 hand Image2's-top-left
32- 32 arrow left-of-Image2
372 258 hand Label2
396 268 hand Label2-under-the-credits-box
300 268 arrow the-credits-box-left-of-Label2
480 268 arrow the-credits-box-right-of-Label2
536 5 hand imgClose's-top-left
546- 15- hand imgClose's-bottom-right
546 10 arrow right-of-imgClose
541 15 arrow below-imgClose
300 60 icon Label1
170 40 icon imgFumetto
330 160 icon imgFumetto-over-Image1
60 200 icon imgCazzaro
148- 270- icon imgCazzaro's-bottom-right
148 200 arrow right-of-imgCazzaro
350 220 arrow Image1
520 200 arrow the-backdrop
TABLE
}
# check_pointers: the pointer at each "X Y POINTER CONTROL" line of its input. The hand and the
# icon pointer are drawn at the system's pointer size for the DPI, as the probe reads it, hot
# spots scaled with them; the arrow is Wine's own, or X's.
check_pointers() {
    local size want x y expected control
    size=$(pointer_size)
    while read -r x y expected control; do
        [ "$expected" = arrow ] && want=$wine_arrow || want=$(pointer_want "$expected" "$size")
        pointer_over "$x" "$y" "$want" && pass "at $dpi DPI the $expected pointer over $control" \
            || fail "at $dpi DPI over $control at $x,$y the pointer is '$got', not the $expected ($want)"
    done
    park
}

# session_summary NAME: the closing line, and the exit status.
session_summary() {
    echo "$1: $passes passed, $failures failed"
    [ "$failures" = 0 ]
}

# The reviewed pictures of the Windows program, in $references: NAME.png, or NAME-wineN.png
# where Wine N draws its own part of the picture otherwise (its text's gamma, say).
# reference NAME: the picture that this Wine's capture is compared with.
reference() {
    local own="$references/$1-wine$wine_major.png"
    [ -f "$own" ] && echo "$own" || echo "$references/$1.png"
}
# reference_update CAPTURE NAME FUZZ: makes the capture the reference, under NAME.png on Wine 8
# and under NAME-wineN.png on another Wine unless it matches NAME.png already.
reference_update() {
    local own="$references/$2-wine$wine_major.png"
    if [ "$wine_major" = 8 ]; then
        convert "$1" -strip "$references/$2.png" && echo "UPDATED: $2.png"
    elif [ "$(compare -metric AE -fuzz "$3" "$references/$2.png" "$1" null: 2>&1)" = 0 ]; then
        rm -f "$own"
    else
        convert "$1" -strip "$own" && echo "UPDATED: $(basename "$own")"
    fi
}
