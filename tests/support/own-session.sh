#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# own-session.sh COMMAND...: runs a test in a session of its own, whatever desktop it is started
# from: a fresh home and fresh XDG folders (the runtime folder too, so no socket of a running
# player or sound server is found), a private session bus, no display, no accessibility bus, no
# desktop theme and no sound server started on demand. The language comes from CTest.
set -u
work=$(mktemp -d "${TMPDIR:-/tmp}/ostrel-test.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
       XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/QtProject" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" \
         "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR" || exit 1
# Found before a system-wide qtlogging.ini, which may turn off the log lines tests wait for.
printf '[Rules]\n' > "$XDG_CONFIG_HOME/QtProject/qtlogging.ini"
# PulseAudio would start a server of its own for the first client.
printf 'autospawn = no\n' > "$work/pulse-client.conf"
export PULSE_CLIENTCONFIG="$work/pulse-client.conf"

unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SESSION_MANAGER \
      PULSE_SERVER PULSE_RUNTIME_PATH PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR \
      XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP XDG_SESSION_TYPE DESKTOP_SESSION GTK_MODULES \
      QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI \
      QT_LOGGING_RULES QT_LOGGING_CONF GST_PLUGIN_PATH OSTREL_AUDIO_SINK

dbus-run-session -- "$@"
