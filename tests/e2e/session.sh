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
opened() { grep -c . "$work/opened.log" 2>/dev/null || true; }

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

# Looks and clicks at window coordinates; X and Y are the window's corner on screen.
shot() { # shot NAME X Y W H: a piece of the window
    import -window root -crop "${4}x${5}+$((X + $2))+$((Y + $3))" +repage "$work/$1.png"
}
differs() { # differs NAME NAME: the two shots are not the same
    [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" != 0 ]
}
# Clicks, then parks the pointer on bare backdrop, where no tooltip covers what is compared.
click() {
    xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1 mousemove "$((X + 520))" "$((Y + 200))"
}
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
# The clicks that change the phrase, start the credits and open the home page, once for a
# click and once for a double click.
check_clicks() {
    balloon_changes 60 130 && pass "a click on the photo shows a new phrase" || fail "the photo click changed nothing"
    balloon_changes 170 40 && pass "a click on the balloon shows a new phrase" || fail "the balloon click changed nothing"
    balloon_changes 300 60 && pass "a click on the phrase shows a new phrase" || fail "the phrase click changed nothing"

    shot credits-before 296 264 201 13
    click 396 268
    changed 10 credits 296 264 201 13 && pass "Credits fills the box" || fail "Credits did not fill the box"
    mv "$work/credits.png" "$work/credits-before.png"
    changed 10 credits 296 264 201 13 && pass "the credits scroll" || fail "the credits do not move"

    click 90 60
    wait_opened 1
    [ "$(opened)" = 1 ] && grep -qx "http://ciarlatronix.example/" "$work/opened.log" \
        && pass "a click on the link opens the home page once" || fail "the link opened: $(cat "$work/opened.log" 2>/dev/null)"
    xdotool mousemove "$((X + 90))" "$((Y + 60))" click --repeat 2 --delay 80 1
    wait_opened 2
    [ "$(opened)" = 2 ] && pass "a double click on the link opens it once more" || fail "after a double click: $(opened) opened"
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

# answered_until_shown PID: reads each box the program shows, in turn, into $work/box-texts
# and answers it, until its window shows; window is then its id (empty after 20 s without).
answered_until_shown() {
    local _ text
    window=
    : >"$work/box-texts"
    for _ in $(seq 100); do
        window=$(shown "$1" | head -n 1)
        [ -n "$window" ] && return
        text=$(box_text "$1")
        if [ -n "$text" ]; then
            echo "$text" >>"$work/box-texts"
            box_answer "$1" || echo "a box was not answered: $text"
        fi
        sleep 0.2
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
    for dll in winmm oleacc; do cp "$planted" "$work/$1/$dll.dll" || { echo "FAIL: no planted DLL at $planted"; exit 1; }; done
}
planted_loaded() { (cd "$work/$1" && ls -- *.dll.loaded 2>/dev/null); }

# The program's windows that are on screen: "ID NAME" lines. The main window's caption is
# empty, the message boxes' is "Ciarlatronix"; the tooltip is the one of neither kind.
visible() {
    xwininfo -root -children 2>/dev/null | awk '/"ciarlatronix.exe"/ {print $1}' | while read -r id; do
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
