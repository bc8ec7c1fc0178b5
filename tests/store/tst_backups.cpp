#include "common/SpecialFiles.h"
#include "common/TreeBuilders.h"
#include "store/Backups.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TreeBuilders;

namespace {

// A collection of `folders` folders holding one link each.
QByteArray collection(int folders)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < folders; ++i)
        addLink(*addFolder(*root, "F" + std::to_string(i)), "L", "https://example.org/" + std::to_string(i));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    NativeFile::write(buffer, *root, nullptr);
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QDate FirstDay(2026, 2, 20);

// Enough for a test to show that what is not data is not copied, and nothing on a disk: the tail is sparse.
constexpr qint64 SparseTail = qint64(4) << 30;

// Grows the file to size without writing: the new bytes are zeros the file system does not store.
void growSparse(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.resize(size));
}

} // namespace

class TestBackups : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void rotation_data();
    void rotation();
    void damagedRefused_data();
    void damagedRefused();
    void restoreTakenBack();
    void futureDatesLeftAlone_data();
    void futureDatesLeftAlone();
    void onlyTheCollectionIsCopied_data();
    void onlyTheCollectionIsCopied();
    void cancelLeavesNoBackup();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_dataFile;
    QDate m_today;
};

void TestBackups::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_dataFile = m_dir->filePath(u"Quillmark/Quillmark.dat"_qs);
    m_today = FirstDay;
}

void TestBackups::rotation_data()
{
    QTest::addColumn<int>("keep");
    QTest::addColumn<int>("days");
    QTest::newRow("default, 40 days across a month's end") << Backups::DefaultKeep << 40;
    QTest::newRow("keep 3") << 3 << 10;
    QTest::newRow("fewer days than kept") << 15 << 4;
}

// Each simulated day starts the program twice: the first start of the day makes the backup, byte for byte the
// data file of that morning; the second leaves it alone. The newest `keep` survive; other files stay.
void TestBackups::rotation()
{
    QFETCH(int, keep);
    QFETCH(int, days);
    Backups backups(m_dataFile, [this] { return m_today; });
    backups.setKeep(keep);
    QVERIFY(backups.makeDaily(nullptr)); // no data file yet: nothing to keep
    QVERIFY(!backups.hasToday());
    writeAll(backups.folder() + u"/notes.txt"_qs, "mine");
    writeAll(backups.folder() + u"/Quillmark-2026-13-45.dat"_qs, "not a date");
    for (int day = 0; day < days; ++day) {
        m_today = FirstDay.addDays(day);
        writeAll(m_dataFile, collection(day));
        QString error;
        QVERIFY2(backups.makeDaily(&error), qPrintable(error));
        writeAll(m_dataFile, collection(day + 100));
        QVERIFY(backups.makeDaily(&error));
        QCOMPARE(readAll(backups.pathFor(m_today)), collection(day));
        QCOMPARE(QFileInfo(backups.pathFor(m_today)).permissions() & 0x0FFF,
                 QFileDevice::ReadUser | QFileDevice::WriteUser);
    }
    const std::vector<Backups::Entry> entries = backups.list();
    QCOMPARE(int(entries.size()), qMin(keep, days));
    for (int i = 0; i < int(entries.size()); ++i) {
        const int day = days - 1 - i;
        QCOMPARE(entries[i].date, FirstDay.addDays(day));
        QCOMPARE(entries[i].path, backups.pathFor(FirstDay.addDays(day)));
        QVERIFY(entries[i].readable);
        QCOMPARE(entries[i].folders, day);
    }
    QVERIFY(QFileInfo::exists(backups.folder() + u"/notes.txt"_qs));
    QVERIFY(QFileInfo::exists(backups.folder() + u"/Quillmark-2026-13-45.dat"_qs));
    QCOMPARE(readAll(m_dataFile), collection(days - 1 + 100));
}

void TestBackups::damagedRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cut short") << collection(2).chopped(3);
    QTest::newRow("too short") << QByteArray("\x10\x27", 2);
    QTest::newRow("newer version") << QByteArray::fromHex("11270000") + collection(2).mid(4);
    // Sparse: a read of it whole would take gigabytes of memory.
    QTest::newRow("collection, then a sparse tail") << collection(2) + QByteArray("tail");
    QTest::newRow("sparse zeros") << QByteArray();
}

// A backup that cannot be read whole restores nothing: the data file and today's backup stay as they are.
void TestBackups::damagedRefused()
{
    QFETCH(QByteArray, bytes);
    Backups backups(m_dataFile, [this] { return m_today; });
    const QString damaged = backups.pathFor(FirstDay.addDays(-3));
    writeAll(damaged, bytes);
    if (QByteArray(QTest::currentDataTag()).contains("sparse"))
        growSparse(damaged, SparseTail);
    writeAll(m_dataFile, collection(5));
    QString error;
    QCOMPARE(backups.restore(damaged, &error), Backups::Restore::Unreadable);
    QVERIFY(error.contains(u"cannot be restored"_qs));
    QCOMPARE(readAll(m_dataFile), collection(5));
    QVERIFY(!backups.hasToday());
    QVERIFY(!backups.list().front().readable);
}

