#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for Nextcloud's Login Flow v2 endpoints. The poll answers "not yet" (404) a given
number of times, then the credentials once. Prints "LISTENING <port>" once it serves.
--mode broken answers the start with 500; --grant-delay holds the credentials back that many
seconds. GET /_control/polls and /_control/granted count the polls and the credentials sent."""

import argparse
import json
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pending", type=int, default=2)
    parser.add_argument("--mode", default="ok")
    parser.add_argument("--grant-delay", type=float, default=0)
    args = parser.parse_args()
    state = {"pending": args.pending, "polls": 0, "granted": 0}

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *_):
            pass

        def reply(self, status, payload=None):
            body = json.dumps(payload).encode() if payload is not None else b""
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def do_POST(self):
            length = int(self.headers.get("Content-Length", 0))
            form = self.rfile.read(length).decode()
            base = "http://127.0.0.1:%d" % self.server.server_port
            if self.path == "/nc/index.php/login/v2":
                if args.mode == "broken":
                    return self.reply(500, {"error": "broken"})
                return self.reply(200, {"poll": {"token": "t0k3n", "endpoint": base + "/nc/login/v2/poll"},
                                        "login": base + "/nc/login/v2/flow/abc"})
            if self.path == "/nc/login/v2/poll" and form == "token=t0k3n":
                state["polls"] += 1
                if state["pending"] > 0:
                    state["pending"] -= 1
                    return self.reply(404)
                time.sleep(args.grant_delay)
                self.reply(200, {"server": base + "/nc", "loginName": "alice", "appPassword": "app-pass-123"})
                state["granted"] += 1
                return None
            self.reply(404)

        def do_GET(self):
            name = self.path.removeprefix("/_control/")
            if name in ("polls", "granted"):
                return self.reply(200, state[name])
            self.reply(404)

    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    print("LISTENING %d" % server.server_port, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
