#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A radio stream server that misbehaves on request, for the playback tests and by hand.

    faultstream.py --audio FILE [--port 0] [--bitrate 128000]

Serves FILE (an MP3 file, looped) at the pace of --bitrate on every path, after a burst of
32 KB as Icecast sends one. It prints "LISTENING <port>" once, then "CONNECTION <path>" for each
request (path with its query), so a test can count attempts. The query picks the behaviour:

    status=404        answer with that status and a short text, no audio
    type=text/html    answer 200 with an HTML page instead of audio
    close_after=N     close the connection after N bytes of audio
    stall_after=N     stop sending after N bytes of audio, keeping the connection open
    times=K           close or stall only the first K connections of this path and query
    then_status=404   after those K, answer the next then_times connections (default 1) with
                      that status; then_status=html answers with an HTML page instead
    silent=1          accept the request and never answer it
    prefix=BYTES      send these percent-encoded bytes before the audio ("PSID" makes a C64 tune)
    titles=A~B~...    ICY stream titles, one per metadata block, the last one repeated; each is
                      percent-encoded raw bytes (Caf%E9 is Latin-1, Caf%C3%A9 UTF-8)
    metaint=N         ICY metadata interval in bytes (default 8000)

ICY metadata is only sent to clients that ask for it with "Icy-MetaData: 1".
"""

import argparse
import collections
import http.server
import socket
import sys
import threading
import time
import urllib.parse

BURST = 32000
CHUNK_SECONDS = 0.1

connections = collections.Counter()
connections_lock = threading.Lock()


def log(line):
    print(line, flush=True)


class AudioLoop:
    """Endless bytes of the audio file."""

    def __init__(self, data, prefix=b""):
        self.data = data
        self.prefix = prefix
        self.pos = 0

    def take(self, n):
        out = bytearray(self.prefix[:n])
        self.prefix = self.prefix[n:]
        while len(out) < n:
            part = self.data[self.pos:self.pos + n - len(out)]
            out += part
            self.pos = (self.pos + len(part)) % len(self.data)
        return bytes(out)


def icy_block(title):
    if title is None:
        return b"\x00"
    text = b"StreamTitle='" + title + b"';"
    blocks = (len(text) + 15) // 16
    return bytes([blocks]) + text.ljust(blocks * 16, b"\x00")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "faultstream/1"

    def log_message(self, fmt, *args):  # the CONNECTION lines are the log
        pass

    def do_GET(self):
        log("CONNECTION " + self.path)
        # Raw values: a title's bytes must survive undecoded.
        raw = dict(p.split("=", 1) if "=" in p else (p, "")
                   for p in urllib.parse.urlsplit(self.path).query.split("&") if p)

        def param(name, default=None):
            return urllib.parse.unquote(raw[name]) if name in raw else default

        with connections_lock:
            connections[self.path] += 1
            nth = connections[self.path]
        times = int(param("times", "1000000000"))
        faulty = nth <= times

        try:
            then = param("then_status")
            if then and times < nth <= times + int(param("then_times", "1")):
                raw.pop("then_status")
                if then == "html":
                    raw["type"] = "text/html"
                else:
                    raw["status"] = then
            if param("silent") == "1":
                while not self.server.stopping:
                    time.sleep(0.2)
                return
            status = int(param("status", "200"))
            if status != 200:
                self.send_error(status)
                return
            if param("type") == "text/html":
                body = b"<!DOCTYPE html><html><head><title>Radio</title></head><body>" + b"<p>Listen live!</p>" * 200 + b"</body></html>"
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            titles = None
            if "titles" in raw:
                titles = [urllib.parse.unquote_to_bytes(t) for t in raw["titles"].split("~")]
            prefix = urllib.parse.unquote_to_bytes(raw.get("prefix", ""))
            self.stream(param, titles, prefix, faulty)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def stream(self, param, titles, prefix, faulty):
        close_after = int(param("close_after", "-1")) if faulty else -1
        stall_after = int(param("stall_after", "-1")) if faulty else -1
        metaint = int(param("metaint", "8000"))
        with_icy = self.headers.get("Icy-MetaData", "0").strip() == "1"

        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("icy-name", "Fault Stream")
        if with_icy:
            self.send_header("icy-metaint", str(metaint))
        self.end_headers()

        audio = AudioLoop(self.server.audio, prefix)
        sent = 0          # audio bytes
        since_meta = 0
        block_index = 0
        rate = self.server.bitrate // 8
        budget = BURST
        started = time.monotonic()
        while not self.server.stopping:
            if 0 <= close_after <= sent:
                self.connection.shutdown(socket.SHUT_RDWR)
                return
            if 0 <= stall_after <= sent:
                time.sleep(0.2)
                continue
            n = budget
            if close_after >= 0:
                n = min(n, close_after - sent)
            if stall_after >= 0:
                n = min(n, stall_after - sent)
            out = bytearray()
            while n > 0:
                if with_icy and since_meta == metaint:
                    title = None
                    if titles is not None:
                        title = titles[min(block_index, len(titles) - 1)]
                    out += icy_block(title)
                    block_index += 1
                    since_meta = 0
                step = min(n, metaint - since_meta) if with_icy else n
                out += audio.take(step)
                since_meta += step
                sent += step
                n -= step
            if out:
                self.wfile.write(out)
                self.wfile.flush()
            time.sleep(CHUNK_SECONDS)
            # Keep to the bitrate on average after the burst.
            due = BURST + int((time.monotonic() - started) * rate)
            budget = max(0, due - sent)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    stopping = False


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--audio", required=True)
    parser.add_argument("--bitrate", type=int, default=128000)
    args = parser.parse_args()

    server = Server(("127.0.0.1", args.port), Handler)
    with open(args.audio, "rb") as f:
        server.audio = f.read()
    server.bitrate = args.bitrate
    log("LISTENING %d" % server.server_address[1])
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping = True
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
