#include "common/Sanitizers.h"
#include "common/SpecialFiles.h"
#include "common/TreeBuilders.h"
#include "formats/FormatCommands.h"
#include "platform/SingleInstance.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/TextCodec.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

#include <csignal>
#include <sys/resource.h>

namespace {
const QString ToolPath = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark-tool");

// A folder "A" holding the link "B" (Url "u", Visits 3, Rating 4, LastVisit 2.5), version 10000, and the same
// tree in the first version.
const QByteArray Example10000
    = QByteArray::fromHex("10270000 0100000041 00000000 00000000 01 00000000 00 0000000000000000 "
                          "01000000 0100000042 0100000075 00000000 00 03000000 04 "
                          "0000000000000440 00000000");
const QByteArray ExampleFirst = QByteArray::fromHex("0100000041 00000000 00000000 01 00000000 01000000 "
                                                    "0100000042 0100000075 00000000 00 03000000 00000000");

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray bytesOf(const LinkItem &top)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    NativeFile::write(buffer, top, nullptr);
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The folder "A" holding the links "B" and "C", cut inside C's description, and what a reader
// recovers from it: B whole, C with its name and URL.
std::pair<QByteArray, QByteArray> cutInsideSecondLink()
{
    auto top = LinkItem::MakeFolder("A");
    auto b = LinkItem::MakeLink("B", "https://b.example/");
    b->Description = std::string(100, 'b');
    b->Visits = 3;
    b->Rating = 4;
    b->LastVisit = 2.5;
    auto c = LinkItem::MakeLink("C", "https://c.example/");
    top->Children.InsertSorted(std::move(b));
    top->Children.InsertSorted(std::move(c));
    top->Children.Get(1)->Description = std::string(100, 'c');
    top->Children.Get(1)->Visits = 9;
    const QByteArray whole = bytesOf(*top);
    const QByteArray cut = whole.left(whole.indexOf("cccc") + 50);
    top->Children.Get(1)->Description.clear();
    top->Children.Get(1)->Visits = 0;
    return {cut, bytesOf(*top)};
}

QJsonObject parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "JSON error at" << error.offset << error.errorString();
    return document.object();
}
} // namespace

class TestTool : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void texts_data();
    void texts();
    void numbers_data();
    void numbers();
    void childrenInCollectionOrder();
    void firstVersion();
    void damaged_data();
    void damaged();
    void damagedKeepsWhatWasRead();
    void newerVersion();
    void unreadable_data();
    void unreadable();
    void defaultDataFileAbsent();
    void defaultDataFile_data();
    void defaultDataFile();
    void deepNesting();
    void hugeFile_data();
    void hugeFile();
    void convert_data();
    void convert();
    void convertDamaged();
    void convertOverItself();
    void badArguments_data();
    void badArguments();
    void help_data();
    void help();

    void exportFormats_data();
    void exportFormats();
    void importFormats_data();
    void importFormats();
    void folderPaths_data();
    void folderPaths();
    void importWhileRunning();
    void importIntoDamagedDataFile();
    void importDamagedFile_data();
    void importDamagedFile();
    void importFavoritesSkipsSpecialFiles();
    void importLargeFlatFile();
    void transferArguments_data();
    void transferArguments();
    void backupsListedAndRestored();
    void restoreWhileRunning();
    void restoreRefusesHugeFiles_data();
    void restoreRefusesHugeFiles();
    void restoreOnFullDisk();

private:
    // Runs the tool; inChild runs in the new process before the tool starts.
    Result run(const QStringList &arguments, int timeoutMs = 120000, const std::function<void()> &inChild = {});
    QString writeFile(const QString &name, const QByteArray &bytes);
    void compareTree(const QJsonObject &json, const LinkItem &item);
    void dumpOne(std::unique_ptr<LinkItem> item, QJsonObject &json);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

Result TestTool::run(const QStringList &arguments, int timeoutMs, const std::function<void()> &inChild)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_qs, m_dir->filePath(u"data-home"_qs));
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(ToolPath, arguments);
    Result result;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        qWarning() << "quillmark-tool did not end normally:" << process.errorString() << process.readAllStandardError();
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString TestTool::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning() << "cannot write" << path;
    return path;
}

void TestTool::compareTree(const QJsonObject &json, const LinkItem &item)
{
    QCOMPARE(json[u"name"_qs].toString(), QString::fromStdString(item.Name.str()));
    QCOMPARE(json[u"isFolder"_qs].toBool(), item.isFolder());
    const QJsonArray children = json[u"children"_qs].toArray();
    QCOMPARE(children.size(), item.Children.Count());
    for (int i = 0; i < item.Children.Count(); ++i)
        compareTree(children.at(i).toObject(), *item.Children.Get(i));
}

// Dumps a folder holding item and gives item's object.
void TestTool::dumpOne(std::unique_ptr<LinkItem> item, QJsonObject &json)
{
    auto top = LinkItem::MakeFolder("Top");
    top->Children.InsertSorted(std::move(item));
    const Result result = run({u"dump"_qs, writeFile(u"in.qmf"_qs, bytesOf(*top))});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    for (const char c : result.out)
        QVERIFY2(static_cast<unsigned char>(c) >= 0x20 || c == '\n', "a control character is not escaped");
    json = parse(result.out)[u"children"_qs].toArray().at(0).toObject();
    QCOMPARE(json.size(), 8);
}

