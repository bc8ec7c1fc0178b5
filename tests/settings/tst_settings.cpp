#include "common/FileWrites.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <functional>
#include <limits>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr qint32 IntMax = std::numeric_limits<qint32>::max();
constexpr qint32 IntMin = std::numeric_limits<qint32>::min();

// Five 9-byte records: width, identifier, visible flag.
QByteArray columnBytes(const QList<int> &ids, const QList<int> &widths = {220, 220, 50, 120, 50})
{
    QByteArray bytes;
    for (int k = 0; k < 5; ++k) {
        char record[9] = {};
        qToLittleEndian<qint32>(widths[k], record);
        qToLittleEndian<qint32>(ids[k], record + 4);
        record[8] = 1;
        bytes.append(record, sizeof record);
    }
    return bytes;
}

// Every integer value as the getters give it, by its stored name.
qint32 readInteger(Settings &settings, const QString &name)
{
    const WindowBounds bounds = settings.GetWindowBounds();
    const QHash<QString, std::function<qint32()>> getters {
        {"ListStyle", [&] { return settings.GetListStyle(); }},
        {"ExplorerBar", [&] { return settings.GetExplorerBar(); }},
        {"DescriptionPaneHeight", [&] { return settings.GetDescriptionPaneHeight(); }},
        {"FoldersBarWidth", [&] { return settings.GetFoldersBarWidth(); }},
        {"SortColumn", [&] { return settings.GetSortColumn(); }},
        {"Left", [&] { return qint32(bounds.Left); }},
        {"Top", [&] { return qint32(bounds.Top); }},
        {"Width", [&] { return bounds.width(); }},
        {"Height", [&] { return bounds.height(); }},
        {"DescriptionPane", [&] { return settings.GetDescriptionPane(); }},
        {"FolderPane", [&] { return settings.GetFolderPane(); }},
        {"Sort", [&] { return settings.GetSort(); }},
        {"StatusBar", [&] { return settings.GetStatusBar(); }},
        {"Toolbar", [&] { return settings.GetToolbar(); }},
        {"ShowTip", [&] { return settings.GetShowTip(); }},
    };
    return getters.value(name)();
}

// Each setter with a value that differs from its default.
const QList<std::pair<QString, std::function<bool(Settings &)>>> &setters()
{
    static const QList<std::pair<QString, std::function<bool(Settings &)>>> list {
        {"ColumnsInfo", [](Settings &r) { return r.SetColumnsInfo(DefaultColumns()); }},
        {"DescriptionPane", [](Settings &r) { return r.SetDescriptionPane(false); }},
        {"DescriptionPaneHeight", [](Settings &r) { return r.SetDescriptionPaneHeight(-7); }},
        {"ExplorerBar", [](Settings &r) { return r.SetExplorerBar(2); }},
        {"FolderPane", [](Settings &r) { return r.SetFolderPane(false); }},
        {"FoldersBarWidth", [](Settings &r) { return r.SetFoldersBarWidth(0); }},
        {"ListStyle", [](Settings &r) { return r.SetListStyle(1); }},
        {"Left", [](Settings &r) { return r.SetWindowBounds(-3, 4, 5, 6); }},
        {"Sort", [](Settings &r) { return r.SetSort(false); }},
        {"SortColumn", [](Settings &r) { return r.SetSortColumn(99); }},
        {"StatusBar", [](Settings &r) { return r.SetStatusBar(false); }},
        {"ShowTip", [](Settings &r) { return r.SetShowTip(false); }},
        {"Toolbar", [](Settings &r) { return r.SetToolbar(false); }},
    };
    return list;
}
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void firstRunDefaults();
    void storedNumbers_data();
    void storedNumbers();
    void everySetterWritesItsKey();
    void showTipLivesInBaseKey();
    void writesDefaultColumnsAsBytes();
    void columnsRoundTrip();
    void columnWidthClampedToScreen_data();
    void columnWidthClampedToScreen();
    void columnIdentifiers_data();
    void columnIdentifiers();
    void unreadableColumns_data();
    void unreadableColumns();
    void windowBounds_data();
    void windowBounds();
    void nothingIsCached();
    void failedWrite_data();
    void failedWrite();
    void writesAgainAfterFailure();
    void settingsFileIsPrivate();
    void updateWritesOnce();

