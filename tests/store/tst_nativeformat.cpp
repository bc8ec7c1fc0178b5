#include "common/FailDevice.h"
#include "common/TreeBuilders.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/NativeImportExport.h"
#include "store/NativeImportExport10000.h"
#include "store/SlicedSave.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TreeBuilders;

namespace {
// Folder "A" holding link "B" (Url "u", Visits 3, Rating 4, LastVisit 1900-01-01 12:00).
std::unique_ptr<LinkItem> exampleTree()
{
    auto folder = LinkItem::MakeFolder("A");
    auto link = LinkItem::MakeLink("B", "u");
    link->Visits = 3;
    link->Rating = 4;
    link->LastVisit = 2.5;
    folder->Children.InsertSorted(std::move(link));
    return folder;
}

// A file on a disk with room for a few more bytes: like the system, it takes what fits and says
// nothing about the rest.
class NearlyFullFile : public QFile
{
public:
    NearlyFullFile(const QString &name, qint64 room) : QFile(name), m_room(room) { }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 taken = QFile::writeData(data, std::min(m_room, length));
        m_room -= std::max<qint64>(taken, 0);
        return taken;
    }

private:
    qint64 m_room;
};

const QByteArray Example10000 = QByteArray::fromHex("10270000"
                                                    "0100000041"
                                                    "00000000"
                                                    "00000000"
                                                    "01"
                                                    "00000000"
                                                    "00"
                                                    "0000000000000000"
                                                    "01000000"
                                                    "0100000042"
                                                    "0100000075"
                                                    "00000000"
                                                    "00"
                                                    "03000000"
                                                    "04"
                                                    "0000000000000440"
                                                    "00000000");

const QByteArray ExampleFirstVersion = QByteArray::fromHex("0100000041"
                                                           "00000000"
                                                           "00000000"
                                                           "01"
                                                           "00000000"
                                                           "01000000"
                                                           "0100000042"
                                                           "0100000075"
                                                           "00000000"
                                                           "00"
                                                           "03000000"
                                                           "00000000");

NativeFile::ReadResult readBytes(const QByteArray &bytes, LinkItem &target, bool refuseNewer = true)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return NativeFile::read(buffer, target, refuseNewer);
}

QByteArray writeFirstVersion(const LinkItem &item)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    NativeImportExport writer(&buffer);
    writer.WriteItem(item);
    return buffer.data();
}
} // namespace

class TestNativeFormat : public QObject
{
    Q_OBJECT
private slots:
    void writesExampleBytes();
    void readsExample_data();
    void readsExample();
    void emptyNameIsFourZeroBytes();
    void stringStopsAtZeroByte();
    void versionDetection_data();
    void versionDetection();
    void negativeCountReadsNoChildren();
    void readAddsToExistingChildren();
    void readOrderMatchesSortedInsertion();
    void roundTripKeepsEveryField();
    void shortWriteIsReported_data();
    void shortWriteIsReported();
    void fullDiskNamesTheFile_data();
    void fullDiskNamesTheFile();
    void deepNestingRoundTrip();
    void readingLeavesStreamAfterRecord();
    void slicedSaveWritesTheSameBytes_data();
    void slicedSaveWritesTheSameBytes();
};

void TestNativeFormat::writesExampleBytes()
{
    const auto tree = exampleTree();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(NativeFile::write(buffer, *tree, &error));
    QCOMPARE(buffer.data().size(), 67);
    QCOMPARE(buffer.data().toHex(), Example10000.toHex());

    QCOMPARE(writeFirstVersion(*tree).toHex(), ExampleFirstVersion.toHex());
    QCOMPARE(ExampleFirstVersion.size(), 45);
}

void TestNativeFormat::readsExample_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rating");
    QTest::addColumn<double>("lastVisit");
    QTest::addColumn<int>("version");

    QTest::newRow("version 10000") << Example10000 << 4 << 2.5 << 10000;
    QTest::newRow("first version") << ExampleFirstVersion << 0 << 0.0 << 0;
}

