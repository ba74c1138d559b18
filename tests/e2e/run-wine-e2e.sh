#!/bin/bash
# Drives the Windows program under Wine as a user would, in a private X server, sound server
# and Wine prefix: hears the tune, clicks the photo, the balloon, the phrase, "Credits", the
# link and the close mark; starts it without the tune to hear nothing, not even the system's
# default sound, with DLLs named as the system's beside it that must not be loaded. (The boxes
# of missing files are the references session's.)
# Usage: run-wine-e2e.sh ZIP   (the zip of tools/build-windows.sh; the planted DLL, planted.dll,
# from the build beside it). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 180 "$0" "$@"

wine_begin wine-e2e "${1:-}" Xvfb xdotool xwininfo pulseaudio parec pactl import compare sox xdpyinfo unzip bc

# Two program folders, each unpacked from the zip: all files, and no tune.
unpack full notune
rm "$work/notune/audio.wav"
tune_length=$(sox --i -D "$work/full/audio.wav")

# Wine hands web addresses to xdg-open.
session_browser
session_display
session_sound

session_wine

echo "== all files there"
# Every sound stream's birth and end. Wine's sound driver opens and closes a stream or two
# at once when it starts, to learn the device; the tune's stream lives as long as the tune.
session_streams
session_listen

plant full
started=$(date +%s.%N)
wine_start full
if ! main_window; then
    fail "no window appeared"
    cat "$work/full.log"
    exit 1
fi
mapped=$(date +%s.%N)
[ "$WIDTH" = 550 ] && [ "$HEIGHT" = 304 ] && pass "window 550x304 at $X,$Y" || fail "window is ${WIDTH}x$HEIGHT"
[ "$X" = 237 ] && [ "$Y" = 232 ] && pass "window centred" || fail "window at $X,$Y, not centred"
drawn
[ -z "$(boxes)" ] && [ -z "$(box_texts full)" ] && pass "no message box" || fail "message boxes: $(box_texts full)"

phrase_file=$work/full/cazzate.txt
behaviours active

close_after_tune "$started" "$tune_length"

session_heard >/dev/null
# A starved sound driver on a busy machine leaves pauses in the tune, which stretch it but
# are no sound: what counts is the sound heard, measured as the file's own.
heard=$(sound_only "$work/heard-clean.wav")
# The file's own sound, measured the same way.
tune_sound=$(sound_only "$work/full/audio.wav")
echo "tune ${tune_length}s (${tune_sound}s of sound); heard ${heard}s of sound"
# Once: never longer than the file. Most of it: Wine's sound driver skips what it could not
# deliver in time when the machine is busy, up to a second at start-up on a loaded machine.
within=$(echo "$heard > $tune_sound / 2 && $heard < $tune_sound + 0.5" | bc -l)
[ "$within" = 1 ] && pass "the tune plays once, about as long as the file" || fail "heard ${heard}s for a ${tune_sound}s tune"
streams_played 1 >"$work/played"
check_streams "$work/played" "$started" "$mapped" "$tune_length"
[ -z "$(planted_loaded full)" ] && pass "the system's winmm.dll plays it, not the one beside the program" \
    || fail "loaded from beside the program: $(planted_loaded full)"

echo "== no tune"
plant notune
session_listen
wine_start notune trace+winmm
main_window || fail "notune: no window"
# Once the player has given up on the file and no stream plays any more, anything it played
# is in the recording.
if wait_for 30 grep -m 1 'proc_PlaySound Done playing' "$work/notune.log"; then
    wait_for 10 streams_ended || echo "a stream still plays"
    heard=$(session_heard)
    [ "$(echo "$heard == 0" | bc)" = 1 ] && pass "no tune, no sound: not even the system's default" \
        || fail "no tune, yet ${heard}s of sound heard"
else
    fail "no tune: the player never said it was done"
fi
[ -z "$(boxes)" ] && [ -z "$(box_texts notune)" ] && pass "no tune: no message box" || fail "no tune: message boxes: $(box_texts notune)"
click 541 10
ended "$app"
[ "$status" = 0 ] || fail "no tune: exit status '$status'"
[ -z "$(planted_loaded notune)" ] || fail "loaded from beside the program: $(planted_loaded notune)"

if ! session_summary wine-e2e; then
    for case in full notune; do
        echo "--- $case output"
        grep -v '^ALSA' "$work/$case.log" 2>/dev/null | tail -n 20
    done
    exit 1
fi
