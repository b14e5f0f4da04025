# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by scripts that run the real program on a desktop of their own: a private Xvfb
# display, a tray host, the directory emulator and isolated XDG folders, all ended on exit.
# The caller sets `exe` (the program) and `source` (the project folder) first.
#   desktop_session WIDTHxHEIGHT COUNTRY [trayer options... | --no-tray]
#   then: $port, $work, fail, pids+=()
#   desktop_portal light|dark: a desktop portal on the session bus answering that colour scheme

work=$(mktemp -d)
pids=()

desktop_cleanup() {
    "$exe" --quit >/dev/null 2>&1
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap desktop_cleanup EXIT
trap 'exit 1' INT TERM HUP
# Every helper runs tethered: it ends with this script even when the script is killed outright.
tether=(python3 "$source/tests/support/tether.py")
export TETHER_PARENT=$$

# Whether a tray host owns the tray selection of the display.
tray_owned() {
    python3 - <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
display = x.XOpenDisplay(None)
sys.exit(0 if display and x.XGetSelectionOwner(display, x.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)) else 1)
PY
}

fail() {
    echo "FAIL: $*"
    [ -f "$work/app.log" ] && tail -n 20 "$work/app.log"
    exit 1
}

desktop_portal() {
    "${tether[@]}" /usr/bin/python3 -m dbusmock --template "$source/tests/support/portal_settings.py" \
        -p "{\"color-scheme\": $([ "$1" = dark ] && echo 1 || echo 2)}" > "$work/portal.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.portal.Desktop 2>/dev/null | grep -q true && return 0
        sleep 0.1
    done
    fail "the desktop portal did not start"
}

desktop_session() {
    local size=$1 country=$2
    shift 2
    export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
    export XDG_RUNTIME_DIR=$work/runtime USER=ostrel-session-$$
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM

    exec 3> "$work/display"
    "${tether[@]}" Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp > "$work/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$work/display")

    local tray=1
    if [ "${1:-}" = --no-tray ]; then
        tray=0
    else
        "${tether[@]}" trayer --edge top --align right --widthtype request "$@" > "$work/trayer.log" 2>&1 &
        pids+=($!)
    fi

    "${tether[@]}" python3 "$source/tools/directory-emulator/emulator.py" --port 0 > "$work/emulator.out" 2> "$work/emulator.log" &
    pids+=($!)
    for _ in $(seq 100); do grep -q LISTENING "$work/emulator.out" 2>/dev/null && break; sleep 0.1; done
    port=$(awk '/LISTENING/ {print $2}' "$work/emulator.out")
    [ -n "$port" ] || fail "the directory emulator did not start"

    mkdir -p "$XDG_CONFIG_HOME/Ostrel Radio"
    printf '[General]\nradioStationsCountryCode=%s\n' "$country" > "$XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"
    [ "$tray" = 1 ] || return 0
    for _ in $(seq 150); do tray_owned && break; sleep 0.2; done
    tray_owned || fail "the tray host did not take the tray selection"
}
