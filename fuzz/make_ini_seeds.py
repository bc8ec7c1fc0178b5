#!/usr/bin/env python3
"""Writes the INI fuzzer's seed corpus (fuzz/corpus/ini) and the broken shortcut files that
tst_brokenshortcuts replays (tests/data/shortcuts). The files are committed; run it again only to
change them.   fuzz/make_ini_seeds.py [SOURCE_DIR]"""
import os
import random
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")


def utf16(text, little=True):
    return (b"\xff\xfe" if little else b"\xfe\xff") + text.encode("utf-16-le" if little else "utf-16-be")


seeds = {
    "ie-typical.url": b"[DEFAULT]\r\nBASEURL=http://www.example.com/\r\n[InternetShortcut]\r\n"
    b"URL=http://www.example.com/\r\nIDList=\r\nHotKey=0\r\nIconFile=http://www.example.com/favicon.ico\r\n"
    b"IconIndex=1\r\n[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,11\r\n",
    "simple.url": b"[InternetShortcut]\nURL=https://example.org/a?b=c&d=e#f\n",
    "quoted.url": b"[InternetShortcut]\r\nURL=\"http://quoted.example/\"\r\n",
    "single-quoted.url": b"[InternetShortcut]\r\nURL='http://single.example/'\r\n",
    "blanks.url": b"  [ internetshortcut ]  \r\n\t url\t=  http://blanks.example/ \t\r\n",
    "utf16le.url": utf16("[InternetShortcut]\r\nURL=http://caf\u00e9.example/\r\n"),
    "utf16be.url": utf16("[InternetShortcut]\r\nURL=http://be.example/\r\n", little=False),
    "utf8-bom.url": b"\xef\xbb\xbf[InternetShortcut]\r\nURL=http://bom.example/\r\n",
    "cp1252.url": b"[InternetShortcut]\r\nURL=http://caf\xe9.example/\r\n",
    "key-in-second-section.url": b"[InternetShortcut]\r\nIconIndex=0\r\n[Other]\r\nURL=http://x/\r\n",
    "key-without-equals.url": b"[InternetShortcut]\r\nURL\r\nURL=http://second/\r\n",
    "long-value.url": b"[InternetShortcut]\r\nURL=http://long.example/" + b"a" * 3000 + b"\r\n",
    "non-url.url": b"[InternetShortcut]\r\nURL=non url\r\n",
    "empty-value.url": b"[InternetShortcut]\r\nURL=\r\n",
    "comments.url": b"; a comment\r\n[InternetShortcut]\r\n; URL=http://commented/\r\nURL=http://after/\r\n",
    "desktop.ini": b"[.ShellClassInfo]\r\nIconResource=C:\\Windows\\system32\\imageres.dll,-115\r\n",
}

rng = random.Random(20240611)
garbage = bytes(rng.randrange(256) for _ in range(512)).replace(b"[", b"{")
broken = {
    "empty.url": b"",
    "binary-garbage.url": garbage,
    "truncated-in-section.url": b"[InternetSho",
    "truncated-after-key.url": b"[InternetShortcut]\r\nURL",
    "truncated-in-value.url": b"[InternetShortcut]\r\nURL=http://exa",
    "zero-in-value.url": b"[InternetShortcut]\r\nURL=http://a\0b/\r\n",
    "zero-in-section-name.url": b"[Internet\0Shortcut]\r\nURL=http://zero/\r\n",
    "long-line.url": b"[InternetShortcut]\nURL=" + b"A" * 10000,
    "utf16-odd-length.url": utf16("[InternetShortcut]\r\nURL=http://odd/\r\n") + b"x",
    "utf16-without-bom.url": "[InternetShortcut]\r\nURL=http://nobom/\r\n".encode("utf-16-le"),
    "only-bom.url": b"\xff\xfe",
    "cr-only-lines.url": b"[InternetShortcut]\rURL=http://cr/\r",
    "many-sections.url": b"[S]\nA=1\n" * 5000 + b"[InternetShortcut]\nURL=http://late/\n",
    "unterminated-quote.url": b"[InternetShortcut]\r\nURL=\"http://q\r\n",
    "brackets-only.url": b"[\n]\n[]\nURL=http://none/\n",
    "equals-signs.url": b"[InternetShortcut]\n=\n==\nURL==x\n",
}

for folder, files in (("fuzz/corpus/ini", seeds), ("tests/data/shortcuts", broken)):
    path = os.path.join(root, folder)
    os.makedirs(path, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(path, name), "wb") as out:
            out.write(data)
