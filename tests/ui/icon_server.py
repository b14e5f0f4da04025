# SPDX-License-Identifier: GPL-3.0-or-later
"""Local HTTP server of station icons for the image view tests, and of playlists and pages for
the tests that add stations by address.

    python3 icon_server.py --port 0

prints "LISTENING <port>" once it accepts connections. Loopback only, standard
library only. Paths:

  /png/<name>?size=N&color=RRGGBB   an N x N PNG of one colour (default 32, 808080)
  /slow/<name>?delay=S&color=...    the same after S seconds
  /webp                             a 48 x 48 blue WebP
  /big                              a 5000 x 5000 PNG (small on the wire)
  /huge                             3 MiB announced by Content-Length
  /huge-chunked                     3 MiB in chunks, no Content-Length
  /trickle                          a PNG sent 64 bytes every 0.2 s
  /hang                             no answer for a minute
  /notimage                         an HTML page
  /svg                              an SVG image
  /status/<code>                    that status with an HTML page
  /redirect?to=URL                  302 to URL
  /text/<name>?type=T&body=B        the text B (percent-encoded) with content type T
  /_control/count?prefix=P          number of requests whose path starts with P
  /_control/reset                   forgets the requests
"""

import argparse
import base64
import struct
import sys
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

_lock = threading.Lock()
_requests = []
_big = None
# 48 x 48 pixels of 0000ff, lossless.
_WEBP = base64.b64decode("UklGRiIAAABXRUJQVlA4TBUAAAAvL8ALAAcQ0f/+B4CE8H+9GNH/1AMA")


def png(width, height, rgb):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    row = b"\x00" + bytes(rgb) * width
    packer = zlib.compressobj(9)
    data = b"".join(packer.compress(row) for _ in range(height)) + packer.flush()
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) +
            chunk(b"IEND", b""))


def big_png():
    global _big
    with _lock:
        if _big is None:
            _big = png(5000, 5000, (10, 200, 10))
        return _big


def colour(query):
    text = query.get("color", ["808080"])[0]
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        parts = urlsplit(self.path)
        path, query = parts.path, parse_qs(parts.query)
        if path.startswith("/_control/"):
            return self.control(path, query)
        with _lock:
            _requests.append(path)
        try:
            self.answer(path, query)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def control(self, path, query):
        if path == "/_control/reset":
            with _lock:
                _requests.clear()
            return self.send_body(200, b"ok", "text/plain")
        prefix = query.get("prefix", [""])[0]
        with _lock:
            count = sum(1 for p in _requests if p.startswith(prefix))
        self.send_body(200, str(count).encode(), "text/plain")

    def answer(self, path, query):
        size = int(query.get("size", ["32"])[0])
        if path.startswith("/png/"):
            return self.send_body(200, png(size, size, colour(query)), "image/png")
        if path.startswith("/slow/"):
            time.sleep(float(query.get("delay", ["1"])[0]))
            return self.send_body(200, png(size, size, colour(query)), "image/png")
        if path.startswith("/text/"):
            body = query.get("body", [""])[0].encode("utf-8", "surrogateescape")
            return self.send_body(200, body, query.get("type", ["text/plain"])[0])
        if path == "/webp":
            return self.send_body(200, _WEBP, "image/webp")
        if path == "/big":
            return self.send_body(200, big_png(), "image/png")
        if path == "/huge":
            body = png(8, 8, (1, 2, 3))
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", str(3 * 1024 * 1024))
            self.end_headers()
            self.wfile.write(body + b"\0" * (3 * 1024 * 1024 - len(body)))
            return None
        if path == "/huge-chunked":
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            block = b"\0" * 65536
            for _ in range(48):
                self.wfile.write(b"%x\r\n" % len(block) + block + b"\r\n")
            self.wfile.write(b"0\r\n\r\n")
            return None
        if path == "/trickle":
            body = png(16, 16, (200, 0, 0))
            body += b"\0" * (4000 - len(body))  # about 12 s at this pace
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            for i in range(0, len(body), 64):
                self.wfile.write(body[i:i + 64])
                self.wfile.flush()
                time.sleep(0.2)
            return None
        if path == "/hang":
            time.sleep(60)
            return None
        if path == "/notimage":
            return self.send_body(200, b"<html><body>Sign in to continue</body></html>", "text/html")
        if path == "/svg":
            body = (b'<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32">'
                    b'<rect width="32" height="32" fill="red"/></svg>')
            return self.send_body(200, body, "image/svg+xml")
        if path.startswith("/status/"):
            return self.send_body(int(path[len("/status/"):]), b"<html>failure</html>", "text/html")
        if path == "/redirect":
            self.send_response(302)
            self.send_header("Location", query.get("to", ["/"])[0])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return None
        return self.send_body(404, b"<html>not here</html>", "text/html")


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # Clients that give up on a transfer are what the tests are about.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    server = Server(("127.0.0.1", args.port), Handler)
    print("LISTENING %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
