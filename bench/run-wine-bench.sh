#!/bin/bash
# Start-up of the Windows program under Wine: launch to window mapped on Xvfb, median of 7,
# against the floor on that platform, a bare Win32 popup of the same size that first starts
# the same tune with sndPlaySoundA (WinFloor.c). Both play into a PulseAudio null sink.
# Usage: bench/run-wine-bench.sh [WINDOWS_OUTDIR]   (default: build-windows; built when missing)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
out=${1:-$root/build-windows}
[ -f "$out/Ciarlatronix.exe" ] || "$root/tools/build-windows.sh" "$out" >/dev/null
wine=$(command -v wine || command -v wine64)

work=$(mktemp -d /tmp/ciarla-wine-bench.XXXXXX)
pids=()
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/app" "$work/pulse"
cp "$out/Ciarlatronix.exe" "$root/data/cazzate.txt" "$root/data/foto.jpg" "$root/data/audio.wav" "$work/app/"
x86_64-w64-mingw32-gcc-posix -O2 -mwindows -o "$work/app/WinFloor.exe" "$here/WinFloor.c" -lwinmm
cc -O2 -o "$work/wait_mapped" "$here/WaitMapped.c" -lX11

export HOME="$work" XDG_RUNTIME_DIR="$work/pulse" PULSE_RUNTIME_PATH="$work/pulse"
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
chmod 700 "$work/pulse"
export DISPLAY=:$((300 + $$ % 300))
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=bench rate=44100 channels=2" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl set-default-sink bench
# The server stays up, as it does on a desktop where Wine has run before.
mkdir -p "$WINEPREFIX" && wineserver -p
"$wine" wineboot -i >/dev/null 2>&1

launch() { "$work/wait_mapped" 550 304 "$wine" "$work/app/$1" >>"$work/$1.ms" || echo "$1: no window" >&2; sleep 0.3; }
stats() { # stats PROGRAM: median, then the fastest and the slowest
    sort -n "$work/$1.ms" | awk '{v[NR] = $1} END {printf "%s %s %s", v[int((NR + 1) / 2)], v[1], v[NR]}'
}

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== $("$wine" --version); start-up: launch to window mapped on Xvfb (median of 7)"
# One launch each to warm the caches, then turn and turn about, so a busy moment of the
# machine weighs on both alike.
for program in WinFloor.exe Ciarlatronix.exe; do launch "$program"; rm "$work/$program.ms"; done
for _ in $(seq 7); do
    launch WinFloor.exe
    launch Ciarlatronix.exe
done
read -r floor floor_min floor_max <<<"$(stats WinFloor.exe)"
read -r program program_min program_max <<<"$(stats Ciarlatronix.exe)"
printf '%-40s %8s ms  (%s to %s)\n' "bare Win32 window after sndPlaySoundA" "$floor" "$floor_min" "$floor_max"
printf '%-40s %8s ms  (%s to %s)   ratio %.2f\n' "Ciarlatronix.exe with the sample files" "$program" \
    "$program_min" "$program_max" "$(echo "$program / $floor" | bc -l)"
