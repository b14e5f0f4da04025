#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tray_session.sh EXECUTABLE SOURCE_DIR: the real program under Xvfb with a tray host (trayer)
# and the local directory emulator. `--show` must open the popover from the tray icon, under
# it also when the host places the icon late, and the status line must come to count the
# country's stations. The wheel and a middle click over the icon are sent with xdotool.
set -uo pipefail
exe=$1 source=$2
source "$source/tools/lib/desktop-session.sh"
desktop_session 1280x900 AT --height 32

# A loaded station that plays: a minute of tone in a WAV file, served over HTTP on loopback,
# remembered as "loadedStation.dat" (the program's CBOR list file with one station).
mkdir -p "$work/stream" "$XDG_DATA_HOME/Ostrel Radio"
gst-launch-1.0 -q audiotestsrc num-buffers=600 samplesperbuffer=800 ! audio/x-raw,rate=8000,channels=1 ! \
    wavenc ! filesink location="$work/stream/tone.wav" || fail "gst-launch-1.0 could not write the tone"
"${tether[@]}" python3 -u -m http.server --bind 127.0.0.1 --directory "$work/stream" 0 > "$work/stream.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "port [0-9]" "$work/stream.log" 2>/dev/null && break; sleep 0.1; done
stream_port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/stream.log" | head -n 1)
[ -n "$stream_port" ] || fail "the stream server did not start"
python3 - "$XDG_DATA_HOME/Ostrel Radio/loadedStation.dat" "http://127.0.0.1:$stream_port/tone.wav" <<'PY'
import struct, sys
def head(major, n):
    if n < 24: return bytes([major << 5 | n])
    for extra, fmt in ((24, ">B"), (25, ">H"), (26, ">I")):
        if n < 1 << (8 * struct.calcsize(fmt)): return bytes([major << 5 | extra]) + struct.pack(fmt, n)
def text(s):
    b = s.encode()
    return head(3, len(b)) + b
station = {"stationuuid": "5e1d0c52-0000-4000-8000-00000000a1a1", "name": "Loopback Tone", "url": sys.argv[2]}
body = head(4, 1) + head(5, len(station)) + b"".join(text(k) + text(v) for k, v in station.items())
open(sys.argv[1], "wb").write(head(6, 55799) + head(6, 0x4F535401) + body)
PY
export OSTREL_AUDIO_SINK="fakesink sync=true"

"$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show > "$work/app.log" 2>&1 &
app=$!
pids+=($app)

status=""
for _ in $(seq 150); do
    status=$("$exe" --status 2>/dev/null)
    case "$status" in *'"message":"92 Stations"'*) break ;; esac
    sleep 0.2
done
echo "status: $status"
case "$status" in *'"message":"92 Stations"'*) ;; *) fail "the status line never counted the stations" ;; esac
case "$status" in *'"trayIcon":true'*) ;; *) fail "no tray icon: the program fell back to a window" ;; esac
case "$status" in *'"popoverVisible":true'*) ;; *) fail "--show did not open the popover" ;; esac
case "$status" in *'"state":"Stopped"'*'"title":""'*'"volume":100'*) ;; *) fail "--status lacks the playback state" ;; esac

# Prints "x y width height" of the program's window that is (or is not) the icon.
window_of() {
    xwininfo -root -tree | awk -v icon="$1" '/"Ostrel Radio": \("ostrel-radio"/ {
        split($(NF-1), size, /[x+]/); split($NF, at, "+")
        if ((icon == "icon") == (size[1] < 100)) print at[2], at[3], size[1], size[2] }'
}
# Waits for the panel to stand under the icon (trayer sits at the top right); the last places
# seen are in $placement.
panel_goes_under_icon() {
    local ix iy iw ih px py pw ph
    for _ in $(seq 50); do
        read -r ix iy iw ih < <(window_of icon)
        read -r px py pw ph < <(window_of panel)
        placement="icon ${ix:-?},${iy:-?} ${iw:-?}x${ih:-?}, panel ${px:-?},${py:-?} ${pw:-?}x${ph:-?}"
        if [ -n "${ix:-}" ] && [ -n "${px:-}" ] && [ "$px" -le $((ix + iw / 2)) ] &&
            [ $((px + pw)) -ge $((ix + iw / 2)) ] && [ "$py" -ge $((iy + ih)) ]; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# `--show` came before the tray host had placed the icon: the panel opens under the icon, not
# where the icon was before the host took it.
panel_goes_under_icon || fail "the panel did not open under the tray icon: $placement"
echo "placement: $placement"

# Waits for --status to contain the text; the last answer is in $status.
status_shows() {
    for _ in $(seq 100); do
        status=$("$exe" --status 2>/dev/null)
        case "$status" in *"$1"*) return 0 ;; esac
        sleep 0.2
    done
    return 1
}
# As in other tray players, the wheel over the icon sets the volume in steps of 5 % and a middle
# click plays or stops the loaded station.
read -r ix iy iw ih < <(window_of icon)
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 5 click 5
status_shows '"volume":90' || fail "two notches down did not lower the volume to 90: $status"
xdotool click 4
status_shows '"volume":95' || fail "a notch up did not raise the volume to 95: $status"
xdotool click 2
status_shows '"state":"Playing"' || fail "a middle click did not play the loaded station: $status"
xdotool click 2
status_shows '"state":"Stopped"' || fail "a second middle click did not stop it: $status"
echo "wheel and middle click: $status"

# A second launch does not start a second program: it opens the running one's popover.
"$exe" --show || fail "a second launch failed"
[ "$(pgrep -fc "$exe --server http://127.0.0.1:$port")" = "1" ] || fail "a second instance is running"

# A host slow to place the icon (held here until the panel is open): the panel opens at the
# pointer rather than at the top left, and moves under the icon once the host has placed it.
"$exe" --quit >/dev/null 2>&1
wait "$app"
trayer=$(for p in "${pids[@]}"; do pgrep -P "$p" -x trayer; done | head -n 1)
[ -n "$trayer" ] || fail "trayer not found"
kill -STOP "$trayer"
"$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show >> "$work/app.log" 2>&1 &
pids+=($!)
for _ in $(seq 150); do
    case "$("$exe" --status 2>/dev/null)" in *'"popoverVisible":true'*) break ;; esac
    sleep 0.2
done
read -r px py pw ph < <(window_of panel)
kill -CONT "$trayer"
echo "before the icon was placed: panel ${px:-?},${py:-?}"
[ -n "${px:-}" ] || fail "--show did not open the popover while the tray host was busy"
[ "$px" -gt 0 ] || fail "the panel opened at the top left before the icon was placed"
panel_goes_under_icon || fail "the panel did not move under the tray icon once it was placed: $placement"
echo "placement: $placement"
echo "1 passed, 0 failed"
