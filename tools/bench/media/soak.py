#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The listening script of soak.sh, against the program it started.

    soak.py write-station FILE URL
    soak.py run --pid PID --exe EXE --log APP_LOG --icecast PORT --admin-password P [--seconds 240]

`run` waits until the program has restored its station, plays it through MPRIS, then for the
given time: a new stream title every half second (Icecast's admin interface), Stop and Play
every ten seconds (MPRIS), four source drops spread over the measured part (the mount's source
killed; ezstream comes back at once and the program reconnects). It reads the program's PSS
after the warm-up and at the end and prints both.
"""
import argparse
import base64
import json
import random
import subprocess
import sys
import time
import urllib.error
import urllib.parse
import urllib.request
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "lib"))
import cbor  # noqa: E402

WARM_UP = 20.0        # seconds of the same script before the first reading
TICK = 0.5            # a new title
CYCLE = 20            # ticks between a Stop and the next (Play follows one tick later)
DROPS = 4
MOUNT = "/soak.mp3"
MPRIS = ["gdbus", "call", "--session", "--dest", "org.mpris.MediaPlayer2.OstrelRadio",
         "--object-path", "/org/mpris/MediaPlayer2", "--method"]


def write_station(path, url):
    """A station list file of one station (self-described CBOR, the program's list tag)."""
    station = {"stationuuid": "5ea4e1c2-0000-4000-8000-000000000001", "name": "Soak Station",
               "url": url, "url_resolved": url, "codec": "MP3", "bitrate": 128, "tags": "test",
               "countrycode": "AT", "country": "Austria", "language": "german"}
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(cbor.station_list([station]))


def memory(pid):
    """PSS and its anonymous part, in KiB."""
    fields = {}
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:]:
        name, value = line.split(":", 1)
        fields[name] = int(value.split()[0])
    return fields["Pss"], fields.get("Pss_Anon", 0)


class Program:
    def __init__(self, args):
        self.args = args

    def status(self):
        out = subprocess.run([self.args.exe, "--status"], capture_output=True, text=True).stdout
        return json.loads(out) if out.strip().startswith("{") else {}

    def wait(self, what, check, seconds=60):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            state = self.status()
            if check(state):
                return state
            time.sleep(0.2)
        sys.exit(f"{what}: {self.status()}")

    def alive(self):
        return Path(f"/proc/{self.args.pid}").exists()

    def mpris(self, method):
        subprocess.run(MPRIS + ["org.mpris.MediaPlayer2.Player." + method], check=True,
                       stdout=subprocess.DEVNULL)

    def admin(self, path):
        request = urllib.request.Request(f"http://127.0.0.1:{self.args.icecast}/admin/{path}")
        request.add_header("Authorization", "Basic " + base64.b64encode(
            f"admin:{self.args.admin_password}".encode()).decode())
        with urllib.request.urlopen(request, timeout=5) as reply:
            reply.read()

    def set_title(self, title):
        self.admin("metadata?" + urllib.parse.urlencode({"mount": MOUNT, "mode": "updinfo", "song": title}))


WORDS = ("Moon", "Night", "Café", "Blue", "River", "Söhne", "Radio", "Echo", "Light", "Dream",
         "Straße", "Lumière", "Heart", "Stone", "Fire", "Rain", "Ünder", "Gold", "Sky", "Road")


def title(rng, n):
    """A title never sent before, 20 to 120 characters, as stations send them."""
    artist = " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 4)))
    song = " ".join(rng.choice(WORDS) for _ in range(rng.randint(2, 12)))
    return f"{artist} {n} - {song}"[:120]


def run(args):
    program = Program(args)
    program.wait("the program did not restore its station", lambda s: s.get("station") == "Soak Station")
    program.mpris("Play")
    program.wait("the station did not start", lambda s: s.get("playButton") == "Stop")

    rng = random.Random(1)
    ticks = int(args.seconds / TICK)
    warm_ticks = int(WARM_UP / TICK)
    measured = ticks - warm_ticks
    # Drops halfway between two Stops, spread over the measured part.
    drops = {warm_ticks + (k * measured // (args.drops + 1)) // CYCLE * CYCLE + CYCLE // 2
             for k in range(1, args.drops + 1)}
    started = time.monotonic()
    titles = stops = dropped = 0
    before = None
    curve = []  # anonymous PSS every 20 s
    last = ""
    for tick in range(ticks):
        time.sleep(max(0.0, started + tick * TICK - time.monotonic()))
        if not program.alive():
            sys.exit("the program ended")
        if tick == warm_ticks:
            before = memory(args.pid)
        if tick >= warm_ticks and (tick - warm_ticks) % (2 * CYCLE) == 0:
            curve.append(memory(args.pid)[1])
        try:
            program.set_title(candidate := title(rng, tick))
            last = candidate
            titles += 1
        except urllib.error.HTTPError:
            pass  # the mount is gone for a moment after a drop
        if tick > 0 and tick % CYCLE == 0:
            program.mpris("Stop")
            stops += 1
        elif tick % CYCLE == 1 and tick > 1:
            program.mpris("Play")
        if tick in drops:
            program.admin("killsource?" + urllib.parse.urlencode({"mount": MOUNT}))
            dropped += 1
    # The end of the script: the program plays and shows the last title.
    program.mpris("Play")
    program.wait("the last title did not reach the now-playing line", lambda s: s.get("nowPlaying") == last, 30)
    after = memory(args.pid)
    reconnections = Path(args.log).read_text(errors="replace").count("Stream dropped")

    mib = 1024.0
    print(f"Whole program under Xvfb, {args.seconds:.0f} s: {titles} titles, {stops} stops and plays, "
          f"{dropped} source drops ({reconnections} reconnections logged)")
    print(f"PSS after the warm-up ({WARM_UP:.0f} s): {before[0] / mib:7.2f} MiB, anonymous {before[1] / mib:.2f} MiB")
    print(f"PSS at the end:              {after[0] / mib:7.2f} MiB, anonymous {after[1] / mib:.2f} MiB")
    print("Anonymous PSS every 20 s (MiB):", " ".join(f"{kib / mib:.2f}" for kib in curve + [after[1]]))
    # The file-backed part follows the other processes that map the same libraries; the
    # anonymous part is the program's own.
    grown = after[1] - before[1]
    print(f"Growth: {(after[0] - before[0]) / mib:.2f} MiB, anonymous {grown / mib:.2f} MiB "
          f"({grown * 1024 / 1000 / max(1, titles - warm_ticks):.2f} KB a title)")


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    station = sub.add_parser("write-station")
    station.add_argument("file")
    station.add_argument("url")
    soak = sub.add_parser("run")
    soak.add_argument("--pid", type=int, required=True)
    soak.add_argument("--exe", required=True)
    soak.add_argument("--log", required=True)
    soak.add_argument("--icecast", type=int, required=True)
    soak.add_argument("--admin-password", required=True)
    soak.add_argument("--seconds", type=float, default=240)
    soak.add_argument("--drops", type=int, default=DROPS)
    args = parser.parse_args()
    if args.command == "write-station":
        write_station(args.file, args.url)
    else:
        run(args)


if __name__ == "__main__":
    main()
