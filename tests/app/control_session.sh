#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# control_session.sh EXECUTABLE SOURCE_DIR: the player driven from outside its panel, as a
# keyboard shortcut or a desktop widget drives it: the command line of later launches and a real
# MPRIS client (playerctl), with two favourites streaming from a local Icecast.
set -uo pipefail
exe=$1 source=$2
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$source/tools/lib/desktop-session.sh"
desktop_session 1024x768 AT --height 32
export DBUS_SESSION_BUS_ADDRESS=$bus
server=(--server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port")
passed=0

# Two stations on the air.
gst-launch-1.0 -q audiotestsrc wave=sine num-buffers=300 samplesperbuffer=4410 ! audioconvert ! \
    audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate bitrate=128 cbr=true ! \
    filesink location="$work/tone.mp3" || fail "no test tone"
"${tether[@]}" python3 "$source/tools/media/icecast.py" --admin-password secret \
    --mount /eins.mp3="$work/tone.mp3:MP3" --mount /zwei.mp3="$work/tone.mp3:MP3" > "$work/icecast.out" 2> "$work/icecast.log" &
pids+=($!)
for _ in $(seq 300); do grep -q LISTENING "$work/icecast.out" 2>/dev/null && break; sleep 0.1; done
stream=$(awk '/LISTENING/ {print "http://127.0.0.1:" $2}' "$work/icecast.out")
[ -n "$stream" ] || fail "Icecast did not start: $(tail -n 5 "$work/icecast.log")"

# The favourites as the player keeps them (a station list file), and the first one's icon in
# the icon cache.
python3 - "$XDG_DATA_HOME/Ostrel Radio/favoriteStations.dat" "$stream" <<'PY'
import os, sys
def head(major, n):
    return bytes([major << 5 | n]) if n < 24 else bytes([major << 5 | 24, n])
def text(s):
    b = s.encode()
    return head(3, len(b)) + b
stations = [
    {"name": "Café Eins", "stationuuid": "11111111-1111-4111-8111-111111111111", "url": sys.argv[2] + "/eins.mp3",
     "favicon": "http://127.0.0.1:1/eins.png", "countrycode": "AT"},
    {"name": "Zweite Welle", "stationuuid": "22222222-2222-4222-8222-222222222222", "url": sys.argv[2] + "/zwei.mp3"},
]
body = head(4, len(stations)) + b"".join(head(5, len(s)) + b"".join(text(k) + text(v) for k, v in s.items()) for s in stations)
os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
open(sys.argv[1], "wb").write(b"\xd9\xd9\xf7\xda\x4f\x53\x54\x01" + body)
PY
icon="$XDG_CACHE_HOME/Ostrel Radio/Icons/OR_AT/11111111-1111-4111-8111-111111111111"
mkdir -p "$(dirname "$icon")" && cp "$source/dist/org.ostrel.Radio.svg" "$icon" 2>/dev/null || printf 'png' > "$icon"

status() { "$exe" --status 2>/dev/null; }
# fetch URL [USER:PASSWORD]: the body, or a failure.
fetch() {
    python3 - "$@" <<'PY'
import base64, sys, urllib.request
request = urllib.request.Request(sys.argv[1])
if len(sys.argv) > 2:
    request.add_header("Authorization", "Basic " + base64.b64encode(sys.argv[2].encode()).decode())
sys.stdout.buffer.write(urllib.request.urlopen(request, timeout=20).read())
PY
}
# Waits until --status contains every given text; the last status is in $now.
wait_status() {
    for _ in $(seq 150); do
        now=$(status)
        local all=1
        for want in "$@"; do case "$now" in *"$want"*) ;; *) all=0 ;; esac; done
        [ "$all" = 1 ] && return 0
        sleep 0.2
    done
    return 1
}
mpris() { playerctl --player=OstrelRadio "$@" 2>&1; }
# Waits until `playerctl ARGS` prints the expected text; the last answer is in $got.
wait_mpris() {
    local want=$1
    shift
    for _ in $(seq 150); do
        got=$(mpris "$@")
        [ "$got" = "$want" ] && return 0
        sleep 0.2
    done
    return 1
}
property() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.OstrelRadio /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Get string:"$1" string:"$2" | awk 'NR > 1 {print $NF}'
}
# One command line: its exit code and standard error must be these.
expect() {
    local code=$1 error=$2
    shift 2
    "$exe" "$@" > "$work/out" 2> "$work/err"
    local got=$?
    [ "$got" = "$code" ] || fail "ostrel-radio $*: exit $got, not $code ($(cat "$work/err"))"
    if [ -z "$error" ]; then
        [ -s "$work/err" ] && fail "ostrel-radio $*: said $(cat "$work/err")"
    else
        [ "$(wc -l < "$work/err")" = 1 ] && grep -qF "$error" "$work/err" ||
            fail "ostrel-radio $*: said '$(cat "$work/err")', not '$error'"
    fi
    passed=$((passed + 1))
}