private:
    QString confPath() const { return m_dir->filePath("Orbrook Software/Quillmark.conf"); }
    std::unique_ptr<QSettings> raw() const { return std::make_unique<QSettings>(confPath(), QSettings::IniFormat); }
    // Writes the settings file by hand, as text, the way it is found on disk after an earlier run.
    void writeConf(const QByteArray &text) const
    {
        QVERIFY(QDir().mkpath(QFileInfo(confPath()).path()));
        QFile file(confPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // A settings folder that can never be created, whoever runs the test: its parent is a file.
    QString blockedFolder() const
    {
        QFile blocker(m_dir->filePath("blocker"));
        if (!blocker.open(QIODevice::WriteOnly))
            return {};
        return blocker.fileName() + "/config";
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Settings::SetStorageFolder(m_dir->path());
}

void TestSettings::firstRunDefaults()
{
    Settings settings;
    QCOMPARE(settings.GetColumnsInfo(), DefaultColumns());
    QCOMPARE(settings.GetDescriptionPane(), true);
    QCOMPARE(settings.GetDescriptionPaneHeight(), 180);
    QCOMPARE(settings.GetExplorerBar(), 1);
    QCOMPARE(settings.GetFolderPane(), true);
    QCOMPARE(settings.GetFoldersBarWidth(), 180);
    QCOMPARE(settings.GetListStyle(), 3);
    QCOMPARE(settings.GetWindowBounds(), (WindowBounds {0, 0, 640, 480}));
    QCOMPARE(settings.GetSort(), true);
    QCOMPARE(settings.GetSortColumn(), 0);
    QCOMPARE(settings.GetStatusBar(), true);
    QCOMPARE(settings.GetShowTip(), true);
    QCOMPARE(settings.GetToolbar(), true);
}

void TestSettings::storedNumbers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("expected");

    QTest::newRow("ListStyle 7") << "ListStyle" << QByteArray("7") << 3;
    QTest::newRow("ListStyle -1") << "ListStyle" << QByteArray("-1") << 3;
    QTest::newRow("ListStyle abc") << "ListStyle" << QByteArray("abc") << 3;
    QTest::newRow("ListStyle 1.5") << "ListStyle" << QByteArray("1.5") << 3;
    QTest::newRow("ListStyle 0") << "ListStyle" << QByteArray("0") << 0;
    QTest::newRow("ExplorerBar 3") << "ExplorerBar" << QByteArray("3") << 1;
    QTest::newRow("ExplorerBar -1") << "ExplorerBar" << QByteArray("-1") << 1;
    QTest::newRow("ExplorerBar 0") << "ExplorerBar" << QByteArray("0") << 0;
    QTest::newRow("ExplorerBar 2") << "ExplorerBar" << QByteArray("2") << 2;
    QTest::newRow("SortColumn 99 as stored") << "SortColumn" << QByteArray("99") << 99;
    QTest::newRow("SortColumn past 32 bits") << "SortColumn" << QByteArray("4294967296") << 0;
    QTest::newRow("DescriptionPaneHeight 0") << "DescriptionPaneHeight" << QByteArray("0") << 0;
    QTest::newRow("DescriptionPaneHeight -40") << "DescriptionPaneHeight" << QByteArray("-40") << -40;
    QTest::newRow("FoldersBarWidth -1") << "FoldersBarWidth" << QByteArray("-1") << -1;
    QTest::newRow("FoldersBarWidth empty") << "FoldersBarWidth" << QByteArray("") << 180;
    QTest::newRow("Left smallest") << "Left" << QByteArray("-2147483648") << IntMin;
    QTest::newRow("Top negative") << "Top" << QByteArray("-5") << -5;
    QTest::newRow("Width 0") << "Width" << QByteArray("0") << 0;
    QTest::newRow("Height negative") << "Height" << QByteArray("-10") << -10;
    QTest::newRow("Height text") << "Height" << QByteArray("tall") << 480;
    QTest::newRow("bool 0") << "DescriptionPane" << QByteArray("0") << 0;
    QTest::newRow("bool nonzero") << "Sort" << QByteArray("-2") << 1;
    QTest::newRow("bool as word reads as default") << "FolderPane" << QByteArray("false") << 1;
    QTest::newRow("ShowTip 0") << "ShowTip" << QByteArray("0") << 0;
}

void TestSettings::storedNumbers()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, stored);
    QFETCH(int, expected);

    const QByteArray key = name == "ShowTip" ? name.toLatin1() : "Main%20Window\\" + name.toLatin1();
    writeConf("[1.0]\n" + key + "=" + stored + "\n");
    Settings settings;
    QCOMPARE(readInteger(settings, name), expected);
}

