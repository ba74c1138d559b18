#!/bin/bash
# Starts the built program under a private Xvfb server, waits for its window and saves a
# screenshot of it. Usage: tools/screenshot.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail

build=${1:-build}
output=${2:-screenshot.png}
program="$build/bin/Ciarlatronix"
[ -x "$program" ] || { echo "no program at $program: build first" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
sleep 1 # let the first paint land
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
echo "window ${WIDTH}x${HEIGHT} at ${X},${Y} on a 1024x768 screen; saved $output"