# Nothing runs: the command starts the player quietly in the tray, which plays the favourite
# named without its accent and capitals.
expect 0 "" "${server[@]}" --play "cafe EINS"
wait_status '"state":"Playing"' '"station":"Café Eins"' '"trayIcon":true' '"popoverVisible":false' ||
    fail "--play did not start the player in the tray playing the favourite: $now"
[ "$(pgrep -fc "$exe --autostart")" = 1 ] || fail "not one player in the tray"

# The desktop's view of it, through a real MPRIS client.
wait_mpris Playing status || fail "playerctl status: $got"
wait_mpris "Café Eins" metadata xesam:album || fail "album: $got"
wait_mpris "Café Eins" metadata xesam:title || fail "title before the stream names one: $got"
wait_mpris "$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$icon")" metadata mpris:artUrl || fail "artUrl: $got"
first_track=$(mpris metadata mpris:trackid)
[ "$(property org.mpris.MediaPlayer2.Player CanGoNext)" = true ] || fail "CanGoNext with two favourites"
[ "$(property org.mpris.MediaPlayer2.Player CanGoPrevious)" = true ] || fail "CanGoPrevious with two favourites"
schemes=$(dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.OstrelRadio /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 string:SupportedUriSchemes | tr -d '\n')
case "$schemes" in *'"http"'*'"https"'*) ;; *) fail "SupportedUriSchemes: $schemes" ;; esac
passed=$((passed + 1))

# A title in "Artist - Title" form splits; each title is a track of its own, announced with
# PropertiesChanged (playerctl --follow prints what the signals bring).
"${tether[@]}" playerctl --player=OstrelRadio --follow metadata --format '{{xesam:artist}}|{{xesam:title}}|{{mpris:trackid}}' \
    > "$work/follow" 2>&1 &
pids+=($!)
for title in "Die Band - Das Lied" "Nur ein Titel"; do
    fetch "$stream/admin/metadata?mount=/eins.mp3&mode=updinfo&song=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$title")" admin:secret > /dev/null ||
        fail "Icecast took no title"
    case "$title" in
    *" - "*) want_artist=${title%% - *} want_title=${title#* - } ;;
    *) want_artist="" want_title=$title ;;
    esac
    wait_mpris "$want_title" metadata xesam:title || fail "title of '$title': $got"
    # A title alone has no artist: playerctl finds none to print.
    artist=$(playerctl --player=OstrelRadio metadata xesam:artist 2>/dev/null)
    [ "$artist" = "$want_artist" ] || fail "artist of '$title': $artist"
    for _ in $(seq 100); do grep -qF "$want_artist|$want_title|" "$work/follow" && break; sleep 0.1; done
    grep -qF "$want_artist|$want_title|" "$work/follow" || fail "no PropertiesChanged for '$title': $(cat "$work/follow")"
done
[ "$(mpris metadata mpris:trackid)" != "$first_track" ] || fail "the track id did not change with the title"
[ "$(cut -d'|' -f3 "$work/follow" | sort -u | wc -l)" -ge 3 ] || fail "track ids followed: $(cat "$work/follow")"
passed=$((passed + 1))

# Next and previous go through the favourites, wrapping, from the command line and MPRIS alike.
for step in "next Zweite Welle" "next Café Eins" "previous Zweite Welle" "previous Café Eins"; do
    set -- $step
    expect 0 "" "--$1"
    wait_status "\"station\":\"${step#* }\"" '"state":"Playing"' || fail "--$1: $now"
