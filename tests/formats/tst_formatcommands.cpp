// The import and export commands around the readers and writers: atomic files, full disks,
// cancellation, the texts for the user, and dates across changes of the clock (run in a zone with
// summer time).
#include "FormatFixtures.h"
#include "common/FailDevice.h"

#include "formats/BookmarkHtmlWriter.h"
#include "formats/FormatCommands.h"
#include "formats/OperaHotlistWriter.h"
#include "formats/PageWriter.h"
#include "formats/XbelWriter.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace FormatFixtures;

Q_DECLARE_METATYPE(BookmarkFormat)

namespace {

std::unique_ptr<LinkItem> manyLinks(int count)
{
    auto folder = LinkItem::MakeFolder("Many");
    std::vector<std::unique_ptr<LinkItem>> links;
    for (int i = 0; i < count; ++i)
        links.push_back(LinkItem::MakeLink("link " + std::to_string(i), "https://example.org/" + std::to_string(i)));
    folder->Children.InsertSortedBatch(std::move(links));
    return folder;
}

} // namespace

class TestFormatCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void fileFormats_data();
    void exportCancelledKeepsOldFile_data();
    void exportCancelledKeepsOldFile();
    void exportIntoMissingFolder_data();
    void exportIntoMissingFolder();
    void fullDisk_data();
    void fullDisk();
    void importCancelledKeepsWhatWasRead_data();
    void importCancelledKeepsWhatWasRead();
    void importMissingFile_data();
    void importMissingFile();
    void nativeImportKeepsTargetFields();
    void texts();
    void formatTable();
    void datesAcrossClockChanges_data();
    void datesAcrossClockChanges();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFormatCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFormatCommands::fileFormats_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::newRow("html") << BookmarkFormat::BrowserHtml;
    QTest::newRow("opera") << BookmarkFormat::OperaHotlist;
    QTest::newRow("xbel") << BookmarkFormat::Xbel;
    QTest::newRow("page") << BookmarkFormat::Page;
}

void TestFormatCommands::exportCancelledKeepsOldFile_data()
{
    fileFormats_data();
}

void TestFormatCommands::exportCancelledKeepsOldFile()
{
    QFETCH(BookmarkFormat, format);
    const QString path = m_dir->filePath(QStringLiteral("out"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old contents") == 12);
    old.close();
    const auto folder = manyLinks(5000);
    qint64 calls = 0;
    const ExportReport report = FormatCommands::exportTo(format, path, *folder, [&](int folders, int links) {
        ++calls;
        return calls < 3 && folders == 0 && links == 512 * calls;
    });
    QCOMPARE(report.status, ExportReport::Cancelled);
    QCOMPARE(calls, qint64(3));
    QCOMPARE(readFile(path), QByteArray("old contents"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("out")});
}

void TestFormatCommands::exportIntoMissingFolder_data()
{
    fileFormats_data();
    QTest::newRow("qmf") << BookmarkFormat::Native;
}

void TestFormatCommands::exportIntoMissingFolder()
{
    QFETCH(BookmarkFormat, format);
    const QString path = m_dir->filePath(QStringLiteral("missing/out"));
    const ExportReport report = FormatCommands::exportTo(format, path, *richCollection());
    QCOMPARE(report.status, ExportReport::Failed);
    QVERIFY2(report.errorString().startsWith(QStringLiteral("Cannot create file ")), qPrintable(report.errorString()));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("missing"))));
}

void TestFormatCommands::fullDisk_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<qint64>("capacity");
    for (const qint64 capacity : {0, 100, 5000}) {
        QTest::addRow("html, %lld bytes", capacity) << 0 << capacity;
        QTest::addRow("opera, %lld bytes", capacity) << 1 << capacity;
        QTest::addRow("xbel, %lld bytes", capacity) << 2 << capacity;
        QTest::addRow("page, %lld bytes", capacity) << 3 << capacity;
    }
}

// A device that stops taking bytes fails the export; it never passes for a written file.
void TestFormatCommands::fullDisk()
{
    QFETCH(int, writer);
    QFETCH(qint64, capacity);
    const auto folder = manyLinks(200);
    FailDevice device(capacity);
    QVERIFY(device.open(QIODevice::WriteOnly));
    ExportReport report;
    switch (writer) {
    case 0:
        report = BookmarkHtmlWriter::write(device, *folder);
        break;
    case 1:
        report = OperaHotlistWriter::write(device, *folder);
        break;
    case 2:
        report = XbelWriter::write(device, *folder);
        break;
    default:
        report = PageWriter::write(device, *folder, QDateTime::currentDateTime());
        break;
    }
    QCOMPARE(report.status, ExportReport::Failed);
    QVERIFY(!report.errorString().isEmpty());
}

