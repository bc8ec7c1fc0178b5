// The Favorites import on folder trees built in a temporary folder.
#include "formats/FavoritesReader.h"
#include "store/LinkItem.h"

#include "common/FavoritesFixture.h"
#include "common/SpecialFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using FavoritesFixture::makeFolder;
using FavoritesFixture::shortcut;
using FavoritesFixture::writeFile;

namespace {

// "path url" for every link and "path/" for every folder, depth first in the children's order.
void dump(const LinkItem &folder, const QString &prefix, QStringList &lines)
{
    for (const auto &child : folder.Children) {
        const QString path = prefix + QString::fromStdString(child->Name.str());
        if (child->isFolder()) {
            lines << path + QLatin1Char('/');
            dump(*child, path + QLatin1Char('/'), lines);
        } else {
            lines << path + QLatin1Char(' ') + QString::fromStdString(child->Url.str());
        }
    }
}

QStringList dump(const LinkItem &folder)
{
    QStringList lines;
    dump(folder, QString(), lines);
    return lines;
}

bool soundTree(const LinkItem &folder)
{
    for (const auto &child : folder.Children) {
        if (child->Parent != &folder || child->Visits != 0 || child->Rating != 0 || child->LastVisit != 0.0
            || !child->Description.empty() || !soundTree(*child))
            return false;
    }
    return true;
}

} // namespace

class TestFavoritesReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void linkName_data();
    void linkName();
    void importTree_data();
    void importTree();
    void importTwiceKeepsWhatWasThere();
    void symbolicLinkCycle();
    void deepNesting();
    void cancel();
    void unreadableEntries();
    void specialFiles();

private:
    QTemporaryDir m_dir;
    QString m_favorites;
};

void TestFavoritesReader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_favorites = m_dir.filePath(QStringLiteral("Favorites"));
    const QString f = m_favorites + QLatin1Char('/');
    QVERIFY(writeFile(f + "Example.url", shortcut("http://example.com/")));
    QVERIFY(writeFile(f + "a.b.url", shortcut("http://ab/")));
    QVERIFY(writeFile(f + "NoExtension", shortcut("http://none/")));
    QVERIFY(writeFile(f + "Quoted.url", "[InternetShortcut]\nURL=\"http://quoted/\"\n"));
    QVERIFY(writeFile(f + "Empty URL.url", "[InternetShortcut]\nURL=\n"));
    QVERIFY(writeFile(f + "Not a shortcut.url", "[InternetShortcut]\nURL=non url\n"));
    QVERIFY(writeFile(f + "Elsewhere.url", "[Other]\nURL=http://other/\n[InternetShortcut]\nIconIndex=1\n"));
    QVERIFY(writeFile(f + "notes.txt", "just text\n"));
    QVERIFY(writeFile(f + "binary.url", QByteArray("\0\1\2[\0", 5)));
    QVERIFY(writeFile(f + ".url", shortcut("http://dot/")));
    QVERIFY(writeFile(f + "desktop.ini.url", shortcut("http://visible/")));
    // Item names never hold a backslash; POSIX file names may.
    QVERIFY(writeFile(f + "back\\slash.url", shortcut("http://bs/")));
    QVERIFY(makeFolder(f + "Back\\Slash"));
    QVERIFY(writeFile(f + ".hidden.url", shortcut("http://hidden/")));
    QVERIFY(writeFile(f + ".Hidden Folder/Inside.url", shortcut("http://inside-hidden/")));
    QVERIFY(makeFolder(f + "Empty"));
    QVERIFY(writeFile(f + "News.old/Deep/x.url", shortcut("http://x/")));
    QVERIFY(writeFile(f + "Links/Sub/y.url", shortcut("http://y/")));
    QVERIFY(writeFile(f + "Links/z.url", shortcut("http://z/")));
}

void TestFavoritesReader::linkName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");
    QTest::newRow("one extension") << "Example.url"
                                   << "Example";
    QTest::newRow("dots") << "a.b.url"
                          << "a.b";
    QTest::newRow("no extension") << "NoExtension"
                                  << "NoExtension";
    QTest::newRow("extension only") << ".url"
                                    << "";
    QTest::newRow("closing dot") << "a."
                                 << "a";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Caf\xC3\xA9.url") << QString::fromUtf8("Caf\xC3\xA9");
}

void TestFavoritesReader::linkName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(FavoritesReader::linkName(fileName)), name);
}

void TestFavoritesReader::importTree_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("readable");
    // Hidden means a leading dot here, so ".url" is hidden like ".hidden.url".
    const QStringList whole {"Back_Slash/",
                             "Empty/",
                             "Empty URL ",
                             "Example http://example.com/",
                             "Links/",
                             "Links/Sub/",
                             "Links/Sub/y http://y/",
                             "Links/z http://z/",
                             "News.old/",
                             "News.old/Deep/",
                             "News.old/Deep/x http://x/",
                             "NoExtension http://none/",
                             "Quoted http://quoted/",
                             "a.b http://ab/",
                             "back_slash http://bs/",
                             "desktop.ini http://visible/"};
    QTest::newRow("the Favorites folder") << QString() << whole << true;
    QTest::newRow("with a closing separator") << QStringLiteral("/") << whole << true;
    QTest::newRow("a subfolder") << QStringLiteral("/Links") << QStringList {"Sub/", "Sub/y http://y/", "z http://z/"}
                                 << true;
    QTest::newRow("an empty folder") << QStringLiteral("/Empty") << QStringList() << true;
    QTest::newRow("a missing folder") << QStringLiteral("/Missing") << QStringList() << false;
    QTest::newRow("a file") << QStringLiteral("/Example.url") << QStringList() << false;
}

