# SPDX-License-Identifier: GPL-3.0-or-later
"""Directory content: API servers, countries and station objects.

Everything is generated from a seed, so two runs with the same seed send the
same bytes. Station objects carry every key the public directory sends, in its
order, with its habits: nulls for unknown values, 0/1 integers for flags,
timestamps both as "YYYY-MM-DD HH:MM:SS" and as ISO 8601 (or null).

Station lists are generated on first use and kept encoded, so a large list costs
its generation time once per process.
"""

import datetime
import gzip
import hashlib
import json
import random
import re
import threading
import unicodedata
import uuid
from dataclasses import dataclass

from locales import (AMERICAN, AUSTRIAN, BRAZILIAN, BRITISH, BULK_LOCALE, COMMON_TAGS,
                     FRENCH, GERMAN, IVORIAN, JAPANESE, RUSSIAN, SWEDISH, SWISS, Locale)

DEFAULT_SEED = 20240601
BULK_CODE = "ZZ"
DEFAULT_BULK_COUNT = 50000
MAX_BULK_COUNT = 200000

# What a client strips from both ends of a station name: double quote, full
# stop, underscore and the horizontal white space (tab and Unicode Zs).
NAME_TRIM = '"._\t \u00a0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006' \
            '\u2007\u2008\u2009\u200a\u202f\u205f\u3000'

# One name listed under two addresses, as the directory does for a server
# reachable over IPv4 and IPv6. Addresses are from the documentation ranges.
SERVERS = (
    {"ip": "2001:db8:10::1", "name": "de1.api.radio-browser.info"},
    {"ip": "192.0.2.10", "name": "de1.api.radio-browser.info"},
    {"ip": "198.51.100.20", "name": "nl1.api.radio-browser.info"},
    {"ip": "203.0.113.30", "name": "at1.api.radio-browser.info"},
)

_NOW = datetime.datetime(2024, 6, 1, 12, 0, 0)


def trim_name(name):
    return name.strip(NAME_TRIM)


@dataclass(frozen=True)
class Country:
    code: str
    name: str
    locale: Locale
    working: int            # stations whose last check passed (lastcheckok 1)
    broken: int             # stations whose last check failed (lastcheckok 0)
    odd_entries: bool       # add the fixed set of awkward entries (ODD_ENTRIES)
    count_as_text: bool = False   # stationcount sent as a string

    @property
    def sent(self):
        """Objects in the reply without hidebroken."""
        return self.working + self.broken + (len(ODD_ENTRIES) if self.odd_entries else 0)

    @property
    def shown(self):
        """Objects in the reply with hidebroken=true."""
        return self.sent - self.broken


# Listed in this order without ?order=..., which is deliberately not by name.
COUNTRIES = (
    Country("DE", "Germany", GERMAN, working=300, broken=24, odd_entries=True),
    Country("AT", "Austria", AUSTRIAN, working=80, broken=6, odd_entries=True),
    Country("CH", "Switzerland", SWISS, working=60, broken=5, odd_entries=True,
            count_as_text=True),
    Country("US", "The United States Of America", AMERICAN, working=7000, broken=350,
            odd_entries=True),
    Country("FR", "France", FRENCH, working=150, broken=10, odd_entries=False),
    Country("JP", "Japan", JAPANESE, working=60, broken=3, odd_entries=False),
    Country("RU", "The Russian Federation", RUSSIAN, working=120, broken=8,
            odd_entries=False),
    Country("BR", "Brazil", BRAZILIAN, working=100, broken=6, odd_entries=False),
    Country("GB", "The United Kingdom Of Great Britain And Northern Ireland", BRITISH,
            working=180, broken=12, odd_entries=False),
    Country("AX", "Åland Islands", SWEDISH, working=3, broken=0, odd_entries=False),
    Country("CI", "Côte D'ivoire", IVORIAN, working=12, broken=1, odd_entries=False),
)

_COUNTRY_BY_CODE = {c.code: c for c in COUNTRIES}

