# SPDX-License-Identifier: GPL-3.0-or-later
"""Self-test of the directory emulator: runs it as a child process and talks HTTP to it.

Run with:  python3 -m unittest discover -s tools/directory-emulator
"""

import http.client
import json
import os
import re
import signal
import socket
import subprocess
import sys
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
EMULATOR = os.path.join(HERE, "emulator.py")
TETHER = os.path.join(HERE, "..", "..", "tests", "support", "tether.py")

KEYS = ["changeuuid", "stationuuid", "serveruuid", "name", "url", "url_resolved",
        "homepage", "favicon", "tags", "country", "countrycode", "iso_3166_2", "state",
        "language", "languagecodes", "votes", "lastchangetime", "lastchangetime_iso8601",
        "codec", "bitrate", "hls", "lastcheckok", "lastchecktime", "lastchecktime_iso8601",
        "lastcheckoktime", "lastcheckoktime_iso8601", "lastlocalchecktime",
        "lastlocalchecktime_iso8601", "clicktimestamp", "clicktimestamp_iso8601",
        "clickcount", "clicktrend", "ssl_error", "geo_lat", "geo_long", "geo_distance",
        "has_extended_info"]

# Blank, tab, the other Unicode horizontal spaces, double quote, full stop, underscore.
TRIM = '"._\t \u00a0\u1680' + "".join(map(chr, range(0x2000, 0x200b))) + "\u202f\u205f\u3000"


def start(*options):
    # Tethered: the emulator ends with this test run, however it ends.
    process = subprocess.Popen([sys.executable, TETHER, sys.executable, EMULATOR,
                                "--port", "0", *options],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               stdin=subprocess.DEVNULL)
    line = process.stdout.readline().decode()
    match = re.fullmatch(r"LISTENING (\d+)\n", line)
    if not match:
        process.kill()
        raise AssertionError("unexpected start line %r, stderr %r"
                             % (line, process.stderr.read()))
    return process, int(match.group(1))


def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        return process.wait(timeout=30)
    finally:
        process.stdout.close()
        process.stderr.close()


def request(port, path, method="GET", body=None, headers=None):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
    try:
        connection.request(method, path, body=body, headers=headers or {})
        reply = connection.getresponse()
        return reply.status, {k.lower(): v for k, v in reply.getheaders()}, reply.read()
    finally:
        connection.close()


def get_json(port, path):
    status, _, body = request(port, path)
    assert status == 200, (path, status)
    return json.loads(body)


def validate(stations):
    """A client's check of a station list: (kept names, invalid count, duplicate count)."""
    kept, latest, invalid, duplicates = [], {}, 0, 0
    for station in stations:
        name = station.get("name")
        if not isinstance(name, str) or not name or not station.get("url") \
                or "bitrate" not in station:
            invalid += 1
            continue
        name = name.strip(TRIM)
        if name in latest and int(latest[name]) == int(station["bitrate"]):
            duplicates += 1
            continue
        latest[name] = station["bitrate"]
        kept.append(name)
    return kept, invalid, duplicates


class EmulatorTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.process, cls.port = start()

    @classmethod
    def tearDownClass(cls):
        stop(cls.process)

    def setUp(self):
        self.control("reset")

    def control(self, action, value=None):
        method = "GET" if action in ("requests", "status") else "POST"
        status, _, body = request(self.port, "/_control/" + action, method,
                                  None if value is None else json.dumps(value))
        return status, json.loads(body)

    def stations(self, code, query="?hidebroken=true"):
        return get_json(self.port, "/json/stations/bycountrycodeexact/%s%s" % (code, query))

    # -- directory content ----------------------------------------------------

    def test_servers_name_one_host_under_two_addresses(self):
        servers = get_json(self.port, "/json/servers")
        self.assertEqual(4, len(servers))
        self.assertTrue(all(set(s) == {"ip", "name"} for s in servers))
        self.assertEqual(3, len({s["name"] for s in servers}))

    def test_countries_are_ordered_by_name_only_when_asked(self):
        plain = get_json(self.port, "/json/countries")
        by_name = get_json(self.port, "/json/countries?order=name")
        self.assertEqual(sorted(plain, key=lambda c: c["iso_3166_1"]),
                         sorted(by_name, key=lambda c: c["iso_3166_1"]))
        self.assertNotEqual(plain, by_name)
        names = [c["name"] for c in by_name]
        self.assertEqual("Åland Islands", names[0])
        self.assertLess(names.index("Côte D'ivoire"), names.index("France"))
        counts = {c["iso_3166_1"]: c["stationcount"] for c in by_name}
        self.assertEqual("79", counts["CH"])
        self.assertEqual(319, counts["DE"])
        self.assertEqual(len(self.stations("CH")), int(counts["CH"]))
        self.assertEqual(len(self.stations("DE")), counts["DE"])

    def test_station_objects_carry_the_directory_keys_and_value_types(self):
        stations = self.stations("DE", "")
        self.assertEqual(343, len(stations))
        without_bitrate = [s for s in stations if "bitrate" not in s]
        self.assertEqual(["Ohne Bitrate"], [s["name"] for s in without_bitrate])
        for station in stations:
            if station in without_bitrate:
                continue
            self.assertEqual(KEYS, list(station))
            for flag in ("hls", "lastcheckok", "ssl_error"):
                self.assertIn(station[flag], (0, 1))
                self.assertIs(type(station[flag]), int)
            self.assertIs(type(station["has_extended_info"]), bool)
            self.assertIsNone(station["geo_distance"])
            for key in ("lastlocalchecktime", "clicktimestamp"):
                self.assertEqual(station[key] == "", station[key + "_iso8601"] is None)
        for key in ("serveruuid", "iso_3166_2", "geo_lat", "lastlocalchecktime_iso8601"):
            values = [s[key] for s in stations]
            self.assertIn(None, values, key)
            self.assertTrue(any(v is not None for v in values), key)
        self.assertEqual({"DE"}, {s["countrycode"] for s in stations})
        self.assertEqual(len(stations), len({s["stationuuid"] for s in stations}))

    def test_countries_with_awkward_entries_yield_known_counts(self):
        # code: objects sent, failing the check, kept after validation and de-duplication
        expected = {"DE": (343, 24, 312), "AT": (105, 6, 92), "CH": (84, 5, 72),
                    "US": (7369, 350, 7012), "FR": (160, 10, 150), "AX": (3, 0, 3)}
        for code, (sent, broken, kept) in expected.items():
            with self.subTest(code=code):
                everything = self.stations(code, "")
                shown = self.stations(code)
                self.assertEqual(sent, len(everything))
                self.assertEqual(broken, sum(s["lastcheckok"] == 0 for s in everything))
                self.assertEqual(sent - broken, len(shown))
                self.assertTrue(all(s["lastcheckok"] == 1 for s in shown))
                names, invalid, duplicates = validate(shown)
                self.assertEqual(kept, len(names))
                odd = code in ("DE", "AT", "CH", "US")
                self.assertEqual((4, 3) if odd else (0, 0), (invalid, duplicates))
                if odd:
                    self.assertEqual(3, names.count("Klassik Welle"))
                    for name in ("Radio One", "Jazz Lounge", "Welle Nord", "Café Noir",
                                 "Rock Antenne", "ROCK ANTENNE", ""):
                        self.assertIn(name, names)

    def test_content_has_the_variety_of_real_listings(self):
        stations = [s for code in ("DE", "JP", "RU", "FR") for s in self.stations(code)]
        names = [s["name"] for s in stations if isinstance(s["name"], str)]
        self.assertTrue(any(re.search("[\u3040-\u30ff\u4e00-\u9fff]", n) for n in names))
        self.assertTrue(any(re.search("[\u0400-\u04ff]", n) for n in names))
        self.assertTrue(any(re.search("[éèçôüöäß]", n) for n in names))
        self.assertTrue(any(ord(ch) > 0xffff for n in names for ch in n))   # emoji
        plain = [s["name"] for code in ("FR", "JP", "RU") for s in self.stations(code)]
        self.assertTrue(any(n != n.strip(TRIM) for n in plain))    # "Name", Name., _Name_
        favicons = [s["favicon"] for s in stations]
        self.assertIn("", favicons)
        self.assertTrue(any(f.startswith("http://") for f in favicons))
        self.assertTrue(any(f.startswith("https://") for f in favicons))
        tags = [s["tags"] for s in stations]
        self.assertIn("", tags)
        self.assertTrue(any(",," in t or ", ," in t for t in tags))
        self.assertTrue(any(re.search(r"\b[A-Z]{3,}\b", t) for t in tags))
        self.assertTrue(any(s["bitrate"] == "128" for s in stations))
        self.assertTrue(any(s["name"] is None for s in stations))

    def test_country_codes_beyond_the_listed_ones(self):
        self.assertEqual([], self.stations("QQ"))
        self.assertEqual(self.stations("de"), self.stations("DE"))
        bulk = self.stations("ZZ", "?hidebroken=true&count=3000")
        self.assertEqual(3000, len(bulk))
        names, invalid, duplicates = validate(bulk)
        self.assertEqual((3000, 0, 0), (len(names), invalid, duplicates))

    def test_click_url_names_the_station_or_reports_failure(self):
        station = self.stations("AT")[5]
        found = get_json(self.port, "/json/url/" + station["stationuuid"])
        self.assertEqual({"ok": True, "message": "retrieved station url",
                          "stationuuid": station["stationuuid"], "name": station["name"],
                          "url": station["url"]}, found)
        missing = get_json(self.port, "/json/url/00000000-0000-0000-0000-000000000000")
        self.assertIs(False, missing["ok"])

    def test_search_filters_orders_and_pages_the_whole_directory(self):
        def search(query):
            return get_json(self.port, "/json/stations/search?hidebroken=true&" + query)

        everything = search("limit=100000")
        self.assertGreater(len({s["countrycode"] for s in everything}), 5)
        self.assertNotIn(0, {s["lastcheckok"] for s in everything})
        cases = {
            "name=welle": lambda s: "welle" in (s["name"] or "").lower(),
            "tagList=jazz,pop": lambda s: {"jazz", "pop"} <= {t.strip().lower() for t in s["tags"].split(",")},
            "countrycode=de&bitrateMin=192": lambda s: s["countrycode"] == "DE" and int(s.get("bitrate") or 0) >= 192,
            "codec=aac&is_https=true": lambda s: s["codec"] == "AAC" and s["url_resolved"].startswith("https://"),
            "language=french": lambda s: "french" in s["language"].lower(),
        }
        for query, matches in cases.items():
            with self.subTest(query):
                found = search(query + "&limit=100000")
                self.assertTrue(found)
                self.assertEqual([s["stationuuid"] for s in everything if matches(s)],
                                 [s["stationuuid"] for s in found])
        page = search("order=votes&reverse=true&offset=10&limit=5")
        ranked = sorted(everything, key=lambda s: s["votes"], reverse=True)
        self.assertEqual([s["votes"] for s in ranked[10:15]], [s["votes"] for s in page])

    def test_look_up_edits_retirement_and_votes(self):
        first, second = self.stations("FR")[:2]
        uuids = "uuids=%s,%s" % (first["stationuuid"], second["stationuuid"])
        form = {"Content-Type": "application/x-www-form-urlencoded"}
        status, _, body = request(self.port, "/json/stations/byuuid", "POST", uuids, form)
        self.assertEqual(2, len(json.loads(body)))
        self.control("edit", {first["stationuuid"]: {"name": "Renamed"}, second["stationuuid"]: None})
        found = get_json(self.port, "/json/stations/byuuid?" + uuids)
        self.assertEqual(["Renamed"], [s["name"] for s in found])
        vote = "/json/vote/" + first["stationuuid"]
        self.assertEqual([True, False], [get_json(self.port, vote)["ok"] for _ in range(2)])
        self.assertIs(False, get_json(self.port, "/json/vote/" + second["stationuuid"])["ok"])
        self.control("reset")
        self.assertIs(True, get_json(self.port, vote)["ok"])
        self.control("servers", ["http://127.0.0.1:1", "b.example"])
        self.assertEqual(["http://127.0.0.1:1", "b.example"],
                         [s["name"] for s in get_json(self.port, "/json/servers")])

    def test_replies_carry_length_type_date_and_entity_tag(self):
        path = "/json/stations/bycountrycodeexact/CH?hidebroken=true"
        status, headers, body = request(self.port, path)
        self.assertEqual(200, status)
        self.assertEqual("application/json; charset=utf-8", headers["content-type"])
        self.assertEqual(len(body), int(headers["content-length"]))
        self.assertIn("date", headers)
        status, _, body = request(self.port, path, headers={"If-None-Match": headers["etag"]})
        self.assertEqual((304, b""), (status, body))
        status, _, _ = request(self.port, "/json/nothing-here")
        self.assertEqual(404, status)

    # -- control API ------------------------------------------------------------

    def test_request_log_holds_directory_requests_until_reset(self):
        request(self.port, "/json/countries?order=name", headers={"User-Agent": "probe/1"})
        request(self.port, "/json/url/abc", method="POST", body="")
        _, log = self.control("requests")
        self.assertEqual([("GET", "/json/countries", {"order": "name"}, "order=name"),
                          ("POST", "/json/url/abc", {}, "")],
                         [(r["method"], r["path"], r["query"], r["raw_query"]) for r in log])
        self.assertEqual("probe/1", log[0]["headers"]["User-Agent"])
        self.control("reset")
        self.assertEqual([], self.control("requests")[1])

    def test_failure_modes_answer_as_told_then_stop(self):
        path = "/json/countries?order=name"
        cases = {
            "http500": lambda s, h, b: s == 500 and h["content-type"].startswith("text/html"),
            "object": lambda s, h, b: s == 200 and "error" in json.loads(b),
            "html": lambda s, h, b: s == 200 and b.startswith(b"<!DOCTYPE html>"),
            "notfound": lambda s, h, b: s == 404,
            "empty": lambda s, h, b: s == 200 and b == b"",
            "truncated": lambda s, h, b: s == 200 and b.startswith(b"[{")
            and len(b) == int(h["content-length"]) and not b.endswith(b"]"),
        }
        for mode, answered_as_told in cases.items():
            with self.subTest(mode=mode):
                status, reply = self.control("mode", {"mode": mode, "count": 1,
                                                      "path_prefix": "/json/countries"})
                self.assertEqual(200, status, reply)
                self.assertEqual(200, request(self.port, "/json/servers")[0])
                self.assertTrue(answered_as_told(*request(self.port, path)))
                status, _, body = request(self.port, path)
                self.assertEqual(200, status)
                self.assertEqual(11, len(json.loads(body)))
        for wrong in ({"mode": "sulk"}, {"mode": "delay", "count": 0},
                      {"mode": "http500", "seconds": 3}, [1]):
            with self.subTest(wrong=wrong):
                self.assertEqual(400, self.control("mode", wrong)[0])

    def test_delayed_answer_does_not_hold_up_control(self):
        self.control("mode", {"mode": "delay", "seconds": 0.5})
        replies = []
        waiting = threading.Thread(
            target=lambda: replies.append(request(self.port, "/json/servers")))
        waiting.start()
        while not self.control("requests")[1]:
            time.sleep(0.02)
        self.assertEqual(1, self.control("status")[1]["active"])
        waiting.join(30)
        self.assertEqual(200, replies[0][0])
        self.assertEqual(4, len(json.loads(replies[0][2])))

    def test_endless_answer_ends_when_the_client_leaves(self):
        self.control("mode", {"mode": "endless", "interval": 0.01})
        with socket.create_connection(("127.0.0.1", self.port), timeout=30) as client:
            client.sendall(b"GET /json/stations/bycountrycodeexact/DE HTTP/1.1\r\n"
                           b"Host: localhost\r\n\r\n")
            received = b""
            while len(received) < 20000:
                received += client.recv(65536)
        head, _, body = received.partition(b"\r\n\r\n")
        self.assertIn(b"Transfer-Encoding: chunked", head)
        self.assertNotIn(b"Content-Length", head)
        self.assertTrue(body.split(b"\r\n", 1)[1].startswith(b"[{"))
        deadline = time.monotonic() + 30
        while self.control("status")[1]["active"] and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(0, self.control("status")[1]["active"])