void TestTool::texts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << QByteArray("https://example.org/?a=1&b=2") << u"https://example.org/?a=1&b=2"_qs;
    QTest::newRow("utf-8") << QByteArray("Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\xa8") << u"Caf\u00e9 \u20ac \u2028"_qs;
    QTest::newRow("windows-1252") << QByteArray("Caf\xe9 \x80 \x93q\x94") << u"Caf\u00e9 \u20ac \u201cq\u201d"_qs;
    QTest::newRow("escapes") << QByteArray("say \"hi\" \\ / a\r\nb\tc\x01\x1f\x7f\b\f")
                             << u"say \"hi\" \\ / a\r\nb\tc\x01\x1f\x7f\b\f"_qs;
}

void TestTool::texts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    auto item = LinkItem::MakeLink(bytes.toStdString(), bytes.toStdString());
    item->Description = bytes.toStdString();
    QJsonObject json;
    dumpOne(std::move(item), json);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(json[u"name"_qs].toString(), shown);
    QCOMPARE(json[u"url"_qs].toString(), shown);
    QCOMPARE(json[u"description"_qs].toString(), shown);
}

void TestTool::numbers_data()
{
    QTest::addColumn<int>("isFolder");
    QTest::addColumn<int>("visits");
    QTest::addColumn<int>("rating");
    QTest::addColumn<double>("lastVisit");
    QTest::newRow("link") << 0 << 3 << 4 << 2.5;
    QTest::newRow("folder byte 7") << 7 << std::numeric_limits<int>::min() << 255 << 45678.123456789012;
    QTest::newRow("third") << 1 << std::numeric_limits<int>::max() << 5 << 1.0 / 3;
    QTest::newRow("tiny") << 0 << -1 << 1 << 5e-324;
    QTest::newRow("huge") << 0 << 0 << 0 << -1e300;
    QTest::newRow("nan") << 0 << 0 << 0 << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << 0 << 0 << 0 << std::numeric_limits<double>::infinity();
}

void TestTool::numbers()
{
    QFETCH(int, isFolder);
    QFETCH(int, visits);
    QFETCH(int, rating);
    QFETCH(double, lastVisit);
    auto item = LinkItem::MakeLink("x", "u");
    item->IsFolder = static_cast<std::uint8_t>(isFolder);
    item->Visits = visits;
    item->Rating = static_cast<std::uint8_t>(rating);
    item->LastVisit = lastVisit;
    QJsonObject json;
    dumpOne(std::move(item), json);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(json[u"isFolder"_qs].toBool(), isFolder != 0);
    QCOMPARE(json[u"visits"_qs].toInteger(), visits);
    QCOMPARE(json[u"rating"_qs].toInteger(), rating);
    QVERIFY(json[u"children"_qs].toArray().isEmpty());
    const QJsonValue shown = json[u"lastVisit"_qs];
    // JSON has no NaN or infinity; every other value must read back exactly.
    if (std::isfinite(lastVisit))
        QVERIFY2(shown.toDouble() == lastVisit, qPrintable(QString::number(shown.toDouble(), 'g', 17)));
    else
        QVERIFY(shown.isNull());
}

void TestTool::childrenInCollectionOrder()
{
    auto top = LinkItem::MakeFolder("Top");
    auto b = LinkItem::MakeFolder("b");
    b->Children.InsertSorted(LinkItem::MakeLink("x", "u"));
    b->Children.InsertSorted(LinkItem::MakeFolder("Z"));
    top->Children.InsertSorted(std::move(b));
    top->Children.InsertSorted(LinkItem::MakeLink("A", "u"));
    top->Children.InsertSorted(LinkItem::MakeLink("a", "u"));
    top->Children.InsertSorted(LinkItem::MakeFolder("B"));
    top->Children.InsertSorted(LinkItem::MakeLink("A", "twin"));

    const Result result = run({u"dump"_qs, writeFile(u"in.qmf"_qs, bytesOf(*top))});
    QCOMPARE(result.exitCode, 0);
    compareTree(parse(result.out), *top);
    QCOMPARE(parse(result.out).value(u"children"_qs).toArray().at(1)[u"url"_qs].toString(), u"twin"_qs);

    // The keys come in a fixed order.
    const QByteArray firstLine = result.out.left(result.out.indexOf('\n'));
    qsizetype previous = -1;
    for (const char *key : {"name", "url", "description", "isFolder", "visits", "rating", "lastVisit", "children"}) {
        const qsizetype at = firstLine.indexOf(QByteArray("\"") + key + "\":");
        QVERIFY2(at > previous, key);
        previous = at;
    }
}

void TestTool::firstVersion()
{
    const Result result = run({u"dump"_qs, writeFile(u"old.qmf"_qs, ExampleFirst)});
    QCOMPARE(result.exitCode, 0);
    const QJsonObject top = parse(result.out);
    QCOMPARE(top[u"name"_qs].toString(), u"A"_qs);
    QCOMPARE(top[u"isFolder"_qs].toBool(), true);
    const QJsonObject link = top[u"children"_qs].toArray().at(0).toObject();
    QCOMPARE(link[u"url"_qs].toString(), u"u"_qs);
    QCOMPARE(link[u"visits"_qs].toInt(), 3);
    QCOMPARE(link[u"rating"_qs].toInt(), 0);
    QCOMPARE(link[u"lastVisit"_qs].toDouble(), 0.0);
}

void TestTool::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    for (int length = 0; length < Example10000.size(); ++length)
        QTest::addRow("cut at %d", length) << Example10000.left(length);
    QByteArray hugeCount = Example10000;
    hugeCount.replace(31, 4, QByteArray::fromHex("ffffff7f"));
    QTest::newRow("huge child count") << hugeCount;
    QTest::newRow("negative name length") << QByteArray::fromHex("10270000ffffffff") + Example10000.mid(8);
}

