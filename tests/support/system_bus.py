#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A private system bus with python-dbusmock's NetworkManager and logind, for the tests.

Prints "BUS <address>" once both answer, then carries out one command per line of its input
and prints "DONE <command>" after each:

    network-down     NetworkManager's state goes to disconnected
    network-up       NetworkManager's state goes to connected (global)
    sleep            logind sends PrepareForSleep(true)
    wake             logind sends PrepareForSleep(false)
"""

import atexit
import os
import signal
import sys

import dbus
import dbusmock

NM_STATE_DISCONNECTED = 20
NM_STATE_CONNECTED_GLOBAL = 70


def main():
    dbusmock.DBusTestCase.start_system_bus()
    # The bus daemon forks away from our process group: end it ourselves, also when ended.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    atexit.register(dbusmock.DBusTestCase.stop_dbus, dbusmock.DBusTestCase.system_bus_pid)
    nm, nm_control = dbusmock.DBusTestCase.spawn_server_template("networkmanager", {}, system_bus=True)
    logind, logind_control = dbusmock.DBusTestCase.spawn_server_template("logind", {}, system_bus=True)
    print("BUS " + os.environ["DBUS_SYSTEM_BUS_ADDRESS"], flush=True)
    for line in sys.stdin:
        command = line.strip()
        if command in ("network-down", "network-up"):
            state = NM_STATE_CONNECTED_GLOBAL if command == "network-up" else NM_STATE_DISCONNECTED
            nm_control.SetGlobalConnectionState(dbus.UInt32(state))
        elif command in ("sleep", "wake"):
            logind_control.EmitSignal("org.freedesktop.login1.Manager", "PrepareForSleep", "b",
                                      [dbus.Boolean(command == "sleep")])
        elif command:
            print("UNKNOWN " + command, flush=True)
            continue
        print("DONE " + command, flush=True)
    nm.terminate()
    logind.terminate()
    return 0


if __name__ == "__main__":
    sys.exit(main())
