#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Playback figures against mpv, run by hand (not part of the test suite).

    python3 tools/bench/media/bench_media.py [BUILD_DIR]

Starts a local Icecast server with ezstream looping a 128 kbit/s MP3 (44.1 kHz stereo), then
measures for the player (media_probe: GstMediaPlayer into a real-time fake sink) and for
`mpv --no-video --ao=null` on the same address:
  - start: from process start to the first decoded audio (median of several runs; the probe also
    reports from its play request, and so with playbin's default buffering);
  - CPU while playing, and thread wake-ups (context switches) per second while playing;
  - wake-ups per second of the player idling with nothing loaded, against `mpv --idle`.
Needs icecast2, ezstream, gstreamer1.0-tools and mpv.
"""

import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "lib"))
from procstat import CLK_TCK, context_switches, cpu_ticks  # noqa: E402

RUNS = 7
PLAY_SECONDS = 30
WINDOW = (5.0, 25.0)       # measured part of a playing run, seconds after start
IDLE_WINDOW = (3.0, 13.0)


def start_icecast(mp3):
    """A local Icecast looping `mp3` (tools/media/icecast.py): the stream's address and the server."""
    script = pathlib.Path(__file__).resolve().parents[2] / "media" / "icecast.py"
    server = subprocess.Popen([sys.executable, str(script), "--mount", f"/bench.mp3={mp3}:MP3"],
                              stdout=subprocess.PIPE, text=True)
    line = server.stdout.readline()
    if not line.startswith("LISTENING "):
        raise SystemExit("Icecast did not come up")
    return f"http://127.0.0.1:{line.split()[1]}/bench.mp3", server


def first_audio(command, marker):
    """Seconds from process start to the marker line, and the rest of that line."""
    started = time.monotonic()
    p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, bufsize=1)
    try:
        for line in p.stdout:
            if line.startswith(marker):
                return time.monotonic() - started, line[len(marker):].strip()
        raise SystemExit(f"no '{marker}' from {command[0]}")
    finally:
        p.kill()
        p.wait()


def load(command, window):
    """CPU percent and context switches per second over the window of a run."""
    p = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(window[0])
        t0, c0, w0 = time.monotonic(), cpu_ticks(p.pid), context_switches(p.pid)
        time.sleep(window[1] - window[0])
        t1, c1, w1 = time.monotonic(), cpu_ticks(p.pid), context_switches(p.pid)
    finally:
        p.kill()
        p.wait()
    return 100.0 * (c1 - c0) / CLK_TCK / (t1 - t0), (w1 - w0) / (t1 - t0)


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build")
    probe = build / "tools/bench/media/media_probe"
    for tool in ("icecast2", "ezstream", "gst-launch-1.0", "mpv"):
        if not shutil.which(tool):
            raise SystemExit(f"{tool} is missing")
    if not probe.exists():
        raise SystemExit(f"{probe} is missing: build the media_probe target")

    with tempfile.TemporaryDirectory() as tmp:
        folder = pathlib.Path(tmp)
        folder.chmod(0o755)
        mp3 = folder / "tone.mp3"
        subprocess.run(["gst-launch-1.0", "-q", "audiotestsrc", "wave=sine", "num-buffers=600",
                        "samplesperbuffer=4410", "!", "audio/x-raw,rate=44100,channels=2", "!",
                        "lamemp3enc", "target=bitrate", "bitrate=128", "cbr=true", "!",
                        "filesink", f"location={mp3}"], check=True)
        url, server = start_icecast(mp3)
        try:
            ours = [[], [], []]
            for _ in range(RUNS):
                _, inner = first_audio([str(probe), url, "20", "playbin-buffering"], "first-audio")
                ours[2].append(float(inner))
            for _ in range(RUNS):
                total, _ = first_audio([str(probe), url, "20"], "first-audio")
                ours[0].append(total * 1000)
            for _ in range(RUNS):
                _, inner = first_audio([str(probe), url, "20"], "first-audio")
                ours[1].append(float(inner))
            mpv_start = [first_audio(["mpv", "--no-config", "--no-video", "--ao=null", url], "AO:")[0] * 1000
                         for _ in range(RUNS)]

            probe_cpu, probe_wake = load([str(probe), url, str(PLAY_SECONDS)], WINDOW)
            mpv_cpu, mpv_wake = load(["mpv", "--no-config", "--no-video", "--ao=null",
                                      f"--length={PLAY_SECONDS}", url], WINDOW)
            _, probe_idle = load([str(probe), "", "15"], IDLE_WINDOW)
            _, mpv_idle = load(["mpv", "--no-config", "--no-video", "--ao=null", "--idle"], IDLE_WINDOW)
        finally:
            server.terminate()
            server.wait()

    print(f"Local Icecast, 128 kbit/s MP3 44.1 kHz stereo, median of {RUNS} runs, {os.cpu_count()} cores")
    print(f"{'':34}{'ours':>12}{'mpv':>12}")
    print(f"{'start to first audio (ms)':34}{statistics.median(ours[0]):>12.0f}{statistics.median(mpv_start):>12.0f}")
    print(f"{'  play request to first audio (ms)':34}{statistics.median(ours[1]):>12.0f}{'':>12}")
    print(f"{'  the same, playbin buffering (ms)':34}{statistics.median(ours[2]):>12.0f}{'':>12}")
    print(f"{'CPU while playing (%)':34}{probe_cpu:>12.2f}{mpv_cpu:>12.2f}")
    print(f"{'wake-ups while playing (/s)':34}{probe_wake:>12.0f}{mpv_wake:>12.0f}")
    print(f"{'wake-ups idle (/s)':34}{probe_idle:>12.1f}{mpv_idle:>12.1f}")


if __name__ == "__main__":
    main()
