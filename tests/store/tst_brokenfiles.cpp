// Replays damaged native files through both read modes (data file: newer versions refused; import:
// read as the first version) and checks that every read ends, keeps what came before the damage and
// allocates no more than the bytes could describe.
#include "ReadChecks.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace ReadChecks;
using Status = NativeFile::ReadResult::Status;

class TestBrokenFiles : public QObject
{
    Q_OBJECT
private slots:
    void brokenFile_data();
    void brokenFile();
    void fuzzCorpus_data();
    void fuzzCorpus();
    void truncatedEverywhere_data();
    void truncatedEverywhere();
    void truncatedInsideChild_data();
    void truncatedInsideChild();
    void deepNesting_data();
    void deepNesting();
    void readsInPieces_data();
    void readsInPieces();
};

void TestBrokenFiles::brokenFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("importStatus");
    QTest::addColumn<int>("dataFileStatus");
    QTest::addColumn<int>("folders");
    QTest::addColumn<int>("links");
    QTest::addColumn<QString>("rootName");

    const int damaged = Status::Damaged;
    const int complete = Status::Complete;
    const auto row
        = [](const char *file, int importStatus, int dataFileStatus, int folders, int links, const char *rootName) {
              QTest::newRow(file) << QString::fromLatin1(file) << importStatus << dataFileStatus << folders << links
                                  << QString::fromLatin1(rootName);
          };
    // Lengths of 2^31-1 and below zero, with a few bytes after them.
    row("name-length-max.qmf", damaged, damaged, 0, 0, "");
    row("url-length-max.qmf", damaged, damaged, 0, 0, "top");
    row("description-length-max-first.qmf", damaged, damaged, 0, 0, "top");
    row("child-name-length-max.qmf", damaged, damaged, 1, 0, "top");
    // 2^31-1 as the first four bytes of a file: a first-version name length, or a newer version.
    row("name-length-max-first.qmf", damaged, Status::NewerVersion, 0, 0, "");
    row("name-length-negative.qmf", damaged, damaged, 0, 0, "");
    row("name-length-min-first.qmf", damaged, damaged, 0, 0, "");
    // A record cut at a bad length keeps the name it had read.
    row("child-url-length-negative.qmf", damaged, damaged, 0, 1, "top");
    // Counts: a negative count reads no children; a count of 2^31-1 reads what is there (here the name
    // "few" of a record cut short after it).
    row("negative-count-then-junk.qmf", complete, complete, 0, 0, "top");
    row("count-min.qmf", complete, complete, 0, 0, "top");
    row("count-max.qmf", damaged, damaged, 0, 1, "top");
    row("count-max-first.qmf", damaged, damaged, 0, 1, "top");
    row("nested-count-max.qmf", damaged, damaged, 1, 2, "top");
    row("count-more-than-records.qmf", damaged, damaged, 0, 2, "top");
    // Cut short.
    row("two-bytes.qmf", damaged, damaged, 0, 0, "");
    row("header-only.qmf", damaged, damaged, 0, 0, "");
    row("truncated-in-root-name.qmf", damaged, damaged, 0, 0, "");
    row("truncated-before-child-count.qmf", damaged, damaged, 0, 0, "Quillmark");
    row("truncated-last-byte.qmf", damaged, damaged, 6, 11, "Quillmark");
    row("three-links-cut-in-third.qmf", damaged, damaged, 0, 2, "top");
}

void TestBrokenFiles::brokenFile()
{
    QFETCH(QString, file);
    QFETCH(int, importStatus);
    QFETCH(int, dataFileStatus);
    QFETCH(int, folders);
    QFETCH(int, links);
    QFETCH(QString, rootName);

    QFile input(QStringLiteral(QUILLMARK_TEST_DATA "/broken/") + file);
    QVERIFY2(input.open(QIODevice::ReadOnly), qPrintable(input.errorString()));
    const QByteArray bytes = input.readAll();

    for (const bool refuseNewer : {false, true}) {
        LinkItem root;
        const Outcome outcome = readBytes(bytes, refuseNewer, root);
        checkSound(bytes, outcome, root);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(int(outcome.result.status), refuseNewer ? dataFileStatus : importStatus);
        QCOMPARE(outcome.result.folders, folders);
        QCOMPARE(outcome.result.links, links);
        QCOMPARE(QString::fromLatin1(root.Name), rootName);
    }
}

void TestBrokenFiles::fuzzCorpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(QUILLMARK_SOURCE_DIR "/fuzz/corpus/native"));
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << corpus.filePath(file);
}