void TestNativeFormat::readsExample()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rating);
    QFETCH(double, lastVisit);
    QFETCH(int, version);

    LinkItem root;
    root.Name = "before";
    const auto result = readBytes(bytes, root);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.version, version);
    QCOMPARE(root.Name, std::string("A"));
    QCOMPARE(root.IsFolder, 1);
    QCOMPARE(root.Children.Count(), 1);
    const LinkItem *link = root.Children.Get(0);
    QCOMPARE(link->Name, std::string("B"));
    QCOMPARE(link->Url, std::string("u"));
    QCOMPARE(link->Description, std::string());
    QCOMPARE(link->IsFolder, 0);
    QCOMPARE(link->Visits, 3);
    QCOMPARE(int(link->Rating), rating);
    QCOMPARE(link->LastVisit, lastVisit);
    QCOMPARE(link->Parent, &root);
    QCOMPARE(result.folders, 0);
    QCOMPARE(result.links, 1);
}

void TestNativeFormat::emptyNameIsFourZeroBytes()
{
    LinkItem item;
    const QByteArray bytes = writeFirstVersion(item);
    QCOMPARE(bytes.left(4), QByteArray(4, '\0'));
    QCOMPARE(bytes.size(), 4 + 4 + 4 + 1 + 4 + 4);
}

void TestNativeFormat::stringStopsAtZeroByte()
{
    const QByteArray bytes
        = int32(5) + QByteArray("ab\0cd", 5) + text({}) + text({}) + QByteArray(1, '\1') + int32(0) + int32(0);
    LinkItem root;
    const auto result = readBytes(bytes, root);
    QVERIFY(result.ok());
    QCOMPARE(root.Name, std::string("ab"));
}

void TestNativeFormat::versionDetection_data()
{
    QTest::addColumn<int>("nameLength");
    QTest::addColumn<bool>("readsAsFirstVersion");

    // The first four bytes of a first-version file are the length of the top name.
    QTest::newRow("15-byte name") << 15 << true;
    QTest::newRow("9999-byte name") << 9999 << true;
    // Exactly 10000 cannot be told from the version number: it is read as version 10000.
    QTest::newRow("10000-byte name") << 10000 << false;
}

void TestNativeFormat::versionDetection()
{
    QFETCH(int, nameLength);
    QFETCH(bool, readsAsFirstVersion);

    LinkItem item;
    item.Name = std::string(static_cast<size_t>(nameLength), 'n');
    item.IsFolder = 1;
    const QByteArray bytes = writeFirstVersion(item);
    QCOMPARE(bytes.left(4), int32(nameLength));

    LinkItem root;
    const auto result = readBytes(bytes, root, false);
    if (readsAsFirstVersion) {
        QVERIFY(result.ok());
        QCOMPARE(result.version, 0);
        QCOMPARE(root.Name, item.Name);
    } else {
        // Read as version 10000, the name's bytes become an impossible length: nothing is read.
        QCOMPARE(result.version, 10000);
        QCOMPARE(result.status, NativeFile::ReadResult::Damaged);
        QVERIFY(root.Name.empty());
    }
}

void TestNativeFormat::negativeCountReadsNoChildren()
{
    for (const qint32 count : {0, -1, -2147483647 - 1}) {
        const QByteArray bytes = int32(10000) + fields10000("top") + int32(count);
        LinkItem root;
        const auto result = readBytes(bytes, root);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(root.Children.Count(), 0);
    }
}

void TestNativeFormat::readAddsToExistingChildren()
{
    LinkItem target;
    target.Name = "mine";
    target.IsFolder = 1;
    addLink(target, "B", "already here");
    addLink(target, "C", "also here");

    const auto result = readBytes(Example10000, target);
    QVERIFY(result.ok());
    QCOMPARE(target.Children.Count(), 3);
    // The stored "B" lands after the existing "B".
    QCOMPARE(target.Children.Get(0)->Url, std::string("already here"));
    QCOMPARE(target.Children.Get(1)->Url, std::string("u"));
    QCOMPARE(target.Children.Get(2)->Url, std::string("also here"));
}