void TestTool::damaged()
{
    QFETCH(QByteArray, bytes);
    const Result result = run({u"dump"_qs, writeFile(u"bad.qmf"_qs, bytes)});
    QCOMPARE(result.exitCode, 3);
    QVERIFY(result.err.contains("warning"));
    QJsonParseError error;
    QVERIFY(QJsonDocument::fromJson(result.out, &error).isObject());
    QCOMPARE(error.error, QJsonParseError::NoError);
}

void TestTool::damagedKeepsWhatWasRead()
{
    const Result result = run({u"dump"_qs, writeFile(u"bad.qmf"_qs, cutInsideSecondLink().first)});
    QCOMPARE(result.exitCode, 3);
    const QJsonArray links = parse(result.out)[u"children"_qs].toArray();
    QCOMPARE(links.size(), 2);
    QCOMPARE(links.at(0)[u"description"_qs].toString(), QString(100, u'b'));
    QCOMPARE(links.at(0)[u"rating"_qs].toInt(), 4);
    QCOMPARE(links.at(0)[u"lastVisit"_qs].toDouble(), 2.5);
    QCOMPARE(links.at(1)[u"url"_qs].toString(), u"https://c.example/"_qs);
    QCOMPARE(links.at(1)[u"description"_qs].toString(), QString());
    QCOMPARE(links.at(1)[u"visits"_qs].toInt(), 0);
}

void TestTool::newerVersion()
{
    const QString path = writeFile(u"new.qmf"_qs, QByteArray::fromHex("11270000") + Example10000.mid(4));
    const QString out = m_dir->filePath(u"out.qmf"_qs);
    for (const QStringList &arguments : {QStringList {u"dump"_qs, path}, QStringList {u"convert"_qs, path, out}}) {
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 3);
        QVERIFY(result.err.contains("Uncorrect data format."));
        QCOMPARE(result.out, QByteArray());
    }
    QVERIFY(!QFileInfo::exists(out));
}

void TestTool::unreadable_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    const QString missing = u"no-such-file.qmf"_qs;
    QTest::newRow("dump missing") << QStringList {u"dump"_qs, missing} << QByteArray("Cannot open file");
    QTest::newRow("dump folder") << QStringList {u"dump"_qs, u"."_qs} << QByteArray("Cannot open file");
    QTest::newRow("convert missing") << QStringList {u"convert"_qs, missing, u"out.qmf"_qs}
                                     << QByteArray("Cannot open file");
    QTest::newRow("convert to nowhere") << QStringList {u"convert"_qs, u"in.qmf"_qs, u"no-such-folder/out.qmf"_qs}
                                        << QByteArray("Cannot create file");
}

void TestTool::unreadable()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    writeFile(u"in.qmf"_qs, Example10000);
    for (qsizetype i = 1; i < arguments.size(); ++i)
        arguments[i] = m_dir->filePath(arguments.at(i));
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(message), result.err.constData());
    QCOMPARE(result.out, QByteArray());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(u"out.qmf"_qs)));
}

void TestTool::defaultDataFileAbsent()
{
    const Result result = run({u"dump"_qs});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    const QJsonObject root = parse(result.out);
    QCOMPARE(root[u"name"_qs].toString(), u"Quillmark"_qs);
    QCOMPARE(root[u"isFolder"_qs].toBool(), true);
    QVERIFY(root[u"children"_qs].toArray().isEmpty());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(u"data-home/Quillmark"_qs)));
}

void TestTool::defaultDataFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("rootName");
    QTest::addColumn<int>("children");
    QTest::newRow("version 10000") << Example10000 << 0 << u"A"_qs << 1;
    QTest::newRow("first version") << ExampleFirst << 0 << u"A"_qs << 1;
    QTest::newRow("cut short") << cutInsideSecondLink().first << 3 << u"A"_qs << 2;
    // Nothing was read: the root keeps the name the program starts with.
    QTest::newRow("too short") << QByteArray("\x10\x27") << 3 << u"Quillmark"_qs << 0;
}

void TestTool::defaultDataFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, exitCode);
    QFETCH(QString, rootName);
    QFETCH(int, children);
    writeFile(u"data-home/Quillmark/Quillmark.dat"_qs, bytes);

    const Result result = run({u"dump"_qs});
    QCOMPARE(result.exitCode, exitCode);
    const QJsonObject root = parse(result.out);
    QCOMPARE(root[u"name"_qs].toString(), rootName);
    QCOMPARE(root[u"children"_qs].toArray().size(), children);
    // Only reads: a damaged data file is not set aside or touched.
    QCOMPARE(QDir(m_dir->filePath(u"data-home/Quillmark"_qs)).entryList(QDir::Files),
             QStringList {u"Quillmark.dat"_qs});
    QCOMPARE(readAll(m_dir->filePath(u"data-home/Quillmark/Quillmark.dat"_qs)), bytes);
}

void TestTool::deepNesting()
{
    constexpr int Depth = 100000;
    auto top = LinkItem::MakeFolder("f");
    LinkItem *folder = top.get();
    for (int i = 0; i < Depth; ++i)
        folder = folder->Children.Get(folder->Children.InsertSorted(LinkItem::MakeFolder("f")));
    const QByteArray bytes = bytesOf(*top);
    const QString in = writeFile(u"deep.qmf"_qs, bytes);

    const Result dumped = run({u"dump"_qs, in});
    QCOMPARE(dumped.exitCode, 0);
    QCOMPARE(dumped.out.count("{\"name\":\"f\""), Depth + 1);
    QVERIFY(dumped.out.endsWith(QByteArray("]}").repeated(Depth + 1) + '\n'));

    const QString out = m_dir->filePath(u"out.qmf"_qs);
    QCOMPARE(run({u"convert"_qs, in, out}).exitCode, 0);
    QVERIFY(readAll(out) == bytes);
}

