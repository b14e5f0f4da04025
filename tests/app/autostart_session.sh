#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# autostart_session.sh EXECUTABLE SOURCE_DIR: a login where the player starts before the tray
# host. With --autostart it must wait for the tray and sit there quietly, no window open; the
# media keys (MPRIS Play) play the station of the last session before the panel was ever opened.
set -uo pipefail
exe=$1 source=$2
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$source/tools/lib/desktop-session.sh"
desktop_session 1024x768 AT --no-tray # the tray host comes later
export DBUS_SESSION_BUS_ADDRESS=$bus

# The station loaded when the last session ended, as the player keeps it.
python3 - "$XDG_DATA_HOME/Ostrel Radio/loadedStation.dat" "http://127.0.0.1:$port/no-such-stream" <<'PY'
import os, sys
def text(s):
    b = s.encode()
    return (bytes([0x60 + len(b)]) if len(b) < 24 else bytes([0x78, len(b)])) + b
station = {"name": "Restored FM", "stationuuid": "restored-1", "url": sys.argv[2]}
body = bytes([0xa0 + len(station)]) + b"".join(text(k) + text(v) for k, v in station.items())
os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
open(sys.argv[1], "wb").write(b"\xd9\xd9\xf7\xda\x4f\x53\x54\x01\x81" + body)
PY

"$exe" --autostart --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" > "$work/app.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do "$exe" --status > /dev/null 2>&1 && break; sleep 0.2; done
"${tether[@]}" trayer --edge top --align right --widthtype request --height 32 > "$work/trayer.log" 2>&1 &
pids+=($!)

status=""
for _ in $(seq 150); do
    status=$("$exe" --status 2>/dev/null)
    case "$status" in *'"trayIcon":true'*) break ;; esac
    sleep 0.2
done
echo "status: $status"
case "$status" in *'"trayIcon":true'*) ;; *) fail "the player did not wait for the tray" ;; esac
case "$status" in *'"popoverVisible":false'*) ;; *) fail "the player opened its panel at login" ;; esac
case "$status" in *'"station":"Restored FM"'*) ;; *) fail "the last session's station is not loaded" ;; esac

dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.OstrelRadio /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Player.Play > /dev/null || fail "MPRIS Play was refused"
for _ in $(seq 100); do
    status=$("$exe" --status 2>/dev/null)
    case "$status" in *'"state":"Stopped"'*) sleep 0.2 ;; *) break ;; esac
done
echo "after Play: $status"
case "$status" in *'"state":"Stopped"'*) fail "MPRIS Play did nothing before the panel was opened" ;; esac
case "$status" in *'"popoverVisible":false'*) ;; *) fail "MPRIS Play opened the panel" ;; esac
echo "1 passed, 0 failed"
