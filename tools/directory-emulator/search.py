# SPDX-License-Identifier: GPL-3.0-or-later
"""Directory-wide search, look-up by identifier and votes, over every listed country.

The answers follow the directory's rules: text filters match parts of a value
without regard to case unless their ...Exact companion is true, tagList wants
every listed tag, results are ordered (by name unless told otherwise) before
offset and limit cut a page out of them.
"""

import threading
import time

from catalog import _fold

VOTE_INTERVAL = 600     # seconds between two counted votes for one station
DEFAULT_LIMIT = 100000

_ORDER_KEYS = {
    "name": lambda s: _fold(s.get("name") or ""),
    "votes": lambda s: s.get("votes") or 0,
    "clickcount": lambda s: s.get("clickcount") or 0,
    "bitrate": lambda s: _integer(s.get("bitrate")),
    "country": lambda s: _fold(s.get("country") or ""),
    "codec": lambda s: (s.get("codec") or "").lower(),
}


def _integer(value):
    try:
        return int(value)
    except (TypeError, ValueError):
        return 0


def _true(query, name):
    return query.get(name, "").lower() in ("true", "1")


def _number(query, name, default):
    try:
        return max(0, int(query[name]))
    except (KeyError, ValueError):
        return default


def _tags(station):
    return {t.strip().lower() for t in (station.get("tags") or "").split(",") if t.strip()}


def _text_filter(query, name, field):
    """A predicate for the query's name / nameExact pair, or None without one."""
    wanted = query.get(name, "")
    if not wanted:
        return None
    wanted = wanted.lower()
    if _true(query, name + "Exact"):
        return lambda s: (s.get(field) or "").lower() == wanted
    return lambda s: wanted in (s.get(field) or "").lower()


def _filters(query):
    tests = [f for f in (_text_filter(query, "name", "name"),
                         _text_filter(query, "country", "country"),
                         _text_filter(query, "language", "language"),
                         _text_filter(query, "state", "state")) if f]
    tag = query.get("tag", "").lower()
    if tag:
        exact = _true(query, "tagExact")
        tests.append(lambda s: tag in _tags(s) if exact
                     else any(tag in t for t in _tags(s)))
    tag_list = {t.strip().lower() for t in query.get("tagList", "").split(",") if t.strip()}
    if tag_list:
        tests.append(lambda s: tag_list <= _tags(s))
    code = query.get("countrycode", "").upper()
    if code:
        tests.append(lambda s: (s.get("countrycode") or "").upper() == code)
    codec = query.get("codec", "").lower()
    if codec:
        tests.append(lambda s: (s.get("codec") or "").lower() == codec)
    low, high = _number(query, "bitrateMin", 0), _number(query, "bitrateMax", None)
    bitrate = _ORDER_KEYS["bitrate"]
    if low:
        tests.append(lambda s: bitrate(s) >= low)
    if high is not None:
        tests.append(lambda s: bitrate(s) <= high)
    if _true(query, "is_https"):
        tests.append(lambda s: (s.get("url_resolved") or s.get("url") or "").startswith("https://"))
    if _true(query, "hidebroken"):
        tests.append(lambda s: s.get("lastcheckok") != 0)
    return tests


class Directory:
    """Search, look-up and votes over a catalog, with the edits a test made to it."""

    def __init__(self, catalog, clock=time.monotonic):
        self.catalog = catalog
        self.clock = clock
        self._lock = threading.Lock()
        self._votes = {}        # stationuuid -> time of the last counted vote
        self._edits = {}        # stationuuid -> keys replaced in every answer
        self._retired = set()   # stationuuids the directory no longer lists

    def reset(self):
        with self._lock:
            self._votes.clear()
            self._edits.clear()
            self._retired.clear()

    def edit(self, changes):
        """changes: {stationuuid: {key: value}}; an entry of null retires the station."""
        with self._lock:
            for uuid, keys in changes.items():
                if keys is None:
                    self._retired.add(uuid)
                else:
                    self._retired.discard(uuid)
                    self._edits.setdefault(uuid, {}).update(keys)

    def _current(self):
        with self._lock:
            edits, retired = dict(self._edits), set(self._retired)
        for station in self.catalog.all_stations():
            uuid = station.get("stationuuid")
            if uuid in retired:
                continue
            yield {**station, **edits[uuid]} if uuid in edits else station

    def search(self, query):
        tests = _filters(query)
        found = [s for s in self._current() if all(t(s) for t in tests)]
        order = _ORDER_KEYS.get(query.get("order", "name"), _ORDER_KEYS["name"])
        found.sort(key=order, reverse=_true(query, "reverse"))
        offset = _number(query, "offset", 0)
        return found[offset:offset + _number(query, "limit", DEFAULT_LIMIT)]

    def by_uuid(self, uuids):
        wanted = {u.strip().lower() for u in uuids if u.strip()}
        return [s for s in self._current() if (s.get("stationuuid") or "").lower() in wanted]

    def vote(self, uuid):
        if not any(s.get("stationuuid") == uuid for s in self._current()):
            return {"ok": False, "message": "VoteError could not find station with matching id"}
        now = self.clock()
        with self._lock:
            last = self._votes.get(uuid)
            if last is not None and now - last < VOTE_INTERVAL:
                return {"ok": False, "message": "you are voting for the same station too often"}
            self._votes[uuid] = now
        return {"ok": True, "message": "voted for station successfully"}
