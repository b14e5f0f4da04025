#!/usr/bin/env bash
# autostart_session.sh EXECUTABLE SOURCE_DIR: a login where the player starts before the tray
# host. With --autostart it must wait for the tray and sit there quietly, no window open.
set -uo pipefail
exe=$1 source=$2
source "$source/tools/lib/desktop-session.sh"
desktop_session 1024x768 AT --no-tray # the tray host comes later

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
echo "1 passed, 0 failed"
