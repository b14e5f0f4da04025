# SPDX-License-Identifier: GPL-3.0-or-later
"""How each failure mode answers a request.

Every function takes the request handler, the rule (with its options filled in
by control.parse_rules) and a callable that yields the normal answer, for the
modes that send all or part of it.
"""

import time

from catalog import encode

JSON = "application/json; charset=utf-8"
HTML = "text/html; charset=utf-8"

SERVER_ERROR_PAGE = b"""<!DOCTYPE html>
<html>
<head><title>500 Internal Server Error</title></head>
<body>
<h1>Internal Server Error</h1>
<p>The server encountered an internal error and was unable to complete your request.</p>
</body>
</html>
"""

NOT_FOUND_PAGE = b"""<!DOCTYPE html>
<html>
<head><title>404 Not Found</title></head>
<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p></body>
</html>
"""

# What a captive portal or a parked domain hands out instead of the API.
PORTAL_PAGE = """<!DOCTYPE html>
<html lang="en">
<head><meta charset="utf-8"><title>Wi-Fi Login</title></head>
<body>
<h1>Welcome to Café Wi-Fi</h1>
<form method="post" action="/login"><label>Room number <input name="room"></label>
<button>Connect</button></form>
</body>
</html>
""".encode("utf-8")

ERROR_OBJECT = encode({"error": "Service temporarily unavailable, please retry later"})

# A station-shaped element repeated for ever by the endless mode.
_ENDLESS_ELEMENT = encode({"changeuuid": "00000000-0000-4000-8000-000000000000",
                           "name": "Endless Radio", "url": "http://stream.endless.example/live",
                           "bitrate": 128, "lastcheckok": 1}) + b","


def _delay(handler, rule, normal):
    if handler.server.stopping.wait(rule["seconds"]):
        handler.close_connection = True
        return
    handler.send_answer(normal())


def _truncated(handler, rule, normal):
    body = normal().document.body
    cut = min(len(body) - 1, int(len(body) * rule["fraction"])) if body else 0
    handler.send_body(200, JSON, body[:max(cut, 0)])


def _stall(handler, rule, normal):
    """Promise the whole body, send half of it, then go quiet and finally hang up."""
    body = normal().document.body
    handler.send_response(200)
    handler.send_header("Content-Type", JSON)
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body[:len(body) // 2])
    handler.server.stopping.wait(rule["seconds"])
    handler.close_connection = True


def _endless(handler, rule, normal):
    """A chunked JSON array that never closes, until the client leaves."""
    handler.send_response(200)
    handler.send_header("Content-Type", JSON)
    handler.send_header("Transfer-Encoding", "chunked")
    handler.end_headers()
    handler.close_connection = True
    size = int(rule["chunk_size"])
    stream = b"[" + _ENDLESS_ELEMENT * (size // len(_ENDLESS_ELEMENT) + 2)
    offset = 0
    deadline = time.monotonic() + rule["seconds"]
    while time.monotonic() < deadline:
        piece = stream[offset:offset + size]
        offset = 1 + (offset + size - 1) % len(_ENDLESS_ELEMENT)
        try:
            handler.wfile.write(b"%X\r\n%s\r\n" % (len(piece), piece))
        except OSError:
            return      # the client went away
        if handler.server.stopping.wait(rule["interval"]):
            return


def _disconnect(handler, rule, normal):
    handler.close_connection = True


_ANSWERS = {
    "delay": _delay,
    "http500": lambda h, r, n: h.send_body(500, HTML, SERVER_ERROR_PAGE),
    "truncated": _truncated,
    "object": lambda h, r, n: h.send_body(200, JSON, ERROR_OBJECT),
    "endless": _endless,
    "html": lambda h, r, n: h.send_body(200, HTML, PORTAL_PAGE),
    "notfound": lambda h, r, n: h.send_body(404, HTML, NOT_FOUND_PAGE),
    "stall": _stall,
    "disconnect": _disconnect,
    "empty": lambda h, r, n: h.send_body(200, JSON, b""),
}


def respond(handler, rule, normal):
    _ANSWERS[rule["mode"]](handler, rule, normal)
