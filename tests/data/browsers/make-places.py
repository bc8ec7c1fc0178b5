#!/usr/bin/env python3
"""Makes the Firefox test databases of this folder. Firefox ESR creates a fresh profile headless (so the
schema, the roots and Firefox's own default bookmarks are its own); the bookmarks, visits, keyword, tags
and separators of the tests are then added through that schema with SQLite, since the browser offers no
scripting here. The database is shrunk to small pages and kept in WAL mode, as Firefox keeps it.
  places.sqlite                    the profile as it is when no browser runs
  wal/places.sqlite(-wal)          the same with a write-ahead log holding one more bookmark
  damaged/places.sqlite            the first 30,000 bytes of places.sqlite
Usage: tests/data/browsers/make-places.py   (needs firefox-esr)"""
import glob, os, shutil, signal, sqlite3, subprocess, sys, tempfile, time

HERE = os.path.dirname(os.path.abspath(__file__))

def firefox_profile(home):
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_CACHE_HOME=home + "/.cache")
    subprocess.run(["firefox-esr", "-headless", "-CreateProfile", "default-release"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    browser = subprocess.Popen(["firefox-esr", "-headless", "-P", "default-release", "about:blank"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    places = None
    for _ in range(60):
        time.sleep(1)
        found = glob.glob(home + "/.config/mozilla/firefox/*.default-release/places.sqlite") + \
            glob.glob(home + "/.mozilla/firefox/*.default-release/places.sqlite")
        if found:
            places = found[0]
            time.sleep(15)
            break
    browser.send_signal(signal.SIGTERM)
    browser.wait(timeout=60)
    if not places:
        sys.exit("Firefox made no places.sqlite")
    return places

US = 1_000_000  # Firefox keeps times in microseconds since 1970

def fill(db):
    c = db.cursor()
    def place(url, title, visits=0, last=None):
        c.execute("INSERT INTO moz_places (url, title, rev_host, visit_count, last_visit_date, guid, url_hash) "
                  "VALUES (?, ?, '', ?, ?, ?, 0)", (url, title, visits, last, "pl" + str(abs(hash(url)))[:10]))
        pid = c.lastrowid
        for i in range(visits):
            c.execute("INSERT INTO moz_historyvisits (place_id, visit_date, visit_type, session) VALUES (?, ?, 1, 0)",
                      (pid, (last or 0) - i * 3600 * US))
        return pid
    counter = [0]
    def bookmark(parent, kind, title=None, fk=None, keyword_id=None):
        counter[0] += 1
        position = c.execute("SELECT COUNT(*) FROM moz_bookmarks WHERE parent = ?", (parent,)).fetchone()[0]
        c.execute("INSERT INTO moz_bookmarks (type, fk, parent, position, title, keyword_id, dateAdded, lastModified, "
                  "guid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  (kind, fk, parent, position, title, keyword_id, 1_700_000_000 * US, 1_700_000_000 * US,
                   "qmtest%06d" % counter[0]))
        return c.lastrowid
    ids = {g: i for g, i in c.execute("SELECT guid, id FROM moz_bookmarks").fetchall()}
    menu, toolbar, tags, unfiled, mobile = (ids["menu________"], ids["toolbar_____"], ids["tags________"],
                                            ids["unfiled_____"], ids["mobile______"])
    debian = place("https://www.debian.org/", "Debian page title", 5, 1_700_000_000 * US)
    c.execute("INSERT INTO moz_keywords (keyword, place_id) VALUES ('deb', ?)", (debian,))
    bookmark(menu, 3)  # a separator
    bookmark(menu, 1, "Debian", debian, c.lastrowid)
    news = bookmark(toolbar, 2, "News")
    lwn = place("https://lwn.net/", "LWN.net", 12, 1_710_000_000 * US)
    bookmark(news, 1, "LWN", lwn)
    deep = bookmark(news, 2, "Deep")
    kernel = place("https://kernel.org/", "The Linux Kernel Archives", 1, 1_600_000_000 * US)
    bookmark(deep, 1, "Kernel", kernel)
    untitled = place("https://untitled.example/", None)
    bookmark(toolbar, 1, None, untitled)
    qt = place("https://doc.qt.io/", "Qt Documentation", 3, 1_705_000_000 * US)
    bookmark(unfiled, 1, "Qt docs", qt)
    bookmark(unfiled, 3)
    phone = place("https://m.example.org/", "Mobile")
    bookmark(mobile, 1, "Phone link", phone)
    for tag, places in (("linux", [lwn, kernel]), ("news", [lwn]), ("qt", [qt])):
        folder = bookmark(tags, 2, tag)
        for p in places:
            bookmark(folder, 1, None, p)
    db.commit()

def main():
    home = tempfile.mkdtemp(prefix="qm-firefox-")
    try:
        made = firefox_profile(home)
        work = os.path.join(home, "work.sqlite")
        db = sqlite3.connect(made)
        db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
        db.close()
        shutil.copy(made, work)
        db = sqlite3.connect(work)
        fill(db)
        db.execute("PRAGMA journal_mode = DELETE")
        db.execute("PRAGMA page_size = 1024")
        db.execute("VACUUM")
        db.execute("PRAGMA journal_mode = WAL")
        db.close()
        out = os.path.join(HERE, "places.sqlite")
        shutil.copy(work, out)
        os.makedirs(os.path.join(HERE, "wal"), exist_ok=True)
        shutil.copy(work, os.path.join(HERE, "wal", "places.sqlite"))
        # One more bookmark that only the log holds: the writer ends without a checkpoint, as a
        # running browser leaves it.
        code = ("import os, sqlite3\n"
                "db = sqlite3.connect(%r)\n"
                "db.execute('PRAGMA wal_autocheckpoint = 0')\n"
                "p = db.execute(\"INSERT INTO moz_places (url, title, rev_host, visit_count, guid, url_hash) "
                "VALUES ('https://log.example/', 'Log', '', 2, 'plwal000001', 0)\").lastrowid\n"
                "u = db.execute(\"SELECT id FROM moz_bookmarks WHERE guid = 'unfiled_____'\").fetchone()[0]\n"
                "db.execute(\"INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) "
                "VALUES (1, ?, ?, 9, 'Only in the log', 'qmtestwal001')\", (p, u))\n"
                "db.commit()\n"
                "os._exit(0)\n") % os.path.join(HERE, "wal", "places.sqlite")
        subprocess.run([sys.executable, "-c", code], check=True)
        for extra in ("wal/places.sqlite-shm",):
            path = os.path.join(HERE, extra)
            if os.path.exists(path):
                os.remove(path)
        os.makedirs(os.path.join(HERE, "damaged"), exist_ok=True)
        with open(out, "rb") as whole, open(os.path.join(HERE, "damaged", "places.sqlite"), "wb") as cut:
            cut.write(whole.read(30000))
    finally:
        shutil.rmtree(home, ignore_errors=True)

main()
