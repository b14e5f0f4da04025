#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# whole.sh [BUILD_DIR]: start, idle and playing figures of the whole program beside mpv, run by
# hand (not part of the test suite).
#
# The program runs under Xvfb with a tray host, the directory emulator, a private session bus
# and isolated XDG folders (tools/lib/desktop-session.sh); its loaded station is a local Icecast
# mount (128 kbit/s MP3) and its sound goes to ALSA's null device, as does mpv's. whole.py
# measures and prints the table; WHOLE_ARGS passes options to it (--starts, --window).
# WHOLE_SCHEME=dark or light puts a desktop portal answering that colour scheme on the bus.
# Needs icecast2, ezstream, gstreamer1.0-tools, Xvfb, trayer, dbus and mpv.
set -uo pipefail
source=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$source/build}" && pwd)
exe=${OSTREL_EXE:-$build/app/ostrel-radio}
[ -x "$exe" ] || { echo "$exe is missing: build the ostrel-radio target"; exit 1; }
command -v mpv >/dev/null || { echo "mpv is missing"; exit 1; }
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$build"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$source/tools/lib/desktop-session.sh"
desktop_session 1280x900 AT --height 32
export DBUS_SESSION_BUS_ADDRESS=$bus

if [ -n "${WHOLE_SCHEME:-}" ]; then
    "${tether[@]}" /usr/bin/python3 -m dbusmock --template "$source/tests/support/portal_settings.py" \
        -p "{\"color-scheme\": $([ "$WHOLE_SCHEME" = dark ] && echo 1 || echo 2)}" > "$work/portal.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.portal.Desktop 2>/dev/null | grep -q true && break
        sleep 0.1
    done
fi

source "$source/tools/lib/bench-station.sh"
bench_station

OSTREL_AUDIO_SINK="alsasink device=null" python3 "$source/tools/bench/app/whole.py" --exe "$exe" \
    --url "$url" --log "$work/app.log" ${WHOLE_ARGS:-} -- \
    --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" || fail "the benchmark did not run through"
