#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The measurements of whole.sh, in the desktop it set up.

    whole.py --exe EXE --url STREAM --prompt-url STREAM --station-file FILE --log APP_LOG
             [--starts 10] [--plays 7] [--openings 5] [--window 20] -- PROGRAM_ARGS...

- Start: from the process start to the tray icon shown (a viewable window of the process, embedded
  by the tray host) and the MPRIS name on the bus; median of the starts, each ended by --quit.
- First audio: in a program started afresh and left to settle, MPRIS Play on the restored station
  until PlaybackStatus is Playing (the first decoded sound has reached the sink), both read off the
  bus by one monitor; median of --plays programs. Icecast answers a new listener when its source
  next sends, 0 to 260 ms later, which blurs both players alike; so the same is measured again on
  --prompt-url, a server that answers at once (the station file is rewritten between the two).
- First opening of the panel: a click on the tray icon (XTest) until the program's status says
  the panel is shown and counts the country's stations, read from its local socket; the country's
  listing file (7,000 stations) written by an earlier run. Median of --openings programs.
- Idle: CPU, wake-ups (context switches of every thread) and PSS over the window, the program
  started and left alone.
- Playing: CPU, wake-ups and PSS over the window once the stream plays.
- mpv (--no-video, its timed null output) on the same stream: time from its start to its audio
  output (median of --plays), then the same playing figures.
