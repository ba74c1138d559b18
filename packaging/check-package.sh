#!/bin/bash
# Makes the Debian package from a configured build folder, and one of a higher version
# (through CIARLA_PACKAGE_VERSION, set back afterwards); checks them with lintian and their
# desktop entry and metainfo; installs the first, starts it in a private X server, changes
# the phrases as README says, installs the second over it and sees the change kept and the
# program start with it; removes the package (the user's files stay) and purges it (they
# go). Usage: check-package.sh [BUILD_DIR] (default: build). Needs root.
set -uo pipefail

# Whatever happens, the whole run ends within fifteen minutes.
if [ -z "${CIARLA_PACKAGE_BOUNDED:-}" ]; then
    CIARLA_PACKAGE_BOUNDED=1 exec timeout -k 20 900 "$0" "$@"
fi

build=$(readlink -f "${1:-build}")
source=$(dirname "$(dirname "$(readlink -f "$0")")")
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
    appstreamcli:appstream dpkg-shlibdeps:dpkg-dev lintian:lintian; do
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
configured_version=
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    if [ -n "$installed" ]; then
        apt-get purge -y ciarlatronix >"$work/purge.log" 2>&1 || cat "$work/purge.log"
    fi
    if [ -n "$configured_version" ]; then
        cmake "$build" -DCIARLA_PACKAGE_VERSION="$configured_version" >"$work/restore.log" 2>&1 ||
            cat "$work/restore.log"
    fi
    rm -rf "$work"
    echo "$passed passed, $failed failed"
}
trap cleanup EXIT
trap 'fail stopped; exit 1' TERM INT

