#!/bin/bash
# The Windows program under Wine in conditions users have: Windows in Italian, the window not
# the active one, the phrase file held open for writing by another program, a UTF-8 code
# page; and what Windows itself reads of it: the window's styles as the taskbar sees them,
# the version block and the owner of a box. (The DPI handling is the DPI session's.)
# Usage: run-wine-conditions.sh ZIP   (the zip of tools/build-windows.sh; the probe,
# ciarla_probe.exe, from the build beside it). Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 300 "$0" "$@"

wine_begin wine-conditions "${1:-}" Xvfb pactl xdotool xwininfo xprop xmessage pulseaudio unzip convert compare localedef python3 iconv
built "$probe"

# Windows in Italian: Wine takes its language from the Unix locale, made here for this session.
mkdir "$work/locale"
localedef -i it_IT -f UTF-8 "$work/locale/it_IT.UTF-8" >"$work/localedef.log" 2>&1 \
    || [ -f "$work/locale/it_IT.UTF-8/LC_CTYPE" ] || { echo "SKIP: cannot make the it_IT locale"; exit 77; }
export LOCPATH="$work/locale"
{ export LANG=it_IT.UTF-8 LC_ALL=it_IT.UTF-8; } 2>/dev/null

notfound="File non trovato."
unpack full nophrases badphoto dirphrases held Ciarlà-utf8 Ciarlà-1252 Ciarlà-mojibake
# One phrase with accents, in UTF-8, in Windows-1252, and UTF-8 read as Windows-1252 and saved again.
printf 'Perché così è\r\n' >"$work/Ciarlà-utf8/cazzate.txt"
iconv -f UTF-8 -t WINDOWS-1252 "$work/Ciarlà-utf8/cazzate.txt" >"$work/Ciarlà-1252/cazzate.txt"
iconv -f WINDOWS-1252 -t UTF-8 "$work/Ciarlà-utf8/cazzate.txt" >"$work/Ciarlà-mojibake/cazzate.txt"
rm "$work/nophrases/cazzate.txt" "$work/dirphrases/cazzate.txt"
mkdir "$work/dirphrases/cazzate.txt"
echo "no picture" >"$work/badphoto/foto.jpg"

session_browser
session_display
session_sound
session_wine

probe() { WINEDEBUG=-all "$wine" "$probe" "$@" 2>/dev/null | tr -d '\r'; }
finish() { # closes the main window by its close mark; the program must end with status 0
    # Once its tune is over: Wine 10 with Debian 13's glibc may abort in its own sound thread
    # when a process ends during a sound ("Fatal glibc error: ... pthread_mutex_lock.c"), after
    # the program has returned, and the status is then 1.
    wait_for 10 streams_ended || echo "a sound still plays"
    click 541 10
    ended "$app"
    [ "$status" = 0 ] || { fail "$1: exit status '$status'; the end of its log:"; tail -n 20 "$work/$case_started.log"; }
}

echo "== Windows in Italian: the system's words in Italian, the program's own as they are"
# Each box before the window: its whole text, its caption, its button, Italian's "Ok", and icon, no owner.
ok_label=Ok
boxes_then_window nophrases "Error \"$notfound\" in ContaRighe() routine" "Error \"$notfound\" in EstraiRiga() function" && finish nophrases
boxes_then_window badphoto "Error \"Unsupported image format\" in Form_Load() routine" && finish badphoto
boxes_then_window dirphrases 'Error "Is a directory" in ContaRighe() routine' 'Error "Is a directory" in EstraiRiga() function' && finish dirphrases

echo "== the window and the version block as Windows reads them"
wine_start full
main_window || { fail "no window"; exit 1; }
# A popup without caption or frame, with the system menu and the minimise command; no
# maximise, no sizing; in the taskbar.
read -r _ style exstyle _ <<<"$(probe window)"
[ "$style $exstyle" = "960a0000 00040000" ] && pass "styles: popup, visible, clipping, system menu, minimise; app window" \
    || fail "styles $style $exstyle"
# The window manager's view: Wine's hints allow moving, minimising and closing, no frame, and
# nothing keeps it off the taskbar.
hints=$(xprop -id "$window" _MOTIF_WM_HINTS _NET_WM_STATE _NET_WM_WINDOW_TYPE 2>/dev/null)
echo "$hints" | sed 's/^/  /'
grep -q 'SKIP_TASKBAR' <<<"$hints" && fail "the window is kept off the taskbar" || pass "the window is in the taskbar"
# Functions move, minimise and close (4 + 8 + 32), no resizing or maximising; no decorations.
grep -q '^_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x2c, 0x0,' <<<"$hints" \
    && pass "the taskbar may minimise, move and close it, nothing more" || fail "the window manager's hints: $(head -n 1 <<<"$hints")"
# The program's identity: Italian (Italy) in Unicode, version 1.00 (1.0.0.0) of an application
# for 32-bit Windows, its names; the description, company and copyright are ours to word.
probe version "$("$wine" winepath -w "$work/full/Ciarlatronix.exe" 2>/dev/null)" \
    | grep -v -e '^FileDescription=' -e '^CompanyName=' -e '^LegalCopyright=' >"$work/version"