void TestFormatCommands::importCancelledKeepsWhatWasRead_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::newRow("qmf") << BookmarkFormat::Native;
    QTest::newRow("html") << BookmarkFormat::BrowserHtml;
    QTest::newRow("opera") << BookmarkFormat::OperaHotlist;
    QTest::newRow("xbel") << BookmarkFormat::Xbel;
    QTest::newRow("favorites") << BookmarkFormat::Favorites;
}

void TestFormatCommands::importCancelledKeepsWhatWasRead()
{
    QFETCH(BookmarkFormat, format);
    const int count = format == BookmarkFormat::Favorites ? 1200 : 20000;
    const QString path = m_dir->filePath(QStringLiteral("in"));
    if (format == BookmarkFormat::Favorites) {
        // Written here directly: the export syncs every file to the disk, which takes its time.
        QVERIFY(QDir().mkpath(path));
        for (int i = 0; i < count; ++i) {
            QFile file(path + QStringLiteral("/link %1.url").arg(i));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[InternetShortcut]\nURL=u\n") > 0);
        }
    } else {
        QVERIFY(FormatCommands::exportTo(format, path, *manyLinks(count)).ok());
    }
    LinkItem target;
    int calls = 0;
    int lastLinks = 0;
    const ImportReport report = FormatCommands::importFrom(format, path, target, [&](int folders, int links) {
        lastLinks = links;
        return folders == 0 && ++calls < 2;
    });
    QCOMPARE(report.status, ImportReport::Cancelled);
    QVERIFY(report.links > 0 && report.links < count);
    QCOMPARE(lastLinks, report.links);
    checkSound(target, 0, report.links);
    QVERIFY(!FormatCommands::importProblems(path, report).isEmpty());
}

void TestFormatCommands::importMissingFile_data()
{
    importCancelledKeepsWhatWasRead_data();
}

void TestFormatCommands::importMissingFile()
{
    QFETCH(BookmarkFormat, format);
    LinkItem target;
    const QString path = m_dir->filePath(QStringLiteral("missing"));
    const ImportReport report = FormatCommands::importFrom(format, path, target);
    QCOMPARE(report.status, ImportReport::Unreadable);
    QVERIFY(report.errorString().startsWith(QStringLiteral("Cannot open")));
    QVERIFY(FormatCommands::importProblems(path, report).contains(QDir::toNativeSeparators(path)));
}

// The stored top record does not replace the target's own fields; its children are added.
void TestFormatCommands::nativeImportKeepsTargetFields()
{
    const QString path = m_dir->filePath(QStringLiteral("in.qmf"));
    auto stored = richCollection();
    stored->Visits = 77;
    QVERIFY(FormatCommands::exportTo(BookmarkFormat::Native, path, *stored).ok());
    auto target = LinkItem::MakeFolder("Mine");
    target->Rating = 3;
    QVERIFY(FormatCommands::importFrom(BookmarkFormat::Native, path, *target).ok());
    QCOMPARE(target->Name, std::string("Mine"));
    QCOMPARE(target->Visits, 0);
    QCOMPARE(target->Rating, std::uint8_t(3));
    compareTrees(*stored, *target, {});
}

void TestFormatCommands::texts()
{
    ImportReport report;
    report.folders = 2;
    report.links = 12;
    QCOMPARE(FormatCommands::importSummary(report), QStringLiteral("2 folders and 12 links imported"));
    QCOMPARE(FormatCommands::importProblems(QStringLiteral("x.html"), report), QString());
    report.damage(QStringLiteral("3 damaged tags were read as far as they go."));
    report.damage(QStringLiteral("3 damaged tags were read as far as they go."));
    QCOMPARE(report.problems.size(), 1);
    const QString message = FormatCommands::importProblems(QStringLiteral("x.html"), report);
    QVERIFY(message.contains(QStringLiteral("2 folders and 12 links were imported")));
    QVERIFY(message.contains(QStringLiteral("3 damaged tags")));
    for (int i = 0; i < 50; ++i)
        report.damage(QString::number(i));
    QVERIFY(report.problems.size() <= 10);
}

