#include "common/TreeBuilders.h"
#include "store/Backups.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QDir>
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
}

// A backup that cannot be read whole restores nothing: the data file and today's backup stay as they are.
void TestBackups::damagedRefused()
{
    QFETCH(QByteArray, bytes);
    Backups backups(m_dataFile, [this] { return m_today; });
    const QString damaged = backups.pathFor(FirstDay.addDays(-3));
    writeAll(damaged, bytes);
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

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