# make_package OUT: builds what cpack packs (with Ninja, cpack does not build it), packs it
# into OUT and sets $deb.
make_package() {
    local out=$1 debs
    cmake --build "$build" --target Ciarlatronix ciarla_docs >"$work/build.log" 2>&1 || {
        cat "$work/build.log"
        die "build"
    }
    rm -rf "$out"
    (cd "$build" && cpack -G DEB -B "$out") >"$work/cpack.log" 2>&1 || {
        cat "$work/cpack.log"
        die "cpack -G DEB"
    }
    debs=("$out"/ciarlatronix_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || die "cpack made no single ciarlatronix_*.deb"
    deb=${debs[0]}
    local version expected
    version=$(dpkg-deb -f "$deb" Version)
    expected=ciarlatronix_${version}_$(dpkg --print-architecture).deb
    [ "$(basename "$deb")" = "$expected" ] && pass "package $(basename "$deb"), $(stat -c %s "$deb") bytes" ||
        fail "package named $(basename "$deb"), not $expected"
}

make_package "$build/package"
first_deb=$deb
version=$(dpkg-deb -f "$deb" Version)

# The same package one version up, made with the version knob; the knob is set back after.
configured_version=$(sed -n 's/^CIARLA_PACKAGE_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$configured_version" ] || die "$build has no CIARLA_PACKAGE_VERSION"
[ "$configured_version" = "$version" ] || fail "the package is version $version, the knob says $configured_version"
higher=${version%.*}.$((${version##*.} + 1))
cmake "$build" -DCIARLA_PACKAGE_VERSION="$higher" >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log"
    die "configuring with -DCIARLA_PACKAGE_VERSION=$higher"
}
make_package "$build/package-upgrade"
upgrade_deb=$deb
deb=$first_deb
[ "$(dpkg-deb -f "$upgrade_deb" Version)" = "$higher" ] && dpkg --compare-versions "$higher" gt "$version" &&
    pass "the knob makes version $higher" || fail "the knob did not make version $higher"
cmake "$build" -DCIARLA_PACKAGE_VERSION="$configured_version" >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log"
    die "setting the version back to $configured_version"
}
configured_version=

# No error and no warning; what lintian says besides is shown.
if lintian --fail-on error,warning --display-info --pedantic "$deb" >"$work/lintian.log" 2>&1; then
    pass "lintian: no error, no warning"
else
    fail "lintian"
fi
grep -v 'running with root privileges' "$work/lintian.log" | sed 's/^/    /'

# What dpkg keeps for the user.
conffiles=$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles 2>/dev/null | sort | tr '\n' ' ')
wanted="/etc/ciarlatronix/audio.wav /etc/ciarlatronix/cazzate.txt /etc/ciarlatronix/foto.jpg "
[ "$conffiles" = "$wanted" ] && pass "conffiles: $conffiles" || fail "conffiles are '$conffiles', not '$wanted'"

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

# install_package WHAT APT_ARGUMENTS...: apt-get install, or the check ends.
install_package() {
    local what=$1
    shift
    if apt-get install -y --no-install-recommends "$@" >"$work/install.log" 2>&1; then
        installed=1
        pass "apt-get install $what: $(dpkg-query -W -f '${Version}' ciarlatronix) installed"
    else
        cat "$work/install.log"
        die "apt-get install $what"
    fi
}
install_package "$(basename "$deb")" "$deb"

# A game: the command is a relative link into the program folder, where the three files
# are links to the user's files in /etc/ciarlatronix.
link=/usr/games/ciarlatronix
config=/etc/ciarlatronix
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
    [ "$(readlink "$folder/$name")" = "$config/$name" ] && [ -f "$config/$name" ] && [ ! -L "$config/$name" ] &&
        [ -s "$config/$name" ] && pass "$folder/$name -> $config/$name" ||
        fail "$folder/$name is no link to a file $config/$name"
done
[ -f /usr/share/man/man6/ciarlatronix.6.gz ] && zcat /usr/share/man/man6/ciarlatronix.6.gz | grep -q "$config" && pass "the manual page tells of $config" || fail "no manual page that tells of $config"
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

# start_program WHEN: starts the installed command and waits for its window. A message
# box about a file would come first and on its own; only the main window is 550x304.
# Leaves $window set (or empty) and the program ended.
start_program() {
    # Started from elsewhere, so its files can only be found through its own folder.
    (cd / && exec "${as_user[@]}" "$link") >"$work/program.log" 2>&1 &
    app=$!
    pids+=("$app")
    window=
    seen=
    local id deadline=$((SECONDS + 20))
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
        pass "$1: the installed program shows its 550x304 window"
    else
        kill -0 "$app" 2>/dev/null || echo "The program ended: $(cat "$work/program.log")"
        fail "$1: no 550x304 window within 20 s (windows seen:${seen:- none})"
    fi
}
stop_program() {
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
}

as_user=()
start_program "$version"
if [ -n "$window" ]; then
    wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"/\2/p')
    wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    [ "$wm_class" = "$wanted" ] && pass "WM_CLASS $wm_class matches StartupWMClass" ||
        fail "WM_CLASS is '$wm_class', the desktop entry says '$wanted'"
fi
stop_program

# A user who is not root: the command line with no display, and phrases of their own in
# ~/.config/ciarlatronix, which the program takes (no box about them) and which leave the
# system-wide files alone.
useradd -m ciarla 2>/dev/null || true
user_home=$(getent passwd ciarla | cut -d: -f6)
as_user=(setpriv --reuid=ciarla --regid=ciarla --init-groups env -i PATH=/usr/bin:/bin HOME="$user_home")
[ "$("${as_user[@]}" "$link" --version)" = "ciarlatronix 1.0.0.0" ] \
    && pass "a user: --version with no display" || fail "a user: --version says '$("${as_user[@]}" "$link" --version 2>&1)'"
"${as_user[@]}" "$link" --help | grep -qxF "  2. your own folder: $user_home/.config/ciarlatronix" \
    && pass "a user: --help names ~/.config/ciarlatronix" || fail "a user: --help: $("${as_user[@]}" "$link" --help 2>&1)"
system_phrases=$(sha256sum <"$config/cazzate.txt")
"${as_user[@]}" sh -c 'mkdir -p "$HOME/.config/ciarlatronix" && echo "Una cazzata mia, senza root" >"$HOME/.config/ciarlatronix/cazzate.txt"'
as_user+=(DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb)
start_program "a user with phrases of their own"
stop_program
# What the window shows, read as a screen reader reads it, on the user's own session bus
# with its accessibility bus: the tests' session kit, copied where the user can read it.
kit=$(mktemp -d /tmp/ciarla-kit.XXXXXX)
mkdir "$kit/e2e" "$kit/a11y" && cp "$source/tests/world.sh" "$kit/" && cp "$source/tests/e2e/session.sh" "$source/tests/e2e/qtbox.py" "$kit/e2e/" &&
    cp "$source/tests/a11y/tree.py" "$kit/a11y/"
chmod -R a+rX "$kit"
shown=$("${as_user[@]}" bash -c '. "$1/e2e/session.sh"; work=$(mktemp -d); pids=(); mkdir -m 700 "$work/run"
    session_a11y >&2; "$2" >/dev/null 2>&1 & pids+=($!)
    wait_for 30 shown_phrase "$!"; shown_phrase "$!"; for pid in "${pids[@]}"; do kill "$pid"; done; rm -rf "$work"' _ "$kit" "$link")
rm -rf "$kit"
[ "$shown" = "Una cazzata mia, senza root" ] && pass "a user: the window shows the phrase from ~/.config/ciarlatronix" \
    || fail "a user: the window shows '$shown'"
[ "$(sha256sum <"$config/cazzate.txt")" = "$system_phrases" ] && pass "a user: $config/cazzate.txt untouched" \
    || fail "a user: $config/cazzate.txt changed"
"${as_user[@]}" "$link" --frasi x 2>/dev/null
[ $? = 2 ] && pass "a user: an unknown option ends with status 2" || fail "a user: an unknown option does not end with 2"
as_user=()
userdel -r ciarla 2>/dev/null

# The user's own phrases, where README says to put them; a reinstall and an upgrade keep them.
own=$work/own.txt
printf 'Questa cazzata è mia./nE resta dopo ogni aggiornamento.\n' >"$own"
cp "$own" "$config/cazzate.txt"
kept() { # kept WHEN
    cmp -s "$own" "$config/cazzate.txt" && cmp -s "$own" "$folder/cazzate.txt" &&
        pass "$1: the user's cazzate.txt is kept" || fail "$1: the user's cazzate.txt was replaced"
}
install_package "--reinstall $(basename "$deb")" --reinstall "$deb"
kept "reinstalled"
install_package "$(basename "$upgrade_deb")" "$upgrade_deb"
[ "$(dpkg-query -W -f '${Version}' ciarlatronix)" = "$higher" ] && pass "upgraded to $higher" ||
    fail "not upgraded to $higher"
kept "upgraded"
start_program "$higher, with the user's phrases"
stop_program

# Removing leaves the user's files; purging takes them.
if apt-get remove -y ciarlatronix >"$work/remove.log" 2>&1 && [ ! -e "$link" ] && [ ! -e "$folder" ]; then
    pass "apt-get remove"
else
    cat "$work/remove.log"
    fail "apt-get remove left files behind"
fi
cmp -s "$own" "$config/cazzate.txt" && [ -s "$config/foto.jpg" ] && [ -s "$config/audio.wav" ] &&
    pass "removed: the three files stay in $config" || fail "removed: the files in $config are gone"
if apt-get purge -y ciarlatronix >"$work/purge.log" 2>&1 && [ ! -e "$config" ] &&
    ! dpkg-query -W ciarlatronix >/dev/null 2>&1; then
    installed=
    pass "apt-get purge: $config is gone"
else
    cat "$work/purge.log"
    ls -la "$config" 2>&1
    fail "apt-get purge left $config or the package behind"
fi

[ "$failed" -eq 0 ]
