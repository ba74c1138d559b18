#!/bin/bash
# The Windows program under Wine with photos a user might put beside it. Photos of unusual
# proportions in every format its loader reads (JPEG, GIF, BMP, icons, WMF, EMF): each is drawn
# at its own size from (48, 120), transparent parts in the window's colour, cut by the window's
# edge; its visible part takes clicks and shows the icon pointer, a pixel beside it does
# neither; pictures over the bound are refused with the whole report, and a damaged JPEG is
# reported, the placeholder face kept. A small file declaring a huge picture is refused
# without the memory it declares; a broken GIF is reported in words; a photo at the bound
# and a metafile wear the tooltip where they lie, and the tip never shows over the link after a
# quick move from the photo.
# Usage: run-wine-photos.sh ZIP [CASE...]   (the zip of tools/build-windows.sh; the probe,
# ciarla_probe.exe, from the build beside it; CASEs: only those, "tips" for the huge, broken and
# tooltip cases after the shapes). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
. "$here/photo-checks.sh"
session_bounded 900 "$0" "$@"

wine_begin wine-photos "${1:-}" Xvfb xdotool xwininfo import convert unzip python3 bc
built "$probe"

session_display
session_wine

# start CASE: the program from a folder of its own with the case's photo and no tune;
# every box is closed; then the main window, X and Y set; $work/CASE.box the boxes' texts.
start() {
    unpack "$1"
    rm "$work/$1/audio.wav"
    python3 "$here/photo_shapes.py" "$1" "$work/$1/foto.jpg" || { fail "$1: no photo made"; return 1; }
    wine_start "$1"
    local until=$(($(date +%s) + 90)) box
    window=
    while [ "$(date +%s)" -lt "$until" ]; do
        box=$(boxes | head -n 1)
        [ -n "$box" ] && { press_ok "$box"; continue; }
        window=$(main_unnamed | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    box_texts "$1" | grep -v 'in EstraiRiga\|in ContaRighe' >"$work/$1.box"
    if [ -z "$window" ] && [ ! -s "$work/$1.box" ] && [ ! -s "$work/$1.log" ] && [ -z "${again:-}" ]; then
        # Now and then, on a busy machine, a fresh Wine server starts nothing at all, not a line
        # of its log: that is Wine's, not the program's, so the case starts once more.
        echo "NOTE: $1: Wine showed nothing in 90 s; starting it once more"
        stop
        again=1 start "$1"
        return
    fi
    [ -n "$window" ] || { fail "$1: no window; $(cat "$work/$1.box"); its log: $(tail -n 5 "$work/$1.log")"; return 1; }
    window_placed "$window" || fail "$1: the window at $X,$Y, not centred"
    window_painted || fail "$1: the window was not painted"
    pointer_settled || true
}
phrase_now() { "$wine" "$probe" phrase | tr -d '\r'; }
# The program alone ends: the next case starts on the running Wine server, in seconds.
stop() {
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
    wait_for 10 no_windows || { wineserver -k; wineserver -w; wait_for 10 no_windows; }
}
no_windows() { [ -z "$(visible)" ] && echo none; }

# The cases each face has, in the formats this one reads: WMF and EMF beside the others.
photo_cases " ${*:2} " "tall-gif wide-gif tall-ico wide-ico tall-wmf wide-wmf tall-emf wide-emf tall-bmp wide-bmp tall-jpeg wide-jpeg" \
    "over-jpeg-65500-513 over-gif-513-65535 over-bmp-8283-4051 over-wmf-1000-40000 over-emf-8283-4051" \
    "bound-bmp-65535-512 bound-bmp-512-65535" "damaged-jpeg cut-jpeg corrupt-jpeg" "Invalid picture"
[ $# -gt 1 ] && [[ " ${*:2} " != *" tips "* ]] && { session_summary wine-photos; exit; }

unpack full huge brokengif atbound metafile
rm "$work"/{full,huge,brokengif,atbound,metafile}/audio.wav
# The sample photo, its frame saying 20000 x 20000: a 5 KB file.
python3 - "$work/full/foto.jpg" "$work/huge/foto.jpg" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = 2
while data[at + 1] not in (0xC0, 0xC1, 0xC2):
    at += 2 + (data[at + 2] << 8 | data[at + 3])
data[at + 5:at + 9] = (20000).to_bytes(2, 'big') * 2
open(sys.argv[2], 'wb').write(data)
PY
printf 'GIF89a\001\000\001\000' >"$work/brokengif/foto.jpg"
# Exactly 128 MiB at four bytes a pixel: still shown.
convert -size 8192x4096 xc:'#806040' -type TrueColor -quality 80 "$work/atbound/foto.jpg"
# A placeable metafile, 3000 x 4500 units at 1440 an inch: drawn at 200 x 300 pixels.
python3 - "$work/metafile/foto.jpg" <<'PY'
import struct, sys
head = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, 0, 0, 3000, 4500, 1440, 0)
check = 0
for (word,) in struct.iter_unpack('<H', head):
    check ^= word
records = struct.pack('<IHhh', 5, 0x020B, 0, 0) + struct.pack('<IHhh', 5, 0x020C, 4500, 3000) \
    + struct.pack('<IHhhhh', 7, 0x041B, 4000, 2500, 500, 500) + struct.pack('<IH', 3, 0)
words = (18 + len(records)) // 2
meta = struct.pack('<HHHIHIH', 1, 9, 0x300, words, 0, 7, 0)
open(sys.argv[1], 'wb').write(head + struct.pack('<H', check) + meta + records)
PY

# The process of the program started from CASE's folder, and its peak resident memory in MiB:
# a picture decoded before it is refused shows there, whatever the machine's load; the time to
# the report is only printed.
program_pid() { ps -eo pid=,args= | awk -v exe="$work/$1/Ciarlatronix.exe" '$2 == exe {print $1; exit}'; }
peak_mib() { awk '/^VmHWM/ {printf "%d", $2 / 1024}' "/proc/$1/status" 2>/dev/null; }

for case in huge brokengif; do
    echo "== $case"
    case $case in
        huge) expected='Error "Picture too large: 20000 x 20000 pixels" in Form_Load() routine' ;;
        brokengif) expected='Error "Invalid picture" in Form_Load() routine' ;;
    esac
    began=$(date +%s.%N)
    wine_start "$case"
    if ! wait_for 30 boxes; then
        fail "$case: no message box"
        continue
    fi
    seconds=$(echo "$(date +%s.%N) - $began" | bc -l)
    pid=$(program_pid "$case")
    peak=$(peak_mib "$pid")
    printf '%s: the box after %.2f s, peak %s MiB\n' "$case" "$seconds" "${peak:-?}"
    [ "$(box_texts "$case")" = "$expected" ] && pass "$case: '$expected'" || fail "$case: the box reads '$(box_texts "$case")'"
    [ -n "$peak" ] && [ "$peak" -lt 200 ] && pass "$case: peak memory under 200 MiB" || fail "$case: peak ${peak:-unknown} MiB"
    stop