# Awkward entries added to the countries marked odd_entries, all with
# lastcheckok 1. Each is (overrides, what a client validating names, urls and
# bit rates and dropping repeats of the same trimmed name and bit rate does with
# it). "drop" in overrides removes the key. Entries of one group stay in this
# order relative to each other in the reply.
ODD_ENTRIES = (
    ({"name": ' "Radio One". ', "bitrate": 128}, "keep as 'Radio One'"),
    ({"name": "Radio One", "bitrate": 128}, "duplicate"),
    ({"name": "Klassik Welle", "bitrate": 128}, "keep"),
    ({"name": "Klassik Welle", "bitrate": 64}, "keep"),
    ({"name": "Klassik Welle", "bitrate": 128}, "keep (differs from the last kept one)"),
    ({"name": "Jazz Lounge", "bitrate": 192}, "keep"),
    ({"name": "Jazz Lounge ", "bitrate": 192}, "duplicate"),
    ({"name": "Rock Antenne", "bitrate": 128}, "keep"),
    ({"name": "ROCK ANTENNE", "bitrate": 128}, "keep (letter case differs)"),
    ({"name": "Welle Nord\t", "bitrate": 96}, "keep as 'Welle Nord'"),
    ({"name": "Welle Nord", "bitrate": 96}, "duplicate"),
    ({"name": ' ._"', "bitrate": 64}, "keep with an empty name"),
    ({"name": "Talk Radio Zero", "bitrate": 0}, "keep (bit rate 0)"),
    ({"name": "\u00a0Café Noir", "bitrate": 128}, "keep as 'Café Noir'"),
    ({"name": ""}, "invalid name"),
    ({"name": None}, "invalid name (null)"),
    ({"name": "Leere Adresse", "url": "", "url_resolved": ""}, "invalid url"),
    ({"name": "Ohne Bitrate", "drop": "bitrate"}, "invalid bit rate (key missing)"),
    ({"name": "Bitrate als Text", "bitrate": "128"}, "keep (bit rate as a string)"),
)

_DECORATIONS = ('"{}"', "{}.", " {} ", "_{}_", '"{}".', "{}...", "  {}", "{} ")
_EMOJI = ("🎵", "📻", "🎶", "🔥", "❤️", "🌊", "🎸", "☕", "🌴")
_BITRATES = (0, 32, 48, 64, 96, 112, 128, 128, 128, 128, 160, 192, 192, 256, 320)
_CODECS = (("MP3", 50), ("AAC", 20), ("AAC+", 10), ("OGG", 5), ("FLAC", 2),
           ("UNKNOWN", 8), ("MP3,H.264", 1))
_CODEC_NAMES = tuple(c for c, _ in _CODECS)
_CODEC_WEIGHTS = tuple(w for _, w in _CODECS)


def _fold(text):
    """Sort key roughly like a case- and accent-insensitive database collation."""
    decomposed = unicodedata.normalize("NFKD", text)
    return "".join(ch for ch in decomposed if not unicodedata.combining(ch)).casefold()


def _slug(text):
    ascii_text = unicodedata.normalize("NFKD", text.replace("ß", "ss")).encode("ascii", "ignore").decode()
    return re.sub(r"[^a-z0-9]+", "-", ascii_text.lower()).strip("-")[:40]


def _stamp(moment):
    text = moment.isoformat(sep=" ")
    return text, text.replace(" ", "T") + "Z"


def _uuid(rng):
    return str(uuid.UUID(int=rng.getrandbits(128), version=4))


def _skewed(rng, scale, cap):
    return min(cap, int(scale * (rng.paretovariate(1.1) - 1.0)))


