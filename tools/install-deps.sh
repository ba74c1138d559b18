#!/bin/bash
# Installs everything the build, the tests and the package need, from the archive of
# Debian 13 or Debian 12, whichever this machine runs.
# Recommended packages are left out, so every package needed is named here.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
# The one name that differs: each release's clang, with its libFuzzer and runtimes.
. /etc/os-release
case ${VERSION_ID:-} in
12) llvm=14 ;;
13) llvm=19 ;;
*) echo "install-deps: Debian 13 or 12 expected, this is ${PRETTY_NAME:-unknown}" >&2; exit 1 ;;
esac
packages=(
    # build (the fuzzer builds with make)
    cmake ninja-build make g++ libcli11-dev qt6-base-dev qt6-multimedia-dev libgl-dev libx11-dev
    # the core's tests on emulated older processors
    qemu-user
    # a real session for the end-to-end test and screenshots
    xvfb xauth x11-utils xdotool imagemagick pulseaudio pulseaudio-utils sox bc procps fonts-dejavu-core
    # the accessibility test: the AT-SPI bus on a session D-Bus, read from Python
    at-spi2-core python3 python3-pyatspi dbus dbus-x11
    # a real screen reader on a desktop with a window manager, for the Orca session
    orca mutter
    # fuzzing (libclang-rt has libFuzzer's driver and the sanitizer runtimes clang links)
    clang-$llvm libfuzzer-$llvm-dev libclang-rt-$llvm-dev
    # the Windows build, its check, and running it under Wine (64-bit only)
    g++-mingw-w64-x86-64-posix wine wine64 zip unzip
    # the Windows installer, made with wixl and finished with msibuild at a fixed time
    wixl msitools faketime
    # an Italian Windows under Wine: the locale the Wine session makes for itself
    locales
    # package and desktop metadata, and the package's check
    dpkg-dev file desktop-file-utils appstream lintian
)
as_root=()
[ "$(id -u)" = 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${packages[@]}"
