#!/bin/bash
# The whole benchmark: the phrase engine's figures, then the time from launch to the
# window mapped on Xvfb, against the floor: a Qt program that starts the same tune with
# QSoundEffect and shows a bare window of the same size.
# Usage: bench/run-bench.sh [--start-up-only] [BUILD_DIR]   (builds the benchmark targets first)
# ROUNDS (default 9) sets how many launches each median is taken over.
set -euo pipefail

engine=1
if [ "${1:-}" = "--start-up-only" ]; then engine=0; shift; fi
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
rounds=${ROUNDS:-9}
cmake --build "$build" --target phrase_bench minimal_window wait_mapped Ciarlatronix >/dev/null
bin="$build/bin"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB"
if [ $engine = 1 ]; then
    echo
    echo "== phrase engine"
    QT_QPA_PLATFORM=offscreen "$bin/phrase_bench"
fi

echo
echo "== the command line with no display: --version and --help, launch to exit (median of $rounds)"
for option in --version --help; do
    for _ in $(seq "$rounds"); do
        start=$(date +%s%N)
        env -u DISPLAY -u WAYLAND_DISPLAY "$bin/Ciarlatronix" "$option" >/dev/null
        echo $(( ($(date +%s%N) - start) / 1000 ))
    done | sort -n | awk -v o="$option" '{t[NR] = $1} END {printf "%-50s %7.1f ms\n", o, t[int((NR + 1) / 2)] / 1000}'
done

echo
echo "== start-up: launch to window mapped on Xvfb, private pulseaudio (null sink) and session bus (median of $rounds)"
work=$(mktemp -d /tmp/ciarla-startup.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/pulse"
# Both the floor and the program play to the same private sound server: QSoundEffect's
# set-up costs differ a lot with and without one.
export HOME="$work" XDG_RUNTIME_DIR="$work/pulse" PULSE_RUNTIME_PATH="$work/pulse"
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP DESKTOP_SESSION
# Xvfb picks a free display number itself: others may be running tests on this machine.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "run-bench: Xvfb did not start" >&2; exit 1; }
display=:$(cat "$work/display")
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=bench rate=44100 channels=2" >"$work/pulse.log" 2>&1 &
pids+=($!)
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "run-bench: pulseaudio did not start" >&2; exit 1; }
pactl set-default-sink bench
# A desktop session has a session bus; without one, every launch of the program would spawn
# dbus-launch to look for one when the accessibility bridge starts, which the floor never does.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=($(cat "$work/bus.pid"))
export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus")

mkdir "$work/floor" "$work/samples" "$work/huge"
cp "$bin/minimal_window" "$bin/audio.wav" "$work/floor/"
cp "$bin/Ciarlatronix" "$bin/cazzate.txt" "$bin/foto.jpg" "$bin/audio.wav" "$work/samples/"
cp "$bin/Ciarlatronix" "$bin/foto.jpg" "$bin/audio.wav" "$work/huge/"
# 100 MB of phrases, 1.5 million lines.
{ yes "Questa è una cazzata di prova, lunga quanto basta per fare cento mega." \
    | sed 's/$/\r/' | head -c 100000000 >"$work/huge/cazzate.txt"; } 2>/dev/null || true

# One launch of each in turn, round after round, so that the load the machine is under
# weighs on all three alike.
for program in floor/minimal_window samples/Ciarlatronix huge/Ciarlatronix; do
    "$bin/wait_mapped" 550 304 "$work/$program" >/dev/null   # warm the file cache
done
for _ in $(seq "$rounds"); do
    "$bin/wait_mapped" 550 304 "$work/floor/minimal_window" >>"$work/floor.ms"
    "$bin/wait_mapped" 550 304 "$work/samples/Ciarlatronix" >>"$work/samples.ms"
    "$bin/wait_mapped" 550 304 "$work/huge/Ciarlatronix" >>"$work/huge.ms"
done
median() { # median FILE COLUMN
    cut -d' ' -f"$2" "$1" | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
row() { # row LABEL NAME: wall-clock and processor medians, and their ratios to the floor's
    local wall cpu
    wall=$(median "$work/$2.ms" 1)
    cpu=$(median "$work/$2.ms" 2)
    if [ "$2" = floor ]; then
        printf '%-50s %7s ms  %7s ms\n' "$1" "$wall" "$cpu"
    else
        printf '%-50s %7s ms  %7s ms   ratio %4.2f  cpu ratio %4.2f\n' "$1" "$wall" "$cpu" \
            "$(echo "$wall / $(median "$work/floor.ms" 1)" | bc -l)" "$(echo "$cpu / $(median "$work/floor.ms" 2)" | bc -l)"
    fi
}
printf '%-50s %10s  %10s\n' "" "to mapped" "processor"
row "floor: bare Qt window that first starts the tune" floor
row "Ciarlatronix with the sample files" samples
row "Ciarlatronix with a 100 MB phrase file" huge
