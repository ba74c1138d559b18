#!/bin/bash
# What a screen reader gets from the Windows program under Wine: the program runs in a private
# X server and Wine prefix, and a client in another process reads its accessible object,
# types Tab, Shift+Tab, Space and Enter, presses its controls, listens for the focus moves and
# the phrase's name changes, and answers the box that a press shows once the phrase file is gone.
# The program's folder also holds DLLs named as the system's, which it must not load.
# Usage: run-wine-a11y.sh ZIP   (the zip of tools/build-windows.sh; the client,
# ciarla_a11y_client.exe, and planted.dll from the build beside it). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
# Each check waits up to 10 s for what it expects: a program that never says it takes a while.
session_bounded 300 "$0" "$@"

wine_begin wine-a11y "${1:-}" Xvfb xdpyinfo unzip convert
built "$client"
trap 'echo "FAIL: stopped"; tr -d "\r" <"$work/client.out" 2>/dev/null; exit 1' TERM INT

unpack app
printf 'Una &sola cazzata/nper il lettore\r\n' >"$work/app/cazzate.txt"
# A photo larger than its frame, cut by the window's edge: so is its place on screen.
convert -size 200x300 xc:steelblue "$work/app/foto.jpg"
plant app
session_browser
session_display
session_wine

with_client app
tr -d '\r' <"$work/client.out"
[ "$client_status" = 0 ] && pass "the client's checks" || fail "the client's checks (status $client_status)"

ended "$app"
[ "$status" = 0 ] && pass "the program ends with status 0" || fail "the program's exit status: '$status'"
for _ in $(seq 50); do [ -s "$work/opened.log" ] && break; sleep 0.1; done
[ "$(opened)" = 1 ] && grep -qx "http://ciarlatronix.example/" "$work/opened.log" \
    && pass "Enter on the link opens the home page once" || fail "the link opened: $(cat "$work/opened.log" 2>/dev/null)"
[ -z "$(planted_loaded app)" ] && pass "the system's oleacc.dll answers, not the one beside the program" \
    || fail "loaded from beside the program: $(planted_loaded app)"

if ! session_summary wine-a11y; then
    echo "--- client output"; tail -n 40 "$work/client.log"
    echo "--- program output"; tail -n 20 "$work/app.log"
    exit 1
fi