class _Namer:
    """Unique station names: no two share a trimmed name unless made to."""

    def __init__(self, rng, locale, taken):
        self.rng = rng
        self.locale = locale
        self.taken = set(taken)
        self.serial = 1

    def _raw(self):
        rng, loc = self.rng, self.locale
        call = rng.choice("KW") + "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
                                          for _ in range(3))
        return rng.choice(loc.patterns).format(
            prefix=rng.choice(loc.prefixes), word=rng.choice(loc.words),
            city=rng.choice(loc.cities).label,
            freq="%.1f" % (rng.randrange(876, 1080) / 10), call=call)

    def next(self):
        rng = self.rng
        for _ in range(8):
            name = self._raw()
            if name not in self.taken:
                break
        else:
            while True:
                self.serial += 1
                name = "%s %d" % (self._raw(), self.serial)
                if name not in self.taken:
                    break
        self.taken.add(name)
        roll = rng.random()
        if roll < 0.02:
            emoji = rng.choice(_EMOJI)
            return emoji + " " + name if rng.random() < 0.5 else name + " " + emoji
        if roll < 0.07:
            return rng.choice(_DECORATIONS).format(name)
        return name


def _tags(rng, locale):
    if rng.random() < 0.15:
        return ""
    pieces = []
    for _ in range(rng.randint(1, 6)):
        tag = rng.choice(locale.tags) if rng.random() < 0.35 else rng.choice(COMMON_TAGS)
        style = rng.random()
        if style < 0.15:
            tag = tag.upper()
        elif style < 0.35:
            tag = tag.title()
        pieces.append(tag)
    if rng.random() < 0.2:
        pieces.insert(rng.randrange(len(pieces) + 1), rng.choice(("", " ", "  ")))
    if rng.random() < 0.2:
        pieces = [" %s " % p if rng.random() < 0.5 else p for p in pieces]
    return ",".join(pieces)


def _addresses(rng, name, bitrate, codec, hls):
    slug = _slug(name) or "radio-%06x" % rng.getrandbits(24)
    site = "%s.example" % slug
    homepage = "" if rng.random() < 0.05 else \
        "%s://www.%s/" % ("https" if rng.random() < 0.7 else "http", site)
    roll = rng.random()
    if roll < 0.2:
        favicon = ""
    elif roll < 0.75:
        favicon = rng.choice(("https://www.%s/favicon.ico",
                              "https://cdn.%s/img/logo-512.png",
                              "https://www.%s/apple-touch-icon.png")) % site
    else:
        favicon = rng.choice(("http://www.%s/favicon.ico",
                              "http://www.%s/images/logo.jpg")) % site
    host = "%s.%s" % (rng.choice(("stream", "ice", "live", "streaming", "s3")), site)
    ext = {"AAC": "aac", "AAC+": "aac", "OGG": "ogg", "FLAC": "flac"}.get(codec, "mp3")
    if hls:
        url = "https://%s/hls/live/playlist.m3u8" % host
        return homepage, favicon, url, url
    roll = rng.random()
    if roll < 0.4:
        url = "http://%s:%d/%s" % (host, rng.choice((8000, 8000, 8080, 8443, 9000)),
                                   rng.choice(("live", "stream", "%s-%d.%s" % (slug, bitrate, ext))))
        resolved = url
    elif roll < 0.8:
        url = "https://%s/%s/%s" % (host, slug[:12] or "radio", rng.choice(("live", "hq", "mobile")))
        resolved = url if rng.random() < 0.8 else url + ";"
    else:
        url = "http://www.%s/listen.%s" % (site, rng.choice(("pls", "m3u")))
        resolved = "https://%s/%s.%s" % (host, slug[:12] or "radio", ext)
    return homepage, favicon, url, resolved


