#!/usr/bin/env bash
# Makes the README's screenshots: the real program under Xvfb with a tray host, fed by the local
# directory emulator. Needs xdotool and imagemagick besides what `make test` installs.
#   tools/screenshots.sh [build/app/ostrel-radio]
set -uo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/app/ostrel-radio}")
out=docs/screenshots
source=$PWD
source tools/lib/desktop-session.sh
export LANG=en_GB.UTF-8
mkdir -p "$out"
desktop_session 1024x760 DE --height 28 --tint 0x2e3440 --transparent true --alpha 0

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
# Searching everywhere: the same program started again with "Everywhere" as its country.
"$exe" --quit > /dev/null 2>&1
for _ in $(seq 50); do "$exe" --status > /dev/null 2>&1 || break; sleep 0.2; done
sed -i 's/^radioStationsCountryCode=.*/radioStationsCountryCode=*/' "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
"$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" >> "$work/app.log" 2>&1 &
pids+=($!)
sleep 2
xdotool mousemove 1012 14 click 1
sleep 1
xdotool type --delay 120 "jazz" # the search field has the focus when the panel opens
for _ in $(seq 100); do "$exe" --status 2>/dev/null | grep -q '[1-9][0-9]* Stations"' && break; sleep 0.2; done
xdotool mousemove 700 720
sleep 1
import -window root "$out/everywhere.png"
for shot in popover tags countries server everywhere; do
    convert "$out/$shot.png" -crop 500x700+524+0 +repage "$out/$shot.png"
done
echo "written: $out/popover.png $out/tags.png $out/countries.png $out/server.png $out/everywhere.png"