void TestNativeFormat::readOrderMatchesSortedInsertion()
{
    // Children stored out of order (as another writer may store them) come out in the order that
    // inserting them one by one gives; equal names keep their order in the file.
    const QList<QByteArray> stored = {"d", "b", "a", "b", "c", "a"};
    QByteArray bytes = int32(10000) + fields10000("top") + int32(static_cast<qint32>(stored.size()));
    int visits = 0;
    for (const QByteArray &name : stored)
        bytes += fields10000(name, "u", false, visits++) + int32(0);

    LinkItem root;
    QVERIFY(readBytes(bytes, root).ok());
    LinkItem expected;
    visits = 0;
    for (const QByteArray &name : stored)
        addLink(expected, name.toStdString(), "u")->Visits = visits++;
    QCOMPARE(root.Children.Count(), expected.Children.Count());
    for (int i = 0; i < root.Children.Count(); ++i) {
        QCOMPARE(root.Children.Get(i)->Name, expected.Children.Get(i)->Name);
        QCOMPARE(root.Children.Get(i)->Visits, expected.Children.Get(i)->Visits);
    }
}

void TestNativeFormat::roundTripKeepsEveryField()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *folder = addFolder(*root, "Folder \xc3\xa9");
    folder->Visits = -5;
    folder->LastVisit = 45000.75;
    LinkItem *link = addLink(*folder, "Link", "https://example.com/?a=1&b=2");
    link->Description = "line one\r\nline two";
    link->Rating = 5;
    link->Visits = 2147483647;
    link->LastVisit = -1.25;
    addLink(*root, "", "");

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(NativeFile::write(buffer, *root, nullptr));

    LinkItem copy;
    QVERIFY(readBytes(buffer.data(), copy).ok());
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    QVERIFY(NativeFile::write(again, copy, nullptr));
    QCOMPARE(again.data(), buffer.data());
    const LinkItem *readLink = copy.Children.Get(1)->Children.Get(0);
    QCOMPARE(readLink->Description, link->Description);
    QCOMPARE(readLink->LastVisit, -1.25);
    QCOMPARE(readLink->Visits, 2147483647);
}

void TestNativeFormat::shortWriteIsReported_data()
{
    QTest::addColumn<int>("capacity");
    QTest::newRow("nothing fits") << 0;
    QTest::newRow("version only") << 4;
    QTest::newRow("one byte short") << 66;
}

void TestNativeFormat::shortWriteIsReported()
{
    QFETCH(int, capacity);
    const auto tree = exampleTree();
    FailDevice device(capacity);
    device.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(!NativeFile::write(device, *tree, &error));
    QVERIFY(!error.isEmpty());

    // Large trees go through the buffer in several pieces; a failure on a later piece counts too.
    auto big = LinkItem::MakeFolder("big");
    for (int i = 0; i < 5000; ++i)
        addLink(*big, "link " + std::to_string(i), std::string(100, 'u'));
    FailDevice halfFull(300 * 1000);
    halfFull.open(QIODevice::WriteOnly);
    QVERIFY(!NativeFile::write(halfFull, *big, &error));
}

void TestNativeFormat::fullDiskNamesTheFile_data()
{
    QTest::addColumn<QString>("path"); // empty: a file on a nearly full disk
    QTest::addColumn<int>("taken");
    QTest::newRow("the disk takes part") << QString() << 29996;
    QTest::newRow("the disk takes nothing") << QStringLiteral("/dev/full") << 0;
}

void TestNativeFormat::fullDiskNamesTheFile()
{
    QFETCH(QString, path);
    QFETCH(int, taken);
    if (!path.isEmpty() && !QFileInfo::exists(path))
        QSKIP("This system has no full device.");
    QTemporaryDir dir;
    std::unique_ptr<QFile> file;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("Quillmark.dat"));
        file = std::make_unique<NearlyFullFile>(path, 30000);
        QVERIFY(file->open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    } else {
        file = std::make_unique<QFile>(path);
        QVERIFY(file->open(QIODevice::WriteOnly));
    }
    // Large enough for the writer to hand over whole pieces of its buffer.
    auto big = LinkItem::MakeFolder("big");
    for (int i = 0; i < 5000; ++i)
        addLink(*big, "link " + std::to_string(i), std::string(100, 'u'));
    QString error;
    QVERIFY(!NativeFile::write(*file, *big, &error));
    const QRegularExpression expected(
        QStringLiteral("^The disk is full: only %1 of \\d+ bytes could be written to %2\\.$")
            .arg(QString::number(taken), QRegularExpression::escape(QDir::toNativeSeparators(path))));
    QVERIFY2(expected.match(error).hasMatch(), qPrintable(error));
}