void TestSettings::everySetterWritesItsKey()
{
    {
        Settings settings;
        for (const auto &[name, set] : setters())
            QVERIFY2(set(settings), qPrintable(name));
    }
    QStringList keys = raw()->allKeys();
    keys.sort();
    QStringList expected {"1.0/ShowTip"};
    for (const char *name :
         {"ColumnsInfo", "DescriptionPane", "DescriptionPaneHeight", "ExplorerBar", "FolderPane", "FoldersBarWidth",
          "Height", "Left", "ListStyle", "Sort", "SortColumn", "StatusBar", "Toolbar", "Top", "Width"})
        expected << QStringLiteral("1.0/Main Window/") + name;
    expected.sort();
    QCOMPARE(keys, expected);

    // Read back by a new store, from the values on disk.
    Settings settings;
    const QList<std::pair<QString, int>> values {{"DescriptionPane", 0},
                                                 {"DescriptionPaneHeight", -7},
                                                 {"ExplorerBar", 2},
                                                 {"FolderPane", 0},
                                                 {"FoldersBarWidth", 0},
                                                 {"ListStyle", 1},
                                                 {"Left", -3},
                                                 {"Top", 4},
                                                 {"Width", 5},
                                                 {"Height", 6},
                                                 {"Sort", 0},
                                                 {"SortColumn", 99},
                                                 {"StatusBar", 0},
                                                 {"ShowTip", 0},
                                                 {"Toolbar", 0}};
    for (const auto &[name, value] : values)
        QVERIFY2(readInteger(settings, name) == value, qPrintable(name));
}

void TestSettings::showTipLivesInBaseKey()
{
    writeConf("[1.0]\nMain%20Window\\ShowTip=0\n");
    Settings settings;
    QCOMPARE(settings.GetShowTip(), true);
    QVERIFY(settings.SetShowTip(false));
    QCOMPARE(raw()->value("1.0/ShowTip").toInt(), 0);
    QCOMPARE(raw()->value("1.0/Main Window/ShowTip").toInt(), 0); // left alone
    QCOMPARE(settings.GetShowTip(), false);
}

void TestSettings::writesDefaultColumnsAsBytes()
{
    Settings settings;
    QVERIFY(settings.SetColumnsInfo(DefaultColumns()));
    const QVariant stored = raw()->value("1.0/Main Window/ColumnsInfo");
    QCOMPARE(stored.metaType().id(), QMetaType::QByteArray);
    QCOMPARE(stored.toByteArray().toHex(' '),
             QByteArray("dc 00 00 00 00 00 00 00 01 dc 00 00 00 01 00 00 00 01 "
                        "32 00 00 00 02 00 00 00 01 78 00 00 00 03 00 00 00 01 "
                        "32 00 00 00 04 00 00 00 01"));

    ColumnLayout flags = DefaultColumns();
    flags[0].Visible = 0;
    flags[1].Visible = 200;
    QVERIFY(settings.SetColumnsInfo(flags));
    const QByteArray bytes = raw()->value("1.0/Main Window/ColumnsInfo").toByteArray();
    QCOMPARE(bytes.at(8), '\0');
    QCOMPARE(bytes.at(17), '\1');
}

void TestSettings::columnsRoundTrip()
{
    const ColumnLayout columns {
        {{"Rating", 0, 30}, {"Name", 1, 300}, {"Last Visit", 1, -5}, {"URL", 0, 0}, {"Visits", 1, 41}}};
    QVERIFY(Settings().SetColumnsInfo(columns));
    QCOMPARE(Settings().GetColumnsInfo(), columns);
}