void TestTool::hugeFile_data()
{
    QTest::addColumn<QByteArray>("front");
    QTest::addColumn<qint64>("addressSpace"); // a limit on the tool's memory; 0 for none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    // The rest of the file lies after the top record and is never read.
    QTest::newRow("collection, then 100 GB of zeros") << Example10000 << qint64(0) << 0 << QByteArray();
    // A name of 2 GB is what a file of 100 GB can describe, but more than the tool may take.
    QTest::newRow("name larger than the memory") << QByteArray::fromHex("10270000 ffffff7f") << (qint64(1) << 30) << 3
                                                 << QByteArray("There is not enough memory to read the file.");
}

// A file larger than memory (sparse: it takes no disk) is read in pieces, never whole; when what it
// describes does not fit, dump says so and fails instead of aborting.
void TestTool::hugeFile()
{
    QFETCH(QByteArray, front);
    QFETCH(qint64, addressSpace);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    if (addressSpace > 0 && AddressSanitized)
        QSKIP("The address sanitizer reserves more address space than any limit would leave");
    const QString path = writeFile(u"huge.qmf"_qs, front);
    QVERIFY(QFile::resize(path, qint64(100) << 30));
    const Result result = run({u"dump"_qs, path}, 60000, [addressSpace] {
        if (addressSpace > 0) {
            const rlimit limit {rlim_t(addressSpace), rlim_t(addressSpace)};
            ::setrlimit(RLIMIT_AS, &limit);
        }
    });
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), result.err.constData());
    if (exitCode == 0)
        QCOMPARE(result.out, run({u"dump"_qs, writeFile(u"small.qmf"_qs, front)}).out);
    else
        QVERIFY(result.out.isEmpty());
}

void TestTool::convert_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    auto top = LinkItem::MakeFolder("Top");
    for (const char *name : {"b", "A", "a", "\xe9t\xe9", "\xc3\xa9t\xc3\xa9"}) {
        auto link = LinkItem::MakeLink(name, "https://example.org/");
        link->Description = "line\r\nline";
        link->Visits = -7;
        link->Rating = 3;
        link->LastVisit = 45000.000011574073;
        top->Children.InsertSorted(std::move(link));
    }
    top->Children.Get(0)->Children.InsertSorted(LinkItem::MakeFolder("inside"));
    QTest::newRow("version 10000") << bytesOf(*top) << bytesOf(*top);
    QTest::newRow("example") << Example10000 << Example10000;
    QByteArray unvisited = Example10000;
    unvisited.replace(54, 9, QByteArray(9, '\0'));
    QTest::newRow("first version") << ExampleFirst << unvisited;
}

void TestTool::convert()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    const QString out = m_dir->filePath(u"out.qmf"_qs);
    const Result result = run({u"convert"_qs, writeFile(u"in.qmf"_qs, input), out});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(readAll(out).toHex(), expected.toHex());
}

void TestTool::convertDamaged()
{
    const QString out = writeFile(u"out.qmf"_qs, "old contents");
    const auto [cut, readable] = cutInsideSecondLink();
    const Result result = run({u"convert"_qs, writeFile(u"bad.qmf"_qs, cut), out});
    QCOMPARE(result.exitCode, 3);
    QVERIFY(result.err.contains("warning"));
    QCOMPARE(readAll(out).toHex(), readable.toHex());
}

void TestTool::convertOverItself()
{
    // Writing over itself goes through a temporary file, so the input is read whole first.
    const QString path = writeFile(u"same.qmf"_qs, ExampleFirst);
    QCOMPARE(run({u"convert"_qs, path, path}).exitCode, 0);
    QCOMPARE(readAll(path).size(), Example10000.size());
}

void TestTool::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("hint");
    const QByteArray general = "Try 'quillmark-tool --help'";
    QTest::newRow("nothing") << QStringList() << general;
    QTest::newRow("unknown command") << QStringList {u"frobnicate"_qs} << general;
    QTest::newRow("unknown option") << QStringList {u"--frobnicate"_qs, u"dump"_qs} << general;
    QTest::newRow("help after --") << QStringList {u"--"_qs, u"--help"_qs} << general;
    QTest::newRow("dump two files") << QStringList {u"dump"_qs, u"a"_qs, u"b"_qs}
                                    << QByteArray("Try 'quillmark-tool dump --help'");
    QTest::newRow("dump unknown option") << QStringList {u"dump"_qs, u"--verbose"_qs}
                                         << QByteArray("Try 'quillmark-tool dump --help'");
    QTest::newRow("convert one file") << QStringList {u"convert"_qs, u"a"_qs}
                                      << QByteArray("Try 'quillmark-tool convert --help'");
    QTest::newRow("convert three files") << QStringList {u"convert"_qs, u"a"_qs, u"b"_qs, u"c"_qs}
                                         << QByteArray("Try 'quillmark-tool convert --help'");
    QTest::newRow("restore one file") << QStringList {u"restore"_qs, u"a"_qs}
                                      << QByteArray("Try 'quillmark-tool restore --help'");
    QTest::newRow("backups two files") << QStringList {u"backups"_qs, u"a"_qs, u"b"_qs}
                                       << QByteArray("Try 'quillmark-tool backups --help'");
}

void TestTool::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, hint);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.contains(hint), result.err.constData());
}