cat >"$work/version-expected" <<'VERSION'
Translation 041004b0
Fixed 10000.0 10000.0 40004 1 0
ProductName=Ciarlatronix
FileVersion=1.00
ProductVersion=1.00
OriginalFilename=Ciarlatronix.exe
InternalName=Ciarlatronix
VERSION
diff "$work/version-expected" "$work/version" && pass "the version block as Explorer reads it" || fail "the version block differs as above"

echo "== another window active"
# Notepad, in the screen's corner clear of the window, made active by a click on it.
for value in "iWindowPosX 0" "iWindowPosY 0" "iWindowPosDX 200" "iWindowPosDY 150"; do
    "$wine" reg add 'HKCU\Software\Microsoft\Notepad' /v ${value% *} /t REG_DWORD /d ${value#* } /f >/dev/null 2>&1
done
(cd / && exec "$wine" notepad) >/dev/null 2>&1 &
pids+=($!)
elsewhere() {
    xdotool mousemove 100 75 click 1
    for _ in $(seq 100); do probe window | grep -q 'foreground 0' && return; sleep 0.1; done
    fail "the other window did not become active"
}
inactive() { probe window | grep -q 'foreground 0'; }
wait_for 30 xdotool search --onlyvisible --class notepad || fail "no other window"
phrase_file=$work/full/cazzate.txt
behaviours inactive
elsewhere; finish inactive
[ "$status" = 0 ] && pass "inactive: one click on the close mark ends it"

echo "== a box after the window: the window owns it"
wine_start full
main_window || { fail "no window"; exit 1; }
mv "$work/full/cazzate.txt" "$work/full/cazzate.old"
click 60 130
wait_for 10 boxes || fail "no box for the missing file"
box=$(boxes | head -n 1)
probe window | grep '^box' >"$work/owned"
[ "$(cat "$work/owned")" = "box owner main button Ok" ] && pass "the box is owned by the main window" || fail "owned box: $(cat "$work/owned")"
xprop -id "$box" WM_TRANSIENT_FOR | grep -q "window id # $window\$" && pass "the box is transient for the main window on X" \
    || fail "the box's transient-for: $(xprop -id "$box" WM_TRANSIENT_FOR) (main $window)"
[ "$(box_texts full | tail -n 1)" = "Error \"$notfound\" in EstraiRiga() function" ] && pass "its text in Italian" || fail "its text: $(box_texts full | tail -n 1)"
press_ok "$box"
finish owned

echo "== the phrase file held open for writing by another program"
mkfifo "$work/hold.in"
WINEDEBUG=-all "$wine" "$probe" hold "$("$wine" winepath -w "$work/held/cazzate.txt" 2>/dev/null)" <"$work/hold.in" >"$work/hold.out" 2>/dev/null &
pids+=($!)
exec 4>"$work/hold.in"
for _ in $(seq 100); do [ -s "$work/hold.out" ] && break; sleep 0.1; done
[ "$(tr -d "\r" <"$work/hold.out")" = held ] || fail "the helper could not hold the file: $(cat "$work/hold.out")"
wine_start held
main_window || fail "held: no window"
balloon_changes 60 130 && pass "held: a click shows a new phrase" || fail "held: the photo click changed nothing"
# The other program writes meanwhile.
for n in 1 2 3; do printf 'Riga aggiunta %s\r\n' "$n" >>"$work/held/cazzate.txt"; balloon_changes 170 40 || fail "held: click $n after a write changed nothing"; done
[ -z "$(boxes)" ] && [ -z "$(box_texts held)" ] && pass "held: no box" || fail "held: boxes: $(box_texts held)"
finish held
exec 4>&-

echo "== text in the system's code page: an accented phrase, in a folder with accents"
# Wine 8 takes the code page from the locale alone (it_IT: Windows-1252), whatever the registry says.
for case in Ciarlà-utf8 Ciarlà-1252 Ciarlà-mojibake; do
    wine_start "$case"
    main_window || { fail "$case: no window"; continue; }
    move 520 200
    shot "$case" 184 48 291 89
    # The tune plays from the folder with accents: a stream lives a second or more (Wine's
    # start-up probes of the device live a moment). A loaded machine may start it late.
    playing=0
    for _ in $(seq 300); do
        [ -n "$(pactl list short sink-inputs 2>/dev/null)" ] && playing=$((playing + 1))
        [ "$playing" -ge 10 ] && break
        sleep 0.1
    done
    finish "$case"
    [ "$playing" -ge 10 ] && pass "$case: the tune plays from its folder" || fail "$case: no tune heard"
    [ -z "$(box_texts "$case")" ] && pass "$case: no box" || fail "$case: boxes: $(box_texts "$case")"
done
differs Ciarlà-utf8 Ciarlà-1252 && fail "the UTF-8 and the Windows-1252 phrase look different" || pass "a UTF-8 phrase and a Windows-1252 one look the same"
differs Ciarlà-utf8 Ciarlà-mojibake && pass "a phrase saved twice in UTF-8 shows as saved" || fail "the twice-saved phrase looks like the right one"

session_summary wine-conditions
