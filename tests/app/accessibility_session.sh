#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# accessibility_session.sh EXECUTABLE SOURCE_DIR tray|window: the real program as a screen reader
# meets it, through the accessibility bus of a private session bus, under Xvfb with a tray host
# (tray) or without one (window). A client on the bus finds the panel, reads the station count,
# types a search through the accessibility API and reads the new count, reads the station name
# and the now-playing line, presses Play by its name, and toggles the checkable controls with
# their own "Toggle" action (which never clicks): the favourite lands in the list file, the
# country picker opens and closes.
set -uo pipefail
exe=$1 source=$2 mode=$3
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$source/tools/lib/desktop-session.sh"
if [ "$mode" = tray ]; then desktop_session 1280x900 AT --height 32; else desktop_session 1280x900 AT --no-tray; fi
export DBUS_SESSION_BUS_ADDRESS=$bus QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

"$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show > "$work/app.log" 2>&1 &
pids+=($!)

OSTREL_EXE=$exe PYTHONPATH=$source/tools/lib /usr/bin/python3 - "$mode" <<'PY' || fail "the accessibility client failed"
import os, re, sys
import pyatspi
from atspi import find, nodes, program, showing, status, wait

def need(root, role, name):
    found = find(root, role, name)
    if not found:  # what the bus shows instead, for the log
        print("\n".join("%s %r" % (n.getRoleName(), n.name) for n in nodes(root) if n.name))
        sys.exit("FAIL: no %s named %r" % (pyatspi.Role(role), name))
    return found

app = wait("the program is not on the accessibility bus", program)
panel = wait("the panel is not in the accessible tree", lambda: find(app, pyatspi.ROLE_FILLER, "Ostrel Radio")
             or find(app, pyatspi.ROLE_PANEL, "Ostrel Radio"))
count = wait("the status line never read '92 Stations'", lambda: find(panel, pyatspi.ROLE_LABEL, "92 Stations"))
print("status line:", count.name)

search = need(panel, pyatspi.ROLE_TEXT, "Search stations")
search.queryEditableText().setTextContents("radio")
state = wait("the program did not take the search", lambda: (s := status()) and s["message"] != "92 Stations" and s)
wait("the status line did not read the new count " + state["message"],
     lambda: count.name == state["message"] and re.fullmatch(r"\d+ Stations?", count.name))
print("after the search:", count.name)

station = wait("the station name is not readable", lambda: find(panel, pyatspi.ROLE_LABEL, state["station"]))
line = need(panel, pyatspi.ROLE_PUSH_BUTTON, state["nowPlaying"])
print("station:", station.name, "| now playing:", line.name)

play = need(panel, pyatspi.ROLE_PUSH_BUTTON, "Play")
actions = play.queryAction()
actions.doAction(next(i for i in range(actions.nActions) if actions.getName(i) in ("Press", "press", "click")))
wait("pressing Play did not start playback", lambda: play.name in ("Loading...", "Stop") or line.name.startswith("⚠"))
print("after Play:", play.name, "|", line.name)

def toggle(control):
    actions = control.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if not any(n.lower() == "toggle" for n in names):
        sys.exit("FAIL: %r offers %s, not Toggle" % (control.name, names))
    actions.doAction(next(i for i, n in enumerate(names) if n.lower() == "toggle"))

favourites = os.path.join(os.environ["XDG_DATA_HOME"], "Ostrel Radio", "favoriteStations.dat")
def favourite_file():
    return open(favourites, "rb").read() if os.path.exists(favourites) else b""
favourite = need(panel, pyatspi.ROLE_CHECK_BOX, "Favourite")
toggle(favourite)
wait("toggling Favourite saved no favourite", lambda: state["station"].encode() in favourite_file())
wait("Favourite is not checked", lambda: favourite.getState().contains(pyatspi.STATE_CHECKED))
toggle(favourite)
wait("toggling Favourite again kept the favourite", lambda: state["station"].encode() not in favourite_file())
print("favourite: toggled on and off")

country = need(panel, pyatspi.ROLE_CHECK_BOX, "Choose the country")
toggle(country)
picker = wait("toggling the country button opened no picker",
              lambda: (p := find(panel, pyatspi.ROLE_TEXT, "Search countries by name or code")) and showing(p) and p)
toggle(country)
wait("toggling the country button again left the picker open", lambda: not showing(picker))
print("country picker: opened and closed")
PY
[ "$mode" = tray ] && { case "$("$exe" --status)" in *'"trayIcon":true'*) ;; *) fail "no tray icon" ;; esac; }
echo "1 passed, 0 failed"