done

hover() { move "$1" "$2"; sleep 0.1; move "$(($1 + 1))" "$2"; }  # two moves, as a hand makes
# away [X Y]: off the controls, and the tip gone (a loaded machine may take its time).
away() { move "${1:-520}" "${2:-200}"; for _ in $(seq 600); do [ -z "$(tip)" ] && return; sleep 0.05; done; }

echo "== a photo of 8192 x 4096"
began=$(date +%s.%N)
wine_start atbound
if main_window 60; then
    printf 'atbound: the window after %.2f s, peak %s MiB\n' "$(echo "$(date +%s.%N) - $began" | bc -l)" \
        "$(peak_mib "$(program_pid atbound)")"
    drawn
    [ -z "$(boxes)" ] && pass "atbound: shown, no message box" || fail "atbound: $(box_texts atbound)"
    # The photo lies over the logo, and under "Credits".
    hover 300 200
    wait_for 5 tip && pass "atbound: a tip over the photo where the logo was" || fail "atbound: no tip over the photo"
    away 10 10
    hover 396 268
    # A span of time is the check: no tip within two seconds and more.
    sleep 0.3
    ! wait_for 2 tip && pass "atbound: no tip over Credits" || fail "atbound: a tip over Credits"
else
    fail "atbound: no window; $(box_texts atbound)"
fi
stop

echo "== a metafile of 200 x 300"
wine_start metafile
if main_window 60; then
    drawn
    [ -z "$(boxes)" ] && pass "metafile: shown, no message box" || fail "metafile: $(box_texts metafile)"
    # At its declared size it reaches over the logo.
    hover 220 200
    wait_for 5 tip && pass "metafile: a tip over the photo where the logo was" || fail "metafile: no tip at 220,200"
else
    fail "metafile: no window; $(box_texts metafile)"
fi
stop

echo "== the tooltip after a quick move"
wine_start full
main_window 30 || { fail "no window appeared"; exit 1; }
echo "with the sample photo: peak $(peak_mib "$(program_pid full)") MiB at start-up"
drawn
# From the photo quickly across the phrase onto the link picture: while the photo's tip is
# still to come (odd rounds) or once it shows (even rounds). The short sleeps here are the
# moves' own pace, and the last one the span in which no tip may come.
shown=0
for round in 1 2 3 4 5 6; do
    away
    hover 70 200
    if [ $((round % 2)) = 1 ]; then
        sleep 0.1
    elif ! wait_for 5 tip; then
        fail "round $round: no tip over the photo"
        continue
    fi
    move 330 92
    sleep 0.03
    move 90 60
    sleep 0.3
    wait_for 2 tip && shown=$((shown + 1))
done
[ "$shown" = 0 ] && pass "no tip over the link after a quick move, 6 times of 6" || fail "a tip over the link $shown times of 6"
move 541 10
xdotool click 1
for _ in $(seq 100); do [ -z "$(visible)" ] && break; sleep 0.1; done
[ -z "$(visible)" ] || fail "the close mark left the program running"

session_summary wine-photos