void TestTool::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("--help") << QStringList {u"--help"_qs} << QByteArray("Usage: quillmark-tool COMMAND");
    QTest::newRow("-h before a command") << QStringList {u"-h"_qs, u"dump"_qs}
                                         << QByteArray("Usage: quillmark-tool COMMAND");
    QTest::newRow("dump --help") << QStringList {u"dump"_qs, u"--help"_qs} << QByteArray("Usage: quillmark-tool dump");
    QTest::newRow("help wins") << QStringList {u"dump"_qs, u"a"_qs, u"b"_qs, u"--bad"_qs, u"-h"_qs}
                               << QByteArray("Usage: quillmark-tool dump");
    QTest::newRow("convert -h") << QStringList {u"convert"_qs, u"-h"_qs} << QByteArray("Usage: quillmark-tool convert");
    QTest::newRow("--version") << QStringList {u"--version"_qs} << QByteArray("quillmark-tool " QUILLMARK_VERSION "\n");
    QTest::newRow("export --help") << QStringList {u"export"_qs, u"--help"_qs}
                                   << QByteArray(
                                          "Usage: quillmark-tool export --format FORMAT [--folder PATH] DATAFILE OUT");
    QTest::newRow("import -h, with a bad format") << QStringList {u"import"_qs, u"--format=x"_qs, u"-h"_qs}
                                                  << QByteArray("Usage: quillmark-tool import --format FORMAT");
}

void TestTool::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, start);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QVERIFY2(result.out.startsWith(start), result.out.constData());
}

namespace {

// A collection with a nested folder path "Work\Projects", a link that shares a folder's name, and
// texts that need escaping in every format.
std::unique_ptr<LinkItem> transferCollection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    auto work = LinkItem::MakeFolder("Work");
    auto projects = LinkItem::MakeFolder("Projects");
    auto link = LinkItem::MakeLink("Tracker <&> \"q\"", "https://tracker.example/?a=1&b=2");
    link->Description = "two\nlines";
    link->Visits = 3;
    link->Rating = 4;
    projects->Children.InsertSorted(std::move(link));
    projects->Children.InsertSorted(LinkItem::MakeFolder("Empty"));
    work->Children.InsertSorted(std::move(projects));
    work->Children.InsertSorted(LinkItem::MakeLink("Caf\xc3\xa9", "https://cafe.example/"));
    root->Children.InsertSorted(std::move(work));
    root->Children.InsertSorted(LinkItem::MakeLink("Work", "https://not-a-folder.example/"));
    root->Children.InsertSorted(LinkItem::MakeLink("Top", "https://top.example/"));
    return root;
}

QStringList namesBelow(const LinkItem &folder)
{
    QStringList names;
    std::vector<const LinkItem *> pending {&folder};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        for (const auto &child : item->Children) {
            names << TextCodec::toDisplay(child->Name)
                    + (child->isFolder() ? u"/"_qs : u" "_qs + TextCodec::toDisplay(child->Url));
            pending.push_back(child.get());
        }
    }
    names.sort();
    return names;
}

std::unique_ptr<LinkItem> readCollection(const QString &path)
{
    auto root = std::make_unique<LinkItem>();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        NativeFile::read(file, *root, true);
    return root;
}

const char *const Formats[] = {"qmf", "html", "opera", "xbel", "favorites"};

// Names as a format keeps them: shortcut file names cannot hold < > or ".
QStringList keptNames(const QString &format, QStringList names)
{
    if (format == u"favorites")
        names.replaceInStrings(u"Tracker <&> \"q\""_qs, u"Tracker _&_ _q_"_qs);
    names.sort();
    return names;
}

} // namespace

void TestTool::exportFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("names");
    const QStringList projects {u"Empty/"_qs, u"Tracker <&> \"q\" https://tracker.example/?a=1&b=2"_qs};
    for (const char *format : Formats) {
        const QString name = QString::fromLatin1(format);
        QTest::addRow("%s, whole collection", format)
            << name << QString() << keptNames(name, namesBelow(*transferCollection()));
        QTest::addRow("%s, nested folder", format) << name << u"Work\\Projects"_qs << keptNames(name, projects);
    }
}

// What export writes reads back, by the format's own reader, as the folder's contents.
void TestTool::exportFormats()
{
    QFETCH(QString, format);
    QFETCH(QString, folder);
    QFETCH(QStringList, names);
    const QString data = writeFile(u"data.qmf"_qs, bytesOf(*transferCollection()));
    const QString out = m_dir->filePath(u"out"_qs);
    QStringList arguments {u"export"_qs, u"--format"_qs, format};
    if (!folder.isEmpty())
        arguments << u"--folder"_qs << folder;
    const Result result = run(arguments << data << out);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QVERIFY(result.out.contains("written"));
    LinkItem back;
    const BookmarkFormatInfo *info = BookmarkFormatInfo::byToolName(format);
    QVERIFY(FormatCommands::importFrom(info->format, out, back).ok());
    QCOMPARE(namesBelow(back), names);
}

void TestTool::importFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("dataFileExists");
    for (const char *format : Formats) {
        QTest::addRow("%s into a new data file", format) << QString::fromLatin1(format) << false;
        QTest::addRow("%s into a folder of a data file", format) << QString::fromLatin1(format) << true;
    }
}