class LifecycleTest(unittest.TestCase):
    def test_start_line_start_rules_and_clean_stop(self):
        process, port = start("--mode", '{"mode": "notfound", "count": 1}')
        try:
            self.assertEqual(404, request(port, "/json/servers")[0])
            self.assertEqual(200, request(port, "/json/servers")[0])
        finally:
            self.assertEqual(0, stop_keeping_output(process, self))

    def test_same_seed_same_bytes(self):
        first, first_port = start("--seed", "7")
        second, second_port = start("--seed", "7")
        try:
            path = "/json/stations/bycountrycodeexact/AT"
            self.assertEqual(request(first_port, path)[2], request(second_port, path)[2])
        finally:
            stop(first)
            stop(second)

    def test_refuses_addresses_beyond_loopback(self):
        result = subprocess.run([sys.executable, EMULATOR, "--host", "0.0.0.0", "--port", "0"],
                                capture_output=True, timeout=60)
        self.assertNotEqual(0, result.returncode)
        self.assertEqual(b"", result.stdout)


def stop_keeping_output(process, test):
    """Stops the process and checks that it printed nothing after its start line."""
    process.send_signal(signal.SIGTERM)
    code = process.wait(timeout=30)
    test.assertEqual(b"", process.stdout.read())
    process.stdout.close()
    process.stderr.close()
    return code


if __name__ == "__main__":
    unittest.main()
