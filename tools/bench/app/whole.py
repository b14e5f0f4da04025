#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The measurements of whole.sh, in the desktop it set up.

    whole.py --exe EXE --url STREAM --log APP_LOG [--starts 10] [--window 20] -- PROGRAM_ARGS...

- Start: from the process start to the tray icon shown (a viewable window of the process, embedded
  by the tray host) and the MPRIS name on the bus; median of the starts, each ended by --quit.
- Idle: CPU, wake-ups (context switches of every thread) and PSS over the window, the program
  started and left alone.
- Playing: MPRIS Play on the restored station; the time until PlaybackStatus is Playing (the
  first sound), then CPU, wake-ups and PSS over the window.
- mpv (--no-video, ALSA's null device) on the same stream: time to its audio output, then the same
  playing figures.
"""
import argparse
import ctypes
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

NAME = "org.mpris.MediaPlayer2.OstrelRadio"
CLK_TCK = os.sysconf("SC_CLK_TCK")
SETTLE = 5.0  # seconds before a window begins


def cpu_ticks(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def context_switches(pid):
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            for line in (task / "status").read_text().splitlines():
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    total += int(line.split()[1])
        except OSError:
            pass  # a thread that ended
    return total


def pss_mib(pid):
    """PSS and its anonymous part (which other processes mapping the same libraries do not move)."""
    fields = {}
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:]:
        name, value = line.split(":", 1)
        fields[name] = int(value.split()[0]) / 1024
    return fields["Pss"], fields.get("Pss_Anon", 0.0)


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

    def play_to_sound(self):
        """Seconds from MPRIS Play to PlaybackStatus Playing, read from the bus as it is sent."""
        monitor = subprocess.Popen(["stdbuf", "-oL", "gdbus", "monitor", "--session", "--dest", NAME],
                                   stdout=subprocess.PIPE, text=True, bufsize=1)
        time.sleep(0.3)
        started = time.monotonic()
        gdbus("call", "--session", "--dest", NAME, "--object-path", "/org/mpris/MediaPlayer2",
              "--method", "org.mpris.MediaPlayer2.Player.Play")
        try:
            for line in monitor.stdout:
                if "'PlaybackStatus': <'Playing'>" in line:
                    return time.monotonic() - started
                if time.monotonic() - started > 30:
                    break
            sys.exit("the program did not play within 30 s")
        finally:
            monitor.kill()
            monitor.wait()


def mpv(url, window):
    command = ["mpv", "--no-config", "--no-video", "--ao=alsa", "--audio-device=alsa/null", url]
    started = time.monotonic()
    p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, bufsize=1)
    try:
        for line in p.stdout:
            if line.startswith("AO:"):
                first = time.monotonic() - started
                break
        else:
            sys.exit("mpv gave no audio output")
        # Keep reading its output so that it never blocks on a full pipe.
        drain = subprocess.Popen(["cat"], stdin=p.stdout, stdout=subprocess.DEVNULL)
        time.sleep(SETTLE)
        figures = load(p.pid, window)
        drain.kill()
    finally:
        p.kill()
        p.wait()
    return first, figures


def maps(pid):
    names = set()
    for line in Path(f"/proc/{pid}/maps").read_text().splitlines():
        parts = line.split()
        if len(parts) >= 6 and ".so" in parts[5]:
            names.add(Path(parts[5]).name)
    return names


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--url", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--starts", type=int, default=10)
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

    pid = program.start()
    while not name_owned():
        time.sleep(0.05)
    time.sleep(SETTLE)
    idle = load(pid, args.window)
    first = program.play_to_sound()
    time.sleep(SETTLE)
    playing = load(pid, args.window)
    heavy = sorted(n for n in maps(pid) if any(k in n for k in ("flite", "x265", "placebo", "rsvg", "avfilter",
                                                                  "avcodec", "gstlibav")))
    program.quit()
    mpv_first, mpv_playing = mpv(args.url, args.window)

    icon = statistics.median(s[0] for s in starts) * 1000
    ready = statistics.median(s[1] for s in starts) * 1000
    rows = [
        ("Start to tray icon shown (median of %d)" % len(starts), f"{icon:.0f} ms", "—"),
        ("Start to tray icon and MPRIS name", f"{ready:.0f} ms", "—"),
        ("Idle: CPU, wake-ups", f"{idle[0]:.2f} %, {idle[1]:.1f}/s", "—"),
        ("Idle memory (PSS)", "%.1f MiB (%.1f anonymous)" % idle[2], "—"),
        ("Play request to first audio", f"{first * 1000:.0f} ms", f"{mpv_first * 1000:.0f} ms"),
        ("Playing: CPU", f"{playing[0]:.2f} %", f"{mpv_playing[0]:.2f} %"),
        ("Playing: wake-ups", f"{playing[1]:.0f}/s", f"{mpv_playing[1]:.0f}/s"),
        ("Playing memory (PSS)", "%.1f MiB (%.1f anonymous)" % playing[2],
         "%.1f MiB (%.1f anonymous)" % mpv_playing[2]),
    ]
    print("| | Ostrel Radio | mpv |")
    print("|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print("starts (icon, icon and name, ms):", " ".join(f"{a * 1000:.0f}/{b * 1000:.0f}" for a, b in starts))
    print("libraries of video, text and filters mapped while playing:", ", ".join(heavy) or "none")


if __name__ == "__main__":
    main()
