#!/bin/bash
# The Windows program under Wine with photos a user might put beside it, and its tooltip:
# a small file declaring a huge picture is refused at once, without the memory it
# declares; a file that is no picture, or a broken one, is reported in words; the tip shows
# over the photo, the balloon and the phrase, and never over the link after a quick move.
# Usage: run-wine-photo-tips.sh ZIP   (the zip of tools/build-windows.sh). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 180 "$0" "$@"

wine_begin wine-photo-tips "${1:-}" Xvfb xdotool xwininfo pulseaudio pactl unzip python3 bc convert

unpack full huge notapicture brokengif atbound metafile
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
echo "Questa non e' una foto." >"$work/notapicture/foto.jpg"
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

session_display
session_sound
session_wine

# The process of the program started from CASE's folder, and its peak resident memory in MiB.
program_pid() { ps -eo pid=,args= | awk -v exe="$work/$1/Ciarlatronix.exe" '$2 == exe {print $1; exit}'; }
peak_mib() { awk '/^VmHWM/ {printf "%d", $2 / 1024}' "/proc/$1/status" 2>/dev/null; }

for case in huge notapicture brokengif; do
    echo "== $case"
    case $case in
        huge) expected='Error "Picture too large: 20000 x 20000 pixels" in Form_Load() routine' ;;
        notapicture) expected='Error "Unsupported image format" in Form_Load() routine' ;;
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
    [ "$(echo "$seconds < 10" | bc -l)" = 1 ] && pass "$case: reported within 10 s" || fail "$case: ${seconds} s to the report"
    [ -n "$peak" ] && [ "$peak" -lt 200 ] && pass "$case: peak memory under 200 MiB" || fail "$case: peak ${peak:-unknown} MiB"
    wineserver -k
    wineserver -w
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
wineserver -k
wineserver -w

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
wineserver -k
wineserver -w

echo "== the tooltip"
wine_start full
main_window 30 || { fail "no window appeared"; exit 1; }
echo "with the sample photo: peak $(peak_mib "$(program_pid full)") MiB at start-up"
drawn
for place in "imgCazzaro 70 200" "imgFumetto 170 160" "Label1 330 92"; do
    set -- $place
    away
    hover "$2" "$3"
    wait_for 5 tip && pass "a tip over $1" || fail "no tip over $1"
done
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

session_summary wine-photo-tips
