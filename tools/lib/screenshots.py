#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the running program to each README picture and takes it; started by tools/screenshots.sh.

    screenshots.py panel PLAYLIST_URL   the panel, the tags menu, the country picker, the server
                                        tab and the "Add a station" dialog
    screenshots.py everywhere           a search of the whole directory
    screenshots.py tree                 prints what the accessibility bus shows, to find names

Controls are found by their accessible names and clicked with xdotool in their middle, as a user
clicks them; every step waits for what the program shows next. OSTREL_EXE is the program, OUT the
folder for the pictures."""
import ctypes
import json
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

import pyatspi

OUT = os.environ.get("OUT", ".")
SETTLE = 0.6  # for a repaint after the awaited state, before the picture: it decides no verdict


def status():
    run = subprocess.run([os.environ["OSTREL_EXE"], "--status"], capture_output=True, text=True)
    return json.loads(run.stdout) if run.stdout.strip().startswith("{") else {}


def wait(what, probe, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = probe()
            if value:
                return value
        except Exception:
            pass
        time.sleep(0.2)
    give_up(what)


def give_up(what, root=None):
    if root:
        tree(root)  # what the bus shows instead
    shot = os.path.join(tempfile.gettempdir(), "screenshots-failed.png")
    write_png(shot, grab(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), SCREEN_WIDTH)
    print("the screen:", shot)
    sys.exit("no picture: " + what)


def nodes(root):
    todo = [root]
    while todo:
        node = todo.pop()
        if node is None:
            continue
        yield node
        try:
            todo.extend(node[i] for i in range(node.childCount))
        except Exception:
            pass


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(root, role, name=None, visible=True):
    return next((n for n in nodes(root) if n.getRole() == role and (name is None or n.name == name)
                 and (not visible or showing(n))), None)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((a for a in desktop if a is not None and a.name in ("Ostrel Radio", "ostrel-radio")), None)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(node, dx=None):
    """A click in the middle of the control, or dx pixels from its left edge."""
    box = extents(node)
    xdotool("mousemove", box.x + (box.width // 2 if dx is None else dx), box.y + box.height // 2, "click", 1)


def windows(app):
    """The program's windows on the screen. Menus are among them, though not on the accessibility
    bus: Qt leaves popups out of the application's children."""
    run = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(app.get_process_id())],
                         capture_output=True, text=True)
    return set(run.stdout.split())


def open_menu(app, button):
    """Clicks a button with a menu and waits until the menu is on the screen."""
    before = windows(app)
    click(button)
    return wait(f"{button.name!r} opened no menu", lambda: windows(app) - before)


def park_pointer():
    """The pointer away from the panel, so that no row is lit up and no tooltip shows."""
    xdotool("mousemove", 10, 740)


# ---- Pictures: the screen as the X server has it, written as PNG

class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


def grab(x, y, width, height):
    """The screen's pixels in the rectangle, as RGB rows."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    display = x11.XOpenDisplay(None)
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), x, y, width, height, ~0 & 0xFFFFFFFF, 2)
    if not image or image.contents.bits_per_pixel != 32:
        sys.exit("no picture: the screen is not 24-bit colour")
    img = image.contents
    data = ctypes.string_at(img.data, img.bytes_per_line * height)
    rows = []
    for r in range(height):
        bgrx = data[r * img.bytes_per_line: r * img.bytes_per_line + 4 * width]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgrx[2::4], bgrx[1::4], bgrx[0::4]
        rows.append(bytes(rgb))
    x11.XCloseDisplay(display)
    return rows


def write_png(path, rows, width):
    """A palette PNG when the picture has 256 colours or fewer, RGB otherwise."""
    colours = {}
    for row in rows:
        for i in range(0, len(row), 3):
            colours.setdefault(row[i:i + 3], len(colours))
        if len(colours) > 256:
            break
    if len(colours) <= 256:
        kind, bpp = 3, 1
        rows = [bytes(colours[row[i:i + 3]] for i in range(0, len(row), 3)) for row in rows]
    else:
        kind, bpp = 2, 3
    raw = bytearray()
    prior = bytes(len(rows[0]))
    for row in rows:
        # Each row filtered the way that leaves the smallest numbers, as PNG encoders do.
        sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(len(row)))
        up = bytes((a - b) & 255 for a, b in zip(row, prior))
        cost = [sum(min(v, 256 - v) for v in f) for f in (row, sub, up)]
        best = cost.index(min(cost)) if bpp == 3 else 0
        raw.append(best)
        raw += (row, sub, up)[best]
        prior = row

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rows), 8, kind, 0, 0, 0))
    if kind == 3:
        png += chunk(b"PLTE", b"".join(colours))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def picture(name, window, margin=24):
    """The panel's corner of the screen, tray icon included; with no margin, the window alone."""
    time.sleep(SETTLE)
    box = extents(window)
    left, top = max(0, box.x - margin), (0 if margin else box.y)
    width = (SCREEN_WIDTH - left) if margin else box.width
    height = min(SCREEN_HEIGHT, box.y + box.height + margin) - top
    write_png(os.path.join(OUT, name + ".png"), grab(left, top, width, height), width)
    print("written:", name + ".png", f"{width}x{height}")


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True, check=True).stdout
    return map(int, out.split())