void TestBrokenFiles::fuzzCorpus()
{
    QFETCH(QString, path);
    QFile input(path);
    QVERIFY2(input.open(QIODevice::ReadOnly), qPrintable(input.errorString()));
    const QByteArray bytes = input.readAll();
    for (const bool refuseNewer : {false, true}) {
        LinkItem root;
        const Outcome outcome = readBytes(bytes, refuseNewer, root);
        checkSound(bytes, outcome, root);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestBrokenFiles::truncatedEverywhere_data()
{
    QTest::addColumn<bool>("version10000");
    QTest::newRow("version 10000") << true;
    QTest::newRow("first version") << false;
}

// The sample cut at every offset: every read reports the damage, and the tree holds exactly the records
// that lie before the cut, each with its fields; the record in which the cut falls is kept with its
// name once the name was read whole.
void TestBrokenFiles::truncatedEverywhere()
{
    QFETCH(bool, version10000);
    const QByteArray full = sampleBytes(version10000);
    const std::vector<RecordSpan> spans = recordSpans(full, version10000);
    QCOMPARE(spans.size(), size_t(17));

    LinkItem whole;
    QVERIFY(readBytes(full, true, whole).result.ok());
    const std::vector<const LinkItem *> wholeItems = flatten(whole);
    QCOMPARE(wholeItems.size(), spans.size());

    for (qsizetype cut = 0; cut < full.size(); ++cut) {
        const QByteArray bytes = full.left(cut);
        int expected = 0;
        while (expected < int(spans.size()) && spans[size_t(expected)].nameEnd <= cut)
            ++expected;
        for (const bool refuseNewer : {false, true}) {
            LinkItem root;
            const Outcome outcome = readBytes(bytes, refuseNewer, root);
            checkSound(bytes, outcome, root);
            if (QTest::currentTestFailed())
                return;
            const QByteArray where = QByteArray("cut at ") + QByteArray::number(cut);
            QVERIFY2(outcome.result.status == Status::Damaged, where);
            const std::vector<const LinkItem *> items = flatten(root);
            QVERIFY2(int(items.size()) == expected,
                     where + ": " + QByteArray::number(items.size()) + " items, " + QByteArray::number(expected)
                         + " expected");
            for (size_t i = 0; i < items.size(); ++i) {
                QVERIFY2(items[i]->Name == wholeItems[i]->Name, where);
                if (spans[i].headerEnd <= cut)
                    QVERIFY2(sameFields(*items[i], *wholeItems[i]), where);
            }
            if (cut >= spans.front().start) {
                QVERIFY2(sameFields(root, whole), where);
            }
        }
    }
}

void TestBrokenFiles::truncatedInsideChild_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QStringList>("rootChildren");
    QTest::addColumn<QStringList>("lastFolderChildren");

    const QString resumes = QString::fromLatin1("R\xe9sum\xe9s");
    const auto entries = [](const QString &folder) {
        return QStringList {"Empty", folder + " link 0", folder + " link 1", folder + " link 2"};
    };
    // Records in file order: 0 "News", 1-4 its entries, 5 "R\xe9sum\xe9s", 6-9, 10 "Tools", 11-14, 15-16 "Twin".
    QTest::newRow("3rd child, in its name length") << 10 << 2 << QStringList {"News", resumes} << entries(resumes);
    QTest::newRow("3rd child, after its name") << 10 << 15 << QStringList {"News", resumes, "Tools"} << QStringList();
    QTest::newRow("3rd entry of the 1st folder, after its name")
        << 3 << 20 << QStringList {"News"} << entries("News").mid(0, 3);
    QTest::newRow("3rd entry of the 1st folder, in its name")
        << 3 << 6 << QStringList {"News"} << entries("News").mid(0, 2);
    QTest::newRow("1st entry of the 1st folder") << 1 << 2 << QStringList {"News"} << QStringList();
    QTest::newRow("at the start of the 2nd folder") << 5 << 0 << QStringList {"News"} << entries("News");
}

// Precise cases: a cut inside a record keeps the records before it, and the cut record itself only
// with its name, its unread fields at zero.
void TestBrokenFiles::truncatedInsideChild()
{
    QFETCH(int, record);
    QFETCH(int, offset);
    QFETCH(QStringList, rootChildren);
    QFETCH(QStringList, lastFolderChildren);

    const QByteArray full = sampleBytes(true);
    const RecordSpan span = recordSpans(full, true)[size_t(record)];
    LinkItem root;
    const Outcome outcome = readBytes(full.left(span.start + offset), false, root);
    QCOMPARE(int(outcome.result.status), int(Status::Damaged));
    QCOMPARE(childNames(root), rootChildren);
    const LinkItem *last = root.Children.Get(root.Children.Count() - 1);
    QCOMPARE(childNames(*last), lastFolderChildren);
    for (int i = 0; i + 1 < root.Children.Count(); ++i)
        QCOMPARE(root.Children.Get(i)->Children.Count(), 4);
    if (span.nameEnd <= span.start + offset && record == 10) {
        // The cut record: only its name was read.
        QCOMPARE(last->Url, std::string());
        QCOMPARE(last->Description, std::string());
        QCOMPARE(last->IsFolder, std::uint8_t(0));
        QCOMPARE(last->Visits, 0);
    }
}

void TestBrokenFiles::deepNesting_data()
{
    QTest::addColumn<bool>("version10000");
    QTest::addColumn<int>("keep"); // records of the chain left in the file, -1 for all
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("status");

    const int levels = 100000;
    for (const bool version10000 : {true, false}) {
        const char *version = version10000 ? "version 10000" : "first version";
        QTest::addRow("%s, whole", version) << version10000 << -1 << levels << int(Status::Complete);
        QTest::addRow("%s, cut after half", version)
            << version10000 << levels / 2 << levels / 2 << int(Status::Damaged);
        QTest::addRow("%s, cut before the last", version)
            << version10000 << levels - 1 << levels - 1 << int(Status::Damaged);
    }
}

// 100,000 folders nested in one another: read, checked, written and torn down without deep recursion.
void TestBrokenFiles::deepNesting()
{
    QFETCH(bool, version10000);
    QFETCH(int, keep);
    QFETCH(int, depth);
    QFETCH(int, status);

    const int levels = 100000;
    Records records(version10000);
    records.folder("t", 1); // the same size as every record of the chain
    for (int i = 0; i < levels; ++i)
        records.folder("d", i + 1 < levels ? 1 : 0);
    QByteArray bytes = records.data();
    if (keep >= 0) {
        const qsizetype header = version10000 ? 4 : 0;
        const qsizetype recordSize = (bytes.size() - header) / (levels + 1);
        bytes.truncate(header + recordSize * (keep + 1));
    }

    for (const bool refuseNewer : {false, true}) {
        auto root = std::make_unique<LinkItem>();
        const Outcome outcome = readBytes(bytes, refuseNewer, *root);
        checkSound(bytes, outcome, *root);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(int(outcome.result.status), status);
        QCOMPARE(outcome.result.folders, depth);
        int reached = 0;
        for (const LinkItem *item = root.get(); item->Children.Count() == 1; item = item->Children.Get(0))
            ++reached;
        QCOMPARE(reached, depth);
        root.reset();
    }
}

void TestBrokenFiles::readsInPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("asStream");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("largestMiB"); // the largest allocation the read may make

    // Several pieces' worth of records, and a text longer than a piece.
    auto root = sampleTree();
    for (int i = 0; i < 30000; ++i)
        root->Children.InsertSorted(LinkItem::MakeLink("link " + std::to_string(i), "https://example.org/"));
    root->Children.Get(0)->Description = std::string(3 << 20, 'd');
    QBuffer large;
    large.open(QIODevice::WriteOnly);
    NativeFile::write(large, *root, nullptr);
    const QByteArray claim = QByteArray::fromHex("10270000 ffffff7f") + QByteArray(1000, 'n');
    for (const bool asStream : {false, true}) {
        const char *device = asStream ? "stream" : "file";
        QTest::addRow("%s, large", device) << large.data() << asStream << int(Status::Complete) << 8;
        QTest::addRow("%s, name of 2 GB claimed", device) << claim << asStream << int(Status::Damaged) << 2;
    }
}

// From a file, the reader takes pieces no larger than what is left of it; from a stream of unknown size,
// pieces that grow only as the data keeps coming. Either way the tree is the one the bytes hold.
void TestBrokenFiles::readsInPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, asStream);
    QFETCH(int, status);
    QFETCH(int, largestMiB);
    LinkItem root;
    const Outcome outcome = readBytes(bytes, true, root, asStream);
    QVERIFY2(int(outcome.result.status) == status, qPrintable(outcome.result.error));
    QCOMPARE_LE(outcome.largestAllocation, size_t(largestMiB) << 20);
    if (status != Status::Complete)
        return;
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    NativeFile::write(again, root, nullptr);
    QVERIFY(again.data() == bytes);
}

QTEST_GUILESS_MAIN(TestBrokenFiles)
#include "tst_brokenfiles.moc"