The mappings holding most PSS are listed for the program idle and playing, and for mpv.
"""
import argparse
import ctypes
import json
import os
import re
import socket
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "lib"))
from procstat import CLK_TCK, context_switches, cpu_ticks  # noqa: E402

NAME = "org.mpris.MediaPlayer2.OstrelRadio"
SETTLE = 5.0  # seconds before a window begins
SETTLED = 3.0  # seconds from a start to a play or a click: start-up's tail is over by then
STATION_COUNT = re.compile(r"[0-9][0-9,.\u202f\u00a0]* Stations")


def pss_mib(pid):
    """PSS and its anonymous part (which other processes mapping the same libraries do not move)."""
    fields = {}
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:]:
        name, value = line.split(":", 1)
        fields[name] = int(value.split()[0]) / 1024
    return fields["Pss"], fields.get("Pss_Anon", 0.0)


def top_pss(pid, count=12):
    """The mappings holding most PSS, summed per file ("[anon]" for memory no file backs), MiB."""
    totals = {}
    name = None
    for line in Path(f"/proc/{pid}/smaps").read_text().splitlines():
        fields = line.split()
        if "-" in fields[0] and ":" not in fields[0]:  # a mapping's first line: range, perms, offset, dev, inode, path
            name = Path(fields[5]).name if len(fields) >= 6 else "[anon]"
        elif fields[0] == "Pss:":
            totals[name] = totals.get(name, 0) + int(fields[1]) / 1024
    return sorted(totals.items(), key=lambda item: -item[1])[:count]


def load(pid, window):
    """CPU percent, context switches a second and PSS over the window."""
    t0, c0, w0 = time.monotonic(), cpu_ticks(pid), context_switches(pid)
    time.sleep(window)
    t1, c1, w1 = time.monotonic(), cpu_ticks(pid), context_switches(pid)
    return 100.0 * (c1 - c0) / CLK_TCK / (t1 - t0), (w1 - w0) / (t1 - t0), pss_mib(pid)


class Windows:
    """Whether a process has a viewable window on the display (its tray icon, once embedded)."""

    def __init__(self):
        x = self.x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                         ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                         ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                         ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                         ctypes.POINTER(ctypes.c_void_p)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                            ctypes.c_int, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                            ctypes.POINTER(ctypes.c_ulong)]
        x.XFlush.argtypes = [ctypes.c_void_p]
        xtst = self.xtst = ctypes.CDLL("libXtst.so.6")
        xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
        xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = x.XOpenDisplay(None)
        if not self.display:
            sys.exit("no X display")
        self.root = x.XDefaultRootWindow(self.display)
        self.pid_atom = x.XInternAtom(self.display, b"_NET_WM_PID", 0)

    def pid_of(self, window):
        kind, fmt, count, after, data = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong(),
                                          ctypes.c_void_p())
        if self.x.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, 0, 6, ctypes.byref(kind),
                                     ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                     ctypes.byref(data)) != 0 or not data.value:
            return None
        pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if count.value else None
        self.x.XFree(data)
        return pid

    def viewable(self, window):
        attributes = (ctypes.c_char * 256)()  # XWindowAttributes; map_state is the int at 92 on x86-64
        if not self.x.XGetWindowAttributes(self.display, window, attributes):
            return False
        return int.from_bytes(bytes(attributes[92:96]), "little") == 2  # IsViewable

    def geometry(self, window):
        """x, y, width and height of a window on the screen."""
        attributes = (ctypes.c_int * 64)()  # XWindowAttributes starts with x, y, width, height
        self.x.XGetWindowAttributes(self.display, window, attributes)
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x.XTranslateCoordinates(self.display, window, self.root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                                     ctypes.byref(child))
        return x.value, y.value, attributes[2], attributes[3]

    def click(self, x, y):
        """A left click at a point of the screen, as the pointer device would make it."""
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.x.XFlush(self.display)

    def find(self, pid, window=None):
        """A viewable window of the process (its tray icon), or None."""
        window = window or self.root
        root, parent, children, n = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(n)):
            return None
        kids = [children[i] for i in range(n.value)]
        if children:
            self.x.XFree(children)
        for kid in kids:
            if self.pid_of(kid) == pid and self.viewable(kid):
                return kid
            found = self.find(pid, kid)
            if found:
                return found
        return None

    def shown(self, pid, window=None):
        window = window or self.root
        root, parent, children, n = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(n)):
            return False
        kids = [children[i] for i in range(n.value)]
        if children:
            self.x.XFree(children)
        for kid in kids:
            if (self.pid_of(kid) == pid and self.viewable(kid)) or self.shown(pid, kid):
                return True
        return False


def gdbus(*args):
    return subprocess.run(["gdbus", *args], capture_output=True, text=True)


def name_owned():
    out = gdbus("call", "--session", "--dest", "org.freedesktop.DBus", "--object-path", "/org/freedesktop/DBus",
                "--method", "org.freedesktop.DBus.NameHasOwner", NAME).stdout
    return "true" in out


def wait_gone(process):
    try:
        process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    for _ in range(200):
        if not name_owned():
            return
        time.sleep(0.05)


class Program:
    def __init__(self, args):
        self.args = args
        self.process = None

    def start(self):
        log = open(self.args.log, "a")
        self.process = subprocess.Popen([self.args.exe, *self.args.program], stdout=log, stderr=log)
        return self.process.pid

    def quit(self):
        subprocess.run([self.args.exe, "--quit"], capture_output=True)
        wait_gone(self.process)

    def timed_start(self, windows):
        """Seconds from the process start to the tray icon and the MPRIS name, both there."""
        waiter = subprocess.Popen(["gdbus", "wait", "--session", "--timeout", "30", NAME])
        time.sleep(0.2)  # the waiter watches the bus before the program starts
        started = time.monotonic()
        pid = self.start()
        icon = None
        while icon is None or waiter.poll() is None:
            if icon is None and windows.shown(pid):
                icon = time.monotonic()
            if time.monotonic() - started > 30:
                sys.exit("the program showed no tray icon or no MPRIS name in 30 s")
            time.sleep(0.002)
        bus = time.monotonic()
        if waiter.returncode != 0 or not name_owned():
            sys.exit("the MPRIS name did not come")
        return icon - started, max(icon, bus) - started

    def ready(self, windows, pid):
        """Waits for the tray icon and the MPRIS name of a program just started."""
        started = time.monotonic()
        while not (name_owned() and windows.shown(pid)):
            if time.monotonic() - started > 30:
                sys.exit("the program showed no tray icon or no MPRIS name in 30 s")
            time.sleep(0.05)

    def play_to_sound(self):
        """Seconds from MPRIS Play to PlaybackStatus Playing, both stamped by one bus monitor."""
        monitor = subprocess.Popen(["dbus-monitor", "--session", "type='method_call',member='Play'",
                                    "type='signal',member='PropertiesChanged',path='/org/mpris/MediaPlayer2'"],
                                   stdout=subprocess.PIPE, text=True, bufsize=1)
        time.sleep(0.3)  # the monitor listens before the call goes out
        caller = subprocess.Popen(["gdbus", "call", "--session", "--dest", NAME, "--object-path",
                                   "/org/mpris/MediaPlayer2", "--method", "org.mpris.MediaPlayer2.Player.Play"],
                                  stdout=subprocess.DEVNULL)
        started = time.monotonic()
        play = header = None
        status_follows = False
        try:
            for line in monitor.stdout:
                stamped = re.match(r"(method call|signal) time=([0-9.]+)", line)
                if stamped:
                    header = float(stamped.group(2))
                    if stamped.group(1) == "method call" and "member=Play" in line:
                        play = header
                elif 'string "PlaybackStatus"' in line:
                    status_follows = True
                elif status_follows:
                    status_follows = False
                    if play is not None and 'string "Playing"' in line:
                        return header - play
                if time.monotonic() - started > 30:
                    break
            sys.exit("the program did not play within 30 s")
        finally:
            caller.wait()
            monitor.kill()
            monitor.wait()

    def status(self):
        """The running program's --status answer, asked over its local socket without a process."""
        path = Path(os.environ["XDG_RUNTIME_DIR"]) / "ostrel-radio.socket"
        with socket.socket(socket.AF_UNIX) as s:
            s.connect(str(path))
            s.sendall(b"status\n")
            answer = b""
            while not answer.endswith(b"\n"):
                part = s.recv(65536)
                if not part:
                    break
                answer += part
        return json.loads(answer)

    def first_opening(self, windows):
        """Seconds from a click on the tray icon to the panel shown with the country's stations."""
        pid = self.start()
        self.ready(windows, pid)
        time.sleep(SETTLED)
        x, y, width, height = windows.geometry(windows.find(pid))
        started = time.monotonic()
        windows.click(x + width // 2, y + height // 2)
        while True:
            status = self.status()
            if status["popoverVisible"] and STATION_COUNT.fullmatch(status["message"]):
                opened = time.monotonic() - started
                break
            if time.monotonic() - started > 30:
                sys.exit(f"the panel did not show the stations in 30 s: {status}")
            time.sleep(0.002)
        self.quit()
        return opened, status["message"]

    def first_audio(self, windows):
        """First audio of a program started afresh and left to settle."""
        pid = self.start()
        self.ready(windows, pid)
        time.sleep(SETTLED)
        first = self.play_to_sound()
        self.quit()
        return first


def write_station(path, url):
    """The station the program restores at start."""
    script = Path(__file__).resolve().parents[1] / "media" / "soak.py"
    subprocess.run([sys.executable, str(script), "write-station", path, url], check=True)


def mpv_command(url):
    return ["mpv", "--no-config", "--no-video", "--ao=null", url]


def mpv_first_audio(url):
    started = time.monotonic()
    p = subprocess.Popen(mpv_command(url), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, bufsize=1)
    try:
        for line in p.stdout:
            if line.startswith("AO:"):
                return time.monotonic() - started, p
        sys.exit("mpv gave no audio output")
    except BaseException:
        p.kill()
        p.wait()
        raise


def mpv(url, window):
    first, p = mpv_first_audio(url)
    try:
        # Keep reading its output so that it never blocks on a full pipe.
        drain = subprocess.Popen(["cat"], stdin=p.stdout, stdout=subprocess.DEVNULL)
        time.sleep(SETTLE)
        figures = load(p.pid, window)
        top = top_pss(p.pid)
        drain.kill()
    finally:
        p.kill()
        p.wait()
    return first, figures, top


def maps(pid):
    names = set()
    for line in Path(f"/proc/{pid}/maps").read_text().splitlines():
        parts = line.split()
        if len(parts) >= 6 and ".so" in parts[5]:
            names.add(Path(parts[5]).name)
    return names


def prepare_listing(args, windows):
    """The country's listing file, as a first opening of the panel writes it from the directory."""
    listing = Path(os.environ["XDG_DATA_HOME"]) / "Ostrel Radio" / "Listings" / f"{args.country}.dat"
    program = Program(args)
    program.args = argparse.Namespace(**{**vars(args), "program": [*args.program, "--show"]})
    pid = program.start()
    program.ready(windows, pid)
    started = time.monotonic()
    while not (listing.exists() and STATION_COUNT.fullmatch(program.status()["message"])):
        if time.monotonic() - started > 60:
            sys.exit(f"no listing file for {args.country}: {program.status()}")
        time.sleep(0.1)
    program.quit()
    return listing


def table(rows):
    print("| | Ostrel Radio | mpv |")
    print("|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--url", required=True)
    parser.add_argument("--prompt-url", required=True)
    parser.add_argument("--station-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--country", default="US", help="the country set in the program's settings")
    parser.add_argument("--starts", type=int, default=10)
    parser.add_argument("--plays", type=int, default=7)
    parser.add_argument("--openings", type=int, default=5)
    parser.add_argument("--window", type=float, default=20.0)
    parser.add_argument("program", nargs="*")
    args = parser.parse_args()
    windows = Windows()
    program = Program(args)

    starts = []
    for _ in range(args.starts):
        starts.append(program.timed_start(windows))
        time.sleep(1.0)  # the tail of start-up (the directory's country list) stays out
        program.quit()

    listing = prepare_listing(args, windows)
    openings = [program.first_opening(windows) for _ in range(args.openings)]
    firsts = {}
    for url in (args.prompt_url, args.url):  # the restored station at the end is the Icecast one
        write_station(args.station_file, url)
        firsts[url] = [program.first_audio(windows) for _ in range(args.plays)]

    pid = program.start()
    program.ready(windows, pid)
    time.sleep(SETTLE)
    idle = load(pid, args.window)
    idle_top = top_pss(pid)
    program.play_to_sound()
    time.sleep(SETTLE)
    playing = load(pid, args.window)
    playing_top = top_pss(pid)
    heavy = sorted(n for n in maps(pid) if any(k in n for k in ("flite", "x265", "placebo", "rsvg", "avfilter",
                                                                  "avcodec", "gstlibav")))
    program.quit()

    mpv_firsts = {}
    for url in (args.url, args.prompt_url):
        mpv_firsts[url] = []
        for _ in range(args.plays):
            first, p = mpv_first_audio(url)
            p.kill()
            p.wait()
            mpv_firsts[url].append(first)
    _, mpv_playing, mpv_top = mpv(args.url, args.window)

    ms = lambda values: statistics.median(values) * 1000
    opening = ms([o[0] for o in openings])
    table([
        ("Start to tray icon shown (median of %d)" % len(starts), f"{ms([s[0] for s in starts]):.0f} ms", "—"),
        ("Start to tray icon and MPRIS name", f"{ms([s[1] for s in starts]):.0f} ms", "—"),
        ("Idle: CPU, wake-ups", f"{idle[0]:.2f} %, {idle[1]:.1f}/s", "—"),
        ("Idle memory (PSS)", "%.1f MiB (%.1f anonymous)" % idle[2], "—"),
        ("Play request to first audio, Icecast (median of %d)" % args.plays, f"{ms(firsts[args.url]):.0f} ms",
         f"{ms(mpv_firsts[args.url]):.0f} ms"),
        ("Play request to first audio, a server answering at once", f"{ms(firsts[args.prompt_url]):.0f} ms",
         f"{ms(mpv_firsts[args.prompt_url]):.0f} ms"),
        ("Playing: CPU", f"{playing[0]:.2f} %", f"{mpv_playing[0]:.2f} %"),
        ("Playing: wake-ups", f"{playing[1]:.0f}/s", f"{mpv_playing[1]:.0f}/s"),
        ("Playing memory (PSS)", "%.1f MiB (%.1f anonymous)" % playing[2],
         "%.1f MiB (%.1f anonymous)" % mpv_playing[2]),
        ("First opening of the panel, %s (median of %d)" % (openings[0][1], len(openings)), f"{opening:.0f} ms", "—"),
    ])
    print("starts (icon, icon and name, ms):", " ".join(f"{a * 1000:.0f}/{b * 1000:.0f}" for a, b in starts))
    for url, label in ((args.url, "Icecast"), (args.prompt_url, "at once")):
        print(f"first audio, {label} (ms):", " ".join(f"{f * 1000:.0f}" for f in firsts[url]),
              "| mpv:", " ".join(f"{f * 1000:.0f}" for f in mpv_firsts[url]))
    print("first openings (ms):", " ".join(f"{o[0] * 1000:.0f}" for o in openings),
          f"| listing {listing.stat().st_size / 1e6:.1f} MB")
    print("libraries of video, text and filters mapped while playing:", ", ".join(heavy) or "none")
    for label, top in (("idle", idle_top), ("playing", playing_top), ("mpv playing", mpv_top)):
        print(f"most PSS, {label} (MiB):", ", ".join(f"{name} {mib:.1f}" for name, mib in top))


if __name__ == "__main__":
    main()
