#!/usr/bin/env python3
"""Writes the seed corpora of the bookmark format fuzzers (fuzz/corpus/html, opera, xbel): the sample
files of tests/data/formats, cut and broken in the ways real files break. tst_brokenformats replays
every file of these folders. The files are committed; run it again only to change them. The files
named quillmark-export.* are our own writers' output and are not written here.
    fuzz/make_format_seeds.py [SOURCE_DIR]"""
import os
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
samples = os.path.join(root, "tests", "data", "formats")


def sample(name):
    with open(os.path.join(samples, name), "rb") as f:
        return f.read()


def cuts(data, parts):
    return [data[: len(data) * i // parts] for i in range(1, parts)]


html_head = b'<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">\n'
chrome = sample("chrome.html")
html = {
    "chrome.html": chrome,
    "safari.html": sample("safari.html"),
    "ie-windows-1252.html": sample("ie.html"),
    "handmade.html": sample("handmade.html"),
    "firefox-small-icon.html": sample("firefox.html").replace(b"AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8g", b"", 1)[:4000],
    "script-in-titles.html": html_head + b'<DL><p>\n<DT><A HREF="https://a.example/">x <script>alert(1)</script> y</A>\n'
    b'<DT><A HREF="https://b.example/"><SCRIPT>never closed</A>\n<DT><A HREF="https://c.example/">After</A>\n</DL>\n',
    "quote-left-open.html": html_head + b'<DL><p>\n<DT><A HREF="https://a.example/>Broken</A>\n'
    b'<DT><A HREF="https://b.example/" ICON="data:x\n<DT><A HREF="https://c.example/">C</A>\n</DL>\n',
    "comment-left-open.html": html_head + b"<!-- no end\n<DL><p><DT><A HREF=\"u\">A</A></DL>",
    "no-end-tags.html": b"<dl><dt><h3>F<dl><dt><a href=u1>L1<dt><a href='u2'>L2</dl><dt><a href=u3>L3<dd>desc",
    "more-list-ends.html": b"</DL></DL><DL><DT><H3>F</H3><DL></DL></DL></DL><DT><A HREF=\"u\">After</A>",
    "entities.html": html_head + b'<DT><A HREF="https://x/?a=1&amp;b=2&copy=3&#x41;">&lt;t&gt; &amp; &#39; &eacute; '
    b"&#8364; &#x20AC; &nbsp &unknown; &#0; &#150; &#x110000; &#xD800; &amp</A>",
    "koi8-r.html": b'<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=KOI8-R">\n'
    b'<DL><DT><A HREF="u">\xf0\xd2\xc9\xd7\xc5\xd4</A></DL>',
    "unknown-charset.html": b'<meta charset="x-made-up"><DL><DT><A HREF="u">na\xefve</A></DL>',
    "utf-16le.html": b"\xff\xfe" + '<DL><DT><A HREF="u">\u00fcber</A></DL>'.encode("utf-16-le"),
    "last-visit.html": b'<DT><A HREF="u" LAST_VISIT="1136160000" QUILLMARK_VISITS="3" QUILLMARK_RATING="4">s</A>'
    b'<DT><A HREF="v" LAST_VISIT="1136160000000">ms</A><DT><A HREF="w" LAST_VISIT="-5">neg</A>'
    b'<DT><A HREF="x" LAST_VISIT="99999999999999999999">huge</A>',
    "descriptions.html": b'<DL><DT><H3>F</H3><DD>about<DL><DT><A HREF="u">L</A><DD>one\ntwo<BR>three<DD>four</DL><DD>x</DL>',
    "deep.html": b"<DT><H3>f</H3><DL><p>" * 300 + b'<DT><A HREF="u">bottom</A>',
    "many-descriptions.html": b'<DT><A HREF="u">A</A>' + b"<DD>d\n" * 300 + b"<DD>\n<DD>last",
    "quote-closed-at-end.html": b'<DT><A HREF="x\n' * 300 + b'"',
    "binary.html": bytes(range(256)) * 2,
    "empty.html": b"",
    "doctype-only.html": b"<!DOCTYPE NETSCAPE-Bookmark-file-1>",
}
for i, cut in enumerate(cuts(chrome, 6)):
    html["chrome-cut-%d.html" % i] = cut

opera_sample = sample("opera.adr")
opera_head = b"Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n"
opera = {
    "opera.adr": opera_sample,
    "opera-old.adr": sample("opera-old.adr"),
    "no-header.adr": b"#URL\n\tNAME=A\n\tURL=u\n",
    "stray-ends.adr": opera_head + b"-\n-\n#URL\n\tNAME=A\n\tURL=u\n",
    "never-closed.adr": opera_head + b"#FOLDER\n\tNAME=F\n#FOLDER\n\tNAME=G\n#URL\n\tNAME=A\n",
    "line-breaks.adr": opera_head + b"#URL\n\tNAME=A\x02\x02B\n\tDESCRIPTION=x\x02y\x02\x02z\rw\n\tVISITED=1300000000\n"
    b"\tQUILLMARK VISITS=5\n\tQUILLMARK RATING=2\n",
    "other-blocks.adr": opera_head + b"\tNAME=orphan\n#NOTE\n\tNAME=note\n#SEPERATOR\n#DELETED\n#URL\n\tNAME=B\n\tURL=b\n",
    "zero-bytes.adr": opera_head + b"#URL\n\tNAME=A\x00B\n\tURL=u\x00v\n",
    "deep.adr": opera_head + b"#FOLDER\n\tNAME=f\n\n" * 300 + b"#URL\n\tNAME=bottom\n",
    "binary.adr": bytes(range(256)) * 2,
}
for i, cut in enumerate(cuts(opera_sample, 5)):
    opera["opera-cut-%d.adr" % i] = cut

desktop = sample("desktop.xbel")
xbel_start = b'<?xml version="1.0"?>\n<xbel version="1.0">\n'
xbel = {
    "desktop.xbel": desktop,
    "minimal.xbel": b'<xbel><bookmark href="u"><title>T</title></bookmark></xbel>',
    "broken-tag.xbel": xbel_start + b'<bookmark href="a"><title>A</title></bookmark>\n<bookmark href="b><title>',
    "not-xbel.xbel": b'<?xml version="1.0"?><rss><channel/></rss>',
    "alias-first.xbel": xbel_start + b'<alias ref="x"/><bookmark id="x" href="a"><title>A</title></bookmark>'
    b'<alias ref="x"/><folder id="f"/><alias ref="f"/></xbel>',
    "entities.xbel": b'<?xml version="1.0"?><!DOCTYPE xbel [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]>'
    b'<xbel><bookmark href="a&amp;b"><title>&b; &#13;&#10; &lt;</title><desc>x&#13;y</desc></bookmark></xbel>',
    "metadata.xbel": xbel_start + b'<folder><title>F</title><info><metadata owner="urn:x-quillmark:metadata" '
    b'visits="4" rating="2" visited="2023-07-16T12:00:00Z"/></info><desc>d</desc></folder>'
    b'<bookmark href="u" visited="2009-07-06T06:00:00.5+02:00"><info><metadata owner="urn:x-quillmark:metadata" '
    b'visits="-1" rating="999"/></info></bookmark></xbel>',
    "deep.xbel": xbel_start + b"<folder><title>f</title>" * 300 + b'<bookmark href="u"/>',
    "deep-title.xbel": xbel_start + b'<bookmark href="u"><title>' + b"<b>a" * 300 + b"b</b>" * 300 + b"</title><desc>"
    + b"<i>c<!--x-->" * 300 + b"</desc></bookmark>",
    "many-aliases.xbel": xbel_start + b'<bookmark id="b" href="u"><title>T</title><desc>' + b"d" * 4000
    + b"</desc></bookmark>" + b'<folder><alias ref="b"/></folder>' * 300 + b"</xbel>",
    "binary.xbel": bytes(range(256)) * 2,
}
for i, cut in enumerate(cuts(desktop, 5)):
    xbel["desktop-cut-%d.xbel" % i] = cut

for folder, files in (("html", html), ("opera", opera), ("xbel", xbel)):
    path = os.path.join(root, "fuzz", "corpus", folder)
    os.makedirs(path, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)