void TestFavoritesReader::importTree()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, expected);
    QFETCH(bool, readable);
    LinkItem target;
    target.IsFolder = 1;
    const ImportReport report = FavoritesReader::importDirectory(m_favorites + folder, target);
    QCOMPARE(dump(target), expected);
    QVERIFY(soundTree(target));
    QCOMPARE(report.folders + report.links, expected.size());
    QCOMPARE(report.status, readable ? ImportReport::Complete : ImportReport::Unreadable);
}

void TestFavoritesReader::importTwiceKeepsWhatWasThere()
{
    LinkItem target;
    auto existing = LinkItem::MakeLink("Links", "http://existing/");
    existing->Visits = 7;
    target.Children.InsertSorted(std::move(existing));
    FavoritesReader::importDirectory(m_favorites + QStringLiteral("/Links/"), target);
    FavoritesReader::importDirectory(m_favorites + QStringLiteral("/Links"), target);
    QCOMPARE(dump(target),
             QStringList({"Links http://existing/", "Sub/", "Sub/y http://y/", "Sub/", "Sub/y http://y/", "z http://z/",
                          "z http://z/"}));
    QCOMPARE(target.Children.Get(0)->Visits, 7);

    // An empty path is no folder: nothing comes from the current folder.
    QCOMPARE(FavoritesReader::importDirectory(QString(), target).status, ImportReport::Unreadable);
    QCOMPARE(target.Children.Count(), 5);
}

void TestFavoritesReader::symbolicLinkCycle()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Favorites"));
    QVERIFY(writeFile(root + "/A/a.url", shortcut("http://a/")));
    QVERIFY(writeFile(root + "/A/Sub/s.url", shortcut("http://s/")));
    if (!QFile::link(root, root + "/A/To Favorites") || !QFile::link(root + "/A", root + "/A/Sub/To A"))
        QSKIP("This file system has no symbolic links");
    QVERIFY(QFile::link(root + "/A/a.url", root + "/A/Sub/linked.url"));

    LinkItem target;
    FavoritesReader::importDirectory(root, target);
    QCOMPARE(dump(target),
             QStringList({"A/", "A/Sub/", "A/Sub/linked http://a/", "A/Sub/s http://s/", "A/a http://a/"}));
}

void TestFavoritesReader::deepNesting()
{
    QTemporaryDir dir;
    const int levels = 300;
    QString path = dir.path();
    for (int i = 0; i < levels; ++i)
        path += QStringLiteral("/d");
    QVERIFY(writeFile(path + QStringLiteral("/bottom.url"), shortcut("http://bottom/")));

    LinkItem target;
    QCOMPARE(FavoritesReader::importDirectory(dir.path(), target).folders, levels);
    const LinkItem *item = &target;
    for (int i = 0; i < levels; ++i) {
        QCOMPARE(item->Children.Count(), 1);
        item = item->Children.Get(0);
    }
    QCOMPARE(dump(*item), QStringList {"bottom http://bottom/"});
}

void TestFavoritesReader::cancel()
{
    LinkItem target;
    const ImportReport report = FavoritesReader::importDirectory(
        m_favorites, target, [](int folders, int links) { return folders + links < 3; });
    QCOMPARE(report.status, ImportReport::Cancelled);
    QCOMPARE(report.folders + report.links, 3);
    QCOMPARE(dump(target).size(), 3);
    QVERIFY(soundTree(target));
}

void TestFavoritesReader::unreadableEntries()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QVERIFY(writeFile(root + "/Locked/in.url", shortcut("http://in/")));
    QVERIFY(writeFile(root + "/locked.url", shortcut("http://locked/")));
    QVERIFY(writeFile(root + "/open.url", shortcut("http://open/")));
    QFile::setPermissions(root + "/Locked", QFileDevice::Permissions());
    QFile::setPermissions(root + "/locked.url", QFileDevice::Permissions());
    if (QFile(root + "/locked.url").open(QIODevice::ReadOnly))
        QSKIP("Running with rights that read any file");

    LinkItem target;
    FavoritesReader::importDirectory(root, target);
    QFile::setPermissions(root + "/Locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(dump(target), QStringList({"Locked/", "open http://open/"}));
}

// A pipe would block the read until someone writes to it; it, a link to it, a link to a device and a link that
// leads nowhere are skipped, without waiting.
void TestFavoritesReader::specialFiles()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QVERIFY(writeFile(root + "/plain.url", shortcut("http://plain/")));
    QVERIFY(QFile::link(root + "/missing.url", root + "/dangling.url"));
    const QString fifo = SpecialFiles::addTo(root);
    QVERIFY(!fifo.isEmpty());
    const SpecialFiles::FifoRelease release(fifo, std::chrono::seconds(3));

    QElapsedTimer timer;
    timer.start();
    LinkItem target;
    FavoritesReader::importDirectory(root, target);
    QCOMPARE_LT(timer.elapsed(), 1500);
    QCOMPARE(dump(target), QStringList {"plain http://plain/"});
}

QTEST_GUILESS_MAIN(TestFavoritesReader)
#include "tst_favoritesreader.moc"
