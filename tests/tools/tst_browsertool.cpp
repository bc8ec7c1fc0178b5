// quillmark-tool's profiles and import --from: the profiles of a home listed with their counts, and one
// imported as a folder of its own; damaged profiles and a running Quillmark change nothing.
#include "common/SpecialFiles.h"
#include "platform/SingleInstance.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString ToolPath = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark-tool");
const QString Data = QStringLiteral(QUILLMARK_TEST_DATA "/browsers/");

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestBrowserTool : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void profiles_data();
    void profiles();
    void import_data();
    void import();
    void importWhileRunning();
    void badArguments_data();
    void badArguments();

private:
    Result run(const QStringList &arguments);
    QString path(const QString &name) const { return m_home->filePath(name); }
    bool copy(const QString &from, const QString &to);

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestBrowserTool::init()
{
    // A home with a Firefox profile, a damaged one, and a Chromium profile.
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QDir().mkpath(path(QStringLiteral(".mozilla/firefox")));
    QFile ini(path(QStringLiteral(".mozilla/firefox/profiles.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Profile0]\nName=default-release\nIsRelative=1\nPath=a1.default-release\n\n"
              "[Profile1]\nName=broken\nIsRelative=1\nPath=b2.broken\n");
    ini.close();
    QVERIFY(copy(Data + QStringLiteral("wal/places.sqlite"),
                 QStringLiteral(".mozilla/firefox/a1.default-release/places.sqlite")));
    QVERIFY(copy(Data + QStringLiteral("wal/places.sqlite-wal"),
                 QStringLiteral(".mozilla/firefox/a1.default-release/places.sqlite-wal")));
    QVERIFY(copy(Data + QStringLiteral("damaged/places.sqlite"),
                 QStringLiteral(".mozilla/firefox/b2.broken/places.sqlite")));
    QVERIFY(copy(Data + QStringLiteral("chromium/Bookmarks"), QStringLiteral(".config/chromium/Default/Bookmarks")));
    QVERIFY(copy(Data + QStringLiteral("chromium/History"), QStringLiteral(".config/chromium/Default/History")));
}

bool TestBrowserTool::copy(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(path(to)).path());
    return QFile::copy(from, path(to));
}

Result TestBrowserTool::run(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home->path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data-home")));
    process.setProcessEnvironment(environment);
    process.start(ToolPath, arguments);
    Result result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void TestBrowserTool::profiles_data()
{
    QTest::addColumn<bool>("traps");
    QTest::addColumn<QStringList>("expected");
    const QStringList plain {"Firefox default-release .mozilla/firefox/a1.default-release 7/11 ok",
                             "Firefox broken .mozilla/firefox/b2.broken 0/0 error",
                             "Chromium Default .config/chromium/Default 5/5 ok"};
    QTest::newRow("plain") << false << plain;
    // A Firefox log that is a FIFO makes its profile damaged; a Chromium History log that leads to /dev/zero
    // costs the visit counts only. Neither holds up the listing.
    QStringList traps = plain;
    traps.insert(2, "Firefox trap .mozilla/firefox/c3.trap 0/0 error");
    traps << "Chromium Profile 1 .config/chromium/Profile 1 5/5 ok";
    QTest::newRow("traps") << true << traps;
}

void TestBrowserTool::profiles()
{
    QFETCH(bool, traps);
    QFETCH(QStringList, expected);
    QString fifo;
    if (traps) {
        QFile ini(path(QStringLiteral(".mozilla/firefox/profiles.ini")));
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("\n[Profile2]\nName=trap\nIsRelative=1\nPath=c3.trap\n");
        ini.close();
        QVERIFY(copy(Data + QStringLiteral("places.sqlite"), QStringLiteral(".mozilla/firefox/c3.trap/places.sqlite")));
        fifo = path(QStringLiteral(".mozilla/firefox/c3.trap/places.sqlite-wal"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(
            copy(Data + QStringLiteral("chromium/Bookmarks"), QStringLiteral(".config/chromium/Profile 1/Bookmarks")));
        QVERIFY(copy(Data + QStringLiteral("chromium/History"), QStringLiteral(".config/chromium/Profile 1/History")));
        QVERIFY(
            QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral(".config/chromium/Profile 1/History-wal"))));
    }
    // A tool caught by the FIFO is let go after a while, and one copying /dev/zero cannot fill the disk.
    SpecialFiles::FifoRelease release(fifo, std::chrono::milliseconds(30000));
    const SpecialFiles::FileSizeLimit limit(64 * 1024 * 1024);
    QElapsedTimer clock;
    clock.start();
    const Result result = run({QStringLiteral("profiles")});
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(result.exitCode, 0);
    const QJsonArray list = QJsonDocument::fromJson(result.out).array();
    QStringList lines;
    for (const QJsonValue &value : list) {
        const QJsonObject profile = value.toObject();
        lines << QStringLiteral("%1 %2 %3 %4/%5 %6")
                     .arg(profile[QStringLiteral("browser")].toString(), profile[QStringLiteral("profile")].toString(),
                          QDir(m_home->path()).relativeFilePath(profile[QStringLiteral("path")].toString()))
                     .arg(profile[QStringLiteral("folders")].toInt())
                     .arg(profile[QStringLiteral("links")].toInt())
                     .arg(profile.contains(QStringLiteral("error")) ? u"error"_qs : u"ok"_qs);
    }
    QCOMPARE(lines, expected);
}

void TestBrowserTool::import_data()
{
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("top"); // the new folder and its entries; empty: nothing imported
    QTest::newRow("firefox") << "firefox"
                             << ".mozilla/firefox/a1.default-release" << 0
                             << QStringList {"Firefox (default-release)", "Bookmarks Menu", "Bookmarks Toolbar",
                                             "Mobile Bookmarks", "Other Bookmarks"};
    QTest::newRow("chromium") << "chromium"
                              << ".config/chromium/Default" << 0
                              << QStringList {"Chromium (Default)", "Bookmarks bar", "Mobile bookmarks",
                                              "Other bookmarks"};
    QTest::newRow("damaged") << "firefox"
                             << ".mozilla/firefox/b2.broken" << 3 << QStringList();
    QTest::newRow("no profile there") << "chromium"
                                      << "nowhere" << 3 << QStringList();
}

void TestBrowserTool::import()
{
    QFETCH(QString, browser);
    QFETCH(QString, profile);
    QFETCH(int, exitCode);
    QFETCH(QStringList, top);
    const QString dataFile = path(QStringLiteral("data.qmf"));
    auto existing = LinkItem::MakeFolder("Quillmark");
    existing->Children.InsertSorted(LinkItem::MakeLink("Kept", "https://kept.example/"));
    QString error;
    QVERIFY(NativeFile::saveAtomically(dataFile, *existing, &error));
    const QByteArray before = readAll(dataFile);

    const Result result = run({QStringLiteral("import"), QStringLiteral("--from"), browser, QStringLiteral("--profile"),
                               path(profile), dataFile});
    QCOMPARE(result.exitCode, exitCode);
    if (top.isEmpty()) {
        QCOMPARE(readAll(dataFile), before);
        QVERIFY2(result.err.contains("Nothing was imported"), result.err.constData());
        return;
    }
    LinkItem root;
    QFile file(dataFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(NativeFile::read(file, root, true).ok());
    QCOMPARE(root.Children.Count(), 2);
    const LinkItem *folder = root.Children.Get(0);
    QStringList got {QString::fromStdString(folder->Name.str())};
    for (const auto &child : folder->Children)
        got << QString::fromStdString(child->Name.str());
    QCOMPARE(got, top);
    QCOMPARE(root.Children.Get(1)->Name.str(), std::string("Kept"));
}

void TestBrowserTool::importWhileRunning()
{
    const QString dataFile = path(QStringLiteral("data-home/Quillmark/Quillmark.dat"));
    QDir().mkpath(QFileInfo(dataFile).path());
    QString error;
    QVERIFY(NativeFile::saveAtomically(dataFile, *LinkItem::MakeFolder("Quillmark"), &error));
    const QByteArray before = readAll(dataFile);
    const QStringList arguments {QStringLiteral("import"),
                                 QStringLiteral("--from"),
                                 QStringLiteral("chromium"),
                                 QStringLiteral("--profile"),
                                 path(QStringLiteral(".config/chromium/Default")),
                                 dataFile};
    {
        SingleInstance running;
        QCOMPARE(running.start(), SingleInstance::Role::Primary);
        const Result refused = run(arguments);
        QCOMPARE(refused.exitCode, 4);
        QCOMPARE(readAll(dataFile), before);
    }
    QCOMPARE(run(arguments).exitCode, 0);
    QVERIFY(readAll(dataFile) != before);
}

void TestBrowserTool::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("unknown browser") << QStringList {"import", "--from", "netscape", "--profile", "p", "d"}
                                     << QByteArray("--from takes firefox or chromium");
    QTest::newRow("no profile") << QStringList {"import", "--from", "firefox", "d"}
                                << QByteArray("import --from needs --profile DIR");
    QTest::newRow("two files") << QStringList {"import", "--from", "firefox", "--profile", "p", "a", "b"}
                               << QByteArray("import --from takes one file, DATAFILE");
    QTest::newRow("with a format") << QStringList {"import",  "--format",  "html", "--from",
                                                   "firefox", "--profile", "p",    "d"}
                                   << QByteArray("import --from takes neither --format nor --folder");
    QTest::newRow("profiles with a file") << QStringList {"profiles", "x"} << QByteArray("profiles takes no files");
}

void TestBrowserTool::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(message), result.err.constData());
}

QTEST_GUILESS_MAIN(TestBrowserTool)
#include "tst_browsertool.moc"
