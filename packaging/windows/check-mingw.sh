#!/bin/bash
# Proves the Windows pieces build: WinShell.cpp with a small caller, and the resource
# script with the icon and version information, linked into one 64-bit exe.
# Usage: check-mingw.sh [OUTDIR] (default: a temporary folder, removed afterwards).
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
root=$(readlink -f "$here/../..")
prefix=x86_64-w64-mingw32

if ! command -v $prefix-g++-posix >/dev/null || ! command -v $prefix-windres >/dev/null; then
    [ "$(id -u)" -eq 0 ] || { echo "FAIL: $prefix-g++-posix is missing"; exit 1; }
    export DEBIAN_FRONTEND=noninteractive
    { apt-get update && apt-get install -y --no-install-recommends g++-mingw-w64-x86-64-posix; } >/dev/null
fi

if [ $# -gt 0 ]; then
    out=$1
    mkdir -p "$out"
else
    out=$(mktemp -d /tmp/ciarla-mingw.XXXXXX)
    trap 'rm -rf "$out"' EXIT
fi

$prefix-windres -O coff -o "$out/ciarlatronix.res.o" "$here/ciarlatronix.rc" ||
    { echo "FAIL: windres ciarlatronix.rc"; exit 1; }
echo "PASS: windres ciarlatronix.rc"

$prefix-g++-posix -std=c++17 -Wall -Wextra -Werror -static -O2 \
    -I"$root/src/platform/win32" \
    "$root/src/platform/win32/WinShell.cpp" "$here/winshell_check.cpp" "$out/ciarlatronix.res.o" \
    -o "$out/winshell_check.exe" || { echo "FAIL: building winshell_check.exe"; exit 1; }
echo "PASS: $prefix-g++-posix WinShell.cpp winshell_check.cpp"

description=$(file -b "$out/winshell_check.exe")
case $description in
    PE32+\ executable*x86-64*) echo "PASS: $description" ;;
    *) echo "FAIL: not a 64-bit Windows executable: $description"; exit 1 ;;
esac

headers=$($prefix-objdump -p "$out/winshell_check.exe")

# The icon group, and the version information with its Italian (Italy) Unicode block.
if grep -q "name: .*IDI_ICON1" <<<"$headers" && grep -q "Entry: ID: 0x000010," <<<"$headers" \
    && LC_ALL=C grep -q -a -P "0\\x004\\x001\\x000\\x000\\x004\\x00B\\x000" "$out/winshell_check.exe"; then
    echo "PASS: icon and version information linked in"
else
    echo "FAIL: the icon or the version information is not in the exe"
    exit 1
fi

# winmm and shell32 are bound at run time from the system folder, never imported.
if grep -i -E "DLL Name: (winmm|shell32)" <<<"$headers"; then
    echo "FAIL: the exe imports the DLLs it should bind at run time"
    exit 1
fi
echo "PASS: no load-time import of winmm.dll or shell32.dll"
