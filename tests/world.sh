#!/bin/bash
# The tests' own world: whatever fonts, desktop, locale and Wine set-up the machine has, a test
# that draws, reads text off the screen or drives a session sees only this. The program itself
# keeps the system's fonts; only the tests' runs are pointed here.
#   Sourced (tests/e2e/session.sh):  world_enter DIR   sets it up in DIR for this shell.
#   Run (ctest, tools/*.sh):         tests/world.sh [VAR=VALUE...] COMMAND [ARG...]
#     runs COMMAND in a world of its own, in a scratch folder removed afterwards; the
#     VAR=VALUE pairs are a test's own settings on top of the world's.

# The fonts tools/install-deps.sh installs for the tests, and nothing else.
world_fonts=/usr/share/fonts/truetype/dejavu

# world_enter DIR: the fonts, locale, style, DPI and settings folders, all made in DIR.
world_enter() {
    local dir=$1
    mkdir -p "$dir/fontcache" "$dir/home" "$dir/config" "$dir/xdg" "$dir/cache" "$dir/data"
    # Debian 12's defaults for these fonts, written out: no <include> of the machine's own
    # settings, so neither its fonts nor its choices of smoothing and hinting come in.
    cat >"$dir/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$world_fonts</dir>
  <cachedir>$dir/fontcache</cachedir>
  <match target="pattern">
    <test qual="all" name="family" compare="not_eq"><string>sans-serif</string></test>
    <test qual="all" name="family" compare="not_eq"><string>serif</string></test>
    <test qual="all" name="family" compare="not_eq"><string>monospace</string></test>
    <edit name="family" mode="append_last"><string>sans-serif</string></edit>
  </match>
  <alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias><family>serif</family><prefer><family>DejaVu Serif</family></prefer></alias>
  <alias><family>monospace</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>
  <match target="pattern">
    <edit name="antialias" mode="append"><bool>true</bool></edit>
    <edit name="hintstyle" mode="append"><const>hintslight</const></edit>
    <edit name="lcdfilter" mode="append"><const>lcddefault</const></edit>
  </match>
  <!-- DejaVu's own rule: no hinting below 8 pixels. -->
  <match target="font">
    <test name="family"><string>DejaVu Sans</string></test>
    <test name="pixelsize" compare="less"><double>7.5</double></test>
    <edit name="hinting"><bool>false</bool></edit>
  </match>
  <config><rescan><int>0</int></rescan></config>
</fontconfig>
CONF
    export FONTCONFIG_FILE="$dir/fonts.conf"
    unset FONTCONFIG_PATH FONTCONFIG_SYSROOT FC_DEBUG
    # The machine's desktop settings: locale, toolkit themes, scaling, settings folders.
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    unset LANGUAGE
    export HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_CONFIG_DIRS="$dir/xdg" \
        XDG_CACHE_HOME="$dir/cache" XDG_DATA_HOME="$dir/data" XDG_DATA_DIRS=/usr/share
    unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP XDG_SESSION_TYPE DESKTOP_SESSION \
        GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION KDE_SESSION_VERSION WAYLAND_DISPLAY \
        GTK_THEME GTK2_RC_FILES GDK_SCALE GDK_DPI_SCALE XRESOURCES
    export QT_STYLE_OVERRIDE=Fusion QT_FONT_DPI=96
    unset QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
        QT_ENABLE_HIGHDPI_SCALING QT_SCALE_FACTOR_ROUNDING_POLICY QT_USE_PHYSICAL_DPI QT_QPA_FONTDIR \
        QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH QT_LOGGING_RULES QT_DEVICE_PIXEL_RATIO
    # Wine: no prefix but the one a test makes (HOME above hides ~/.wine), no other install.
    unset WINEPREFIX WINELOADER WINESERVER WINEDLLPATH WINEDLLOVERRIDES WINEARCH WINEDEBUG
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    world=$(mktemp -d "${TMPDIR:-/tmp}/ciarla-world.XXXXXX")
    trap 'rm -rf "$world"' EXIT
    world_enter "$world"
    # Not exec: the scratch folder goes when the command ends; a stop is passed on to it.
    env "$@" &
    child=$!
    trap 'kill "$child" 2>/dev/null' TERM INT
    wait "$child" && status=0 || status=$?
    exit "$status"
fi