// Import adds what the file holds to the folder and writes the data file; everything else stays.
void TestTool::importFormats()
{
    QFETCH(QString, format);
    QFETCH(bool, dataFileExists);
    const auto source = transferCollection();
    const QString in = m_dir->filePath(u"in"_qs);
    QVERIFY(FormatCommands::exportTo(BookmarkFormatInfo::byToolName(format)->format, in, *source).ok());
    const QString data = m_dir->filePath(u"data.qmf"_qs);
    QStringList arguments {u"import"_qs, u"--format="_qs + format};
    if (dataFileExists) {
        writeFile(u"data.qmf"_qs, bytesOf(*transferCollection()));
        arguments << u"--folder=Work\\Projects"_qs;
    }
    const Result result = run(arguments << in << data);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, QByteArray("3 folders and 4 links imported\n"));
    const auto collection = readCollection(data);
    QCOMPARE(TextCodec::toDisplay(collection->Name), u"Quillmark"_qs);
    if (!dataFileExists) {
        QCOMPARE(namesBelow(*collection), keptNames(format, namesBelow(*source)));
        return;
    }
    QCOMPARE(namesBelow(*collection),
             keptNames({}, namesBelow(*transferCollection()) + keptNames(format, namesBelow(*source))));
    const LinkItem *work = collection->Children.Get(1); // "Top", the folder "Work", the link "Work"
    QVERIFY(work->isFolder());
    const LinkItem *projects = work->Children.Get(1);
    QCOMPARE(projects->Name, std::string("Projects"));
    QCOMPARE(projects->Children.Count(), 2 + 3);
}

void TestTool::folderPaths_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("message");
    for (const QString &command : {u"export"_qs, u"import"_qs}) {
        QTest::addRow("%s, missing", qPrintable(command))
            << command << u"Work\\Nothing"_qs << QByteArray("has no folder \"Nothing\"");
        QTest::addRow("%s, a link", qPrintable(command)) << command << u"Top"_qs << QByteArray("has no folder \"Top\"");
        QTest::addRow("%s, trailing separator", qPrintable(command))
            << command << u"Work\\"_qs << QByteArray("has no folder \"\"");
    }
}

void TestTool::folderPaths()
{
    QFETCH(QString, command);
    QFETCH(QString, folder);
    QFETCH(QByteArray, message);
    const QByteArray bytes = bytesOf(*transferCollection());
    const QString data = writeFile(u"data.qmf"_qs, bytes);
    const QString other = m_dir->filePath(u"other.html"_qs);
    if (command == u"import")
        QVERIFY(FormatCommands::exportTo(BookmarkFormat::BrowserHtml, other, *transferCollection()).ok());
    const QStringList files = command == u"export" ? QStringList {data, other} : QStringList {other, data};
    const Result result = run(QStringList {command, u"--format"_qs, u"html"_qs, u"--folder"_qs, folder} + files);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(message), result.err.constData());
    QCOMPARE(readAll(data), bytes);
    if (command == u"export")
        QVERIFY(!QFileInfo::exists(other));
}

// While Quillmark runs with the data file, import leaves that file alone; other files are free.
void TestTool::importWhileRunning()
{
    const QString in = m_dir->filePath(u"in.html"_qs);
    QVERIFY(FormatCommands::exportTo(BookmarkFormat::BrowserHtml, in, *transferCollection()).ok());
    const QByteArray bytes = bytesOf(*transferCollection());
    const QString dataFile = writeFile(u"data-home/Quillmark/Quillmark.dat"_qs, bytes);
    const QString alias = m_dir->filePath(u"data-home/Quillmark/../Quillmark/Quillmark.dat"_qs);
    const QString other = m_dir->filePath(u"other.qmf"_qs);
    {
        SingleInstance running;
        QCOMPARE(running.start(), SingleInstance::Role::Primary);
        for (const QString &path : {dataFile, alias}) {
            const Result refused = run({u"import"_qs, u"--format"_qs, u"html"_qs, in, path});
            QCOMPARE(refused.exitCode, 4);
            QVERIFY2(refused.err.contains("Quillmark is running"), refused.err.constData());
            QCOMPARE(readAll(dataFile), bytes);
        }
        QCOMPARE(run({u"import"_qs, u"--format"_qs, u"html"_qs, in, other}).exitCode, 0);
        // Reading is harmless while it runs.
        QCOMPARE(run({u"export"_qs, u"--format"_qs, u"html"_qs, dataFile, m_dir->filePath(u"out.html"_qs)}).exitCode,
                 0);
    }
    QCOMPARE(run({u"import"_qs, u"--format"_qs, u"html"_qs, in, dataFile}).exitCode, 0);
    QCOMPARE(readCollection(dataFile)->Children.Count(), 6);
    QCOMPARE(QFileInfo(dataFile).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
}

// A data file that cannot be read whole is never written: what could not be read would be lost.
void TestTool::importIntoDamagedDataFile()
{
    const QString in = m_dir->filePath(u"in.html"_qs);
    QVERIFY(FormatCommands::exportTo(BookmarkFormat::BrowserHtml, in, *transferCollection()).ok());
    for (const QByteArray &bytes :
         {cutInsideSecondLink().first, QByteArray::fromHex("11270000") + Example10000.mid(4)}) {
        const QString data = writeFile(u"data.qmf"_qs, bytes);
        const Result result = run({u"import"_qs, u"--format"_qs, u"html"_qs, in, data});
        QCOMPARE(result.exitCode, 3);
        QVERIFY2(result.err.contains("nothing was imported"), result.err.constData());
        QCOMPARE(readAll(data), bytes);
    }
}

void TestTool::importDamagedFile_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("links");
    QTest::newRow("html, broken quote") << u"html"_qs
                                        << QByteArray("<DL><DT><A HREF=\"a>A</A>\n<DT><A HREF=\"b\">B</A>") << 3 << 2;
    QTest::newRow("xbel, cut off") << u"xbel"_qs
                                   << QByteArray("<xbel><bookmark href=\"a\"><title>A</title></bookmark><bookm") << 3
                                   << 1;
    QTest::newRow("qmf, cut off") << u"qmf"_qs << cutInsideSecondLink().first << 3 << 2;
    QTest::newRow("opera, not a hotlist") << u"opera"_qs << QByteArray("hello") << 3 << -1;
    QTest::newRow("html, not bookmarks") << u"html"_qs << QByteArray("plain text") << 3 << -1;
}

