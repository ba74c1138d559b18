#!/bin/bash
# Cross-builds the Windows program with MinGW-w64 and packs it for users.
# Usage: tools/build-windows.sh [--exe EXE] [OUTDIR]   (default OUTDIR: build-windows)
# Leaves OUTDIR/Ciarlatronix.exe, OUTDIR/Ciarlatronix-<version>-win64.zip, which holds the
# exe, the three sample files, LICENSE and LEGGIMI.txt, and OUTDIR/Ciarlatronix-<version>-win64.msi,
# the installer of the same files. With --exe the given exe is packed instead of building one.
# CIARLA_PACKAGE_VERSION (default 1.0.0.0) is the packages' version; the program's own version
# information stays as it is. With CIARLA_BUILD_TESTS=ON the core's tests are cross-built too,
# into OUTDIR/build/bin. Zip and installer are the same bytes for the same sources: their times
# come from SOURCE_DATE_EPOCH, by default the last commit's time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
given_exe=
if [ "${1:-}" = --exe ]; then
    given_exe=$(readlink -f "${2:?usage: build-windows.sh [--exe EXE] [OUTDIR]}")
    shift 2
fi
out=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)
build=$out/build

# The installer's ProductVersion: major and minor up to 255, build up to 65535.
version=${CIARLA_PACKAGE_VERSION:-1.0.0.0}
if ! [[ $version =~ ^([0-9]{1,5})\.([0-9]{1,5})\.([0-9]{1,5})\.([0-9]{1,5})$ ]] \
    || ((10#${BASH_REMATCH[1]} > 255 || 10#${BASH_REMATCH[2]} > 255 || 10#${BASH_REMATCH[3]} > 65535 || 10#${BASH_REMATCH[4]} > 65535)); then
    echo "build-windows: CIARLA_PACKAGE_VERSION '$version' is not four numbers up to 255.255.65535.65535" >&2
    exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || stat -c %Y "$root/CMakeLists.txt")}

for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres cmake zip wixl msibuild faketime python3; do
    command -v "$tool" >/dev/null || { echo "build-windows: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

if [ -n "$given_exe" ]; then
    [ "$given_exe" = "$out/Ciarlatronix.exe" ] || cp "$given_exe" "$out/Ciarlatronix.exe"
else
    cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCIARLA_BUILD_TESTS="${CIARLA_BUILD_TESTS:-OFF}" \
        -DCIARLA_PACKAGE_VERSION="$version" >/dev/null
    cmake --build "$build" -j "${CIARLA_JOBS:-2}"
    cp "$build/bin/Ciarlatronix.exe" "$out/"
fi

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
# program finds its files beside itself there. Every file gets the same time and mode, and
# zip's local times are read in UTC, so that the zip depends on nothing but the sources.
stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
files=(Ciarlatronix.exe cazzate.txt foto.jpg audio.wav LICENSE LEGGIMI.txt)
cp "$exe" "$root/data/cazzate.txt" "$root/data/foto.jpg" "$root/data/audio.wav" "$stage/"
# Notepad on older Windows wants CR LF.
cat "$root/LICENSE" "$root/packaging/THIRD-PARTY-NOTICES.txt" | sed 's/\r*$/\r/' >"$stage/LICENSE"
sed 's/\r*$/\r/' "$root/packaging/windows/LEGGIMI.txt" >"$stage/LEGGIMI.txt"
cp "$root/assets/ciarlatronix.ico" "$root/packaging/windows/ciarlatronix.wxs" "$stage/"
chmod 644 "$stage"/*
chmod 755 "$stage/Ciarlatronix.exe"
touch -h -d "@$epoch" "$stage"/*
zip="$out/Ciarlatronix-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && TZ=UTC zip -X -q "$zip" "${files[@]}")

# The installer. wixl makes the database; msibuild then sets what wixl cannot express:
# - the revision (package code) from the version and the payload, and the summary's times
#   from the clock, which faketime stops at SOURCE_DATE_EPOCH (-f: a plain date would only
#   start the clock there, and a slow run would cross a second); the cabinet's file times
#   come from the files' own, which newer faketime would shift by the clock unless told not to;
# - the exe's version in the File table is the package's, so that a later package replaces
#   the program, whose own version information does not change between packages;
# - the upgrade row takes earlier packages up to this version inclusive, because Windows
#   Installer ignores the fourth field when it compares product versions;
# - the three data files' components never overwrite a file that is there: the user's own
#   phrases, photo and tune survive an upgrade (Wine's installer does not keep a changed
#   unversioned file by its times, as Windows does, so that rule alone is not enough);
# - the earlier package is removed after this one is installed, so the components they
#   share, the data files among them, stay.
upgrade_code=$(sed -n 's/.*UpgradeCode="\([0-9A-F-]*\)".*/\1/p' "$stage/ciarlatronix.wxs")
codes=$(cd "$stage" && python3 - "$upgrade_code" "$version" "${files[@]}" ciarlatronix.ico ciarlatronix.wxs <<'PY'
import hashlib, sys, uuid
namespace, version, payload = uuid.UUID(sys.argv[1]), sys.argv[2], hashlib.sha256()
for name in sys.argv[3:]:
    payload.update(name.encode() + b"\0" + open(name, "rb").read())
print(str(uuid.uuid5(namespace, "product " + version)).upper(),
      str(uuid.uuid5(namespace, "package " + version + " " + payload.hexdigest())).upper())
PY
)
read -r product_code package_code <<<"$codes"
msi="$out/Ciarlatronix-$version-win64.msi"
rm -f "$msi"
frozen=(env TZ=UTC NO_FAKE_STAT=1 faketime -f "$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')")
(cd "$stage" && "${frozen[@]}" wixl --arch x64 -D Version="$version" -D ProductCode="$product_code" \
    -o "$msi" ciarlatronix.wxs)
queries=(
    "UPDATE File SET Version = '$version' WHERE File = 'Ciarlatronix.exe'"
    "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'"
    "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('{$upgrade_code}', '$version', 513, 'WIX_UPGRADE_DETECTED')"
    "UPDATE Component SET Attributes = 128 WHERE Component = 'Phrases' OR Component = 'Photo' OR Component = 'Tune'"
    "UPDATE InstallExecuteSequence SET Sequence = 6601 WHERE Action = 'RemoveExistingProducts'"
)
for query in "${queries[@]}"; do
    "${frozen[@]}" msibuild "$msi" -q "$query"
done
"${frozen[@]}" msibuild "$msi" -s "Lo Ciarlatronix: una cazzata a ogni clic" Ciarlatronix "x64;1040" "{$package_code}"
echo "build-windows: $exe ($(stat -c %s "$exe") bytes), $zip ($(stat -c %s "$zip") bytes), $msi ($(stat -c %s "$msi") bytes)"
