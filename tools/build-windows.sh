#!/bin/bash
# Cross-builds the Windows program with MinGW-w64 and packs it for users.
# Usage: tools/build-windows.sh [OUTDIR]   (default: build-windows)
# Leaves OUTDIR/Ciarlatronix.exe and OUTDIR/Ciarlatronix-<version>-win64.zip, which holds
# the exe, the three sample files, LICENSE and LEGGIMI.txt. With CIARLA_BUILD_TESTS=ON in
# the environment the core's tests are cross-built too, into OUTDIR/build/bin.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)
build=$out/build
version=$(sed -n 's/^project(Ciarlatronix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres cmake zip; do
    command -v "$tool" >/dev/null || { echo "build-windows: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCIARLA_BUILD_TESTS="${CIARLA_BUILD_TESTS:-OFF}" >/dev/null
cmake --build "$build" -j "${CIARLA_JOBS:-2}"
cp "$build/bin/Ciarlatronix.exe" "$out/"

# What a Windows user gets: a 64-bit GUI program under 2 MB that needs only DLLs every
# Windows has (winmm, shell32 and oleacc are bound at first use, never imported), with the icon,
# the version information, the manifest, the artwork and the pointers inside.
exe=$out/Ciarlatronix.exe
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
problems=()
grep -q 'Magic.*(PE32+)' <<<"$headers" || problems+=("not a 64-bit program")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || problems+=("not a GUI program")
[ "$(stat -c %s "$exe")" -lt $((2 * 1024 * 1024)) ] || problems+=("2 MB or more")
for dll in $(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z'); do
    case $dll in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | ole32.dll | oleaut32.dll | advapi32.dll | msvcrt.dll) ;;
        *) problems+=("imports $dll") ;;
    esac
done
for name in IDI_ICON1 FRAME LINK CLOSE FACCIA FUMETTO LOGO HAND ICONPOINTER; do
    grep -q "name: .*: $name, " <<<"$headers" || problems+=("no resource $name")
done
grep -q 'Entry: ID: 0x000010,' <<<"$headers" || problems+=("no version information")
grep -q 'Entry: ID: 0x000018,' <<<"$headers" || problems+=("no manifest")
if [ ${#problems[@]} -gt 0 ]; then
    printf 'build-windows: Ciarlatronix.exe: %s\n' "${problems[@]}" >&2
    exit 1
fi

# Flat: Explorer's "Extract all" already makes a folder named after the zip, and the
# program finds its files beside itself there.
stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$build/bin/Ciarlatronix.exe" "$root/data/cazzate.txt" "$root/data/foto.jpg" "$root/data/audio.wav" "$stage/"
# Notepad on older Windows wants CR LF.
sed 's/\r*$/\r/' "$root/LICENSE" >"$stage/LICENSE"
sed 's/\r*$/\r/' "$root/packaging/windows/LEGGIMI.txt" >"$stage/LEGGIMI.txt"
zip="$out/Ciarlatronix-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && zip -X -q "$zip" Ciarlatronix.exe cazzate.txt foto.jpg audio.wav LICENSE LEGGIMI.txt)
echo "build-windows: $out/Ciarlatronix.exe ($(stat -c %s "$out/Ciarlatronix.exe") bytes), $zip"