void TestNativeFormat::deepNestingRoundTrip()
{
    auto root = LinkItem::MakeFolder("root");
    LinkItem *parent = root.get();
    constexpr int Depth = 100000;
    for (int i = 0; i < Depth; ++i)
        parent = addFolder(*parent, "f");
    addLink(*parent, "bottom", "u");

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(NativeFile::write(buffer, *root, nullptr));

    LinkItem copy;
    const auto result = readBytes(buffer.data(), copy);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.folders, Depth);
    const LinkItem *walk = &copy;
    int depth = 0;
    while (walk->Children.Count() == 1 && walk->Children.Get(0)->isFolder()) {
        walk = walk->Children.Get(0);
        ++depth;
    }
    QCOMPARE(depth, Depth);
    QCOMPARE(walk->Children.Get(0)->Name, std::string("bottom"));
}

void TestNativeFormat::readingLeavesStreamAfterRecord()
{
    // Bytes after the top record are never read; the reader's read-ahead is given back.
    QBuffer buffer;
    buffer.setData(Example10000 + QByteArray("trailing"));
    buffer.open(QIODevice::ReadOnly);
    LinkItem root;
    QVERIFY(NativeFile::read(buffer, root, true).ok());
    QCOMPARE(buffer.pos(), qint64(67));
}

void TestNativeFormat::slicedSaveWritesTheSameBytes_data()
{
    QTest::addColumn<int>("folders");
    QTest::addColumn<int>("itemsPerSlice"); // 0: by time
    QTest::addColumn<bool>("finishNow"); // after the first slice
    QTest::newRow("the root alone") << 0 << 1 << false;
    QTest::newRow("one record a slice") << 30 << 1 << false;
    QTest::newRow("a few records a slice") << 30 << 7 << false;
    QTest::newRow("by time") << 200 << 0 << false;
    QTest::newRow("finished on the spot") << 30 << 5 << true;
}

void TestNativeFormat::slicedSaveWritesTheSameBytes()
{
    QFETCH(int, folders);
    QFETCH(int, itemsPerSlice);
    QFETCH(bool, finishNow);
    // Folders of links with every field set, and a chain of folders deeper than a slice.
    auto root = LinkItem::MakeFolder("Quillmark");
    for (int f = 0; f < folders; ++f) {
        LinkItem *folder = addFolder(*root, "folder " + std::to_string(f));
        folder->Description = "about " + std::to_string(f);
        folder->IsFolder = static_cast<std::uint8_t>(1 + f % 3);
        for (int l = 0; l < 20; ++l) {
            LinkItem *link = addLink(*folder, "link " + std::to_string(l), "http://example.org/");
            link->Visits = l * 1000;
            link->Rating = static_cast<std::uint8_t>(l % 6);
            link->LastVisit = 40000.25 + l;
        }
        for (int d = 0; f == 1 && d < 100; ++d)
            folder = addFolder(*folder, "level " + std::to_string(d));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillmark.dat"));
    SlicedSave save(path, *root);
    save.setItemsPerSlice(itemsPerSlice);
    QSignalSpy finished(&save, &SlicedSave::finished);
    QVERIFY(save.start());
    if (finishNow) {
        QCoreApplication::processEvents();
        QVERIFY(save.isWriting());
        QVERIFY(save.finishNow());
    }
    QVERIFY(!finished.isEmpty() || finished.wait(20000));
    QCOMPARE(finished.front().front().toBool(), true);
    QBuffer oneShot;
    oneShot.open(QIODevice::WriteOnly);
    QVERIFY(NativeFile::write(oneShot, *root, nullptr));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), oneShot.data());
    QCOMPARE(int(file.permissions()) & 0x7077, int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("Quillmark.dat")});
}

QTEST_GUILESS_MAIN(TestNativeFormat)
#include "tst_nativeformat.moc"