done
mpris next || fail "playerctl next"
wait_mpris "Zweite Welle" metadata xesam:album || fail "MPRIS Next: $got"
mpris previous || fail "playerctl previous"
wait_mpris "Café Eins" metadata xesam:album || fail "MPRIS Previous: $got"

# The volume, both ways: the setting the panel's slider shows.
mpris volume 0.4 || fail "playerctl volume"
wait_status '"volume":40' || fail "MPRIS Volume did not set the volume: $now"
expect 0 "" --volume +15
wait_mpris 0.550000 volume || fail "--volume +15 as MPRIS sees it: $got"
expect 0 "" --volume -60
wait_mpris 0.000000 volume || fail "--volume -60 stops at silence: $got"
expect 0 "" --volume 100
for _ in $(seq 100); do grep -q '^radioVolume=1$' "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini" && break; sleep 0.1; done
grep -q '^radioVolume=1$' "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini" || fail "the volume setting is not kept"

# Stop, toggle, play the loaded station.
expect 0 "" --stop
wait_mpris Stopped status || fail "--stop: $got"
expect 0 "" --toggle
wait_mpris Playing status || fail "--toggle after a stop: $got"
expect 0 "" --toggle
wait_mpris Stopped status || fail "--toggle while playing: $got"
expect 0 "" --play
wait_mpris Playing status || fail "--play of the loaded station: $got"

# Identifiers: a favourite's, and any station of the directory.
expect 0 "" --play 22222222-2222-4222-8222-222222222222
wait_status '"station":"Zweite Welle"' || fail "--play by a favourite's identifier: $now"
listed=$(fetch "http://127.0.0.1:$port/json/stations/bycountrycodeexact/AT" |
    python3 -c '
import json, re, sys
# One the player keeps as it is: a plain name, a web address, a bit rate, an identifier.
s = next(s for s in json.load(sys.stdin) if isinstance(s.get("name"), str) and re.fullmatch(r"\w[\w ]*\w", s["name"]) and
         str(s.get("url")).startswith("http") and isinstance(s.get("bitrate"), int) and isinstance(s.get("stationuuid"), str))
print(s["stationuuid"] + "\t" + s["name"])')
[ -n "$listed" ] || fail "the directory lists no station to play by its identifier"
expect 0 "" --play "${listed%%$'\t'*}"
wait_status "\"station\":\"$(printf '%s' "${listed#*$'\t'}" | python3 -c 'import json, sys; print(json.dumps(sys.stdin.read(), ensure_ascii=False)[1:-1])')\"" ||
    fail "--play by a directory identifier: $now"
expect 1 "has no station with the identifier" --play 99999999-9999-4999-8999-999999999999

# An address plays once and joins no list; MPRIS OpenUri does the same and refuses other schemes.
# Named by the stream itself (its ICY name).
expect 0 "" --play "$stream/zwei.mp3"
wait_status '"station":"Test Station"' '"state":"Playing"' "\"url\":\"$stream/zwei.mp3\"" || fail "--play of an address: $now"
mpris open "$stream/eins.mp3" || fail "playerctl open"
wait_status '"state":"Playing"' "\"url\":\"$stream/eins.mp3\"" || fail "OpenUri: $now"
mpris open "file:///etc/passwd" > /dev/null && fail "OpenUri took a file"
wait_status "\"url\":\"$stream/eins.mp3\"" || fail "a refused OpenUri changed the station: $now"
[ ! -e "$XDG_DATA_HOME/Ostrel Radio/recentStations.dat" ] ||
    python3 -c 'import sys; sys.exit(b"Test Station" in open(sys.argv[1], "rb").read())' "$XDG_DATA_HOME/Ostrel Radio/recentStations.dat" ||
    fail "a one-off address went into the recents"
passed=$((passed + 1))

# What cannot be done, in one line; usage errors apart.
expect 1 "No favourite or recent station matches 'Nirgendwo'" --play Nirgendwo
expect 1 "Not a web address: 'ftp://127.0.0.1/x'" --play ftp://127.0.0.1/x
expect 2 "no volume" --volume 101
expect 2 "cannot go together" --next --stop
echo "$passed passed, 0 failed"