// A damaged file imports what could be read and says what was skipped; a file that is not of the
// format imports nothing and leaves the data file alone.
void TestTool::importDamagedFile()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, contents);
    QFETCH(int, exitCode);
    QFETCH(int, links);
    const QString in = writeFile(u"in"_qs, contents);
    const QString data = m_dir->filePath(u"data.qmf"_qs);
    const Result result = run({u"import"_qs, u"--format"_qs, format, in, data});
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(!result.err.isEmpty());
    if (links < 0) {
        QVERIFY(!QFileInfo::exists(data));
        return;
    }
    QVERIFY2(result.err.contains("warning"), result.err.constData());
    QCOMPARE(readCollection(data)->Children.Count(), links);
}

// A FIFO, links to it, to a device and to standard input would make a reader wait for ever; only the
// shortcut file is read.
void TestTool::importFavoritesSkipsSpecialFiles()
{
    const QString folder = m_dir->filePath(u"Favorites"_qs);
    writeFile(u"Favorites/plain.url"_qs, "[InternetShortcut]\nURL=http://plain/\n");
    QVERIFY(!SpecialFiles::addTo(folder).isEmpty());
    QVERIFY(QFile::link(u"/dev/stdin"_qs, folder + u"/stdin.url"_qs));
    const QString data = m_dir->filePath(u"data.qmf"_qs);

    const Result result = run({u"import"_qs, u"--format=favorites"_qs, folder, data}, 10000);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("0 folders and 1 links imported\n"));
    QCOMPARE(namesBelow(*readCollection(data)), QStringList {u"plain http://plain/"_qs});
}

// Moving what was read into the collection takes time linear in its size: 300,000 links took more than two
// minutes when each was taken from the front of the list.
void TestTool::importLargeFlatFile()
{
    constexpr int Links = 300000;
    auto source = LinkItem::MakeFolder("Exported");
    auto expected = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < Links; ++i) {
        const std::string name = QByteArray::number(i).rightJustified(6, '0').toStdString();
        source->Children.InsertSorted(LinkItem::MakeLink(name, "https://example.org/" + name));
        expected->Children.InsertSorted(LinkItem::MakeLink(name, "https://example.org/" + name));
    }
    const QString in = writeFile(u"large.qmf"_qs, bytesOf(*source));
    const QString data = m_dir->filePath(u"data.qmf"_qs);
    QElapsedTimer timer;
    timer.start();
    const Result result = run({u"import"_qs, u"--format=qmf"_qs, in, data}, 60000);
    QCOMPARE_LT(timer.elapsed(), 20000);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("0 folders and 300000 links imported\n"));
    QVERIFY(readAll(data) == bytesOf(*expected));
}

void TestTool::transferArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no format") << QStringList {u"export"_qs, u"a"_qs, u"b"_qs} << 2 << QByteArray("needs --format");
    QTest::newRow("format without value")
        << QStringList {u"import"_qs, u"a"_qs, u"b"_qs, u"--format"_qs} << 2 << QByteArray("--format needs a value");
    QTest::newRow("folder without value")
        << QStringList {u"export"_qs, u"--format=html"_qs, u"a"_qs, u"b"_qs, u"--folder"_qs} << 2
        << QByteArray("--folder needs a value");
    QTest::newRow("unknown format") << QStringList {u"export"_qs, u"--format=pdf"_qs, u"a"_qs, u"b"_qs} << 2
                                    << QByteArray("unknown format 'pdf'");
    QTest::newRow("page cannot be imported")
        << QStringList {u"import"_qs, u"--format=page"_qs, u"a"_qs, u"b"_qs} << 2 << QByteArray("cannot be imported");
    QTest::newRow("one file") << QStringList {u"import"_qs, u"--format=html"_qs, u"a"_qs} << 2
                              << QByteArray("import takes two files");
    QTest::newRow("unknown option") << QStringList {u"export"_qs, u"--format=html"_qs, u"--fast"_qs, u"a"_qs, u"b"_qs}
                                    << 2 << QByteArray("unknown option '--fast' for export");
    QTest::newRow("missing input") << QStringList {u"import"_qs, u"--format=html"_qs, u"no-such.html"_qs, u"d.qmf"_qs}
                                   << 2 << QByteArray("Cannot open file");
    QTest::newRow("missing favorites folder")
        << QStringList {u"import"_qs, u"--format=favorites"_qs, u"no-such-folder"_qs, u"d.qmf"_qs} << 2
        << QByteArray("Cannot open folder");
    QTest::newRow("missing data file") << QStringList {u"export"_qs, u"--format=html"_qs, u"no-such.qmf"_qs, u"o"_qs}
                                       << 2 << QByteArray("Cannot open file");
    QTest::newRow("output folder missing")
        << QStringList {u"export"_qs, u"--format=xbel"_qs, u"data.qmf"_qs, u"no-such-folder/o"_qs} << 2
        << QByteArray("Cannot create file");
}

void TestTool::transferArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    writeFile(u"data.qmf"_qs, Example10000);
    for (QString &argument : arguments) {
        if (!argument.startsWith(u'-') && argument != u"import" && argument != u"export")
            argument = m_dir->filePath(argument);
    }
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), result.err.constData());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(u"d.qmf"_qs)));
}

