// Whole syncs against a real WebDAV server on 127.0.0.1 (rclone serving a temporary folder): two
// computers and the browsers' file, concurrent edits, locks; and against a server of the test's own
// that answers badly.
#include "DavFixtures.h"

#include "sync/DavConnection.h"
#include "sync/SyncFile.h"
#include "sync/SyncLock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace {

// The editing a person does in the window, on a computer's collection.
using Edit = std::function<void(Computer &)>;

void rename(Computer &c, const QString &path, const std::string &name)
{
    LinkItem *item = c.find(path);
    QVERIFY(item);
    ItemList &list = item->Parent->Children;
    std::unique_ptr<LinkItem> taken = list.TakeAt(list.IndexOf(item));
    taken->Name = name;
    list.InsertSorted(std::move(taken));
}

Edit renameTo(const QString &path, const std::string &name)
{
    return [=](Computer &c) { rename(c, path, name); };
}

Edit urlTo(const QString &path, const std::string &url)
{
    return [=](Computer &c) { c.find(path)->Url = url; };
}

Edit moveTo(const QString &path, const QString &folder)
{
    return [=](Computer &c) {
        LinkItem *item = c.find(path);
        item->Parent->Children.MoveTo(item, c.find(folder)->Children);
    };
}

Edit removed(const QString &path)
{
    return [=](Computer &c) {
        LinkItem *item = c.find(path);
        item->Parent->Children.Remove(item);
    };
}

Edit added(const QString &folder, const std::string &name, const std::string &url)
{
    return [=](Computer &c) { c.find(folder)->Children.InsertSorted(LinkItem::MakeLink(name, url)); };
}

Edit both(const Edit &first, const Edit &second)
{
    return [=](Computer &c) {
        first(c);
        second(c);
    };
}

void fill(Computer &c)
{
    LinkItem *work = c.root.Children.Get(c.root.Children.InsertSorted(LinkItem::MakeFolder("Work")));
    work->Children.InsertSorted(LinkItem::MakeLink("a", "https://a.example/"));
    work->Children.InsertSorted(LinkItem::MakeLink("b", "https://b.example/"));
    LinkItem *home = c.root.Children.Get(c.root.Children.InsertSorted(LinkItem::MakeFolder("Home")));
    home->Children.InsertSorted(LinkItem::MakeLink("c", "https://c.example/"));
    c.root.Children.InsertSorted(LinkItem::MakeLink("top", "https://top.example/"));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestWebDavSync : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void concurrentEdits_data();
    void concurrentEdits();
    void browsersFile();
    void locks_data();
    void locks();
    void badServers_data();
    void badServers();
    void readBackDiffers();
    void lockRenewedWhileHeld();
    void endedMidway_data();
    void endedMidway();
    void fileNames_data();
    void fileNames();

private:
    QTemporaryDir m_home;
};

void TestWebDavSync::init()
{
    QVERIFY(m_home.isValid());
}

