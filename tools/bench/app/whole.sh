#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# whole.sh [BUILD_DIR]: start, first audio, the panel's first opening, idle and playing figures
# of the whole program beside mpv, run by hand (not part of the test suite).
#
# The program runs under Xvfb with a tray host, the directory emulator (country US, 7,000
# stations), a private session bus and isolated XDG folders (tools/lib/desktop-session.sh); its
# loaded station is a local Icecast mount (128 kbit/s MP3), for first audio also the same tone
# from tools/media/faultstream.py. Its sound goes to a sink that takes it in real time (a fake
# sink synchronised to the clock), as mpv's goes to its timed null output: ALSA's null device
# swallows samples at once, so a player's clock runs ahead of the stream and it starves.
# whole.py measures and prints the table; WHOLE_ARGS passes options to it (--starts, --plays,
# --openings, --window). WHOLE_SCHEME=dark or light puts a desktop portal answering that colour
# scheme on the bus.
# Needs icecast2, ezstream, gstreamer1.0-tools, Xvfb, trayer, libXtst, dbus and mpv.
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
desktop_session 1280x900 US --height 32
export DBUS_SESSION_BUS_ADDRESS=$bus

[ -n "${WHOLE_SCHEME:-}" ] && desktop_portal "$WHOLE_SCHEME"

source "$source/tools/lib/bench-station.sh"
bench_station

# The same tone from a server that answers a listener at once, as a yardstick for first audio.
"${tether[@]}" python3 "$source/tools/media/faultstream.py" --port 0 --audio "$work/tone.mp3" > "$work/prompt.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q LISTENING "$work/prompt.out" 2>/dev/null && break; sleep 0.1; done
prompt=$(awk '/LISTENING/ {print $2}' "$work/prompt.out")
[ -n "$prompt" ] || fail "the stream server did not start"

OSTREL_AUDIO_SINK="fakesink sync=true" python3 "$source/tools/bench/app/whole.py" --exe "$exe" \
    --url "$url" --prompt-url "http://127.0.0.1:$prompt/tone.mp3" \
    --station-file "$XDG_DATA_HOME/Ostrel Radio/loadedStation.dat" --log "$work/app.log" --country US ${WHOLE_ARGS:-} -- \
    --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" || fail "the benchmark did not run through"
