#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the running program to each README picture and takes it; started by tools/screenshots.sh.

    screenshots.py panel PLAYLIST_URL   the panel, the tags menu, the country picker, the server
                                        tab, the History tab, the "Add a station" dialog and a
                                        search of the whole directory
    screenshots.py tree                 prints what the accessibility bus shows, to find names

Each picture is taken twice, in the light and the dark scheme: the desktop portal on the session
bus (tests/support/portal_settings.py) switches the program's scheme as a desktop does. Pictures
go to OUT/light/NAME.png and OUT/dark/NAME.png, with SUFFIX (such as "@2x") after NAME.

Controls are found by their accessible names and clicked with xdotool in their middle, as a user
clicks them; every step waits for what the program shows next. OSTREL_EXE is the program, OUT the
folder for the pictures."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

import atspi
from atspi import nodes, program, showing, status
from xscreen import grab, luminance, pixels, write_png

OUT = os.environ.get("OUT", ".")
SUFFIX = os.environ.get("SUFFIX", "")
SETTLE = 0.6  # for a repaint after the awaited state, before the picture: it decides no verdict


def wait(what, probe, seconds=30):
    return atspi.wait(what, probe, seconds, give_up)


def give_up(what, root=None):
    if root:
        tree(root)  # what the bus shows instead
    shot = os.path.join(tempfile.gettempdir(), "screenshots-failed.png")
    write_png(shot, grab(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), SCREEN_WIDTH)
    print("the screen:", shot)
    sys.exit("no picture: " + what)


def find(root, role, name=None, visible=True):
    return atspi.find(root, role, name, visible)


class Box:
    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height


def extents(node):
    """Where the control is on the screen, in the screen's pixels."""
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    s = SCALE
    return Box(round(e.x * s), round(e.y * s), round(e.width * s), round(e.height * s))


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(node, dx=None):
    """A click in the middle of the control, or dx pixels from its left edge."""
    box = extents(node)
    xdotool("mousemove", box.x + (box.width // 2 if dx is None else round(dx * SCALE)), box.y + box.height // 2,
            "click", 1)


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
    xdotool("mousemove", 10, SCREEN_HEIGHT - 20)


# ---- Pictures

def picture(name, window, margin=24):
    """The panel's corner of the screen, tray icon included; with no margin, the window alone.
    Taken in both schemes, the one the program shows first."""
    first = SCHEME or "light"
    for scheme in (first, "dark" if first == "light" else "light"):
        set_scheme(scheme, window)
        time.sleep(SETTLE)
        box = extents(window)
        margin_px = round(margin * SCALE)
        left, top = max(0, box.x - margin_px), (0 if margin else box.y)
        width = (SCREEN_WIDTH - left) if margin else box.width
        height = min(SCREEN_HEIGHT, box.y + box.height + margin_px) - top
        os.makedirs(os.path.join(OUT, scheme), exist_ok=True)
        write_png(os.path.join(OUT, scheme, name + SUFFIX + ".png"), grab(left, top, width, height), width)
        print("written:", f"{scheme}/{name}{SUFFIX}.png", f"{width}x{height}")


SCHEME = None  # the portal's scheme, unknown until set: an earlier run may have left either


def set_scheme(scheme, window):
    """The desktop switches to the scheme; waits until the window shows it."""
    global SCHEME
    if scheme != SCHEME:
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.portal.Desktop",
                        "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings.Mock.SetColorScheme",
                        "uint32:" + ("1" if scheme == "dark" else "2")], check=True, capture_output=True)
        SCHEME = scheme

    def shows_it():
        box = extents(window)
        values = [luminance(p) for p in pixels(grab(box.x, box.y, box.width, box.height))]
        mean = sum(values) / len(values)
        return mean < 0.35 if scheme == "dark" else mean > 0.5
    wait(f"the window did not turn {scheme}", shows_it)


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True, check=True).stdout
    return map(int, out.split())


SCREEN_WIDTH, SCREEN_HEIGHT = screen_size()
# Qt tells the accessibility bus device-independent places: QT_SCALE_FACTOR multiplies them.
SCALE = float(os.environ.get("QT_SCALE_FACTOR", "1"))


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
    strip = need(panel, pyatspi.ROLE_FILLER, "Station strip")
    favourites = os.path.join(os.environ["XDG_DATA_HOME"], "Ostrel Radio", "favoriteStations.dat")
    if not os.path.exists(favourites):  # kept from an earlier run at another scale
        # Four favourites, chosen as a user does: a row clicked, then Space on it.
        rows = wait("the station list has no rows", lambda: [n for n in nodes(table)
                                                             if n.getRole() == pyatspi.ROLE_LIST_ITEM and showing(n)])
        rows.sort(key=lambda n: extents(n).y)
        for row in (rows[0], rows[1], rows[2], rows[4]):
            click(row, dx=60)
            xdotool("key", "space")
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
    xdotool("key", "Escape")
    wait("the dialog did not close", lambda: not showing(dialog))

    # Searching everywhere: "Everywhere" chosen in the country picker, then a name typed.
    click(need(panel, pyatspi.ROLE_PAGE_TAB, "Stations"))
    click(need(panel, pyatspi.ROLE_CHECK_BOX, "Choose the country"))
    click(need(panel, pyatspi.ROLE_PUSH_BUTTON, "Everywhere"))
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
    else:
        tree()