void TestWebDavSync::concurrentEdits_data()
{
    QTest::addColumn<Edit>("onA");
    QTest::addColumn<Edit>("onB");
    QTest::addColumn<QString>("result");

    QTest::newRow("different items") << renameTo(u"/Work/a"_qs, "a2") << urlTo(u"/Home/c"_qs, "https://c2.example/")
                                     << u"/Home; /Home/c <https://c2.example/>; /Work; /Work/a2 <https://a.example/>; "
                                        "/Work/b <https://b.example/>; /top <https://top.example/>"_qs;
    QTest::newRow("the same item: the last to sync keeps its own")
        << renameTo(u"/top"_qs, "fromA") << renameTo(u"/top"_qs, "fromB")
        << u"/Home; /Home/c <https://c.example/>; /Work; /Work/a <https://a.example/>; /Work/b <https://b.example/>; "
           "/fromB <https://top.example/>"_qs;
    QTest::newRow("deleted against changed")
        << removed(u"/Work/a"_qs) << urlTo(u"/Work/a"_qs, "https://a2.example/")
        << u"/Home; /Home/c <https://c.example/>; /Work; /Work/a <https://a2.example/>; /Work/b <https://b.example/>; "
           "/top <https://top.example/>"_qs;
    QTest::newRow("changed against deleted")
        << urlTo(u"/Work/a"_qs, "https://a2.example/") << removed(u"/Work/a"_qs)
        << u"/Home; /Home/c <https://c.example/>; /Work; /Work/a <https://a2.example/>; /Work/b <https://b.example/>; "
           "/top <https://top.example/>"_qs;
    QTest::newRow("a move against a rename")
        << moveTo(u"/Work/b"_qs, u"/Home"_qs) << renameTo(u"/Work/b"_qs, "b2")
        << u"/Home; /Home/b2 <https://b.example/>; /Home/c <https://c.example/>; /Work; /Work/a <https://a.example/>; "
           "/top <https://top.example/>"_qs;
    QTest::newRow("adds on both sides, one of them the same")
        << added(u"/Work"_qs, "x", "https://x.example/")
        << both(added(u"/Work"_qs, "x", "https://x.example"), added(u"/Home"_qs, "y", "https://y.example/"))
        << u"/Home; /Home/c <https://c.example/>; /Home/y <https://y.example/>; /Work; /Work/a <https://a.example/>; "
           "/Work/b <https://b.example/>; /Work/x <https://x.example/>; /top <https://top.example/>"_qs;
    QTest::newRow("deleted on both sides")
        << removed(u"/Home"_qs) << removed(u"/Home"_qs)
        << u"/Work; /Work/a <https://a.example/>; /Work/b <https://b.example/>; /top <https://top.example/>"_qs;
}

// A and B sync the same collection once, edit apart, and sync A, B, A.
void TestWebDavSync::concurrentEdits()
{
    QFETCH(Edit, onA);
    QFETCH(Edit, onB);
    QFETCH(QString, result);
    RcloneServer server;
    if (server.url().isEmpty())
        QSKIP("rclone is not installed (Debian's rclone package; scripts/setup installs it)");

    Computer a(m_home.filePath(u"a.dat"_qs));
    Computer b(m_home.filePath(u"b.dat"_qs));
    fill(a);
    QVERIFY2(a.sync(server.url()).ok(), "first sync of A");
    SyncRun::Outcome first = b.sync(server.url());
    QVERIFY2(first.ok(), qPrintable(first.error));
    QCOMPARE(b.text(), a.text());
    QVERIFY(!QFile::exists(server.path(u"bookmarks.xbel.lock"_qs)));

    onA(a);
    onB(b);
    for (Computer *computer : {&a, &b, &a}) {
        const SyncRun::Outcome outcome = computer->sync(server.url());
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    }
    QCOMPARE(a.text(), result);
    QCOMPARE(b.text(), result);
    QVERIFY(!QFile::exists(server.path(u"bookmarks.xbel.lock"_qs)));
}