def _station(rng, country_name, code, locale, name, working):
    hls = 1 if rng.random() < 0.04 else 0
    codec = "AAC" if hls else rng.choices(_CODEC_NAMES, _CODEC_WEIGHTS)[0]
    bitrate = 0 if codec == "UNKNOWN" and rng.random() < 0.6 else rng.choice(_BITRATES)
    homepage, favicon, url, resolved = _addresses(rng, name, bitrate, codec, hls)
    city = rng.choice(locale.cities)
    language, languagecodes = rng.choice(locale.languages)
    changed = _NOW - datetime.timedelta(seconds=rng.randrange(3 * 365 * 86400))
    checked = _NOW - datetime.timedelta(seconds=rng.randrange(2 * 86400))
    checked_ok = checked if working else \
        checked - datetime.timedelta(seconds=rng.randrange(86400, 200 * 86400))
    clicks = _skewed(rng, 40, 250000)
    votes = _skewed(rng, 25, 90000)
    with_geo = rng.random() < 0.25
    change_time, change_iso = _stamp(changed)
    check_time, check_iso = _stamp(checked)
    ok_time, ok_iso = _stamp(checked_ok)
    if rng.random() < 0.4:
        local_time, local_iso = "", None
    else:
        local_time, local_iso = _stamp(checked - datetime.timedelta(
            seconds=rng.randrange(3600, 30 * 86400)))
    if clicks == 0:
        click_time, click_iso = "", None
    else:
        click_time, click_iso = _stamp(_NOW - datetime.timedelta(
            seconds=rng.randrange(30 * 86400)))
    # The keys in the order the directory sends them.
    return {
        "changeuuid": _uuid(rng),
        "stationuuid": _uuid(rng),
        "serveruuid": _uuid(rng) if rng.random() < 0.15 else None,
        "name": name,
        "url": url,
        "url_resolved": resolved,
        "homepage": homepage,
        "favicon": favicon,
        "tags": _tags(rng, locale),
        "country": country_name,
        "countrycode": code,
        "iso_3166_2": city.iso_3166_2 if rng.random() < 0.2 else None,
        "state": city.state if rng.random() < 0.6 else "",
        "language": language,
        "languagecodes": languagecodes,
        "votes": votes,
        "lastchangetime": change_time,
        "lastchangetime_iso8601": change_iso,
        "codec": codec,
        "bitrate": bitrate,
        "hls": hls,
        "lastcheckok": 1 if working else 0,
        "lastchecktime": check_time,
        "lastchecktime_iso8601": check_iso,
        "lastcheckoktime": ok_time,
        "lastcheckoktime_iso8601": ok_iso,
        "lastlocalchecktime": local_time,
        "lastlocalchecktime_iso8601": local_iso,
        "clicktimestamp": click_time,
        "clicktimestamp_iso8601": click_iso,
        "clickcount": clicks,
        "clicktrend": rng.choice((-3, -2, -1, -1, 0, 0, 0, 0, 0, 1, 1, 2, 5)),
        "ssl_error": 1 if rng.random() < 0.03 else 0,
        "geo_lat": round(city.lat + rng.uniform(-0.2, 0.2), 6) if with_geo else None,
        "geo_long": round(city.long + rng.uniform(-0.2, 0.2), 6) if with_geo else None,
        "geo_distance": None,
        "has_extended_info": rng.random() < 0.1,
    }


def _odd_station(rng, country_name, code, locale, overrides):
    overrides = dict(overrides)
    dropped = overrides.pop("drop", None)
    station = _station(rng, country_name, code, locale, overrides.get("name") or "Radio", True)
    station.update(overrides)
    if dropped:
        del station[dropped]
    return station


def generate_stations(seed, country_name, code, locale, working, broken, odd_entries):
    """The station list of one country, ordered by name like the directory does."""
    rng = random.Random("%s:%s:%d:%d" % (seed, code, working, broken))
    odd_names = {trim_name(o["name"]) for o, _ in ODD_ENTRIES if o.get("name")}
    namer = _Namer(rng, locale, odd_names if odd_entries else ())
    stations = [_station(rng, country_name, code, locale, namer.next(), True)
                for _ in range(working)]
    stations += [_station(rng, country_name, code, locale, namer.next(), False)
                 for _ in range(broken)]
    if odd_entries:
        stations += [_odd_station(rng, country_name, code, locale, o) for o, _ in ODD_ENTRIES]
    # A stable sort, so same-named entries keep their relative order.
    stations.sort(key=lambda s: _fold(s.get("name") or ""))
    return stations