void TestSettings::columnWidthClampedToScreen_data()
{
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<qint64>("expected"); // -1: the screen's width

    QTest::newRow("5000") << qint64(5000) << qint64(-1);
    QTest::newRow("largest") << qint64(IntMax) << qint64(-1);
    QTest::newRow("screen width") << qint64(-1) << qint64(-1);
    QTest::newRow("zero") << qint64(0) << qint64(0);
    QTest::newRow("negative") << qint64(-20) << qint64(-20);
}

void TestSettings::columnWidthClampedToScreen()
{
    QFETCH(qint64, stored);
    QFETCH(qint64, expected);
    QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const int screenWidth = screen->geometry().width();
    QVERIFY(screenWidth > 0 && screenWidth < 5000);

    const int width = stored == -1 ? screenWidth : int(stored);
    raw()->setValue("1.0/Main Window/ColumnsInfo", columnBytes({4, 3, 2, 1, 0}, {width, 10, 20, 30, width}));
    const ColumnLayout columns = Settings().GetColumnsInfo();
    QCOMPARE(columns[0].Caption, QString("Rating"));
    QCOMPARE(columns[0].Width, expected == -1 ? screenWidth : int(expected));
    QCOMPARE(columns[4].Width, columns[0].Width);
    QCOMPARE(columns[2].Width, 20);
}

void TestSettings::columnIdentifiers_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QStringList>("captions"); // empty: DefaultColumns

    QTest::newRow("0 0 1 2 3") << QList<int> {0, 0, 1, 2, 3} << QStringList();
    QTest::newRow("0 1 0 3 4") << QList<int> {0, 1, 0, 3, 4} << QStringList();
    QTest::newRow("1 2 2 3 4") << QList<int> {1, 2, 2, 3, 4} << QStringList();
    QTest::newRow("two unknown among the first three") << QList<int> {5, 1, -1, 3, 4} << QStringList();
    QTest::newRow("0 1 2 2 4") << QList<int> {0, 1, 2, 2, 4}
                               << QStringList {"Name", "URL", "Visits", "Visits", "Rating"};
    QTest::newRow("3 4 0 0 0") << QList<int> {3, 4, 0, 0, 0}
                               << QStringList {"Last Visit", "Rating", "Name", "Name", "Name"};
    QTest::newRow("unknown leaves the caption empty")
        << QList<int> {7, 1, 2, 3, -1} << QStringList {"", "URL", "Visits", "Last Visit", ""};
}

void TestSettings::columnIdentifiers()
{
    QFETCH(QList<int>, ids);
    QFETCH(QStringList, captions);

    raw()->setValue("1.0/Main Window/ColumnsInfo", columnBytes(ids));
    const ColumnLayout columns = Settings().GetColumnsInfo();
    if (captions.isEmpty()) {
        QCOMPARE(columns, DefaultColumns());
        return;
    }
    for (int k = 0; k < 5; ++k)
        QCOMPARE(columns[k].Caption, captions[k]);
}

void TestSettings::unreadableColumns_data()
{
    QTest::addColumn<QVariant>("stored");

    const QByteArray custom = columnBytes({4, 3, 2, 1, 0});
    QTest::newRow("45 bytes are read") << QVariant(custom);
    QTest::newRow("46 bytes") << QVariant(custom + '\0');
    QTest::newRow("44 bytes") << QVariant(custom.left(44));
    QTest::newRow("empty") << QVariant(QByteArray());
    QTest::newRow("string") << QVariant(QString::fromLatin1(custom));
    QTest::newRow("integer") << QVariant(12);
}

void TestSettings::unreadableColumns()
{
    QFETCH(QVariant, stored);
    raw()->setValue("1.0/Main Window/ColumnsInfo", stored);
    const bool readable = QTest::currentDataTag() == QByteArray("45 bytes are read");
    QCOMPARE(Settings().GetColumnsInfo()[0].Caption, readable ? QString("Rating") : QString("Name"));
}

void TestSettings::windowBounds_data()
{
    QTest::addColumn<QList<qint32>>("stored"); // left, top, width, height

    QTest::newRow("ordinary") << QList<qint32> {10, 20, 300, 200};
    QTest::newRow("negative and zero") << QList<qint32> {-1920, -8, 0, -1};
    QTest::newRow("sums past 32 bits") << QList<qint32> {IntMax, IntMin, IntMax, IntMin};
}