// A file the browsers' extension wrote: its items keep their ids, and what it cannot carry (our
// descriptions) survives its rewriting the file.
void TestWebDavSync::browsersFile()
{
    RcloneServer server;
    if (server.url().isEmpty())
        QSKIP("rclone is not installed (Debian's rclone package; scripts/setup installs it)");
    const QString serverFile = server.path(u"bookmarks.xbel"_qs);
    writeFile(serverFile, readFile(QStringLiteral(QUILLMARK_SOURCE_DIR "/fuzz/corpus/sync/extension-shape.xbel")));

    Computer a(m_home.filePath(u"a.dat"_qs));
    LinkItem *reading = a.root.Children.Get(a.root.Children.InsertSorted(LinkItem::MakeFolder("Reading")));
    LinkItem *mine = reading->Children.Get(reading->Children.InsertSorted(LinkItem::MakeLink("Mine", "https://mine/")));
    mine->Description = "my note";
    SyncRun::Outcome outcome = a.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QVERIFY(outcome.uploaded);

    SyncFile::ReadResult shared = SyncFile::read(readFile(serverFile));
    QVERIFY(shared.ok());
    QCOMPARE(shared.tree.find(1)->title, u"Reading"_qs); // the same folder, kept once
    QCOMPARE(shared.tree.find(2)->title, u"News & views"_qs);
    QCOMPARE(shared.tree.find(9)->title, u"Café €"_qs);
    QCOMPARE(shared.tree.highestId(), qint64(10));
    QCOMPARE(shared.tree.find(10)->title, u"Mine"_qs);
    QCOMPARE(shared.tree.find(10)->parent, qint64(1));
    QCOMPARE(a.text(),
             u"/Café € <https://example.com/>; /Reading; /Reading/Empty; /Reading/Mine <https://mine/> d=my note; "
             "/Reading/News & views <https://news.example.org/?a=1&b=2>"_qs);

    // The extension writes the file again without our fields, and renames an item.
    QByteArray rewritten = readFile(serverFile);
    rewritten = QString::fromUtf8(rewritten)
                    .remove(QRegularExpression(QStringLiteral(" *<(desc|info)>.*</(desc|info)>\n")))
                    .replace(u"News &amp; views"_qs, u"News"_qs)
                    .toUtf8();
    QVERIFY(!rewritten.contains("quillmark"));
    DavConnection browser(server.url(), {}, {});
    QVERIFY(awaited(browser.put(u"bookmarks.xbel"_qs, rewritten)).ok());

    outcome = a.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(outcome.report.taken, QStringList(u"Renamed \u201CNews & views\u201D to \u201CNews\u201D"_qs));
    QCOMPARE(a.text(),
             u"/Café € <https://example.com/>; /Reading; /Reading/Empty; /Reading/Mine <https://mine/> d=my note; "
             "/Reading/News <https://news.example.org/?a=1&b=2>"_qs);
    shared = SyncFile::read(readFile(serverFile));
    QCOMPARE(shared.tree.find(2)->title, u"News"_qs);
    QCOMPARE(shared.tree.find(10)->title, u"Mine"_qs);
}

void TestWebDavSync::locks_data()
{
    QTest::addColumn<int>("age"); // seconds since the other client wrote its lock
    QTest::addColumn<bool>("taken");
    QTest::newRow("a fresh lock is respected") << 60 << false;
    QTest::newRow("a stale lock is taken over") << 16 * 60 << true;
}

void TestWebDavSync::locks()
{
    QFETCH(int, age);
    QFETCH(bool, taken);
    RcloneServer server;
    if (server.url().isEmpty())
        QSKIP("rclone is not installed (Debian's rclone package; scripts/setup installs it)");
    const QString lockFile = server.path(u"bookmarks.xbel.lock"_qs);
    writeFile(lockFile, "another client\n");
    QFile lock(lockFile);
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-age), QFileDevice::FileModificationTime));
    lock.close();

    Computer a(m_home.filePath(u"a.dat"_qs));
    fill(a);
    const SyncRun::Outcome outcome = a.sync(server.url());
    QCOMPARE(outcome.ok(), taken);
    QCOMPARE(QFile::exists(server.path(u"bookmarks.xbel"_qs)), taken);
    QCOMPARE(QFile::exists(lockFile), !taken); // another's fresh lock is left alone, ours is freed
    if (!taken)
        QVERIFY2(outcome.error.startsWith(u"Locked by another client since "_qs), qPrintable(outcome.error));
}

