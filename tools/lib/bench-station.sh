# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the whole-program benchmarks after desktop_session: a local Icecast mount looping
# ten seconds of 128 kbit/s MP3, made the station the program restores at start.
#   bench_station [ADMIN_PASSWORD]   then: $icecast (its port), $url (the mount)

bench_station() {
    chmod 755 "$work"
    gst-launch-1.0 -q audiotestsrc wave=sine num-buffers=100 samplesperbuffer=4410 ! \
        audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate bitrate=128 cbr=true ! \
        filesink location="$work/tone.mp3" || fail "no MP3 encoder (gstreamer1.0-plugins-ugly)"
    chmod 644 "$work/tone.mp3"
    local admin=()
    [ -n "${1:-}" ] && admin=(--admin-password "$1")
    "${tether[@]}" python3 "$source/tools/media/icecast.py" --mount "/soak.mp3=$work/tone.mp3:MP3" "${admin[@]}" \
        > "$work/icecast.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 300); do grep -q LISTENING "$work/icecast.out" 2>/dev/null && break; sleep 0.1; done
    icecast=$(awk '/LISTENING/ {print $2}' "$work/icecast.out")
    [ -n "$icecast" ] || fail "Icecast did not start: $(cat "$work/icecast.out")"
    url="http://127.0.0.1:$icecast/soak.mp3"
    python3 "$source/tools/bench/media/soak.py" write-station "$XDG_DATA_HOME/Ostrel Radio/loadedStation.dat" "$url" ||
        fail "could not write the loaded station"
}
