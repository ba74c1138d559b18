#!/bin/bash
# The whole benchmark: the phrase engine's figures, then the time from launch to the
# window mapped on Xvfb, against a Qt program that only shows an empty window.
# Usage: bench/run-bench.sh [BUILD_DIR]   (builds the benchmark targets first)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
cmake --build "$build" --target phrase_bench minimal_window wait_mapped Ciarlatronix >/dev/null
bin="$build/bin"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB"
echo
echo "== phrase engine"
QT_QPA_PLATFORM=offscreen "$bin/phrase_bench"

echo
echo "== start-up: launch to window mapped on Xvfb (median of 9)"
work=$(mktemp -d /tmp/ciarla-startup.XXXXXX)
display=:$((300 + $$ % 300))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

mkdir "$work/samples" "$work/huge"
cp "$bin/Ciarlatronix" "$bin/cazzate.txt" "$bin/foto.jpg" "$bin/audio.wav" "$work/samples/"
cp "$bin/Ciarlatronix" "$bin/foto.jpg" "$bin/audio.wav" "$work/huge/"
# 100 MB of phrases, 1.5 million lines.
{ yes "Questa è una cazzata di prova, lunga quanto basta per fare cento mega." \
    | sed 's/$/\r/' | head -c 100000000 >"$work/huge/cazzate.txt"; } 2>/dev/null || true

median() { # median COMMAND...: of nine launches
    for _ in $(seq 9); do "$bin/wait_mapped" 550 304 "$@"; done | sort -n | sed -n 5p
}
minimal=$(median "$bin/minimal_window")
samples=$(median "$work/samples/Ciarlatronix")
huge=$(median "$work/huge/Ciarlatronix")
printf '%-44s %9s ms\n' "empty Qt window of the same size" "$minimal"
printf '%-44s %9s ms   ratio %5.2f\n' "Ciarlatronix with the sample files" "$samples" "$(echo "$samples / $minimal" | bc -l)"
printf '%-44s %9s ms   ratio %5.2f\n' "Ciarlatronix with a 100 MB phrase file" "$huge" "$(echo "$huge / $minimal" | bc -l)"
