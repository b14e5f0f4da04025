#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A local stand-in for the Radio Browser directory API, for tests and benchmarks.

Prints "LISTENING <port>" on standard output once it accepts connections, and
nothing else there; stops cleanly on SIGTERM or SIGINT. See README.md.
"""

import argparse
import ipaddress
import json
import signal
import socket
import socketserver
import sys
import threading
from http.server import ThreadingHTTPServer

from catalog import DEFAULT_BULK_COUNT, DEFAULT_SEED, MAX_BULK_COUNT, Catalog
from control import ControlState, RuleError, parse_rules
from handler import DirectoryHandler
from search import Directory


class EmulatorServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, host, port, catalog, state, gzip=False, verbose=False):
        self.address_family = socket.AF_INET6 if ":" in host else socket.AF_INET
        self.catalog = catalog
        self.directory = Directory(catalog)
        self.state = state
        self.gzip = gzip
        self.verbose = verbose
        self.stopping = threading.Event()   # wakes waiting and streaming answers
        super().__init__((host, port), DirectoryHandler)

    def server_bind(self):
        # HTTPServer would look up the host's name here, which can stall
        # on a machine without working name resolution.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]


def loopback_host(text):
    if text == "localhost":
        return "127.0.0.1"
    try:
        address = ipaddress.ip_address(text)
    except ValueError:
        raise argparse.ArgumentTypeError("%r is not an IP address" % text)
    if not address.is_loopback:
        raise argparse.ArgumentTypeError("only loopback addresses may be bound, not %s" % text)
    return str(address)


def rules_option(text):
    try:
        value = json.loads(text)
    except ValueError:
        value = text        # a bare mode name
    try:
        return parse_rules(value)
    except RuleError as error:
        raise argparse.ArgumentTypeError(str(error))


def bulk_count(text):
    count = int(text)
    if not 0 <= count <= MAX_BULK_COUNT:
        raise argparse.ArgumentTypeError("between 0 and %d" % MAX_BULK_COUNT)
    return count


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", type=loopback_host, default="127.0.0.1",
                        help="loopback address to bind (default 127.0.0.1)")
    parser.add_argument("--port", type=int, default=0,
                        help="port to bind; 0 (the default) picks a free one")
    parser.add_argument("--seed", type=int, default=DEFAULT_SEED,
                        help="seed of the generated stations (default %(default)s)")
    parser.add_argument("--bulk-count", type=bulk_count, default=DEFAULT_BULK_COUNT,
                        help="stations sent for the country code ZZ when the request "
                             "has no count (default %(default)s)")
    parser.add_argument("--mode", type=rules_option, default=[],
                        help='failure rules in force from the start: a mode name or the '
                             'JSON accepted by POST /_control/mode')
    parser.add_argument("--gzip", action="store_true",
                        help="gzip directory replies for clients that accept it")
    parser.add_argument("--warm", action="store_true",
                        help="generate every station list before listening")
    parser.add_argument("--watch-stdin", action="store_true",
                        help="stop when standard input reaches its end")
    parser.add_argument("--verbose", action="store_true",
                        help="log each request on standard error")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse_args(argv)
    stop = threading.Event()
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: stop.set())

    catalog = Catalog(seed=args.seed, bulk_count=args.bulk_count)
    if args.warm:
        catalog.warm()
    try:
        server = EmulatorServer(args.host, args.port, catalog, ControlState(args.mode),
                                gzip=args.gzip, verbose=args.verbose)
    except OSError as error:
        print("cannot listen on %s port %d: %s" % (args.host, args.port, error),
              file=sys.stderr)
        return 2

    serving = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.05},
                               daemon=True)
    serving.start()
    if args.watch_stdin:
        threading.Thread(target=lambda: (sys.stdin.buffer.read(), stop.set()),
                         daemon=True).start()
    print("LISTENING %d" % server.server_address[1], flush=True)

    while not stop.wait(0.2):
        pass
    server.stopping.set()
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