// The list reads every backup; a damaged one is listed unreadable and restoring it changes nothing, while a
// readable one replaces the data file after the data file was kept as today's backup.
void TestTool::backupsListedAndRestored()
{
    const QString dataFile = writeFile(u"col/data.qmf"_qs, Example10000);
    const QString good = writeFile(u"col/backups/Quillmark-2026-01-02.dat"_qs, ExampleFirst);
    const QString damaged = writeFile(u"col/backups/Quillmark-2026-01-03.dat"_qs, cutInsideSecondLink().first);
    writeFile(u"col/backups/other.dat"_qs, Example10000);

    const Result listed = run({u"backups"_qs, dataFile});
    QCOMPARE(listed.exitCode, 0);
    const QJsonArray list = QJsonDocument::fromJson(listed.out).array();
    QCOMPARE(list.size(), 2);
    const QJsonObject first = list.at(0).toObject();
    QCOMPARE(first[u"path"_qs].toString(), damaged);
    QCOMPARE(first[u"date"_qs].toString(), u"2026-01-03"_qs);
    QCOMPARE(first[u"readable"_qs].toBool(), false);
    const QJsonObject second = list.at(1).toObject();
    QCOMPARE(second[u"date"_qs].toString(), u"2026-01-02"_qs);
    QCOMPARE(second[u"readable"_qs].toBool(), true);
    QCOMPARE(second[u"folders"_qs].toInt(), 0); // below the top folder
    QCOMPARE(second[u"links"_qs].toInt(), 1);

    const Result refused = run({u"restore"_qs, damaged, dataFile});
    QCOMPARE(refused.exitCode, 3);
    QVERIFY2(refused.err.contains("Nothing was changed"), refused.err.constData());
    QCOMPARE(readAll(dataFile), Example10000);
    QCOMPARE(run({u"backups"_qs, dataFile}).out, listed.out);

    QCOMPARE(run({u"restore"_qs, good, dataFile}).exitCode, 0);
    QCOMPARE(readAll(dataFile), ExampleFirst);
    const QString today
        = m_dir->filePath(u"col/backups/Quillmark-%1.dat"_qs.arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(readAll(today), Example10000);
    QCOMPARE(run({u"restore"_qs, today, dataFile}).exitCode, 0);
    QCOMPARE(readAll(dataFile), Example10000);
}

void TestTool::restoreWhileRunning()
{
    const QString dataFile = writeFile(u"data-home/Quillmark/Quillmark.dat"_qs, Example10000);
    const QString backup = writeFile(u"data-home/Quillmark/backups/Quillmark-2026-01-02.dat"_qs, ExampleFirst);
    {
        SingleInstance running;
        QCOMPARE(running.start(), SingleInstance::Role::Primary);
        const Result refused = run({u"restore"_qs, backup, dataFile});
        QCOMPARE(refused.exitCode, 4);
        QVERIFY2(refused.err.contains("Quillmark is running"), refused.err.constData());
        QCOMPARE(readAll(dataFile), Example10000);
        // Listing is harmless while it runs; without a file it lists the user's data file's backups.
        const Result listed = run({u"backups"_qs});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(listed.out).array().size(), 1);
    }
    QCOMPARE(run({u"restore"_qs, backup, dataFile}).exitCode, 0);
    QCOMPARE(readAll(dataFile), ExampleFirst);
}

void TestTool::restoreRefusesHugeFiles_data()
{
    QTest::addColumn<QByteArray>("front");
    QTest::newRow("100 GB of zeros") << QByteArray();
    QTest::newRow("collection, then 100 GB of zeros") << ExampleFirst;
}

// A backup that goes on far past its collection (sparse: it takes no disk) is no backup Quillmark made: restore
// refuses it and changes nothing, within a memory limit far below the file's size.
void TestTool::restoreRefusesHugeFiles()
{
    QFETCH(QByteArray, front);
    const QString dataFile = writeFile(u"col/Quillmark.dat"_qs, Example10000);
    const QString huge = writeFile(u"col/backups/Quillmark-2026-01-02.dat"_qs, front);
    QVERIFY(QFile::resize(huge, qint64(100) << 30));
    const Result refused = run({u"restore"_qs, huge, dataFile}, 60000, [] {
        if (!AddressSanitized) {
            const rlimit limit {rlim_t(1) << 30, rlim_t(1) << 30};
            setrlimit(RLIMIT_AS, &limit);
        }
    });
    QCOMPARE(refused.exitCode, 3);
    QVERIFY2(refused.err.contains("cannot be restored") && refused.err.contains("Nothing was changed"),
             refused.err.constData());
    QCOMPARE(readAll(dataFile), Example10000);
    QVERIFY(!QFileInfo::exists(
        m_dir->filePath(u"col/backups/Quillmark-%1.dat"_qs.arg(QDate::currentDate().toString(Qt::ISODate)))));
}

// A disk that fills during the restore is named, with the file, instead of "Unknown error". A limit on the size of
// the files the tool may write stands in for the full disk: the system takes part of a write and refuses the rest.
void TestTool::restoreOnFullDisk()
{
    auto big = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < 2000; ++i)
        TreeBuilders::addLink(*big, "link " + std::to_string(i), "https://example.org/" + std::to_string(i));
    const QString dataFile = writeFile(u"col/Quillmark.dat"_qs, Example10000);
    const QString backup = writeFile(u"col/backups/Quillmark-2026-01-02.dat"_qs, bytesOf(*big));
    const Result failed = run({u"restore"_qs, backup, dataFile}, 60000, [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {10000, 10000};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    QCOMPARE(failed.exitCode, 2);
    const QRegularExpression expected(u"The disk at .* is full: cannot write %1\\.\\n"_qs.arg(
        QRegularExpression::escape(QDir::toNativeSeparators(dataFile))));
    QVERIFY2(expected.match(QString::fromLocal8Bit(failed.err)).hasMatch(), failed.err.constData());
    QVERIFY(!failed.err.contains("Unknown error"));
    QCOMPARE(readAll(dataFile), Example10000);
}

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
