#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What recording costs the playing program, run by hand (not part of the test suite).

    recording.py [BUILD_DIR] [--window 30] [--rounds 3]

A local Icecast mount (128 kbit/s MP3, tools/media/icecast.py) played by the program in folders
of its own, offscreen, its sound to a fakesink that keeps time; then, in turns, a window of plain
playing and one while `--record start` writes the stream. Prints CPU and wake-ups (context
switches of every thread) of each, and the bytes written a second.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from whole import context_switches, cpu_ticks  # noqa: E402

SOURCE = Path(__file__).resolve().parents[3]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=str(SOURCE / "build"))
    parser.add_argument("--window", type=float, default=30.0)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    exe = Path(args.build) / "app" / "ostrel-radio"
    with tempfile.TemporaryDirectory() as tmp:
        work = Path(tmp)
        env = dict(os.environ, HOME=str(work / "home"), XDG_CONFIG_HOME=str(work / "config"),
                   XDG_DATA_HOME=str(work / "data"), XDG_CACHE_HOME=str(work / "cache"), XDG_RUNTIME_DIR=tmp,
                   QT_QPA_PLATFORM="offscreen", OSTREL_AUDIO_SINK="fakesink sync=true")
        env.pop("DISPLAY", None)
        tone = work / "tone.mp3"
        subprocess.run(["gst-launch-1.0", "-q", "audiotestsrc", "wave=sine", "num-buffers=300", "samplesperbuffer=4410",
                        "!", "audioconvert", "!", "audio/x-raw,rate=44100,channels=2", "!", "lamemp3enc",
                        "target=bitrate", "bitrate=128", "cbr=true", "!", "filesink", f"location={tone}"], check=True)
        icecast = subprocess.Popen([sys.executable, str(SOURCE / "tools/media/icecast.py"), "--mount",
                                    f"/bench.mp3={tone}:MP3"], stdout=subprocess.PIPE, text=True)
        player = None
        try:
            port = icecast.stdout.readline().split()[1]
            player = subprocess.Popen([str(exe), "--server", "http://127.0.0.1:9"], env=env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

            def command(*words):
                return subprocess.run([str(exe), *words], env=env, capture_output=True, text=True, timeout=60)

            def status():
                answer = command("--status")
                return json.loads(answer.stdout) if answer.returncode == 0 else {}

            while not status():
                time.sleep(0.2)
            command("--play", f"http://127.0.0.1:{port}/bench.mp3")
            while status().get("state") != "Playing":
                time.sleep(0.2)
            time.sleep(5)  # settled
            figures = {"playing": [], "recording": []}
            written = []
            for _ in range(args.rounds):
                for kind in ("playing", "recording"):
                    if kind == "recording":
                        command("--record", "start")
                        time.sleep(2)
                    t0, c0, w0 = time.monotonic(), cpu_ticks(player.pid), context_switches(player.pid)
                    size0 = Path(status().get("recordingFile") or os.devnull).stat().st_size
                    time.sleep(args.window)
                    t1, c1, w1 = time.monotonic(), cpu_ticks(player.pid), context_switches(player.pid)
                    size1 = Path(status().get("recordingFile") or os.devnull).stat().st_size
                    ticks = os.sysconf("SC_CLK_TCK")
                    figures[kind].append((100.0 * (c1 - c0) / ticks / (t1 - t0), (w1 - w0) / (t1 - t0)))
                    if kind == "recording":
                        written.append((size1 - size0) / (t1 - t0))
                        command("--record", "stop")
            for kind, values in figures.items():
                cpu = statistics.median(v[0] for v in values)
                wakeups = statistics.median(v[1] for v in values)
                print(f"{kind:10} CPU {cpu:.2f} %, wake-ups {wakeups:.0f}/s (median of {len(values)} windows of "
                      f"{args.window:.0f} s)")
            print(f"written    {statistics.median(written) / 1000:.1f} kB/s")
        finally:
            if player:
                player.terminate()
                player.wait(30)
            icecast.terminate()
            icecast.wait(30)


if __name__ == "__main__":
    main()
