// Bookmarks read straight from the browsers' own profiles: a places.sqlite made by Firefox ESR (with
// and without a write-ahead log beside it), a Chromium Bookmarks file with its History, the profiles
// found in a home, damaged files that add nothing, and profiles laid as traps that end at once.
#include "FormatFixtures.h"
#include "common/Sanitizers.h"

#include "common/SpecialFiles.h"
#include "formats/BoundedCopy.h"
#include "formats/SqliteSnapshot.h"

#include "formats/BrowserProfiles.h"
#include "formats/ChromiumBookmarksReader.h"
#include "formats/FirefoxPlacesReader.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace FormatFixtures;

namespace {

const QString Data = QStringLiteral(QUILLMARK_TEST_DATA "/browsers/");

const QString ChromiumOutline = QStringLiteral("Bookmarks bar/\n"
                                               "  Chromium Project <https://www.chromium.org/>\n"
                                               "  Work/\n"
                                               "    Inner/\n"
                                               "      Deep \u00e9t\u00e9 link <https://deep.example/?a=1&b=2>\n"
                                               "    https://untitled.example/ <https://untitled.example/>\n"
                                               "Mobile bookmarks/\n"
                                               "  On the phone <https://m.example.org/>\n"
                                               "Other bookmarks/\n"
                                               "  Debian <https://www.debian.org/>");

// Runs sql on the database at path; false when SQLite refuses it.
bool runSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

int visitsBelow(const LinkItem &folder)
{
    int visits = 0;
    for (const auto &child : folder.Children)
        visits += child->isFolder() ? visitsBelow(*child) : child->Visits;
    return visits;
}

const LinkItem *at(const LinkItem &root, const QString &path)
{
    const LinkItem *item = &root;
    for (const QString &name : path.split(u'\\')) {
        const LinkItem *next = nullptr;
        for (const auto &child : item->Children)
            next = !next && TextCodec::toDisplay(child->Name) == name ? child.get() : next;
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

// The names and sums of the files of a folder, to see that reading left them as they were.
QStringList filesOf(const QString &folder)
{
    QStringList files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        files << info.fileName() + u' '
                + QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
    }
    return files;
}

bool copyInto(const QString &from, const QString &folder, const QString &name)
{
    QDir().mkpath(folder);
    return QFile::copy(from, QDir(folder).filePath(name));
}

const QString FirefoxOutline = QStringLiteral("Bookmarks Menu/\n"
                                              "  Debian <https://www.debian.org/>\n"
                                              "  Mozilla Firefox/\n"
                                              "    About Us <https://www.mozilla.org/about/>\n"
                                              "    Customize Firefox <%1>\n"
                                              "    Get Help <https://support.mozilla.org/products/firefox>\n"
                                              "    Get Involved <https://www.mozilla.org/contribute/>\n"
                                              "Bookmarks Toolbar/\n"
                                              "  News/\n"
                                              "    Deep/\n"
                                              "      Kernel <https://kernel.org/>\n"
                                              "    LWN <https://lwn.net/>\n"
                                              "  https://untitled.example/ <https://untitled.example/>\n"
                                              "Mobile Bookmarks/\n"
                                              "  Phone link <https://m.example.org/>\n"
                                              "Other Bookmarks/\n"
                                              "%2"
                                              "  Qt docs <https://doc.qt.io/>")
                                   .arg(QStringLiteral("https://support.mozilla.org/kb/customize-firefox-controls-"
                                                       "buttons-and-toolbars?utm_source=firefox-browser&utm_medium="
                                                       "default-bookmarks&utm_campaign=customize"));

} // namespace

class TestBrowserProfiles : public QObject
{
    Q_OBJECT
private slots:
    void firefox_data();
    void firefox();
    void firefoxFields_data();
    void firefoxFields();
    void chromium();
    void brokenFiles_data();
    void brokenFiles();
    void profilesFound();
    void brokenCopies_data();
    void brokenCopies();
    void traps_data();
    void traps();
    void snapshotStops_data();
    void snapshotStops();
    void copyToFullDisk();
};

void TestBrowserProfiles::firefox_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no browser running") << QString() << FirefoxOutline.arg(QString());
    QTest::newRow("write-ahead log beside it")
        << QStringLiteral("wal/") << FirefoxOutline.arg(QStringLiteral("  Only in the log <https://log.example/>\n"));
}

