#!/bin/bash
# The Windows program under Wine on screens of 120, 144 and 192 DPI, set with LogPixels in the
# session's own prefix: the window's size and place, the pointer over each control and at the
# edges of their scaled places, the design's behaviours (the table in session.sh) at their
# scaled points, and pictures of the sample and of a long phrase at 144 and 192 DPI compared
# with reviewed ones in tests/references/win32. Then, at 96 DPI, WM_DPICHANGED to 192 and back
# to 96 (as a move between monitors sends it): each step lays the window out again, and back at
# 96 the picture is the 96 DPI one, pixel for pixel. At 144 DPI a screen reader's client reads
# the program from another process (client_checks).
# Usage: run-wine-dpi.sh ZIP   (the zip of tools/build-windows.sh; the probe, ciarla_probe.exe,
# ciarla_a11y_client.exe and planted.dll from the build beside it).
# Exit 77: tools missing. CIARLA_UPDATE_REFERENCES=1 writes the pictures as new references.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 900 "$0" "$@"

wine_begin wine-dpi "${1:-}" Xvfb xdotool xwininfo import compare convert unzip python3
built "$probe" "$client"
references=$(cd "$here/../references/win32" && pwd)
failed=$(dirname "$zip")/references-failed-dpi
update=${CIARLA_UPDATE_REFERENCES:-}
rm -rf "$failed"

session_browser
# Room for the window at 192 DPI, 1100 x 608.
screen_w=1920 screen_h=1200
session_display ${screen_w}x$screen_h
session_wine

folder sample "$sample_phrase"
folder long "$long_phrase"
phrase_file=$work/sample/cazzate.txt

# Aware of each monitor's DPI, per monitor v2 first, with dpiAware's per-monitor form for older
# systems, as the program's manifest says: a DPI change between monitors is no event Wine's one
# screen sends, and Wine 8 tells another process nothing true of a window's awareness.
grep -qaF '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' \
    "$work/sample/Ciarlatronix.exe" && grep -qaF '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
    "$work/sample/Ciarlatronix.exe" && pass "the program declares itself aware of each monitor's DPI" \
    || fail "the program's manifest does not declare per-monitor DPI awareness (v2, then v1, true/pm)"

set_dpi() { # set_dpi N: the screen's DPI for programs started from now on
    dpi=$1
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 \
        || { echo "FAIL: cannot set LogPixels"; exit 1; }
    # Wine 10 takes the DPI as its server starts, Wine 8 as each program does: a fresh server,
    # and the DPI that a program started now is given, waited for.
    wineserver -k
    wineserver -w
    wineserver -p
    wait_for 60 system_dpi_is "$1" || { echo "FAIL: programs are not given $1 DPI"; exit 1; }
}
system_dpi_is() { [ "$("$wine" "$probe" systemdpi 2>/dev/null | tr -d '\r')" = "$1" ] && echo "$1"; }
# sized: the unnamed windows a hundred pixels or more each way, the main window whatever its
# size at this DPI (Wine 10 may map another unnamed window of 1 x 1 for a moment).
sized() {
    local id
    for id in $(unnamed); do
        xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: [0-9]\{3,\}x[0-9]\{3,\}$' && echo "$id"
    done
}
start() { # start CASE: runs it from its folder; sets app, window, X, Y, WIDTH, HEIGHT
    wine_start "$1"
    window=
    wait_for 30 sized || { fail "$1 at $dpi DPI: no window"; return 1; }
    window=$(sized | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    park
}
geometry() { # geometry W H X Y WHAT: the window is W x H at X, Y
    local until=$(($(date +%s) + 10))
    while :; do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH $HEIGHT $X $Y" = "$1 $2 $3 $4" ] && { pass "$5: ${1}x$2 at $3,$4"; return 0; }
        [ "$(date +%s)" -lt "$until" ] || break
        sleep 0.1
    done
    fail "$5: ${WIDTH}x$HEIGHT at $X,$Y, not ${1}x$2 at $3,$4"
}


# A screen reader's client at the DPI set, in another process: the window's accessible object
# and each control's place and hit test, scaled; Tab, Shift+Tab, Space and Enter typed, the
# focus moves and the phrase's name changes heard; the box a press shows once the phrase file
# is gone answered. DLLs named as the system's lie beside the program, which must not load them.
client_checks() {
    echo "== a screen reader's client at $dpi DPI"
    # Nothing of the round before may answer in the program's place.
    [ -z "$(visible)" ] || { wineserver -k; wineserver -w; }
    folder a11y "Una &sola cazzata/nper il lettore"
    # Larger than its frame: its place is cut by the window's edge.
    convert -size 200x300 xc:steelblue "$work/a11y/foto.jpg"
    plant a11y
    rm -f "$work/opened.log"
    # The keys the client types reach the window under the pointer, so the pointer waits on the
    # bare backdrop of the window to come, centred.
    xdotool mousemove "$(((screen_w - $(s 550)) / 2 + $(s 20)))" "$(((screen_h - $(s 304)) / 2 + $(s 150)))"
    with_client a11y "$dpi"
    [ "$client_status" = 0 ] && pass "a screen reader's places, hit tests and keys at $dpi DPI" \
        || { fail "a screen reader's client at $dpi DPI:"; grep FAIL "$work/client.out" | tr -d '\r'; }
    ended "$app"
    [ "$status" = 0 ] || { fail "the program after the client at $dpi DPI: exit status '$status'"; kill "$app"; ended "$app"; }
    wait_opened 1
    [ "$(opened)" = 1 ] && pass "the client's Enter on the link opens the home page once" || fail "the link opened $(opened) times"
    [ -z "$(planted_loaded a11y)" ] && pass "the system's oleacc.dll answers, not the one beside the program" \
        || fail "loaded from beside the program: $(planted_loaded a11y)"
}

for d in 120 144 192; do
    set_dpi "$d"
    echo "== $d DPI"
    start sample || continue
    # round(550 s) x round(304 s), s = DPI / 96, centred with halves rounded down.
    case $d in
        120) w=688 h=380 ;;
        144) w=825 h=456 ;;
        192) w=1100 h=608 ;;
    esac
    geometry "$w" "$h" $(((screen_w - w) / 2)) $(((screen_h - h) / 2)) "the window at $d DPI"
    [ "$d" = 120 ] || judge_until "sample-${d}dpi" "sample-${d}dpi"
    pointer_places | check_pointers
    behaviours active
    close
    if [ "$d" != 120 ]; then
        start long && judge_until "long-${d}dpi" "long-${d}dpi"
        close
    fi
    [ "$d" = 144 ] && client_checks
done

echo "== 96 DPI, then WM_DPICHANGED to 192 and back"
set_dpi 96
start sample && {
    judge_until sample-96dpi sample 0
    dpi=192
    read -r _ sx sy sw sh _ _ < <("$wine" "$probe" dpi 192 | tr -d '\r')
    geometry 1100 608 "$sx" "$sy" "the window after WM_DPICHANGED to 192, in the suggested place"
    judge_until sample-to-192dpi sample-192dpi
    pointer_places | check_pointers
    # Not yet a click: the picture back at 96 is the sample's.
    behaviours active tip
    dpi=96
    read -r _ sx sy sw sh _ _ < <("$wine" "$probe" dpi 96 | tr -d '\r')
    geometry 550 304 "$sx" "$sy" "the window after WM_DPICHANGED back to 96"
    judge_until sample-back-to-96dpi sample 0
    pointer_places | check_pointers
    behaviours active
    close
}

session_summary wine-dpi
