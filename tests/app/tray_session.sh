#!/usr/bin/env bash
# tray_session.sh EXECUTABLE SOURCE_DIR: the real program under Xvfb with a tray host (trayer)
# and the local directory emulator. `--show` must open the popover from the tray icon, and the
# status line must come to count the country's stations.
set -uo pipefail
exe=$1 source=$2
work=$(mktemp -d)
pids=()
cleanup() {
    "$exe" --quit >/dev/null 2>&1
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/app.log" ] && tail -n 20 "$work/app.log"; exit 1; }

export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime USER=ostrel-tray-test-$$
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM

# A display of our own.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$work/display")

trayer --edge top --align right --widthtype request --height 32 > "$work/trayer.log" 2>&1 &
pids+=($!)

python3 "$source/tools/directory-emulator/emulator.py" --port 0 > "$work/emulator.out" 2> "$work/emulator.log" &
pids+=($!)
for _ in $(seq 100); do grep -q LISTENING "$work/emulator.out" 2>/dev/null && break; sleep 0.1; done
port=$(awk '/LISTENING/ {print $2}' "$work/emulator.out")
[ -n "$port" ] || fail "the directory emulator did not start"

mkdir -p "$XDG_CONFIG_HOME/Ostrel Radio"
printf '[General]\nradioStationsCountryCode=AT\n' > "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
sleep 1 # let trayer take the tray selection
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
[ "$(pgrep -fc "$exe --server")" = "1" ] || fail "a second instance is running"
echo "1 passed, 0 failed"
