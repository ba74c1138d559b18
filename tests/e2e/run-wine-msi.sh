#!/bin/bash
# The Windows installer under Wine, as a user without administrator rights would use it:
# installs the first package quietly, starts the program through its Start-menu shortcut,
# changes the phrases, installs the later package over it, and uninstalls. The user's
# phrases must survive the upgrade, and the uninstall must leave nothing of the program.
# Usage: run-wine-msi.sh MSI LATER_MSI   (two versions from tools/build-windows.sh).
# Exit 77: tools missing.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_bounded 150 "$0" "$@"

first=$(readlink -f "${1:?usage: run-wine-msi.sh MSI LATER_MSI}")
later=$(readlink -f "${2:?usage: run-wine-msi.sh MSI LATER_MSI}")
wine_begin wine-msi - winepath Xvfb xdotool xwininfo pulseaudio pactl msiinfo

session_display
session_sound
session_wine

property() { # property MSI NAME
    msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"
}
first_code=$(property "$first" ProductCode)
later_code=$(property "$later" ProductCode)
first_version=$(property "$first" ProductVersion)
later_version=$(property "$later" ProductVersion)
[ "$first_code" != "$later_code" ] || { echo "FAIL: both packages are $first_code"; exit 1; }

# Where a per-user install lands, in the prefix's Unix tree.
profile=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v /Public/ | head -n 1)
folder="${profile}AppData/Local/Programs/Ciarlatronix"
shortcut="${profile}AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Ciarlatronix.lnk"
program_files=(Ciarlatronix.exe cazzate.txt foto.jpg audio.wav LICENSE LEGGIMI.txt)

msiexec() { # msiexec ACTION MSI: quietly, with a log; the exit status is msiexec's
    "$wine" msiexec "$1" "$(winepath -w "$2")" /qn /l*v "$(winepath -w "$work/msiexec.log")" >/dev/null 2>&1
}
# The uninstall entries: Windows keeps a per-user product's under HKCU, Wine under HKLM.
entry() { # entry CODE: the entry's values, if there is one
    local root values
    for root in HKCU HKLM; do
        # Wine's reg writes its complaint about a missing key to standard output.
        values=$("$wine" reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" 2>/dev/null) \
            && tr -d '\r' <<<"$values"
    done
}
entry_value() { entry "$1" | awk -v name="$2" '$1 == name {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit}'; }
# Wine 8's uninstaller lists on standard output, Wine 10's on standard error.
listed() { "$wine" uninstaller --list 2>&1 | tr -d '\r' | grep -c '|||Ciarlatronix$'; }

# start_from_shortcut WHEN: opens the shortcut as Explorer would; a 550x304 window and no
# message box, then the close mark ends it.
start_from_shortcut() {
    "$wine" start "$(winepath -w "$shortcut")" >/dev/null 2>&1
    main_window || { fail "$1: the shortcut started no window of 550x304"; return; }
    # A span of time is the check: no message box within a second.
    sleep 1
    [ -z "$(boxes)" ] && pass "$1: the shortcut starts the program, a 550x304 window and no message box" \
        || fail "$1: boxes: $(visible | grep ' Ciarlatronix$')"
    click 541 10
    for _ in $(seq 100); do [ -z "$(visible)" ] && break; sleep 0.1; done
    [ -z "$(visible)" ] || fail "$1: the close mark left the program running"
}

echo "== install $(basename "$first")"
msiexec /i "$first" && pass "msiexec /i /qn as the prefix's user" || fail "msiexec /i: status $?"
missing=()
for file in "${program_files[@]}"; do [ -f "$folder/$file" ] || missing+=("$file"); done
[ ${#missing[@]} = 0 ] && pass "the program and its files are in the user's programs folder" \
    || fail "missing in $folder: ${missing[*]}"
[ -f "$shortcut" ] && pass "a Start-menu shortcut" || fail "no shortcut at $shortcut"
[ "$(entry_value "$first_code" DisplayName)" = Ciarlatronix ] \
    && [ "$(entry_value "$first_code" Publisher)" = Ciarlatronix ] \
    && [ "$(entry_value "$first_code" DisplayVersion)" = "$first_version" ] \
    && entry_value "$first_code" UninstallString | grep -qi "msiexec.exe /x$first_code" \
    && pass "an uninstall entry with name, publisher, version and the uninstall command" \
    || fail "uninstall entry: $(entry "$first_code" | tr -s ' \n' ' ')"
# The entry's icon: Windows Installer keeps the product's icon apart, for the entry.
icon=$("$wine" reg query 'HKCU\Software\Microsoft\Installer\Products' /s 2>/dev/null | tr -d '\r' \
    | awk '$1 == "ProductIcon" {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit}')
[ -n "$icon" ] && [ "$(od -An -tx1 -N4 "$(winepath -u "$icon" 2>/dev/null)" 2>/dev/null | tr -d ' ')" = 00000100 ] \
    && pass "the entry has the program's icon" || fail "the entry's icon: '$icon'"
start_from_shortcut "first version"

echo "== the user's phrases, no tune, then $(basename "$later")"
printf 'Le mie cazzate, non le vostre.\r\nE anche questa.\r\n' >"$folder/cazzate.txt"
cp "$folder/cazzate.txt" "$work/mine.txt"
cp "$folder/foto.jpg" "$work/photo-before.jpg"
mv "$folder/audio.wav" "$work/tune-before.wav"
msiexec /i "$later" && pass "the later version installs over the first" || fail "msiexec /i later: status $?"
cmp -s "$folder/cazzate.txt" "$work/mine.txt" && pass "the user's phrases are kept" \
    || fail "the phrases were replaced: $(head -n 1 "$folder/cazzate.txt")"
cmp -s "$folder/foto.jpg" "$work/photo-before.jpg" && pass "the unchanged photo is still the sample" \
    || fail "the photo changed"
cmp -s "$folder/audio.wav" "$work/tune-before.wav" && pass "the deleted tune is back" || fail "the deleted tune is not back"
[ -z "$(entry "$first_code")" ] && [ "$(entry_value "$later_code" DisplayVersion)" = "$later_version" ] \
    && [ "$(listed)" = 1 ] && pass "one entry left, version $later_version" \
    || fail "entries: first '$(entry_value "$first_code" DisplayVersion)', later '$(entry_value "$later_code" DisplayVersion)', listed $(listed)"
[ -f "$folder/Ciarlatronix.exe" ] && [ -f "$shortcut" ] && pass "program and shortcut still there" \
    || fail "program or shortcut gone after the upgrade"
start_from_shortcut "later version with the user's phrases"

echo "== uninstall"
msiexec /x "$later" && pass "msiexec /x /qn" || fail "msiexec /x: status $?"
left=$(find "$folder" "$shortcut" 2>/dev/null)
[ -z "$left" ] && pass "no program file, folder or shortcut left" || fail "left behind: $left"
[ -z "$(entry "$later_code")" ] && [ "$(listed)" = 0 ] && pass "no uninstall entry left" \
    || fail "entries left: $("$wine" uninstaller --list 2>&1 | tr -d '\r' | grep '|||')"
"$wine" reg query 'HKCU\Software\Ciarlatronix' >/dev/null 2>&1 && fail "HKCU\\Software\\Ciarlatronix left" \
    || pass "no registry key of ours left"

if ! session_summary wine-msi; then
    echo "--- last msiexec log"
    tr -d '\r' <"$work/msiexec.log" 2>/dev/null | grep -a -i 'error\|fail\|return value 3' | tail -n 20
    exit 1
fi