SCREEN_WIDTH, SCREEN_HEIGHT = screen_size()


# ---- The program

def the_panel():
    app = wait("the program is not on the accessibility bus", program)
    return app, wait("the panel did not open", lambda: find(app, pyatspi.ROLE_FILLER, "Ostrel Radio")
                     or find(app, pyatspi.ROLE_PANEL, "Ostrel Radio"))


def need(root, role, name, seconds=15):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        root.clear_cache()  # windows that pop up are not always announced
        found = find(root, role, name)
        if found:
            return found
        time.sleep(0.2)
    give_up(f"no {pyatspi.Role(role)} named {name!r} showing", root)


def stations_loaded(panel):
    return wait("the stations did not load", lambda: (s := status()) and s.get("message", "").endswith("Stations")
                and not s["message"].startswith("0 ") and s)


def panel_pictures(playlist):
    app, panel = the_panel()
    stations_loaded(panel)
    table = need(panel, pyatspi.ROLE_LIST, "Stations")
    # Four favourites, chosen as a user does: a row clicked, then Space on it.
    rows = wait("the station list has no rows", lambda: [n for n in nodes(table)
                                                         if n.getRole() == pyatspi.ROLE_LIST_ITEM and showing(n)])
    rows.sort(key=lambda n: extents(n).y)
    for row in (rows[0], rows[1], rows[2], rows[4]):
        click(row, dx=60)
        xdotool("key", "space")
    strip = need(panel, pyatspi.ROLE_FILLER, "Station strip")
    wait("the favourites strip did not fill", lambda: sum(1 for n in nodes(strip) if n.name and showing(n)) >= 4)
    park_pointer()
    picture("popover", panel)

    # The tags menu.
    menu = open_menu(app, need(panel, pyatspi.ROLE_PUSH_BUTTON, "Filter by tags"))
    picture("tags", panel)
    xdotool("key", "Escape")
    wait("the tags menu did not close", lambda: not (windows(app) & menu))

    # The country picker beside the stations.
    country = need(panel, pyatspi.ROLE_CHECK_BOX, "Choose the country")
    click(country)
    need(panel, pyatspi.ROLE_TEXT, "Search countries by name or code")
    park_pointer()
    picture("countries", panel)
    click(country)

    # The server tab.
    click(need(panel, pyatspi.ROLE_PAGE_TAB, "Server"))
    need(panel, pyatspi.ROLE_PUSH_BUTTON, "Add a missing station")
    park_pointer()
    picture("server", panel)

    # The songs heard (the script leaves a history file before the start), one of them chosen.
    click(need(panel, pyatspi.ROLE_PAGE_TAB, "History"))
    songs = need(panel, pyatspi.ROLE_LIST, "Songs heard")
    rows = wait("the history has no songs", lambda: [n for n in nodes(songs)
                                                     if n.getRole() == pyatspi.ROLE_LIST_ITEM and showing(n)])
    click(next(n for n in rows if n.name.startswith("Hania Rani")), dx=60)
    park_pointer()
    picture("history", panel)

    # "Add a station", from the ＋ button beside the strips, filled in with a local station.
    open_menu(app, need(panel, pyatspi.ROLE_PUSH_BUTTON, "Your own stations"))
    xdotool("key", "Down", "Return")  # its first item, "Add a Station…"
    dialog = need(app, pyatspi.ROLE_DIALOG, "Add a Station")
    fields = wait("the dialog has no fields", lambda: [n for n in nodes(dialog) if n.getRole() == pyatspi.ROLE_TEXT])
    fields.sort(key=lambda n: extents(n).y)  # address, name, tags, home page, country, icon
    for field, text in ((fields[0], playlist), (fields[2], "Jazz, Lounge"), (fields[4], "DE")):
        click(field)
        xdotool("type", "--delay", 20, text)
    click(need(dialog, pyatspi.ROLE_PUSH_BUTTON, "Check Address"))
    wait("the check did not name the station",
         lambda: any(n.getRole() == pyatspi.ROLE_LABEL and "which plays" in n.name for n in nodes(dialog)), 45)
    park_pointer()
    picture("add-station", dialog, margin=0)


def everywhere_pictures():
    app, panel = the_panel()
    search = need(panel, pyatspi.ROLE_TEXT, "Search stations")
    before = status()["message"]
    click(search)
    xdotool("type", "--delay", 120, "jazz")
    wait("the search found nothing", lambda: (s := status()) and s["message"][:1].isdigit()
         and s["message"].endswith("Stations") and s["message"] != before)
    park_pointer()
    picture("everywhere", panel)


def tree(root=None):
    root = root or wait("the program is not on the accessibility bus", program)
    for node in nodes(root):
        try:
            if node.name and showing(node):
                box = extents(node)
                print(node.getRoleName(), repr(node.name), box.x, box.y, box.width, box.height)
        except Exception:
            print(node.getRoleName(), repr(node.name))


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "panel":
        panel_pictures(sys.argv[2])
    elif command == "everywhere":
        everywhere_pictures()
    else:
        tree()
