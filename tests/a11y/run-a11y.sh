#!/bin/bash
# What a screen reader gets from the real program: an X server, a private session bus with
# the accessibility bus, and a small AT-SPI client that reads every object of the window,
# presses the controls through their actions, hears what each press announces, and answers
# the box that a press shows once the phrase file is gone. Usage: run-a11y.sh PROGRAM.
# Exit 77: tools missing.
set -uo pipefail

# Whatever happens, the whole run ends within a minute.
if [ -z "${CIARLA_A11Y_BOUNDED:-}" ]; then
    CIARLA_A11Y_BOUNDED=1 exec timeout -k 5 60 "$0" "$@"
fi

program=$(readlink -f "${1:?usage: run-a11y.sh PROGRAM}")
samples=$(dirname "$program")
here=$(dirname "$(readlink -f "$0")")
launcher=/usr/libexec/at-spi-bus-launcher
registry=/usr/libexec/at-spi2-registryd
for tool in Xvfb xdpyinfo dbus-daemon dbus-send "$launcher" "$registry"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
# The bindings come with the system's Python, which may not be the first on PATH.
python=
for candidate in /usr/bin/python3 python3; do
    "$candidate" -c 'import pyatspi' 2>/dev/null && { python=$candidate; break; }
done
[ -n "$python" ] || { echo "SKIP: python3-pyatspi is missing"; exit 77; }

work=$(mktemp -d /tmp/ciarla-a11y.XXXXXX)
pids=()
cleanup() {
    # Last started, first stopped: the program before the buses it talks to.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: stopped"; exit 1' TERM INT

# A program folder whose phrase file has one line, an ampersand and a line break in it.
mkdir "$work/app" "$work/bin" "$work/run"
cp "$program" "$samples/foto.jpg" "$samples/audio.wav" "$work/app/"
printf 'Una &sola cazzata/nper il lettore\r\n' >"$work/app/cazzate.txt"
shown=$'Una sola cazzata\nper il lettore'

# The browser is a script that writes down what it was asked to open.
cat >"$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
echo "\$@" >>"$work/opened.log"
SCRIPT
chmod +x "$work/bin/xdg-open"

# The tests' own fonts, locale, style and settings.
. "$here/../world.sh"
world_enter "$work/world"
export PATH="$work/bin:$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
unset BROWSER AT_SPI_BUS_ADDRESS
chmod 700 "$work/run"

export DISPLAY=:$((700 + $$ % 200))
Xvfb "$DISPLAY" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/run/bus" >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/run/bus"
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && [ -S "$work/run/bus" ] && break
    sleep 0.1
done
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && break
    sleep 0.1
done
"$registry" >"$work/registry.log" 2>&1 &
pids+=($!)
# Ready once the registry holds its name on the accessibility bus.
a11y_bus=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')
for _ in $(seq 100); do
    dbus-send --bus="$a11y_bus" --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry 2>/dev/null | grep -q true && break
    sleep 0.1
done

"$work/app/Ciarlatronix" >"$work/program.log" 2>&1 &
app=$!
pids+=($app)

"$python" "$here/client.py" "$app" "$shown" "$work/opened.log" "$work/app/cazzate.txt"
status=$?
if [ "$status" != 0 ]; then
    echo "--- program output"; cat "$work/program.log"
fi
exit "$status"
