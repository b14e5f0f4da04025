#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# soak.sh [BUILD_DIR] [SECONDS]: the memory of the real program over a long listening session,
# run by hand (not part of the test suite).
#
# The whole program runs under Xvfb with a tray host, the directory emulator, a private session
# bus and isolated XDG folders (tools/lib/desktop-session.sh). Its loaded station is a local
# Icecast mount (tools/media/icecast.py) looping an MP3; the sound goes to ALSA's null device.
# soak.py then plays the script: a new title every half second through Icecast's admin interface,
# Stop and Play through MPRIS every ten seconds, four source drops; it prints the program's PSS
# after the warm-up and at the end. SECONDS (default 240) is the whole script, warm-up included.
# Needs icecast2, ezstream, gstreamer1.0-tools, Xvfb, trayer and dbus.
set -uo pipefail
source=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$source/build}" && pwd)
seconds=${2:-240}
exe=${OSTREL_EXE:-$build/app/ostrel-radio}
[ -x "$exe" ] || { echo "$exe is missing: build the ostrel-radio target"; exit 1; }
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$build" "$seconds"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$source/tools/lib/desktop-session.sh"
desktop_session 1280x900 AT --height 32
export DBUS_SESSION_BUS_ADDRESS=$bus

password=$(head -c 8 /dev/urandom | od -An -tx1 | tr -d ' \n')
source "$source/tools/lib/bench-station.sh"
bench_station "$password"

OSTREL_AUDIO_SINK="alsasink device=null" QT_LOGGING_RULES="ostrel.media.info=true" \
    "$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show > "$work/app.log" 2>&1 &
app=$!
pids+=($app)

python3 "$source/tools/bench/media/soak.py" run --pid "$app" --exe "$exe" --log "$work/app.log" \
    --icecast "$icecast" --admin-password "$password" --seconds "$seconds" ${SOAK_ARGS:-} || fail "the soak did not run through"
