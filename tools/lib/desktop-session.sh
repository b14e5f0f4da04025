# Sourced by scripts that run the real program on a desktop of their own: a private Xvfb
# display, a tray host, the directory emulator and isolated XDG folders, all ended on exit.
# The caller sets `exe` (the program) and `source` (the project folder) first.
#   desktop_session WIDTHxHEIGHT COUNTRY [trayer options... | --no-tray]
#   then: $port, $work, fail, pids+=()

work=$(mktemp -d)
pids=()

desktop_cleanup() {
    "$exe" --quit >/dev/null 2>&1
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap desktop_cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$work/app.log" ] && tail -n 20 "$work/app.log"
    exit 1
}

desktop_session() {
    local size=$1 country=$2
    shift 2
    export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
    export XDG_RUNTIME_DIR=$work/runtime USER=ostrel-session-$$
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM

    exec 3> "$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp > "$work/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$work/display")

    if [ "${1:-}" != --no-tray ]; then
        trayer --edge top --align right --widthtype request "$@" > "$work/trayer.log" 2>&1 &
        pids+=($!)
    fi

    python3 "$source/tools/directory-emulator/emulator.py" --port 0 > "$work/emulator.out" 2> "$work/emulator.log" &
    pids+=($!)
    for _ in $(seq 100); do grep -q LISTENING "$work/emulator.out" 2>/dev/null && break; sleep 0.1; done
    port=$(awk '/LISTENING/ {print $2}' "$work/emulator.out")
    [ -n "$port" ] || fail "the directory emulator did not start"

    mkdir -p "$XDG_CONFIG_HOME/Ostrel Radio"
    printf '[General]\nradioStationsCountryCode=%s\n' "$country" > "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
    sleep 1 # let trayer take the tray selection
}