void TestBrowserProfiles::firefox()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    // Read from a copy of the data, so that what reading leaves behind shows.
    QTemporaryDir dir;
    for (const QFileInfo &info : QDir(Data + folder).entryInfoList(QDir::Files))
        QVERIFY(QFile::copy(info.filePath(), dir.filePath(info.fileName())));
    const QStringList before = filesOf(dir.path());

    auto root = LinkItem::MakeFolder("Firefox (default-release)");
    const ImportReport report = FirefoxPlacesReader::read(dir.filePath(QStringLiteral("places.sqlite")), *root);
    QVERIFY2(report.ok(), qPrintable(report.errorString()));
    QCOMPARE(outline(*root), expected);
    checkSound(*root, report.folders, report.links);
    QCOMPARE(filesOf(dir.path()), before); // nothing written next to the database, nothing changed
}

void TestBrowserProfiles::firefoxFields_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("visits");
    QTest::addColumn<qint64>("lastVisit"); // seconds since 1970, 0 for never
    QTest::addColumn<QString>("description");
    QTest::newRow("keyword") << "Bookmarks Menu\\Debian" << 5 << qint64(1700000000) << "Keyword: deb";
    QTest::newRow("two tags") << "Bookmarks Toolbar\\News\\LWN" << 12 << qint64(1710000000) << "Tags: linux, news";
    QTest::newRow("nested, one tag") << "Bookmarks Toolbar\\News\\Deep\\Kernel" << 1 << qint64(1600000000)
                                     << "Tags: linux";
    QTest::newRow("never visited") << "Mobile Bookmarks\\Phone link" << 0 << qint64(0) << "";
}

void TestBrowserProfiles::firefoxFields()
{
    QFETCH(QString, path);
    QFETCH(int, visits);
    QFETCH(qint64, lastVisit);
    QFETCH(QString, description);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(Data + QStringLiteral("places.sqlite"), dir.filePath(QStringLiteral("places.sqlite"))));
    LinkItem root;
    QVERIFY(FirefoxPlacesReader::read(dir.filePath(QStringLiteral("places.sqlite")), root).ok());
    const LinkItem *item = at(root, path);
    QVERIFY(item);
    QCOMPARE(item->Visits, visits);
    DateConverter dates;
    QCOMPARE(dates.toEpochSeconds(item->LastVisit), lastVisit);
    QCOMPARE(TextCodec::toDisplay(item->Description), description);
}

void TestBrowserProfiles::chromium()
{
    QTemporaryDir dir;
    QVERIFY(copyInto(Data + QStringLiteral("chromium/Bookmarks"), dir.path(), QStringLiteral("Bookmarks")));
    QVERIFY(copyInto(Data + QStringLiteral("chromium/History"), dir.path(), QStringLiteral("History")));
    const QStringList before = filesOf(dir.path());
    LinkItem root;
    const ImportReport report = ChromiumBookmarksReader::read(dir.filePath(QStringLiteral("Bookmarks")), root);
    QVERIFY2(report.ok(), qPrintable(report.errorString()));
    QCOMPARE(outline(root), ChromiumOutline);
    checkSound(root, report.folders, report.links);
    QCOMPARE(filesOf(dir.path()), before);

    DateConverter dates;
    const LinkItem *used = at(root, QStringLiteral("Bookmarks bar\\Chromium Project"));
    QCOMPARE(used->Visits, 7); // from History
    QCOMPARE(dates.toEpochSeconds(used->LastVisit), qint64(13350000000 - 11644473600)); // its last use
    const LinkItem *visited = at(root, QStringLiteral("Other bookmarks\\Debian"));
    QCOMPARE(visited->Visits, 3);
    QCOMPARE(dates.toEpochSeconds(visited->LastVisit), qint64(13340000000 - 11644473600)); // History's last visit
    QCOMPARE(at(root, QStringLiteral("Mobile bookmarks\\On the phone"))->LastVisit, 0.0);
}

