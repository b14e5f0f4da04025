#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# appearance_session.sh EXECUTABLE SOURCE_DIR dark|light: the real program in a window (no tray
# host) under Xvfb, with a desktop portal on its private session bus that answers the given
# colour scheme. The window's pixels must be mostly dark (mean luminance under 0.35) or light
# (over 0.65), and the Play button and the favourite star must stand out from their
# background. The desktop then switches to the other scheme (the portal's SettingChanged) and
# the window follows. Last, the window is resized, the program quits and starts again: the
# window comes back at the size it was left.
set -uo pipefail
exe=$1 source=$2 scheme=$3
if [ -z "${OSTREL_PRIVATE_BUS:-}" ]; then
    OSTREL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$source/tools/lib/desktop-session.sh"
desktop_session 1024x800 AT --no-tray
export DBUS_SESSION_BUS_ADDRESS=$bus QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

portal_value() { [ "$1" = dark ] && echo 1 || echo 2; }
desktop_portal "$scheme"

start() {
    "$exe" --server "http://127.0.0.1:$port" --discovery "http://127.0.0.1:$port" --show >> "$work/app.log" 2>&1 &
    pids+=($!)
}
start

other=$([ "$scheme" = dark ] && echo light || echo dark)
OSTREL_EXE=$exe PYTHONPATH=$source/tools/lib /usr/bin/python3 - "$scheme" "$other" "$(portal_value "$other")" <<'PY' \
    || fail "the window's colours"
import subprocess, sys
import pyatspi
from atspi import find, program, status, wait
from xscreen import grab, luminance, pixels

scheme, other, other_value = sys.argv[1:]

def box(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height

def mean_luminance(node):
    values = [luminance(p) for p in pixels(grab(*box(node)))]
    return sum(values) / len(values)

def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)

def stands_out(node):
    """The strongest contrast between the control's pixels and its most common colour."""
    seen = {}
    for p in pixels(grab(*box(node))):
        seen[p] = seen.get(p, 0) + 1
    background = max(seen, key=seen.get)
    return max(contrast(p, background) for p in seen)

def looks(name):
    return mean_luminance(panel) < 0.35 if name == "dark" else mean_luminance(panel) > 0.65

app = wait("the program is not on the accessibility bus", program)
panel = wait("the panel is not in the accessible tree", lambda: find(app, pyatspi.ROLE_FILLER, "Ostrel Radio")
             or find(app, pyatspi.ROLE_PANEL, "Ostrel Radio"))
wait("the stations did not load", lambda: status().get("message") == "92 Stations")
play = wait("no Play button", lambda: find(panel, pyatspi.ROLE_PUSH_BUTTON, "Play"))
star = wait("no favourite star", lambda: find(panel, pyatspi.ROLE_CHECK_BOX, "Favourite"))
for name in (scheme, other):
    if name == other:
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.portal.Desktop",
                        "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings.Mock.SetColorScheme",
                        "uint32:" + other_value], check=True, capture_output=True)
    wait(f"the window is not {name}: mean luminance {mean_luminance(panel):.2f}", lambda: looks(name))
    for control in (play, star):
        ratio = stands_out(control)
        print(f"{name}: mean luminance {mean_luminance(panel):.2f}, {control.name!r} contrast {ratio:.1f}")
        if ratio < 3:
            sys.exit(f"FAIL: {control.name!r} does not stand out from its background on {name}: {ratio:.1f}")
PY

# The window's size outlives the program.
window() { xdotool search --onlyvisible --name '^Ostrel Radio$' | head -n 1; }
size_of() { xdotool getwindowgeometry "$1" | awk '/Geometry/ {print $2}'; }
id=$(window)
[ -n "$id" ] || fail "no window"
xdotool windowsize "$id" 700 620
for _ in $(seq 50); do [ "$(size_of "$id")" = 700x620 ] && break; sleep 0.1; done
[ "$(size_of "$id")" = 700x620 ] || fail "the window did not take the new size: $(size_of "$id")"
"$exe" --quit > /dev/null 2>&1
for _ in $(seq 100); do "$exe" --status > /dev/null 2>&1 || break; sleep 0.1; done
start
for _ in $(seq 150); do id=$(window); [ -n "$id" ] && break; sleep 0.2; done
[ -n "$id" ] || fail "no window after the second start"
[ "$(size_of "$id")" = 700x620 ] || fail "the window came back at $(size_of "$id"), not 700x620"
echo "window size kept: 700x620"
echo "1 passed, 0 failed"