void TestSettings::windowBounds()
{
    QFETCH(QList<qint32>, stored);
    QVERIFY(Settings().SetWindowBounds(stored[0], stored[1], stored[2], stored[3]));
    const WindowBounds bounds = Settings().GetWindowBounds();
    QCOMPARE(bounds,
             (WindowBounds {stored[0], stored[1], qint64(stored[0]) + stored[2], qint64(stored[1]) + stored[3]}));
    QCOMPARE(bounds.width(), stored[2]);
    QCOMPARE(bounds.height(), stored[3]);
}

void TestSettings::nothingIsCached()
{
    Settings reader;
    QCOMPARE(reader.GetListStyle(), 3);
    Settings writer;
    QVERIFY(writer.SetListStyle(1));
    QCOMPARE(reader.GetListStyle(), 1);
    reader.Close();
    writer.Close();
    QVERIFY(reader.SetListStyle(2));
    QCOMPARE(Settings().GetListStyle(), 2);
}

void TestSettings::failedWrite_data()
{
    QTest::addColumn<int>("setter");
    for (int i = 0; i < setters().size(); ++i)
        QTest::newRow(qPrintable(setters()[i].first)) << i;
}

void TestSettings::failedWrite()
{
    QFETCH(int, setter);
    const QString folder = blockedFolder();
    QVERIFY(!folder.isEmpty());
    Settings::SetStorageFolder(folder);

    Settings settings;
    QVERIFY(!setters()[setter].second(settings));
    QCOMPARE(settings.errorString(), QString("Failed to set data for '%1'").arg(setters()[setter].first));
    QCOMPARE(settings.GetWindowBounds(), (WindowBounds {0, 0, 640, 480})); // getters still answer
}

void TestSettings::writesAgainAfterFailure()
{
    const QString folder = blockedFolder();
    QVERIFY(!folder.isEmpty());
    Settings::SetStorageFolder(folder);
    Settings settings;
    QVERIFY(!settings.SetWindowBounds(1, 2, 3, 4));
    QCOMPARE(settings.errorString(), QString("Failed to set data for 'Left'"));

    QVERIFY(QFile::remove(m_dir->filePath("blocker")));
    QVERIFY(settings.SetSortColumn(2));
    QVERIFY(settings.errorString().isEmpty());
    QVERIFY(QFile::exists(folder + "/Orbrook Software/Quillmark.conf"));
}

// The settings file is the user's alone, whatever the file-creation mask gave it.
void TestSettings::settingsFileIsPrivate()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file-creation mask");
#else
    const mode_t oldMask = ::umask(0);
    Settings settings;
    const bool written = settings.SetSortColumn(2);
    settings.Close();
    ::umask(oldMask);
    QVERIFY(written);
    QCOMPARE(QFileInfo(confPath()).permissions() & 0x0077, QFileDevice::Permissions());
#endif
}

void TestSettings::updateWritesOnce()
{
    // The same values, one write each and all in one write, give the same file.
    for (const auto &[name, set] : setters()) {
        Settings alone;
        QVERIFY(set(alone));
    }
    QFile single(confPath());
    QVERIFY(single.open(QIODevice::ReadOnly));
    const QByteArray oneByOne = single.readAll();
    single.close();
    QVERIFY(QFile::remove(confPath()));

    FileWrites written(confPath());
    QVERIFY(written.isValid());
    Settings settings;
    settings.BeginUpdate();
    for (const auto &[name, set] : setters())
        QVERIFY(set(settings));
    QCOMPARE(written.count(), 0);
    QVERIFY(settings.EndUpdate());
    QCOMPARE(written.count(), 1);
    settings.Close();
    QCOMPARE(written.count(), 1);
    QFile together(confPath());
    QVERIFY(together.open(QIODevice::ReadOnly));
    QCOMPARE(together.readAll(), oneByOne);

    // A failed write names the first value of the update.
    Settings::SetStorageFolder(blockedFolder());
    Settings blocked;
    blocked.BeginUpdate();
    QVERIFY(blocked.SetSort(true) && blocked.SetToolbar(true));
    QVERIFY(!blocked.EndUpdate());
    QCOMPARE(blocked.errorString(), QString("Failed to set data for 'Sort'"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
