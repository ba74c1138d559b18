#!/bin/bash
# What a screen reader gets from the real program: an X server, a private session bus with
# the accessibility bus, and a small AT-SPI client that reads every object of the window,
# presses the controls through their actions, hears what each press announces, and answers
# the box that a press shows once the phrase file is gone. Usage: run-a11y.sh PROGRAM.
# Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/../e2e/session.sh"
# Whatever happens, the whole run ends within a minute.
session_bounded 60 "$0" "$@"

session_program "${1:-}" Xvfb xdpyinfo dbus-daemon dbus-send /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd
# The bindings come with the system's Python, which may not be the first on PATH.
python=
for candidate in /usr/bin/python3 python3; do
    "$candidate" -c 'import pyatspi' 2>/dev/null && { python=$candidate; break; }
done
[ -n "$python" ] || { echo "SKIP: python3-pyatspi is missing"; exit 77; }
session_begin a11y

# A program folder whose phrase file has one line, an ampersand and a line break in it.
mkdir "$work/app"
cp "$program" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"
printf 'Una &sola cazzata/nper il lettore\r\n' >"$work/app/cazzate.txt"
shown=$'Una sola cazzata\nper il lettore'

session_browser
export QT_QPA_PLATFORM=xcb
session_display
session_a11y

"$work/app/Ciarlatronix" >"$work/program.log" 2>&1 &
app=$!
pids+=($app)

"$python" "$here/client.py" "$app" "$shown" "$work/opened.log" "$work/app/cazzate.txt"
status=$?
if [ "$status" != 0 ]; then
    echo "--- program output"; cat "$work/program.log"
fi
exit "$status"