void TestBrowserProfiles::brokenFiles_data()
{
    QTest::addColumn<QString>("family"); // firefox or chromium
    QTest::addColumn<QStringList>("files"); // test data file, name in the profile
    QTest::addColumn<QString>("named"); // the file the message names
    QTest::newRow("damaged database") << "firefox" << QStringList {"damaged/places.sqlite", "places.sqlite"}
                                      << "places.sqlite";
    QTest::newRow("json as database") << "firefox" << QStringList {"chromium/Bookmarks", "places.sqlite"}
                                      << "places.sqlite";
    QTest::newRow("no database") << "firefox" << QStringList {} << "places.sqlite";
    QTest::newRow("truncated json") << "chromium" << QStringList {"chromium/Bookmarks-truncated", "Bookmarks"}
                                    << "Bookmarks";
    QTest::newRow("database as json") << "chromium" << QStringList {"places.sqlite", "Bookmarks"} << "Bookmarks";
}

void TestBrowserProfiles::brokenFiles()
{
    QFETCH(QString, family);
    QFETCH(QStringList, files);
    QFETCH(QString, named);
    QTemporaryDir dir;
    for (qsizetype i = 0; i + 1 < files.size(); i += 2)
        QVERIFY(copyInto(Data + files.at(i), dir.path(), files.at(i + 1)));
    const BrowserProfile profile {family == QLatin1String("firefox") ? BrowserProfile::Family::Firefox
                                                                     : BrowserProfile::Family::Chromium,
                                  QStringLiteral("Test"), QStringLiteral("test"), dir.path()};
    auto root = LinkItem::MakeFolder("Target");
    const ImportReport report = BrowserProfiles::read(profile, *root);
    QCOMPARE(report.status, ImportReport::Unreadable);
    QCOMPARE(root->Children.Count(), 0);
    QCOMPARE(report.folders + report.links, 0);
    QVERIFY2(report.errorString().contains(QDir::toNativeSeparators(dir.filePath(named))),
             qPrintable(report.errorString()));
}

