#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed inputs of the fuzzers: small, valid examples of each input.

Run from the project root: python3 tools/make-fuzz-seeds.py
"""
import json
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
from cbor import encode, head, station_list  # noqa: E402

CORPUS = os.path.join("tests", "fuzz", "corpus")


def song_history(songs):
    return head(6, 55799) + head(6, 0x4F534801) + encode(songs)


def cloud_record(fields):
    return head(6, 55799) + head(6, 0x4F535201) + encode(
        {"recordType": "AppData", "recordName": "AppData.1", "fields": fields})


ONE = {"stationuuid": "9617a958-0601-11e8-ae97-52543be04c81", "name": "Radio Eins",
       "url": "http://stream.example/live.mp3", "bitrate": 128, "votes": 4711,
       "hls": False, "geo_lat": 52.52, "tags": "pop,rock", "countrycode": "DE"}
STATION_LISTS = {
    "empty": [],
    "one": [ONE],
    "mixed": [{"name": "Café ☕ 東京", "clickcount": -5, "big": 5000000000},
              {}, {"a": 1.5, "b": True, "c": ""}],
}

def icy_body(interval, blocks):
    """A header for fuzz_icy_metadata (interval - 1, piece size - 1), then audio and metadata blocks."""
    out = struct.pack("<HB", interval - 1, 6)
    for text in blocks:
        padded = text.ljust((len(text) + 15) // 16 * 16, b"\0")
        out += b"\xff" * interval + bytes([len(padded) // 16]) + padded
    return out


SEEDS = {
    "fuzz_station_archive": {name + ".cbor": station_list(s) for name, s in STATION_LISTS.items()},
    "fuzz_song_history": {
        "empty.cbor": song_history([]),
        "songs.cbor": song_history([
            {"name": "Radio Eins", "url": "http://stream.example/live.mp3",
             "stationuuid": "9617a958-0601-11e8-ae97-52543be04c81", "favicon": "http://stream.example/i.png",
             "time": 1714564800000, "title": "Café Noir – Ünder the Moon", "starred": True},
            {"name": "Mine", "url": "https://mine.example/", "ostrel_custom": 1,
             "time": 1714564700000, "title": "Artist - Title"}]),
    },
    "fuzz_directory_reply": {
        "stations.json": json.dumps([ONE, dict(ONE, name=" \"Radio Eins\". ", url="file:///etc/passwd"),
                                     {"name": None, "url": "", "bitrate": "128"}, 7]).encode(),
        "servers.json": json.dumps([{"name": "de1.api.radio-browser.info"},
                                    {"name": "https://at1.api.radio-browser.info"}]).encode(),
        "object.json": b'{"error": "busy"}',
    },
    "fuzz_cloud_record": {
        "lists.cbor": cloud_record({"favorite_stations": station_list([ONE]),
                                    "recent_stations": station_list([])}),
        "empty.cbor": cloud_record({}),
    },
    "fuzz_http_dates": {
        "date.txt": b"Sun, 06 Nov 1994 08:49:37 GMT",
        "leap.txt": b"Thu, 29 Feb 2024 23:59:59 GMT",
        "obsolete.txt": b"Sunday, 06-Nov-94 08:49:37 GMT",
    },
    "fuzz_playlist": {
        "list.pls": b"[playlist]\nFile1=http://a.example/live\nTitle1=One\nNumberOfEntries=1\n",
        "list.m3u": b'#EXTM3U\n#EXTINF:-1 tvg-name="x,y",Caf\xc3\xa9 One\nhttp://a.example/live\n',
        "list.xspf": b'<?xml version="1.0"?><playlist><trackList><track><location>http://a.example/'
                     b"</location><title>T</title></track></trackList></playlist>",
        "list.asx": b'<ASX><ENTRY><TITLE>A</TITLE><REF HREF="http://a.example/?x=1&y=2"/></ENTRY></ASX>',
        "frames.mp3": (b"\xff\xfb\x90\x00" + b"\x00" * 413) * 2,
        "frames.aac": (b"\xff\xf1\x50\x80\x10\x1f\xfc" + b"\x00" * 121) * 2,
    },
    "fuzz_icy_metadata": {
        "titles.bin": icy_body(16, [b"StreamTitle='Artist - Song';", b"", b"StreamTitle='';"]),
        "url.bin": icy_body(32, [b"StreamTitle='Don't Stop';StreamUrl='http://example.org/';"]),
        "latin1.bin": icy_body(8, [b"streamtitle='Caf\xe9 \x93Noir\x94';", b"StreamTitle=Unquoted;"]),
    },
}

for target, files in SEEDS.items():
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