void TestWebDavSync::badServers_data()
{
    QTest::addColumn<QByteArray>("failing"); // the request that fails
    // how: a status, or 0 for silence, -1 for an answer cut short, -2 for one that says it is huge, -3 for one
    // that never ends
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("locked"); // whether the lock was taken first

    QTest::newRow("401") << QByteArray("PROPFIND") << 401 << QByteArray() << u"user name or password"_qs << false;
    QTest::newRow("403") << QByteArray("PROPFIND") << 403 << QByteArray() << u"does not allow"_qs << false;
    QTest::newRow("404 for the folder") << QByteArray("PROPFIND") << 404 << QByteArray() << u"does not exist"_qs
                                        << false;
    QTest::newRow("500") << QByteArray("GET /dav/bookmarks.xbel") << 500 << QByteArray() << u"failed (status 500)"_qs
                         << true;
    QTest::newRow("a redirect") << QByteArray("GET /dav/bookmarks.xbel") << 302 << QByteArray()
                                << u"elsewhere (to http://elsewhere.example/)"_qs << true;
    QTest::newRow("an HTML page") << QByteArray("GET /dav/bookmarks.xbel") << 200
                                  << QByteArray("<!DOCTYPE html><html><body>Login</body></html>") << u"web page"_qs
                                  << true;
    QTest::newRow("a file cut short")
        << QByteArray("GET /dav/bookmarks.xbel") << 200
        << QByteArray("<?xml version=\"1.0\"?><xbel version=\"1.0\"><bookmark href=\"u\" id=\"1\">") << u"unreadable"_qs
        << true;
    QTest::newRow("an answer cut short") << QByteArray("GET /dav/bookmarks.xbel") << -1 << QByteArray()
                                         << u"cut short"_qs << true;
    QTest::newRow("an answer that says it is huge")
        << QByteArray("GET /dav/bookmarks.xbel") << -2 << QByteArray() << u"larger than 1 MB"_qs << true;
    QTest::newRow("an answer that never ends")
        << QByteArray("GET /dav/bookmarks.xbel") << -3 << QByteArray() << u"larger than 1 MB"_qs << true;
    QTest::newRow("a lock that never ends")
        << QByteArray("GET /dav/bookmarks.xbel.lock") << -3 << QByteArray() << u"larger than 1 MB"_qs << false;
    QTest::newRow("no answer") << QByteArray("GET /dav/bookmarks.xbel") << 0 << QByteArray() << u"did not answer"_qs
                               << true;
    QTest::newRow("the lock refused") << QByteArray("PUT /dav/bookmarks.xbel.lock") << 423 << QByteArray()
                                      << u"Locked by another client."_qs << false;
}