void TestFormatCommands::formatTable()
{
    QStringList names;
    for (const BookmarkFormatInfo &info : BookmarkFormatInfo::all()) {
        names << info.toolName;
        QCOMPARE(BookmarkFormatInfo::byToolName(info.toolName), &info);
        QCOMPARE(&BookmarkFormatInfo::of(info.format), &info);
        QVERIFY(info.canExport());
        QCOMPARE(info.isDirectory, info.filter.isEmpty());
        // Every file format that is imported or exported has its reader or writer.
        QCOMPARE(info.canImport() && !info.isDirectory, info.read != nullptr);
        QCOMPARE(info.isDirectory || info.format == BookmarkFormat::Native, info.write == nullptr);
    }
    // In the menus' order.
    QCOMPARE(names, QStringList({"qmf", "favorites", "html", "opera", "xbel", "page"}));
    QVERIFY(!BookmarkFormatInfo::of(BookmarkFormat::Page).canImport());
    QCOMPARE(BookmarkFormatInfo::byToolName(QStringLiteral("HTML")), nullptr);
    QCOMPARE(BookmarkFormatInfo::of(BookmarkFormat::BrowserHtml).importMenuText,
             QStringLiteral("&Mozilla Bookmarks..."));
}

void TestFormatCommands::datesAcrossClockChanges_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("hours");
    // Europe/Berlin: summer time begins 2021-03-28 02:00 and ends 2021-10-31 03:00.
    QTest::newRow("spring") << QDateTime(QDate(2021, 3, 27), QTime(12, 0), Qt::UTC) << 48;
    QTest::newRow("autumn") << QDateTime(QDate(2021, 10, 30), QTime(12, 0), Qt::UTC) << 48;
    // Steps of 901 seconds from here land on the very second of the change (01:00 UTC).
    QTest::newRow("spring, the second of the change") << QDateTime(QDate(2021, 3, 28), QTime(0, 29, 58), Qt::UTC) << 2;
    QTest::newRow("autumn, the second of the change") << QDateTime(QDate(2021, 10, 31), QTime(0, 29, 58), Qt::UTC) << 2;
    QTest::newRow("ordinary days") << QDateTime(QDate(2024, 7, 1), QTime(0, 0), Qt::UTC) << 48;
    QTest::newRow("before 1970") << QDateTime(QDate(1950, 3, 1), QTime(0, 0), Qt::UTC) << 24;
    QTest::newRow("before 1900") << QDateTime(QDate(1899, 12, 29), QTime(0, 0), Qt::UTC) << 72;
}

// The day cache gives what the QDateTime pair gives, both ways, every quarter hour and second around changes of
// the clock (in the hour that comes twice in autumn both give the same one of its two instants).
void TestFormatCommands::datesAcrossClockChanges()
{
    QFETCH(QDateTime, start);
    QFETCH(int, hours);
    DateConverter dates;
    for (qint64 seconds = start.toSecsSinceEpoch(); seconds < start.toSecsSinceEpoch() + hours * 3600;
         seconds += 900 + 1) {
        const double expected = DateConverter::fromDateTime(QDateTime::fromSecsSinceEpoch(seconds));
        const double ole = dates.toOleDate(seconds);
        QVERIFY2(std::abs(ole - expected) < 1e-9, qPrintable(QString::number(seconds)));
        const qint64 back = qRound64(DateConverter::toDateTime(ole).toMSecsSinceEpoch() / 1000.0);
        QCOMPARE(dates.toEpochSeconds(ole), back);
        const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds);
        if (local.offsetFromUtc() == local.addSecs(-3600).offsetFromUtc()
            && local.offsetFromUtc() == local.addSecs(3600).offsetFromUtc())
            QCOMPARE(back, seconds);
    }
    QCOMPARE(dates.toOleDate(0), 0.0);
    QCOMPARE(dates.toEpochSeconds(0.0), qint64(0));
    QCOMPARE(dates.toEpochSeconds(std::numeric_limits<double>::quiet_NaN()), qint64(0));
    QCOMPARE(dates.toEpochSeconds(1e300), qint64(0));
}

QTEST_GUILESS_MAIN(TestFormatCommands)
#include "tst_formatcommands.moc"
