#!/bin/bash
# Makes the Debian package from a configured build folder, checks its desktop entry and
# metainfo, installs it, starts the installed program in a private X server and removes
# the package again. Usage: check-package.sh [BUILD_DIR] (default: build). Needs root.
set -uo pipefail

# Whatever happens, the whole run ends within fifteen minutes.
if [ -z "${CIARLA_PACKAGE_BOUNDED:-}" ]; then
    CIARLA_PACKAGE_BOUNDED=1 exec timeout -k 20 900 "$0" "$@"
fi

build=$(readlink -f "${1:-build}")
export DEBIAN_FRONTEND=noninteractive

passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
die() {
    fail "$*"
    exit 1
}

[ "$(id -u)" -eq 0 ] || die "installing the package needs root"
[ -f "$build/CPackConfig.cmake" ] || die "$build is not a configured build folder"

# The tools, from Debian's archive when missing.
missing=()
for pair in Xvfb:xvfb xdotool:xdotool xprop:x11-utils desktop-file-validate:desktop-file-utils \
    appstreamcli:appstream dpkg-shlibdeps:dpkg-dev; do
    command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}"
    { apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"; } >/dev/null ||
        die "could not install ${missing[*]}"
fi

work=$(mktemp -d /tmp/ciarla-package.XXXXXX)
pids=()
installed=
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    if [ -n "$installed" ]; then
        apt-get remove -y ciarlatronix >"$work/remove.log" 2>&1 || cat "$work/remove.log"
    fi
    rm -rf "$work"
    echo "$passed passed, $failed failed"
}
trap cleanup EXIT
trap 'fail stopped; exit 1' TERM INT

# cpack installs what is built but does not build it (with Ninja).
cmake --build "$build" --target Ciarlatronix >"$work/build.log" 2>&1 || {
    cat "$work/build.log"
    die "build"
}

out=$build/package
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out") >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    die "cpack -G DEB"
}
debs=("$out"/ciarlatronix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || die "cpack made no single ciarlatronix_*.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
expected=ciarlatronix_${version}_$(dpkg --print-architecture).deb
[ "$(basename "$deb")" = "$expected" ] && pass "package $(basename "$deb")" ||
    fail "package named $(basename "$deb"), not $expected"

echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"

# The metadata as it ships.
tree=$work/tree
dpkg-deb -x "$deb" "$tree"
desktop=$tree/usr/share/applications/ciarlatronix.desktop
metainfo=$(find "$tree/usr/share/metainfo" -name "*.metainfo.xml" 2>/dev/null | head -n 1)
if desktop-file-validate "$desktop"; then pass "desktop-file-validate"; else fail "desktop-file-validate"; fi
if [ -n "$metainfo" ] && appstreamcli validate --no-net "$metainfo"; then
    pass "appstreamcli validate"
else
    fail "appstreamcli validate"
fi
if appstreamcli validate-tree --no-net "$tree" >"$work/tree.log" 2>&1; then
    pass "appstreamcli validate-tree"
else
    cat "$work/tree.log"
    fail "appstreamcli validate-tree"
fi

if apt-get install -y --no-install-recommends "$deb" >"$work/install.log" 2>&1; then
    installed=1
    pass "apt-get install"
else
    cat "$work/install.log"
    die "apt-get install"
fi

# The command is a relative link into the program folder, which holds the three files.
link=/usr/bin/ciarlatronix
target=$(readlink "$link")
case $target in
    "") fail "$link is not a symlink" ;;
    /*) fail "$link points to an absolute path: $target" ;;
    *) pass "$link -> $target" ;;
esac
program=$(readlink -f "$link")
folder=$(dirname "$program")
[ -x "$program" ] && [ "$(basename "$program")" = Ciarlatronix ] && pass "program $program" ||
    fail "no executable Ciarlatronix behind $link"
for name in cazzate.txt foto.jpg audio.wav; do
    [ -s "$folder/$name" ] && pass "$folder/$name" || fail "$folder/$name is missing"
done
for size in 48 128 256; do
    icon=/usr/share/icons/hicolor/${size}x$size/apps/ciarlatronix.png
    [ -f "$icon" ] && pass "$icon" || fail "$icon is missing"
done

# A private X server, no window manager, and no sound server: the tune stays silent.
mkdir -m 700 "$work/home" "$work/runtime"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || die "Xvfb did not start"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
export QT_QPA_PLATFORM=xcb HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY XDG_SESSION_TYPE SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

# Started from elsewhere, so its files can only be found through its own folder.
(cd / && exec "$link") >"$work/program.log" 2>&1 &
app=$!
pids+=("$app")

# A message box about a missing file would come first; only the main window is 550x304.
window=
seen=
deadline=$((SECONDS + 20))
while [ -z "$window" ] && [ $SECONDS -lt $deadline ] && kill -0 "$app" 2>/dev/null; do
    for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
        WIDTH='' HEIGHT=''
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
        seen="$seen ${WIDTH}x$HEIGHT"
        if [ "$WIDTH" = 550 ] && [ "$HEIGHT" = 304 ]; then
            window=$id
            break
        fi
    done
    [ -n "$window" ] || sleep 0.2
done
if [ -n "$window" ]; then
    pass "the installed program shows its 550x304 window"
    wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"/\2/p')
    wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    [ "$wm_class" = "$wanted" ] && pass "WM_CLASS $wm_class matches StartupWMClass" ||
        fail "WM_CLASS is '$wm_class', the desktop entry says '$wanted'"
else
    kill -0 "$app" 2>/dev/null || echo "The program ended: $(cat "$work/program.log")"
    fail "no 550x304 window within 20 s (windows seen:${seen:- none})"
fi

kill "$app" 2>/dev/null
wait "$app" 2>/dev/null

if apt-get remove -y ciarlatronix >"$work/remove.log" 2>&1 && [ ! -e "$link" ] && [ ! -e "$folder" ]; then
    installed=
    pass "apt-get remove"
else
    cat "$work/remove.log"
    fail "apt-get remove left files behind"
fi

[ "$failed" -eq 0 ]
