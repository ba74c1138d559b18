#!/bin/bash
# Installs everything the build, the tests and the package need, from Debian 12's archive.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
    # build
    cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev libgl-dev
    # a real session for the end-to-end test and screenshots
    xvfb xauth x11-utils xdotool imagemagick pulseaudio pulseaudio-utils sox bc fonts-dejavu-core
    # fuzzing and the Windows build check
    clang-14 libfuzzer-14-dev g++-mingw-w64-x86-64-posix
    # package and desktop metadata
    dpkg-dev file desktop-file-utils appstream
)
as_root=()
[ "$(id -u)" = 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${packages[@]}"