def encode(value):
    return json.dumps(value, ensure_ascii=False, separators=(",", ":")).encode("utf-8")


class Document:
    """An encoded JSON reply body with its entity tag and, on demand, its gzip form."""

    def __init__(self, body):
        self.body = body
        self.etag = '"%s"' % hashlib.sha1(body).hexdigest()[:20]
        self._gzipped = None

    def gzipped(self):
        if self._gzipped is None:
            self._gzipped = gzip.compress(self.body, compresslevel=5, mtime=0)
        return self._gzipped


class Catalog:
    def __init__(self, seed=DEFAULT_SEED, bulk_count=DEFAULT_BULK_COUNT):
        self.seed = seed
        self.bulk_count = bulk_count
        self._lock = threading.Lock()
        self._building = {}     # key -> lock held while that list is generated
        self._lists = {}        # (code, count) -> (all stations, hidebroken) Documents
        self._urls = {}         # stationuuid -> (name, url)
        self._objects = {}      # code -> decoded station objects of a listed country
        self.servers = Document(encode(list(SERVERS)))

    def countries(self, order=None, reverse=False):
        rows = [{"name": c.name, "iso_3166_1": c.code,
                 "stationcount": str(c.shown) if c.count_as_text else c.shown}
                for c in COUNTRIES]
        keys = {"name": lambda r: _fold(r["name"]),
                "iso_3166_1": lambda r: r["iso_3166_1"],
                "code": lambda r: r["iso_3166_1"],
                "stationcount": lambda r: int(r["stationcount"])}
        if order in keys:
            rows.sort(key=keys[order], reverse=reverse)
        elif reverse:
            rows.reverse()
        return Document(encode(rows))

    def stations(self, code, hidebroken, count=None):
        """The reply for one country code, or None for a code the directory lacks."""
        code = code.upper()
        if code == BULK_CODE:
            count = self.bulk_count if count is None else max(0, min(count, MAX_BULK_COUNT))
            key = (code, count)
        elif code in _COUNTRY_BY_CODE:
            key = (code, None)
        else:
            return None
        with self._lock:
            documents = self._lists.get(key)
            building = self._building.setdefault(key, threading.Lock())
        if documents is None:
            with building:
                with self._lock:
                    documents = self._lists.get(key)
                if documents is None:
                    documents = self._build(key)
        return documents[1] if hidebroken else documents[0]

    def _build(self, key):
        code, count = key
        if code == BULK_CODE:
            stations = generate_stations(self.seed, "Zedland", code, BULK_LOCALE,
                                         count, 0, False)
        else:
            c = _COUNTRY_BY_CODE[code]
            stations = generate_stations(self.seed, c.name, c.code, c.locale,
                                         c.working, c.broken, c.odd_entries)
        everything = Document(encode(stations))
        working = [s for s in stations if s.get("lastcheckok") != 0]
        shown = everything if len(working) == len(stations) else Document(encode(working))
        urls = {s["stationuuid"]: (s.get("name"), s.get("url")) for s in stations}
        with self._lock:
            self._lists[key] = (everything, shown)
            self._urls.update(urls)
            if code != BULK_CODE:
                self._objects[code] = stations
        return everything, shown

    def all_stations(self):
        """Every station object of the listed countries (not the bulk code), in country order."""
        for c in COUNTRIES:
            self.stations(c.code, False)
        with self._lock:
            return [s for c in COUNTRIES for s in self._objects[c.code]]

    def station_url(self, stationuuid):
        """(name, url) of a station of any country, or None."""
        with self._lock:
            found = self._urls.get(stationuuid)
        if found is None:
            for c in COUNTRIES:
                self.stations(c.code, False)
            with self._lock:
                found = self._urls.get(stationuuid)
        return found

    def warm(self):
        for c in COUNTRIES:
            self.stations(c.code, False)
        self.stations(BULK_CODE, False)
