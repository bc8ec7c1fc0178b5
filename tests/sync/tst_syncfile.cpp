// The file shared with the browsers: what is read from files in the extension's shape and ours,
// the exact shape written, and the seed corpus and cut files replayed through the reader.
#include "SyncTreeText.h"

#include "common/SpecialFiles.h"

#include "sync/SyncFile.h"
#include "sync/SyncState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char Head[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<!DOCTYPE xbel PUBLIC \"+//IDN python.org//DTD XML Bookmark Exchange Language 1.0//EN//XML\" "
                    "\"http://pyxml.sourceforge.net/topics/dtds/xbel.dtd\">\n"
                    "<xbel version=\"1.0\">\n";

QByteArray seed(const QString &name)
{
    QFile file(QStringLiteral(QUILLMARK_SOURCE_DIR "/fuzz/corpus/sync/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the seed %s", qPrintable(name));
    return file.readAll();
}

void checkRoundTrip(const SyncTree &tree)
{
    const QByteArray written = SyncFile::write(tree);
    const SyncFile::ReadResult again = SyncFile::read(written);
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(treeText(again.tree), treeText(tree));
    QCOMPARE(again.tree.highestId(), tree.highestId());
    QVERIFY(again.tree == tree);
}

} // namespace

class TestSyncFile : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void writesTheSharedShape();
    void corpus_data();
    void corpus();
    void cutEverywhere();
    void stateThatIsNoFile_data();
    void stateThatIsNoFile();
};

void TestSyncFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<qint64>("highestId");
    QTest::addColumn<int>("renumbered");

    QTest::newRow("extension shape") << seed(u"extension-shape.xbel"_qs)
                                     << u"1 -1 F Reading; 2 1 B News & views <https://news.example.org/?a=1&b=2>; "
                                        "3 1 F Empty; 9 -1 B Café € <https://example.com/>"_qs
                                     << qint64(9) << 0;
    QTest::newRow("our fields") << seed(u"quillmark-fields.xbel"_qs)
                                << u"4 -1 B A <https://a.example/> d=Line one\nline two v=12 r=3 t=1614834367; "
                                   "2 -1 F F t=946684799"_qs
                                << qint64(4) << 0;
    QTest::newRow("ids missing or used twice get new ones")
        << seed(u"ids-missing-and-repeated.xbel"_qs)
        << u"3 -1 B one <https://one/>; 4 -1 B two <https://two/>; 5 -1 B three <https://three/>; "
           "6 -1 B four <https://four/>; 7 -1 F neg"_qs
        << qint64(7) << 4;
    QTest::newRow("unknown elements and other owners' metadata pass by")
        << seed(u"unknown-elements.xbel"_qs) << u"5 -1 F Fbold; 7 5 B x <https://x/>"_qs << qint64(20) << 0;
    QTest::newRow("the highest id from the ids without the comment")
        << seed(u"no-comment.xbel"_qs) << u"1 -1 B T <u>"_qs << qint64(1) << 0;
    QTest::newRow("a comment below the highest id") << QByteArray(Head)
            + "<!--- highestId :2: x -->\n<bookmark href=\"u\" id=\"8\"><title>T</title></bookmark></xbel>"
                                                    << u"8 -1 B T <u>"_qs << qint64(8) << 0;
    QTest::newRow("a new id above the comment's")
        << QByteArray(Head) + "<!--- highestId :30: x -->\n<bookmark href=\"u\"><title>T</title></bookmark></xbel>"
        << u"31 -1 B T <u>"_qs << qint64(31) << 1;
    QTest::newRow("an id too large for new ones above it")
        << seed(u"huge-ids.xbel"_qs) << u"4611686018427387901 -1 B big <u>; 4611686018427387900 -1 B b2 <v>"_qs
        << qint64(4611686018427387901) << 1;

    // Whatever is not a whole XBEL file is an error, never an empty or partial tree.
    for (const char *name : {"html-error-page.xbel", "empty.xbel", "not-xml.xbel", "extension-shape-cut-2.xbel",
                             "extension-shape-cut-3.xbel"})
        QTest::newRow(name) << seed(QString::fromLatin1(name)) << QString() << qint64(0) << 0;
}

void TestSyncFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, tree);
    QFETCH(qint64, highestId);
    QFETCH(int, renumbered);

    const SyncFile::ReadResult result = SyncFile::read(bytes);
    if (tree.isEmpty()) {
        QVERIFY(!result.ok());
        QCOMPARE(result.tree.size(), 0);
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(treeText(result.tree), tree);
    QCOMPARE(result.tree.highestId(), highestId);
    QCOMPARE(result.renumbered, renumbered);
    checkRoundTrip(result.tree);
}

