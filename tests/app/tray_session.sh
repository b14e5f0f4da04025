#!/usr/bin/env bash
# tray_session.sh EXECUTABLE SOURCE_DIR: the real program under Xvfb with a tray host (trayer)
# and the local directory emulator. `--show` must open the popover from the tray icon, and the
# status line must come to count the country's stations.
set -uo pipefail
exe=$1 source=$2
source "$source/tools/lib/desktop-session.sh"
desktop_session 1280x900 AT --height 32

"$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show > "$work/app.log" 2>&1 &
pids+=($!)

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

# A second launch does not start a second program: it opens the running one's popover.
"$exe" --show || fail "a second launch failed"
[ "$(pgrep -fc "$exe --server http://127.0.0.1:$port")" = "1" ] || fail "a second instance is running"
echo "1 passed, 0 failed"
