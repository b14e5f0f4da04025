#!/usr/bin/env bash
# Makes the README's screenshots: the real program under Xvfb with a tray host, fed by the local
# directory emulator. Needs xdotool and imagemagick besides what `make test` installs.
#   tools/screenshots.sh [build/app/ostrel-radio]
set -uo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/app/ostrel-radio}")
out=docs/screenshots
work=$(mktemp -d)
pids=()
cleanup() {
    "$exe" --quit >/dev/null 2>&1
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime USER=ostrel-screenshots LANG=en_GB.UTF-8
mkdir -p "$XDG_RUNTIME_DIR" "$out" && chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x760x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
trayer --edge top --align right --widthtype request --height 28 --tint 0x2e3440 --transparent true --alpha 0 > /dev/null 2>&1 &
pids+=($!)
python3 tools/directory-emulator/emulator.py --port 0 > "$work/emulator.out" 2> /dev/null &
pids+=($!)
for _ in $(seq 100); do grep -q LISTENING "$work/emulator.out" 2>/dev/null && break; sleep 0.1; done
port=$(awk '/LISTENING/ {print $2}' "$work/emulator.out")

mkdir -p "$XDG_CONFIG_HOME/Ostrel Radio"
printf '[General]\nradioStationsCountryCode=DE\n' > "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
sleep 1
"$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" > "$work/app.log" 2>&1 &
pids+=($!)
sleep 2
# Open the popover as a user does: a click on the tray icon in the panel's right corner.
xdotool mousemove 1012 14 click 1
for _ in $(seq 100); do "$exe" --status 2>/dev/null | grep -q 'Stations"' && break; sleep 0.2; done
# Coordinates below are for this screen size and the popover under the icon.
for row in 251 299 347 443; do xdotool mousemove 977 $row click 1; sleep 0.3; done # four favourites
xdotool mousemove 700 720
sleep 1
import -window root "$out/popover.png"
xdotool mousemove 1000 208 click 1 # the tags menu
sleep 1.5
import -window root "$out/tags.png"
xdotool key Escape
sleep 0.5
xdotool mousemove 612 208 click 1 # the country picker
sleep 2.5
xdotool mousemove 700 720
sleep 0.5
import -window root "$out/countries.png"
xdotool mousemove 612 208 click 1
sleep 0.8
xdotool mousemove 700 176 click 1 # the server tab
sleep 1.5
import -window root "$out/server.png"
for shot in popover tags countries server; do
    convert "$out/$shot.png" -crop 500x700+524+0 +repage "$out/$shot.png"
done
echo "written: $out/popover.png $out/tags.png $out/countries.png $out/server.png"