// A clear message, nothing changed here, nothing uploaded, and the lock freed when it was taken.
void TestWebDavSync::badServers()
{
    QFETCH(QByteArray, failing);
    QFETCH(int, answer);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(bool, locked);

    ToldServer server([&](const QByteArray &method, const QByteArray &path) -> ToldServer::Answer {
        const QByteArray request = method + ' ' + path;
        if (request == failing || (failing == "PROPFIND" && method == "PROPFIND")) {
            if (answer == 0)
                return {{}, true, false};
            if (answer == -1)
                return {"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n<?xml version=\"1.0\"?><xbel", false, true};
            if (answer == -2)
                return {"HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n<?xml version=\"1.0\"?><xbel", false,
                        false};
            if (answer == -3)
                return {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", false, false, true};
            QByteArray headers
                = "Content-Type: " + QByteArray(body.contains("html") ? "text/html" : "application/xml") + "\r\n";
            if (answer == 302)
                headers += "Location: http://elsewhere.example/\r\n";
            return ToldServer::status(answer, "Told", headers, body);
        }
        if (method == "PROPFIND")
            return ToldServer::status(207, "Multi-Status", "Content-Type: application/xml\r\n",
                                      "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"/>");
        if (method == "GET")
            return ToldServer::status(404, "Not Found");
        if (method == "PUT")
            return ToldServer::status(201, "Created");
        return ToldServer::status(204, "No Content");
    });
    QVERIFY(server.isListening());

    Computer a(m_home.filePath(u"a.dat"_qs));
    fill(a);
    const QString before = a.text();
    const qint64 answerLimit = 1 << 20;
    const SyncRun::Outcome outcome = a.sync(server.url(), 1000, answerLimit);
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
    // An answer that never ends is given up soon after the limit (what the network still held aside).
    QVERIFY2(server.endlessBytesSent < 16 * answerLimit, qPrintable(QString::number(server.endlessBytesSent)));
    QCOMPARE(a.text(), before);
    QVERIFY2(!server.requests.contains(u"PUT /dav/bookmarks.xbel"_qs), qPrintable(server.requests.join(u", ")));
    QCOMPARE(server.requests.contains(u"DELETE /dav/bookmarks.xbel.lock"_qs), locked);
    SyncRun::Settings settings;
    settings.folder = server.url();
    QVERIFY(!QFile::exists(SyncRun(settings, a.dataFile, {}).statePath()));
}

// A server that keeps something else than what was sent: the collection and the state stay as they
// were, so that the next sync merges again.
void TestWebDavSync::readBackDiffers()
{
    int gets = 0;
    ToldServer server([&](const QByteArray &method, const QByteArray &path) -> ToldServer::Answer {
        if (method == "PROPFIND")
            return ToldServer::status(207, "Multi-Status", {}, "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"/>");
        if (method == "GET" && path == "/dav/bookmarks.xbel" && gets++ > 0)
            return ToldServer::status(200, "OK", {}, SyncFile::write(SyncTree()));
        if (method == "GET")
            return ToldServer::status(404, "Not Found");
        if (method == "PUT")
            return ToldServer::status(201, "Created");
        return ToldServer::status(204, "No Content");
    });
    Computer a(m_home.filePath(u"a.dat"_qs));
    fill(a);
    const QString before = a.text();
    const SyncRun::Outcome outcome = a.sync(server.url(), 5000);
    QVERIFY2(outcome.error.contains(u"differs from what was sent"_qs), qPrintable(outcome.error));
    QCOMPARE(a.text(), before);
    QVERIFY(server.requests.contains(u"DELETE /dav/bookmarks.xbel.lock"_qs));
    SyncRun::Settings settings;
    settings.folder = server.url();
    QVERIFY(!QFile::exists(SyncRun(settings, a.dataFile, {}).statePath()));
}

// A long sync writes its lock again and again, so that no other client takes it for stale.
void TestWebDavSync::lockRenewedWhileHeld()
{
    ToldServer server([](const QByteArray &method, const QByteArray &) {
        return method == "GET" ? ToldServer::status(404, "Not Found") : ToldServer::status(201, "Created");
    });
    DavConnection connection(server.url(), {}, {});
    {
        SyncLock lock(connection, u"bookmarks.xbel"_qs);
        lock.setRenewInterval(100);
        const QString error = awaited(lock.take());
        QVERIFY2(error.isEmpty() && lock.held(), qPrintable(error));
        QTRY_VERIFY(server.requests.count(u"PUT /dav/bookmarks.xbel.lock"_qs) >= 3);
        QVERIFY(!server.requests.contains(u"DELETE /dav/bookmarks.xbel.lock"_qs));
    }
    QTRY_COMPARE(server.requests.last(), u"DELETE /dav/bookmarks.xbel.lock"_qs);
    const qsizetype puts = server.requests.count(u"PUT /dav/bookmarks.xbel.lock"_qs);
    QTest::qWait(300);
    QCOMPARE(server.requests.count(u"PUT /dav/bookmarks.xbel.lock"_qs), puts); // not after it was freed
}

void TestWebDavSync::endedMidway_data()
{
    QTest::addColumn<bool>("destroyed"); // the run goes (the window closes) instead of being cancelled
    QTest::newRow("cancelled") << false;
    QTest::newRow("gone") << true;
}

// A sync ended while the server holds an answer open stops at once, and still frees its lock on the server.
void TestWebDavSync::endedMidway()
{
    QFETCH(bool, destroyed);
    ToldServer server([](const QByteArray &method, const QByteArray &path) -> ToldServer::Answer {
        if (method == "PROPFIND")
            return ToldServer::status(207, "Multi-Status", {}, "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"/>");
        if (method == "GET" && !path.endsWith(".lock"))
            return {{}, true, false}; // holds the answer open
        if (method == "GET")
            return ToldServer::status(404, "Not Found");
        return ToldServer::status(method == "PUT" ? 201 : 204, "Done");
    });
    Computer a(m_home.filePath(u"a.dat"_qs));
    fill(a);
    SyncRun::Settings settings;
    settings.folder = server.url();
    auto run = std::make_unique<SyncRun>(settings, a.dataFile, QString());
    bool ended = false;
    connect(run.get(), &SyncRun::exchanged, this, [&ended] { ended = true; });
    run->start(CollectionTree::snapshot(a.root), false);
    QVERIFY(run->isRunning());
    QTRY_VERIFY(server.requests.contains(u"GET /dav/bookmarks.xbel"_qs));
    QElapsedTimer sinceEnd;
    sinceEnd.start();
    if (destroyed) {
        run.reset();
    } else {
        run->cancel();
        QTRY_VERIFY(ended);
        QVERIFY2(run->exchange().outcome.error.contains(u"cancelled"_qs), qPrintable(run->exchange().outcome.error));
    }
    QTRY_VERIFY(server.requests.contains(u"DELETE /dav/bookmarks.xbel.lock"_qs));
    QVERIFY2(sinceEnd.elapsed() < 3000, qPrintable(QString::number(sinceEnd.elapsed())));
    QVERIFY(!server.requests.contains(u"PUT /dav/bookmarks.xbel"_qs));
}

void TestWebDavSync::fileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("request"); // what the sync asks for the file, or nothing when it refuses the name
    QTest::addColumn<QString>("message");
    QTest::newRow("in a folder below") << u"sub/bookmarks.xbel"_qs << u"GET /dav/sub/bookmarks.xbel"_qs << QString();
    QTest::newRow("names escaped one by one")
        << u"my files/b#1.xbel"_qs << u"GET /dav/my%20files/b%231.xbel"_qs << QString();
    QTest::newRow("a folder above") << u"../bookmarks.xbel"_qs << QString() << u"must name a file"_qs;
    QTest::newRow("a folder of no name") << u"sub//bookmarks.xbel"_qs << QString() << u"must name a file"_qs;
    QTest::newRow("from the server's top") << u"/bookmarks.xbel"_qs << QString() << u"begins with"_qs;
}

// The file name may lead into folders below the server's folder, never out of it.
void TestWebDavSync::fileNames()
{
    QFETCH(QString, fileName);
    QFETCH(QString, request);
    QFETCH(QString, message);
    ToldServer server([](const QByteArray &method, const QByteArray &) {
        if (method == "PROPFIND")
            return ToldServer::status(207, "Multi-Status", {}, "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"/>");
        if (method == "GET")
            return ToldServer::status(404, "Not Found");
        return ToldServer::status(201, "Created");
    });
    Computer a(m_home.filePath(u"a.dat"_qs));
    a.fileName = fileName;
    fill(a);
    const SyncRun::Outcome outcome = a.sync(server.url(), 5000);
    if (request.isEmpty()) {
        QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
        QCOMPARE(server.requests, QStringList());
        return;
    }
    // This server keeps nothing, so the file read back is missing: what counts is where it was asked for.
    QVERIFY2(server.requests.contains(request), qPrintable(server.requests.join(u", ")));
    QVERIFY(server.requests.contains(u"PUT "_qs + request.mid(4)));
    QVERIFY(server.requests.contains(u"DELETE "_qs + request.mid(4) + u".lock"_qs));
}

QTEST_GUILESS_MAIN(TestWebDavSync)
#include "tst_webdavsync.moc"