void TestSyncFile::writesTheSharedShape()
{
    SyncTree tree;
    SyncNode folder;
    folder.id = 1;
    folder.parent = SyncTree::RootId;
    folder.folder = true;
    folder.title = u"A & B"_qs;
    QVERIFY(tree.add(folder));
    SyncNode link;
    link.id = 7;
    link.parent = 1;
    link.title = u"<Café>"_qs;
    link.url = u"https://e.example/?a=%2F1&b=\"2\""_qs;
    link.description = u"note"_qs;
    link.visits = 2;
    link.rating = 5;
    link.lastVisit = 1600000000;
    QVERIFY(tree.add(link));
    tree.setHighestId(12);

    const QByteArray expected = QByteArray(Head)
        + "<!--- highestId :12: for Floccus bookmark sync browser extension -->\n"
          "\n"
          "<folder id=\"1\">\n"
          "  <title>A &amp; B</title>\n"
          "  <info><metadata owner=\"quillmark\"/></info>\n"
          "  <bookmark href=\"https://e.example/?a=%2F1&amp;b=&quot;2&quot;\" id=\"7\">\n"
          "    <title>&lt;Café&gt;</title>\n"
          "    <desc>note</desc>\n"
          "    <info><metadata owner=\"quillmark\" visits=\"2\" rating=\"5\" "
          "visited=\"2020-09-13T12:26:40Z\"/></info>\n"
          "  </bookmark>\n"
          "</folder>\n"
          "</xbel>";
    QCOMPARE(SyncFile::write(tree), expected);
}

void TestSyncFile::corpus_data()
{
    QTest::addColumn<QString>("name");
    const QStringList files = QDir(QStringLiteral(QUILLMARK_SOURCE_DIR "/fuzz/corpus/sync")).entryList(QDir::Files);
    QVERIFY(files.size() >= 10);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << file;
}

// Each seed reads as an error with nothing in it, or as a tree that writes and reads back the same.
void TestSyncFile::corpus()
{
    QFETCH(QString, name);
    const SyncFile::ReadResult result = SyncFile::read(seed(name));
    if (!result.ok()) {
        QCOMPARE(result.tree.size(), 0);
        return;
    }
    for (const auto &[id, node] : result.tree.nodes()) {
        if (id != SyncTree::RootId)
            QVERIFY(id > 0 && id <= result.tree.highestId());
    }
    checkRoundTrip(result.tree);
}

// A file cut anywhere before its end is an error: never a tree without the rest of its items.
void TestSyncFile::cutEverywhere()
{
    const QByteArray whole = seed(u"extension-shape.xbel"_qs);
    QVERIFY(SyncFile::read(whole).ok());
    const qsizetype end = whole.lastIndexOf("</xbel>");
    for (qsizetype size = 0; size <= end; ++size) {
        const SyncFile::ReadResult result = SyncFile::read(whole.left(size));
        if (result.ok())
            QFAIL(qPrintable(u"A file cut after %1 bytes was read"_qs.arg(size)));
    }
}

void TestSyncFile::stateThatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << u"fifo"_qs;
    QTest::newRow("link to a device") << u"device"_qs;
    QTest::newRow("sparse, past the bound") << u"huge"_qs;
}

// The sync state is read only from a regular file of a sane size: a FIFO put in its place must not hang the
// sync, nor a device or a huge file fill the memory.
void TestSyncFile::stateThatIsNoFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const SyncState state(dir.filePath(u"Quillmark.dat"_qs), u"bookmarks.xbel"_qs, QString());
    const QByteArray path = QFile::encodeName(state.path());
    if (kind == u"fifo")
        QVERIFY(::mkfifo(path.constData(), 0600) == 0);
    else if (kind == u"device")
        QVERIFY(QFile::link(u"/dev/zero"_qs, state.path()));
    else {
        QFile huge(state.path());
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(SyncState::MaxBytes + 1));
    }
    const SpecialFiles::FifoRelease release(state.path(), std::chrono::seconds(3));

    QElapsedTimer timer;
    timer.start();
    SyncTree base;
    QString error;
    QVERIFY(!state.load(&base, &error));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(u"took %1 ms"_qs.arg(timer.elapsed())));
    QVERIFY(error.contains(QDir::toNativeSeparators(state.path())));
}

QTEST_GUILESS_MAIN(TestSyncFile)
#include "tst_syncfile.moc"
