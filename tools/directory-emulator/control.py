# SPDX-License-Identifier: GPL-3.0-or-later
"""What the tests steer and inspect: the request log and the failure rules.

A failure rule says how to answer the requests whose path starts with
path_prefix, for the next `count` such requests or for all of them. Rules are
set as a whole (one object or an array of them); the first rule that matches a
request and has requests left is used, and one of its requests is spent.
"""

import threading

from catalog import Document, encode

# Mode -> the numeric options it takes, with their defaults.
MODES = {
    "none": {},
    "delay": {"seconds": 20.0},
    "http500": {},
    "truncated": {"fraction": 0.5},
    "object": {},
    "endless": {"interval": 0.05, "chunk_size": 512, "seconds": 600.0},
    "html": {},
    "notfound": {},
    "stall": {"seconds": 60.0},
    "disconnect": {},
    "empty": {},
}


class RuleError(ValueError):
    pass


def parse_rules(value):
    """Rules from a decoded JSON value: a mode name, one rule object or a list."""
    if isinstance(value, str):
        value = {"mode": value}
    items = value if isinstance(value, list) else [value]
    rules = []
    for item in items:
        if not isinstance(item, dict):
            raise RuleError("a rule must be a JSON object")
        mode = item.get("mode")
        if mode not in MODES:
            raise RuleError("unknown mode %r; known: %s" % (mode, ", ".join(sorted(MODES))))
        unknown = set(item) - {"mode", "path_prefix", "count"} - set(MODES[mode])
        if unknown:
            raise RuleError("mode %s takes no %s" % (mode, ", ".join(sorted(unknown))))
        prefix = item.get("path_prefix", "")
        if not isinstance(prefix, str):
            raise RuleError("path_prefix must be a string")
        count = item.get("count")
        if count is not None and (not isinstance(count, int) or isinstance(count, bool)
                                  or count < 1):
            raise RuleError("count must be a positive integer")
        rule = {"mode": mode, "path_prefix": prefix, "count": count}
        for option, default in MODES[mode].items():
            value = item.get(option, default)
            if not isinstance(value, (int, float)) or isinstance(value, bool) or value < 0:
                raise RuleError("%s must be a non-negative number" % option)
            rule[option] = value
        if mode == "truncated" and not 0 <= rule["fraction"] < 1:
            raise RuleError("fraction must be at least 0 and below 1")
        if mode == "endless" and rule["chunk_size"] < 1:
            raise RuleError("chunk_size must be at least 1")
        if mode != "none":
            rules.append(rule)
    return rules


class ControlState:
    def __init__(self, rules=()):
        self._lock = threading.Lock()
        self._requests = []
        self._rules = [dict(r) for r in rules]
        self._active = 0
        self._servers = None    # a Document replacing the built-in server list

    def record(self, entry):
        with self._lock:
            self._requests.append(entry)

    def requests(self):
        with self._lock:
            return list(self._requests)

    def set_rules(self, rules):
        with self._lock:
            self._rules = [dict(r) for r in rules]

    def rules(self):
        with self._lock:
            return [dict(r) for r in self._rules]

    def reset(self):
        with self._lock:
            self._requests.clear()
            self._rules.clear()
            self._servers = None

    def set_servers(self, names):
        """Lists these names (host names or base URLs) as the directory's servers."""
        if not isinstance(names, list) or not all(isinstance(n, str) for n in names):
            raise ValueError("servers takes a list of names")
        document = Document(encode([{"ip": "127.0.0.1", "name": n} for n in names]))
        with self._lock:
            self._servers = document

    def servers(self):
        with self._lock:
            return self._servers

    def take_rule(self, path):
        """The rule that applies to a request for path, spending one of its uses."""
        with self._lock:
            for rule in self._rules:
                if path.startswith(rule["path_prefix"]):
                    if rule["count"] is not None:
                        rule["count"] -= 1
                        if rule["count"] == 0:
                            self._rules.remove(rule)
                    return dict(rule)
        return None

    # Requests being answered right now (control requests excepted), so that a
    # test can see that a client gave up on a hanging answer.
    def begin(self):
        with self._lock:
            self._active += 1

    def end(self):
        with self._lock:
            self._active -= 1

    def status(self):
        with self._lock:
            return {"active": self._active, "received": len(self._requests),
                    "rules": [dict(r) for r in self._rules]}
