# SPDX-License-Identifier: GPL-3.0-or-later
"""What the scripts that drive the program over the accessibility bus share: the program's state
from `--status`, a wait for a state, and finding controls in the accessible tree.
OSTREL_EXE names the program."""
import json
import os
import subprocess
import sys
import time

import pyatspi


def status():
    run = subprocess.run([os.environ["OSTREL_EXE"], "--status"], capture_output=True, text=True)
    return json.loads(run.stdout) if run.stdout.strip().startswith("{") else {}


def wait(what, probe, seconds=30, give_up=None):
    """The first true value of probe(), asked five times a second; when none comes in time,
    give_up(what) or the script fails saying what did not happen."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = probe()
            if value:
                return value
        except Exception:  # a node that went away while asked
            pass
        time.sleep(0.2)
    if give_up:
        give_up(what)
    sys.exit("FAIL: " + what)


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


def find(root, role, name=None, visible=False):
    return next((n for n in nodes(root) if n.getRole() == role and (name is None or n.name == name)
                 and (not visible or showing(n))), None)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((a for a in desktop if a is not None and a.name in ("Ostrel Radio", "ostrel-radio")), None)
