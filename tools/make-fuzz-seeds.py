#!/usr/bin/env python3
"""Writes the seed inputs of the station list fuzzer: small, valid station list files.

Run from the project root: python3 tools/make-fuzz-seeds.py
"""
import os
import struct

OUT = os.path.join("tests", "fuzz", "corpus", "fuzz_station_archive")


def head(major, n):
    if n < 24:
        return bytes([major << 5 | n])
    for info, fmt in ((24, ">B"), (25, ">H"), (26, ">I"), (27, ">Q")):
        if n < 1 << (8 * struct.calcsize(fmt)):
            return bytes([major << 5 | info]) + struct.pack(fmt, n)
    raise ValueError(n)


def encode(value):
    if isinstance(value, bool):
        return bytes([0xF5 if value else 0xF4])
    if isinstance(value, int):
        return head(0, value) if value >= 0 else head(1, -1 - value)
    if isinstance(value, float):
        return b"\xfb" + struct.pack(">d", value)
    if isinstance(value, str):
        data = value.encode()
        return head(3, len(data)) + data
    if isinstance(value, list):
        return head(4, len(value)) + b"".join(encode(v) for v in value)
    if isinstance(value, dict):
        return head(5, len(value)) + b"".join(encode(k) + encode(v) for k, v in value.items())
    raise TypeError(value)


def station_list(stations):
    return head(6, 55799) + head(6, 0x4F535401) + encode(stations)


SEEDS = {
    "empty": [],
    "one": [{"stationuuid": "9617a958-0601-11e8-ae97-52543be04c81", "name": "Radio Eins",
             "url": "http://stream.example/live.mp3", "bitrate": 128, "votes": 4711,
             "hls": False, "geo_lat": 52.52, "tags": "pop,rock", "countrycode": "DE"}],
    "mixed": [{"name": "Café ☕ 東京", "clickcount": -5, "big": 5000000000},
              {}, {"a": 1.5, "b": True, "c": ""}],
}

os.makedirs(OUT, exist_ok=True)
for name, stations in SEEDS.items():
    with open(os.path.join(OUT, name + ".cbor"), "wb") as f:
        f.write(station_list(stations))
