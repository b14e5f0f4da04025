#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""tether.py PROGRAM [ARGUMENT...]: runs PROGRAM in a process group of its own that ends with
the process that started this launcher.

Tests start their servers through it, so that nothing they start outlives them, even when they
crash, abort or are killed by the test runner: the kernel signals the launcher when its parent
dies (PR_SET_PDEATHSIG), and the launcher then ends the whole group. Setting the signal on the
server itself would not do: Apache and Icecast change their user when run as root, which clears
it, and Apache's workers are not its parent's children.

A SIGTERM to the launcher ends the group the same way; its exit status is PROGRAM's.
TETHER_PARENT, when set, is the process id the launcher belongs to: a wrapper in between (a
version manager's shim) may have started it after that process had already gone."""
import ctypes
import os
import signal
import sys

PR_SET_PDEATHSIG = 1
GRACE_SECONDS = 3  # less than the tests wait before they kill the launcher itself

if len(sys.argv) < 2:
    sys.exit("usage: tether.py PROGRAM [ARGUMENT...]")

parent = int(os.environ.pop("TETHER_PARENT", os.getppid()))
ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
if os.getppid() != parent:  # the parent died before the signal was set
    sys.exit(1)

child = os.fork()
if child == 0:
    os.setpgid(0, 0)
    # Should the launcher itself be killed outright: kept by programs that do not change user.
    ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
    try:
        os.execvp(sys.argv[1], sys.argv[1:])
    except OSError as error:
        print(f"cannot run {sys.argv[1]}: {error}", file=sys.stderr)
    os._exit(127)
try:
    os.setpgid(child, child)
except OSError:
    pass  # the child did it first, or has already gone


def end_group(sig=signal.SIGTERM):
    try:
        os.killpg(child, sig)
    except (ProcessLookupError, PermissionError):
        pass


def on_signal(signum, frame):
    end_group()
    # A server that ignores the request is killed.
    signal.signal(signal.SIGALRM, lambda *_: end_group(signal.SIGKILL))
    signal.alarm(GRACE_SECONDS)


for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(sig, on_signal)

_, status = os.waitpid(child, 0)
end_group()  # workers left behind by the program
code = os.waitstatus_to_exitcode(status)
sys.exit(128 - code if code < 0 else code)