// Restoring keeps the collection it replaces as today's backup, so restoring that one takes it back.
void TestBackups::restoreTakenBack()
{
    Backups backups(m_dataFile, [this] { return m_today; });
    writeAll(m_dataFile, collection(1));
    QVERIFY(backups.makeDaily(nullptr));
    m_today = FirstDay.addDays(1);
    writeAll(m_dataFile, collection(2));
    QString error;
    QCOMPARE(backups.restore(backups.pathFor(FirstDay), &error), Backups::Restore::Done);
    QCOMPARE(readAll(m_dataFile), collection(1));
    QCOMPARE(readAll(backups.pathFor(m_today)), collection(2));
    QCOMPARE(QFileInfo(m_dataFile).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
    // Today's backup is read before it is replaced by the collection it takes back.
    QCOMPARE(backups.restore(backups.pathFor(m_today), &error), Backups::Restore::Done);
    QCOMPARE(readAll(m_dataFile), collection(2));
    QCOMPARE(readAll(backups.pathFor(m_today)), collection(1));
    QCOMPARE(readAll(backups.pathFor(FirstDay)), collection(1));
}

void TestBackups::futureDatesLeftAlone_data()
{
    QTest::addColumn<int>("keep");
    QTest::addColumn<QList<int>>("present"); // days from today
    QTest::addColumn<QList<int>>("kept");
    const QList<int> week {-6, -5, -4, -3, -2, -1};
    QTest::newRow("ahead by days and years")
        << 3 << week + QList<int> {2, 30, 3650} << QList<int> {3650, 30, 2, 0, -1, -2};
    QTest::newRow("tomorrow counts") << 3 << week + QList<int> {1} << QList<int> {1, 0, -1};
    QTest::newRow("today stays whatever comes after") << 1 << week + QList<int> {1, 400} << QList<int> {400, 1, 0};
    QTest::newRow("only future ones") << 2 << QList<int> {5, 6, 7} << QList<int> {7, 6, 5, 0};
}

// A clock once set ahead leaves backups dated in the future. They are listed and stay, but do not push out the
// real ones, and today's backup is never the one that goes.
void TestBackups::futureDatesLeftAlone()
{
    QFETCH(int, keep);
    QFETCH(QList<int>, present);
    QFETCH(QList<int>, kept);
    Backups backups(m_dataFile, [this] { return m_today; });
    backups.setKeep(keep);
    for (int day : present)
        writeAll(backups.pathFor(m_today.addDays(day)), collection(1));
    writeAll(m_dataFile, collection(2));
    QString error;
    QVERIFY2(backups.makeDaily(&error), qPrintable(error));
    QList<int> listed;
    for (const Backups::Entry &entry : backups.list())
        listed.append(int(m_today.daysTo(entry.date)));
    QCOMPARE(listed, kept);
    QCOMPARE(readAll(backups.pathFor(m_today)), collection(2));
}

void TestBackups::onlyTheCollectionIsCopied_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // grown to this, sparse; 0 to leave it
    QTest::addColumn<QByteArray>("copied"); // empty: no backup
    QTest::newRow("whole") << collection(3) << qint64(0) << collection(3);
    QTest::newRow("junk after it") << collection(3) + "junk" << qint64(0) << collection(3);
    QTest::newRow("sparse tail") << collection(3) << SparseTail << collection(3);
    QTest::newRow("cut short") << collection(3).chopped(3) << qint64(0) << QByteArray();
    QTest::newRow("newer version") << QByteArray::fromHex("11270000") + collection(2).mid(4) << qint64(0)
                                   << QByteArray();
    QTest::newRow("a FIFO") << QByteArray() << qint64(-1) << QByteArray();
}

// A backup holds the collection and nothing else: a data file that goes on after it (a sparse tail of gigabytes)
// costs only the collection's bytes, and one that holds no readable collection (or is no regular file) is not
// copied at all, with a message that names it.
void TestBackups::onlyTheCollectionIsCopied()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QByteArray, copied);
    Backups backups(m_dataFile, [this] { return m_today; });
    std::unique_ptr<SpecialFiles::FifoRelease> release;
    if (size < 0) {
        QVERIFY(QDir().mkpath(QFileInfo(m_dataFile).absolutePath()));
        QCOMPARE(::mkfifo(QFile::encodeName(m_dataFile).constData(), 0600), 0);
        // An open that waits for a writer gets one after a while: the test fails on its time, not hangs.
        release = std::make_unique<SpecialFiles::FifoRelease>(m_dataFile, std::chrono::seconds(3));
    } else {
        writeAll(m_dataFile, bytes);
        if (size > 0)
            growSparse(m_dataFile, size);
    }
    QElapsedTimer clock;
    clock.start();
    QString error;
    const bool made = backups.makeDaily(&error);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(made, !copied.isEmpty());
    QCOMPARE(backups.hasToday(), made);
    if (made)
        QCOMPARE(readAll(backups.pathFor(m_today)), copied);
    else
        QVERIFY2(error.contains(QDir::toNativeSeparators(m_dataFile)), qPrintable(error));
}

// A backup cancelled on the way (the program ends) leaves nothing behind, and says so.
void TestBackups::cancelLeavesNoBackup()
{
    Backups backups(m_dataFile, [this] { return m_today; });
    writeAll(m_dataFile, collection(3));
    QString error;
    QVERIFY(!backups.makeDaily(&error, [] { return true; }));
    QVERIFY(!error.isEmpty());
    QVERIFY(!backups.hasToday());
    QVERIFY(QDir(backups.folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
