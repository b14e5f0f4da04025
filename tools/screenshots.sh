#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's screenshots: the real program under Xvfb with a tray host, fed by the local
# directory emulator and a local Icecast stream. The pictures are driven the way a user gets
# there: tools/lib/screenshots.py finds each control by its accessible name on the
# accessibility bus and clicks it with xdotool, and waits for what the program shows next.
# Each picture is taken in the light and the dark scheme, which a desktop portal on the private
# session bus switches (tests/support/portal_settings.py), at 1x and at 2x (QT_SCALE_FACTOR):
# docs/screenshots/{light,dark}/NAME.png and NAME@2x.png.
# Needs what `make test` installs; optipng, when there, makes the pictures smaller.
#   tools/screenshots.sh [build/app/ostrel-radio] [1 2]   (the scales to make, both by default)
set -uo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/app/ostrel-radio}")
shift $(($# > 0 ? 1 : 0))
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 2)
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$exe" "${scales[@]}"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
out=$PWD/docs/screenshots
source=$PWD
source tools/lib/desktop-session.sh
export LANG=en_GB.UTF-8
mkdir -p "$out"
desktop_session 2048x1520 DE --height 28 --tint 0x2e3440 --transparent true --alpha 0
export DBUS_SESSION_BUS_ADDRESS=$bus QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# The desktop's colour scheme, light at first; the driver switches it for each picture.
desktop_portal light

# A station of one's own for the "Add a station" dialog: an Icecast stream, and a playlist
# naming it, served as a station's web site would.
gst-launch-1.0 -q audiotestsrc wave=sine volume=0.2 num-buffers=300 samplesperbuffer=4410 ! audioconvert ! \
    audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate bitrate=128 cbr=true ! \
    filesink location="$work/tone.mp3" || fail "no test tone"
"${tether[@]}" python3 "$source/tools/media/icecast.py" --mount /live.mp3="$work/tone.mp3:MP3" \
    > "$work/icecast.out" 2> "$work/icecast.log" &
pids+=($!)
for _ in $(seq 300); do grep -q LISTENING "$work/icecast.out" 2>/dev/null && break; sleep 0.1; done
stream=$(awk '/LISTENING/ {print "http://127.0.0.1:" $2 "/live.mp3"}' "$work/icecast.out")
[ -n "$stream" ] || fail "Icecast did not start: $(tail -n 5 "$work/icecast.log")"
mkdir -p "$work/site"
printf '[playlist]\nNumberOfEntries=1\nFile1=%s\nTitle1=Radio Lindenhof\nLength1=-1\nVersion=2\n' "$stream" \
    > "$work/site/lindenhof.pls"
"${tether[@]}" python3 -u -m http.server --bind 127.0.0.1 --directory "$work/site" 0 > "$work/site.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q 'port [0-9]' "$work/site.out" 2>/dev/null && break; sleep 0.1; done
site=$(sed -n 's/.* port \([0-9]*\).*/http:\/\/127.0.0.1:\1/p' "$work/site.out" | head -n 1)
[ -n "$site" ] || fail "the playlist server did not start"

# Songs heard this morning and yesterday, for the History tab, in the song history file's layout.
mkdir -p "$XDG_DATA_HOME/Ostrel Radio"
python3 - "$XDG_DATA_HOME/Ostrel Radio/songHistory.dat" <<'PY'
import struct, sys, time
def head(major, n):
    if n < 24:
        return bytes([major << 5 | n])
    for info, fmt in ((24, ">B"), (25, ">H"), (26, ">I"), (27, ">Q")):
        if n < 1 << (8 * struct.calcsize(fmt)):
            return bytes([major << 5 | info]) + struct.pack(fmt, n)
def text(s):
    data = s.encode()
    return head(3, len(data)) + data
def song(minutes_ago, title, station, starred=False):
    fields = {"name": text(station), "url": text("http://stream.example/" + station.replace(" ", "")),
              "stationuuid": text("example-" + station), "time": head(0, int((time.time() - minutes_ago * 60) * 1000)),
              "title": text(title)}
    if starred:
        fields["starred"] = b"\xf5"
    return head(5, len(fields)) + b"".join(text(k) + v for k, v in fields.items())
songs = [song(3, "Nils Frahm - Says", "Deutschlandfunk Kultur"),
         song(9, "Ólafur Arnalds - Saman", "Deutschlandfunk Kultur", True),
         song(14, "Hania Rani - Eden", "radioeins"),
         song(21, "Kiasmos - Blurred", "radioeins"),
         song(26, "Agnes Obel - Riverside", "FluxFM", True),
         song(24 * 60 + 30, "Röyksopp - Eple", "FluxFM"),
         song(24 * 60 + 36, "Moderat - A New Error", "FluxFM")]
with open(sys.argv[1], "wb") as f:
    f.write(head(6, 55799) + head(6, 0x4F534801) + head(4, len(songs)) + b"".join(songs))
PY

start() {
    QT_SCALE_FACTOR=$1 "$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show \
        >> "$work/app.log" 2>&1 &
    pids+=($!)
}
stop() {
    "$exe" --quit > /dev/null 2>&1
    for _ in $(seq 50); do "$exe" --status > /dev/null 2>&1 || break; sleep 0.2; done
}

for scale in "${scales[@]}"; do
    suffix=$([ "$scale" = 1 ] && echo "" || echo "@${scale}x")
    # Each run starts from the country; the last one ended searching everywhere.
    sed -i 's/^radioStationsCountryCode=.*/radioStationsCountryCode=DE/' "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
    start "$scale"
    QT_SCALE_FACTOR=$scale OSTREL_EXE=$exe OUT=$out SUFFIX=$suffix /usr/bin/python3 "$source/tools/lib/screenshots.py" \
        panel "$site/lindenhof.pls" || fail "the pictures could not be made"
    stop
done

if command -v optipng > /dev/null; then optipng -quiet -o2 "$out"/*/*.png; fi
ls -l "$out"/*/*.png
