#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# test-desktop.sh [BUILD_DIR [CTEST_ARGUMENT...]]: the whole suite as on a contributor's desktop.
# Installs what desktops with the common music players and codecs have (more GStreamer plug-ins,
# a SID decoder, PipeWire and PulseAudio support, mpv, ffmpeg, D-Bus activation on X11), then runs
# the suite in a lived-in session: German language and numbers, a running session bus, display
# with a tray host, sound server and Ostrel Radio, and XDG folders that hold the user's own files.
# The tests must pass all the same: each one runs in a session of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$(realpath "${1:-build}")
shift || true

extras=(gstreamer1.0-plugins-ugly libsidplay1v5 gstreamer1.0-vaapi gstreamer1.0-pipewire
        gstreamer1.0-pulseaudio pipewire pipewire-pulse pipewire-alsa wireplumber mpv ffmpeg dbus-x11)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in "${extras[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -q
    available=()
    for p in "${missing[@]}"; do
        if [ -n "$(apt-cache policy "$p" | sed -n 's/^ *Candidate: *//p' | grep -v '(none)')" ]; then
            available+=("$p")
        else
            echo "not in this distribution's archive: $p"
        fi
    done
    echo "Installing: ${available[*]}"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${available[@]}"
fi

# The lived-in session, everything in it ended with this script.
home=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
tether=(env TETHER_PARENT=$$ python3 "$source/tests/support/tether.py")

export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
       XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/runtime
# Handed to the player and the suite only: bash itself would warn where the locale is not built.
language=(LANG=de_DE.UTF-8 LANGUAGE=de:en LC_NUMERIC=de_DE.UTF-8 LC_TIME=de_DE.UTF-8)
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Ostrel Radio" "$XDG_CONFIG_HOME/QtProject" "$XDG_CACHE_HOME/Ostrel Radio"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nradioStationsCountryCode=JP\n' > "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
printf '[Rules]\n*.debug=false\n*.info=false\n' > "$XDG_CONFIG_HOME/QtProject/qtlogging.ini"

exec 3> "$home/bus"
"${tether[@]}" dbus-daemon --session --nofork --print-address=3 &
pids+=($!)
exec 3> "$home/display"
"${tether[@]}" Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$home/bus" ] && [ -s "$home/display" ] && break; sleep 0.1; done
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$home/bus") DISPLAY=:$(head -n 1 "$home/display")
export DBUS_SESSION_BUS_ADDRESS DISPLAY
"${tether[@]}" trayer --edge top --align right --widthtype request --height 32 > /dev/null 2>&1 &
pids+=($!)
for server in pipewire wireplumber pipewire-pulse; do
    command -v "$server" > /dev/null || continue
    "${tether[@]}" "$server" > "$home/$server.log" 2>&1 &
    pids+=($!)
done
# The player itself, as a user has it running; nowhere to fetch its stations from.
"${tether[@]}" env "${language[@]}" "$build/app/ostrel-radio" --server http://127.0.0.1:9 --discovery http://127.0.0.1:9 \
    > "$home/player.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do "$build/app/ostrel-radio" --status > /dev/null 2>&1 && break; sleep 0.2; done
"$build/app/ostrel-radio" --status > /dev/null 2>&1 || { echo "the session's player did not start"; cat "$home/player.log"; }

echo "Session: ${language[*]} DISPLAY=$DISPLAY bus $DBUS_SESSION_BUS_ADDRESS"
echo "Running: $(ls "$XDG_RUNTIME_DIR" | tr '\n' ' ')"
cd "$build"
env "${language[@]}" ctest --output-on-failure --timeout 600 "$@"
