#!/usr/bin/env python3
"""Writes a small, realistic collection in the native format (version 10000), for screenshots and demos.

Usage: scripts/demo-collection.py OUT
"""
import struct
import sys
from datetime import datetime

EPOCH = datetime(1899, 12, 30)


def ole(text):
    """An OLE date (days since 1899-12-30) from 'YYYY-MM-DD HH:MM'."""
    moment = datetime.strptime(text, "%Y-%m-%d %H:%M")
    delta = moment - EPOCH
    return delta.days + delta.seconds / 86400.0


def string(value):
    data = value.encode("utf-8")
    return struct.pack("<i", len(data)) + data


def record(name, url="", description="", folder=False, visits=0, rating=0, last=None, children=()):
    out = string(name) + string(url) + string(description)
    out += struct.pack("<Bi", 1 if folder else 0, visits)
    out += struct.pack("<Bd", rating, ole(last) if last else 0.0)
    # Children are stored in name order, as the program keeps them.
    ordered = sorted(children, key=lambda c: c[0].encode("utf-8"))
    out += struct.pack("<i", len(ordered))
    for child in ordered:
        out += child[1]
    return out


def link(name, url, description="", visits=0, rating=0, last=None):
    return (name, record(name, url, description, False, visits, rating, last))


def folder(name, children, visits=0, last=None):
    return (name, record(name, folder=True, visits=visits, last=last, children=children))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    tree = record("Quillmark", folder=True, visits=12, last="2026-12-07 09:10", children=[
        folder("Reference", [
            link("Qt Documentation", "https://doc.qt.io/qt-6/", "Class reference and guides for Qt 6.", 41, 5,
                 "2026-12-06 17:42"),
            link("C++ Reference", "https://en.cppreference.com/w/", "The language and the standard library.", 63,
                 5, "2026-12-07 08:55"),
            link("CMake Manual", "https://cmake.org/cmake/help/latest/", "", 12, 4, "2026-11-30 10:05"),
        ], visits=8, last="2026-12-07 08:55"),
        folder("News", [
            link("LWN.net", "https://lwn.net/", "Linux and free software news.", 25, 4, "2026-12-05 07:30"),
            link("Hacker News", "https://news.ycombinator.com/", "", 90, 3, "2026-12-07 07:12"),
        ], visits=5),
        folder("Recipes", [
            link("Sourdough starter", "https://example.org/recipes/sourdough", "Feed twice a day.", 3, 4,
                 "2026-10-02 19:20"),
        ]),
        folder("Travel", []),
        link("Debian", "https://www.debian.org/", "The universal operating system.", 17, 5, "2026-12-01 12:00"),
        link("Weather", "https://weather.example.com/today", "Forecast for home.", 154, 3, "2026-12-07 06:45"),
        link("Wikipedia", "https://en.wikipedia.org/", "", 38, 4, "2026-12-04 21:13"),
        link("Old forum", "http://forum.example.net/index.php", "Kept for the archive.", 0, 0, None),
        link("Mail", "https://mail.example.com/", "", 212, 2, "2026-12-07 09:01"),
    ])
    with open(sys.argv[1], "wb") as out:
        out.write(struct.pack("<i", 10000) + tree)


if __name__ == "__main__":
    main()
