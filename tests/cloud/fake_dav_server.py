#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A small stand-in for a WebDAV server, for behaviours Apache cannot be made to show:
asking clients to wait (429), answering for ever, weak entity tags, Nextcloud's OC-ETag, a tag
and dates given only by PROPFIND, and session cookies. Files live in memory.
Prints "LISTENING <port>" once it serves; GET /_requests lists the requests seen so far."""

import argparse
import email.utils
import hashlib
import json
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class State:
    def __init__(self, busy):
        self.lock = threading.Lock()
        self.files = {}  # path -> (bytes, modification time in whole seconds)
        self.requests = []
        self.busy_left = busy


def make_handler(state, options):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def reply(self, status, body=b"", headers=()):
            self.send_response(status)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Set-Cookie", "session=abc; Path=/")
            for name, value in headers:
                self.send_header(name, value)
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def tag(self, content):
            digest = '"%s"' % hashlib.sha1(content).hexdigest()
            return "W/" + digest if options.weak else digest

        def handle_any(self):
            body = self.rfile.read(int(self.headers.get("Content-Length") or 0))
            if self.path == "/_requests":
                with state.lock:
                    listing = json.dumps(state.requests).encode()
                return self.reply(200, listing, [("Content-Type", "application/json")])
            if options.trickle and self.command == "GET":
                with state.lock:
                    state.requests.append({"method": self.command, "path": self.path, "headers": {}})
                self.send_response(200)
                self.send_header("Content-Length", "100000000")
                self.end_headers()
                try:
                    while True:  # a byte now and then: never idle, never done
                        self.wfile.write(b"x")
                        self.wfile.flush()
                        time.sleep(0.2)
                except OSError:
                    return
            with state.lock:
                state.requests.append({"method": self.command, "path": self.path,
                                       "headers": {k.lower(): v for k, v in self.headers.items()}})
                if state.busy_left > 0:
                    state.busy_left -= 1
                    now = time.time()
                    wait = {"date": email.utils.formatdate(now + 1, usegmt=True), "huge": "9223372036854775807"}.get(
                        options.retry_after, "1")
                    return self.reply(429, b"busy", [("Retry-After", wait),
                                                     ("Date", email.utils.formatdate(now, usegmt=True))])
                stored = state.files.get(self.path)
                if self.command in ("GET", "HEAD"):
                    if stored is None:
                        return self.reply(404)
                    if options.propfind_only:
                        return self.reply(200, stored[0])
                    tags = [("ETag", self.tag(stored[0]))]
                    if options.oc_etag:
                        # Nextcloud's own tag, beside an ETag that a proxy rewrote.
                        tags = [("OC-ETag", self.tag(stored[0])), ("ETag", '"rewritten"')]
                    return self.reply(200, stored[0], tags + [
                        ("Last-Modified", email.utils.formatdate(stored[1], usegmt=True))])
                if self.command == "PROPFIND" and options.propfind_only and stored is not None:
                    created = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(stored[1]))
                    listing = ('<?xml version="1.0" encoding="utf-8"?><d:multistatus xmlns:d="DAV:"><d:response>'
                               '<d:href>%s</d:href><d:propstat><d:prop><d:getetag>%s</d:getetag>'
                               '<d:getlastmodified>%s</d:getlastmodified><d:creationdate>%s</d:creationdate>'
                               '</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>'
                               '</d:multistatus>') % (self.path, self.tag(stored[0]),
                                                      email.utils.formatdate(stored[1], usegmt=True), created)
                    return self.reply(207, listing.encode(), [("Content-Type", "application/xml; charset=utf-8")])
                if self.command == "PUT":
                    if self.headers.get("If-None-Match") == "*" and stored is not None:
                        return self.reply(412)
                    if_match = self.headers.get("If-Match")
                    if if_match is not None:
                        # Strong comparison: a weak tag matches nothing.
                        if stored is None or options.weak or if_match != self.tag(stored[0]):
                            return self.reply(412)
                    since = self.headers.get("If-Unmodified-Since")
                    if since is not None and stored is not None:
                        if stored[1] > email.utils.parsedate_to_datetime(since).timestamp():
                            return self.reply(412)
                    state.files[self.path] = (body, int(time.time()))
                    return self.reply(204 if stored is not None else 201)
                if self.command == "MKCOL":
                    return self.reply(201)
                return self.reply(405)

        do_GET = do_HEAD = do_PUT = do_MKCOL = do_PROPFIND = do_DELETE = handle_any

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--busy", type=int, default=0, help="answer this many requests with 429 first")
    parser.add_argument("--retry-after", choices=("seconds", "date", "huge"), default="seconds")
    parser.add_argument("--trickle", action="store_true", help="answer GET with a body that never ends")
    parser.add_argument("--weak", action="store_true", help="give weak entity tags")
    parser.add_argument("--oc-etag", action="store_true", help="give the tag as OC-ETag and a wrong ETag")
    parser.add_argument("--propfind-only", action="store_true",
                        help="GET without tag or date: they come only from PROPFIND")
    options = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), make_handler(State(options.busy), options))
    print("LISTENING %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
