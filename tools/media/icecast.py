#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A local Icecast 2 server with one ezstream source per mount, for the playback tests and the
playback benchmark.

    icecast.py --mount /radio.mp3=FILE:MP3 [--mount /radio.ogg=FILE:Ogg ...] [--admin-password P]

Each source loops its file. The configuration lives in a temporary folder for the life of the
script. It prints "LISTENING <port>" once every mount is on the air, and runs until it is
terminated; the sources are stopped before the server, so that Icecast does not log them lost.
The admin user is "admin" (for /admin/metadata, which sets a mount's stream title).
"""
import argparse
import json
import os
import secrets
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request
from pathlib import Path

STARTUP_SECONDS = 30
PORT_ATTEMPTS = 3  # the free port found may be taken again before Icecast binds it


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def write_private(path, text):
    # ezstream refuses a configuration that others may read: it holds a password.
    path.write_text(text)
    path.chmod(0o600)


def mounts_on_air(port):
    """The mounts Icecast has a source for, None while it does not answer."""
    try:
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/status-json.xsl", timeout=2) as reply:
            sources = json.load(reply)["icestats"].get("source", [])
    except (OSError, ValueError, KeyError):
        return None
    sources = sources if isinstance(sources, list) else [sources]  # one source is an object
    return {s["listenurl"].split(str(port), 1)[-1] for s in sources}


def start_server(folder, port, source_password, admin_password):
    # Icecast will not run as root without somebody to become.
    owner = ("<changeowner><user>nobody</user><group>nogroup</group></changeowner>"
             if os.geteuid() == 0 else "")
    config = folder / "icecast.xml"
    write_private(config, f"""<icecast><limits><sources>8</sources></limits>
<authentication><source-password>{source_password}</source-password>
<admin-user>admin</admin-user><admin-password>{admin_password}</admin-password></authentication>
<hostname>127.0.0.1</hostname>
<listen-socket><port>{port}</port><bind-address>127.0.0.1</bind-address></listen-socket>
<paths><basedir>{folder}</basedir><logdir>{folder}</logdir><webroot>/usr/share/icecast2/web</webroot>
<adminroot>/usr/share/icecast2/admin</adminroot></paths>
<logging><accesslog>-</accesslog><errorlog>-</errorlog><loglevel>2</loglevel></logging>
<security><chroot>0</chroot>{owner}</security></icecast>""")
    return launch(folder, ["icecast2", "-c", str(config)])


def start_source(folder, port, source_password, mount, index):
    path, source = mount.split("=", 1)
    audio, form = source.rsplit(":", 1)
    config = folder / f"ezstream{index}.xml"
    write_private(config, f"""<ezstream><servers><server><hostname>127.0.0.1</hostname><port>{port}</port>
<password>{source_password}</password><tls>None</tls><reconnect_attempts>20</reconnect_attempts></server></servers>
<streams><stream><mountpoint>{path}</mountpoint><format>{form}</format><stream_name>Test Station</stream_name><stream_genre>Test Tones</stream_genre><stream_url>http://www.example.org/</stream_url>
</stream></streams><intakes><intake><type>file</type><filename>{audio}</filename><stream_once>No</stream_once>
</intake></intakes><metadata><no_updates>Yes</no_updates></metadata></ezstream>""")
    return path, launch(folder, ["ezstream", "-c", str(config)])


def launch(folder, command):
    # Quiet unless the start fails: then the log is shown.
    with open(folder / "log", "a") as log:
        return subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT)


def fail(folder, reason):
    sys.exit(f"{reason}:\n{(folder / 'log').read_text(errors='replace')}")


def wait_until(condition, processes):
    deadline = time.monotonic() + STARTUP_SECONDS
    while time.monotonic() < deadline:
        if any(p.poll() is not None for p in processes):
            return False
        if condition():
            return True
        time.sleep(0.1)
    return False


def stop(processes):
    for p in reversed(processes):
        p.terminate()
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
    processes.clear()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mount", action="append", required=True, help="PATH=FILE:FORMAT (MP3 or Ogg)")
    parser.add_argument("--admin-password", default=secrets.token_hex(8))
    args = parser.parse_args()
    source_password = secrets.token_hex(8)
    processes = []
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        with tempfile.TemporaryDirectory() as tmp:
            folder = Path(tmp)
            for _ in range(PORT_ATTEMPTS):
                port = free_port()
                processes.append(start_server(folder, port, source_password, args.admin_password))
                if wait_until(lambda: mounts_on_air(port) is not None, processes):
                    break
                stop(processes)
            else:
                fail(folder, "icecast2 does not answer")
            paths = set()
            for index, mount in enumerate(args.mount):
                path, source = start_source(folder, port, source_password, mount, index)
                paths.add(path)
                processes.append(source)
            if not wait_until(lambda: paths <= (mounts_on_air(port) or set()), processes):
                fail(folder, "the sources did not reach Icecast")
            print(f"LISTENING {port}", flush=True)
            signal.pause()
    finally:
        stop(processes)


if __name__ == "__main__":
    main()