void TestBrowserProfiles::profilesFound()
{
    QTemporaryDir home;
    const QString config = home.filePath(QStringLiteral(".config"));
    const QString places = Data + QStringLiteral("places.sqlite");
    const QString bookmarks = Data + QStringLiteral("chromium/Bookmarks");
    auto write = [](const QString &path, const QByteArray &text) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    // Firefox in its XDG home: two profiles, one relative and one absolute; one without bookmarks.
    const QString firefox = config + QStringLiteral("/mozilla/firefox");
    const QString elsewhere = home.filePath(QStringLiteral("elsewhere/work"));
    QVERIFY(write(firefox + QStringLiteral("/profiles.ini"),
                  "[General]\nStartWithLastProfile=1\n\n[Profile1]\nName=work\nIsRelative=0\nPath=" + elsewhere.toUtf8()
                      + "\n\n[Profile0]\nName=default-release\nIsRelative=1\nPath=ab12.default-release\n\n"
                        "[Profile2]\nName=empty\nIsRelative=1\nPath=cd34.empty\n"));
    QVERIFY(copyInto(places, firefox + QStringLiteral("/ab12.default-release"), QStringLiteral("places.sqlite")));
    QVERIFY(copyInto(places, elsewhere, QStringLiteral("places.sqlite")));
    QDir().mkpath(firefox + QStringLiteral("/cd34.empty"));
    // Firefox as a snap, LibreWolf as a flatpak.
    const QString snap = home.filePath(QStringLiteral("snap/firefox/common/.mozilla/firefox"));
    QVERIFY(write(snap + QStringLiteral("/profiles.ini"), "[Profile0]\nName=snappy\nPath=x.snappy\n"));
    QVERIFY(copyInto(places, snap + QStringLiteral("/x.snappy"), QStringLiteral("places.sqlite")));
    const QString wolf = home.filePath(QStringLiteral(".var/app/io.gitlab.librewolf-community/.librewolf"));
    QVERIFY(write(wolf + QStringLiteral("/profiles.ini"), "[Profile0]\nName=default\nIsRelative=1\nPath=w.default\n"));
    QVERIFY(copyInto(places, wolf + QStringLiteral("/w.default"), QStringLiteral("places.sqlite")));
    // Chromium with two profiles and a folder that is none, Brave as a flatpak, Opera's single profile.
    QVERIFY(copyInto(bookmarks, config + QStringLiteral("/chromium/Default"), QStringLiteral("Bookmarks")));
    QVERIFY(copyInto(bookmarks, config + QStringLiteral("/chromium/Profile 1"), QStringLiteral("Bookmarks")));
    QDir().mkpath(config + QStringLiteral("/chromium/Crashpad"));
    const QString brave
        = home.filePath(QStringLiteral(".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser"));
    QVERIFY(copyInto(bookmarks, brave + QStringLiteral("/Default"), QStringLiteral("Bookmarks")));
    QVERIFY(copyInto(bookmarks, config + QStringLiteral("/opera"), QStringLiteral("Bookmarks")));

    QStringList found;
    for (const BrowserProfile &profile : BrowserProfiles::find(home.path(), config))
        found << profile.folderName() + QStringLiteral(" ") + QDir(home.path()).relativeFilePath(profile.path);
    QCOMPARE(found,
             QStringList({
                 "Firefox (default-release) .config/mozilla/firefox/ab12.default-release",
                 "Firefox (work) elsewhere/work",
                 "Firefox (snappy) snap/firefox/common/.mozilla/firefox/x.snappy",
                 "LibreWolf (default) .var/app/io.gitlab.librewolf-community/.librewolf/w.default",
                 "Chromium (Default) .config/chromium/Default",
                 "Chromium (Profile 1) .config/chromium/Profile 1",
                 "Brave (Default) .var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Default",
                 "Opera (Default) .config/opera",
             }));
}

// The fuzzers' seed corpora, and the test profiles cut short or with bytes overwritten: every read
// ends with a sound tree whose counts match the report, and a read that fails adds nothing.
void TestBrowserProfiles::brokenCopies_data()
{
    QTest::addColumn<bool>("firefox");
    QTest::addColumn<QString>("source");
    QTest::addColumn<qsizetype>("cut"); // -1: whole
    QTest::addColumn<qsizetype>("overwrite"); // -1: none; else 64 bytes of 0xFF from here
    for (const QString &family : {u"chromium"_qs, u"firefox"_qs}) {
        const QString corpus = QStringLiteral(QUILLMARK_SOURCE_DIR "/fuzz/corpus/") + family;
        for (const QFileInfo &info : QDir(corpus).entryInfoList(QDir::Files))
            QTest::addRow("%s seed %s", qPrintable(family), qPrintable(info.fileName()))
                << (family == u"firefox") << info.filePath() << qsizetype(-1) << qsizetype(-1);
    }
    const QString json = Data + QStringLiteral("chromium/Bookmarks");
    for (qsizetype cut = 0; cut < QFileInfo(json).size(); cut += 61)
        QTest::addRow("json cut at %lld", qlonglong(cut)) << false << json << cut << qsizetype(-1);
    const QString places = Data + QStringLiteral("places.sqlite");
    const qsizetype size = QFileInfo(places).size();
    for (qsizetype cut = 512; cut < size; cut += 4096)
        QTest::addRow("database cut at %lld", qlonglong(cut)) << true << places << cut << qsizetype(-1);
    for (qsizetype at = 16; at < size; at += 3001)
        QTest::addRow("database overwritten at %lld", qlonglong(at)) << true << places << qsizetype(-1) << at;
}

void TestBrowserProfiles::brokenCopies()
{
    QFETCH(bool, firefox);
    QFETCH(QString, source);
    QFETCH(qsizetype, cut);
    QFETCH(qsizetype, overwrite);
    QByteArray bytes = readFile(source);
    if (cut >= 0)
        bytes.truncate(cut);
    if (overwrite >= 0)
        bytes.replace(overwrite, 64, QByteArray(64, '\xFF'));
    QTemporaryDir dir;
    const QString path = dir.filePath(firefox ? QStringLiteral("places.sqlite") : QStringLiteral("Bookmarks"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    LinkItem root;
    const ImportReport report
        = firefox ? FirefoxPlacesReader::read(path, root) : ChromiumBookmarksReader::read(path, root);
    checkSound(root, report.folders, report.links);
    if (report.status == ImportReport::Unreadable) {
        QCOMPARE(root.Children.Count(), 0);
        QVERIFY2(report.errorString().contains(QDir::toNativeSeparators(path)), qPrintable(report.errorString()));
    }
}

// Profiles laid as traps: a log that is a FIFO, a link to /dev/zero or larger than any browser's, a table
// that is a view over a query without end; and a damaged History. Each ends at once without filling the disk: a Firefox
// profile is unreadable and says which file is wrong, a Chromium one loses its visit counts only. A file size limit
// keeps a copy of /dev/zero from filling the disk, and a FIFO is let go after a while, so that a reader
// caught by either fails the test instead of ending the machine's run.
void TestBrowserProfiles::traps_data()
{
    QTest::addColumn<bool>("firefox");
    QTest::addColumn<QString>("trap"); // fifo, zero, sparse, view, damaged
    QTest::addColumn<QString>("file"); // the file or table made a trap
    QTest::newRow("firefox log is a FIFO") << true << "fifo"
                                           << "places.sqlite-wal";
    QTest::newRow("firefox log is /dev/zero") << true << "zero"
                                              << "places.sqlite-wal";
    QTest::newRow("firefox log of 1 GB") << true << "sparse"
                                         << "places.sqlite-wal";
    QTest::newRow("firefox bookmarks an endless view") << true << "view"
                                                       << "moz_bookmarks";
    QTest::newRow("chromium History is a FIFO") << false << "fifo"
                                                << "History";
    QTest::newRow("chromium History log is /dev/zero") << false << "zero"
                                                       << "History-wal";
    QTest::newRow("chromium History urls an endless view") << false << "view"
                                                           << "urls";
    QTest::newRow("chromium History damaged") << false << "damaged"
                                              << "History";
}

void TestBrowserProfiles::traps()
{
    QFETCH(bool, firefox);
    QFETCH(QString, trap);
    QFETCH(QString, file);
    QTemporaryDir dir;
    if (firefox) {
        QVERIFY(copyInto(Data + QStringLiteral("places.sqlite"), dir.path(), QStringLiteral("places.sqlite")));
    } else {
        QVERIFY(copyInto(Data + QStringLiteral("chromium/Bookmarks"), dir.path(), QStringLiteral("Bookmarks")));
        QVERIFY(copyInto(Data + QStringLiteral("chromium/History"), dir.path(), QStringLiteral("History")));
    }
    const QString database = dir.filePath(firefox ? QStringLiteral("places.sqlite") : QStringLiteral("History"));
    const QString path = dir.filePath(file);
    const QByteArray native = QFile::encodeName(path);
    QFile::remove(path);
    if (trap == u"fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (trap == u"zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (trap == u"damaged") {
        QVERIFY(QFile::copy(Data + QStringLiteral("damaged/places.sqlite"), path));
    } else if (trap == u"sparse") {
        QFile log(path);
        QVERIFY(log.open(QIODevice::WriteOnly) && log.resize(SqliteSnapshot::DefaultMaxBytes + 1));
    } else {
        const QByteArray sql = "DROP TABLE " + file.toLatin1() + "; CREATE VIEW " + file.toLatin1()
            + " AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n AS id, 1 AS parent, "
              "n AS position, 1 AS type, 'x' AS title, n AS fk, 'g' || n AS guid, 'http://x.example/' || n AS url, "
              "1 AS visit_count, 1 AS last_visit_time FROM r";
        QVERIFY(runSql(database, sql.constData()));
    }

    SpecialFiles::FifoRelease release(path, std::chrono::milliseconds(5000));
    const SpecialFiles::FileSizeLimit limit(64 * 1024 * 1024);
    QVERIFY(limit.isValid());
    QElapsedTimer clock;
    clock.start();
    const BrowserProfile profile {firefox ? BrowserProfile::Family::Firefox : BrowserProfile::Family::Chromium,
                                  QStringLiteral("Test"), QStringLiteral("test"), dir.path()};
    LinkItem root;
    const ImportReport report = BrowserProfiles::read(profile, root);
    const qint64 elapsed = clock.elapsed();

    QVERIFY2(elapsed < 2000 * Slowdown, qPrintable(QString::number(elapsed)));
    QVERIFY2(report.errorString().contains(file), qPrintable(report.errorString()));
    checkSound(root, report.folders, report.links);
    if (firefox) {
        QCOMPARE(report.status, ImportReport::Unreadable);
        QCOMPARE(root.Children.Count(), 0);
    } else {
        QCOMPARE(report.status, ImportReport::Damaged);
        QCOMPARE(outline(root), ChromiumOutline);
        QCOMPARE(visitsBelow(root), 0);
    }
}

// However its database looks, a snapshot's statements end at its time limit, or when it is told to stop.
void TestBrowserProfiles::snapshotStops_data()
{
    QTest::addColumn<bool>("told");
    QTest::newRow("time runs out") << false;
    QTest::newRow("told to stop") << true;
}

void TestBrowserProfiles::snapshotStops()
{
    QFETCH(bool, told);
    QTemporaryDir dir;
    QVERIFY(copyInto(Data + QStringLiteral("places.sqlite"), dir.path(), QStringLiteral("places.sqlite")));
    QElapsedTimer clock;
    SqliteSnapshot snapshot;
    snapshot.setLimits(SqliteSnapshot::DefaultMaxBytes, told ? 60'000 : 300);
    snapshot.setKeepGoing([&] { return !told || clock.elapsed() < 300; });
    QString error;
    clock.start();
    QVERIFY2(snapshot.open(dir.filePath(QStringLiteral("places.sqlite")), &error), qPrintable(error));
    const int status = sqlite3_exec(snapshot.handle(),
                                    "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) "
                                    "SELECT count(*) FROM r",
                                    nullptr, nullptr, nullptr);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(status, SQLITE_INTERRUPT);
    QVERIFY2(elapsed >= 300 && elapsed < 300 + 2000 * Slowdown, qPrintable(QString::number(elapsed)));
    QCOMPARE(snapshot.stopped(), told);
    QVERIFY2(snapshot.lastError().contains(told ? u"stopped"_qs : u"longer than 0.3 seconds"_qs),
             qPrintable(snapshot.lastError()));
}

// A copy that runs out of room says which disk is full and what could not be written to it.
void TestBrowserProfiles::copyToFullDisk()
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("no /dev/full here");
    QString error;
    QCOMPARE(
        BoundedCopy::copy(Data + QStringLiteral("places.sqlite"), full, SqliteSnapshot::DefaultMaxBytes, {}, &error),
        BoundedCopy::Result::Failed);
    QCOMPARE(error,
             QStringLiteral("The disk at %1 is full: cannot write /dev/full.")
                 .arg(QStorageInfo(QStringLiteral("/dev")).rootPath()));
}

QTEST_GUILESS_MAIN(TestBrowserProfiles)
#include "tst_browserprofiles.moc"
