// quillmark-tool sync against a real WebDAV server: two data files syncing through it, a backup
// before a sync changes a data file, what was taken and given printed, and the refusals; and a tool
// asked to end during a sync, which frees the server's lock on its way out.
#include "sync/DavFixtures.h"

#include "platform/SingleInstance.h"
#include "store/NativeFile.h"

#include <QRegularExpression>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <csignal>

#include <signal.h>

namespace {

const QString ToolPath = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark-tool");

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class TestToolSync : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void twoDataFiles();
    void refusals_data();
    void refusals();
    void endedDuringSync_data();
    void endedDuringSync();
    void sameAsTheWindow_data();
    void sameAsTheWindow();

private:
    Result run(const QStringList &arguments);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestToolSync::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

Result TestToolSync::run(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_qs, m_dir->filePath(u"data-home"_qs));
    environment.insert(u"SYNC_PASSWORD"_qs, u"secret"_qs);
    process.setProcessEnvironment(environment);
    process.start(ToolPath, arguments);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

void TestToolSync::twoDataFiles()
{
    RcloneServer server;
    if (server.url().isEmpty())
        QSKIP("rclone is not installed (Debian's rclone package; scripts/setup installs it)");
    const QString a = m_dir->filePath(u"a/Quillmark.dat"_qs);
    const QString b = m_dir->filePath(u"b/Quillmark.dat"_qs);
    QVERIFY(QDir().mkpath(m_dir->filePath(u"a"_qs)) && QDir().mkpath(m_dir->filePath(u"b"_qs)));
    Computer first(a);
    first.root.Children.InsertSorted(LinkItem::MakeFolder("Work"));
    first.find(u"/Work"_qs)->Children.InsertSorted(LinkItem::MakeLink("a", "https://a.example/"));
    QString error;
    QVERIFY2(NativeFile::saveAtomically(a, first.root, &error), qPrintable(error));
    const QStringList sync = {u"sync"_qs,   u"--url"_qs, server.url().toString(), u"--file"_qs,       u"shared.xbel"_qs,
                              u"--user"_qs, u"me"_qs,    u"--password-env"_qs,    u"SYNC_PASSWORD"_qs};

    Result result = run(sync + QStringList(a));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(result.out, u"Gave to the server:\n  Added \u201CWork\u201D\n"_qs);
    QCOMPARE(result.err, QString()); // the password stays on this computer: no warning
    QVERIFY(QFile::exists(server.path(u"shared.xbel"_qs)));

    result = run(sync + QStringList(b));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(result.out, u"Took from the server:\n  Added \u201CWork\u201D\n"_qs);
    Computer second(b);
    QFile file(b);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(NativeFile::read(file, second.root, true).ok());
    file.close();
    QCOMPARE(second.text(), u"/Work; /Work/a <https://a.example/>"_qs);
    QVERIFY(!QDir(m_dir->filePath(u"b/backups"_qs)).exists()); // there was no data file to keep

    // A change on A reaches B, whose data file is kept as a backup first.
    first.find(u"/Work"_qs)->Children.InsertSorted(LinkItem::MakeLink("b", "https://b.example/"));
    QVERIFY(NativeFile::saveAtomically(a, first.root, &error));
    QCOMPARE(run(sync + QStringList(a)).out, u"Gave to the server:\n  Added \u201Cb\u201D\n"_qs);
    const QByteArray beforeB = [&] {
        QFile f(b);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    result = run(sync + QStringList(b));
    QCOMPARE(result.out, u"Took from the server:\n  Added \u201Cb\u201D\n"_qs);
    const QStringList backups = QDir(m_dir->filePath(u"b/backups"_qs)).entryList(QDir::Files);
    QCOMPARE(backups.size(), 1);
    QFile backup(m_dir->filePath(u"b/backups/"_qs) + backups.first());
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), beforeB);
    QCOMPARE(run(sync + QStringList(b)).out, u"Nothing to take or give.\n"_qs);

    // The user's own data file, not there yet, is created in a private folder, as an import creates it.
    const QString own = m_dir->filePath(u"data-home/Quillmark/Quillmark.dat"_qs);
    result = run(sync + QStringList(own));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(result.out, u"Took from the server:\n  Added \u201CWork\u201D\n"_qs);
    QCOMPARE(QFileInfo(QFileInfo(own).absolutePath()).permissions()
                 & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestToolSync::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString dataFile = u"data-home/Quillmark/Quillmark.dat"_qs; // below the temporary folder
    QTest::newRow("while Quillmark holds the data file")
        << QStringList {u"sync"_qs, u"--url"_qs, u"http://127.0.0.1:9/"_qs, u"--file"_qs, u"b.xbel"_qs, dataFile}
        << true << 4 << u"Quillmark is running"_qs;
    QTest::newRow("no URL") << QStringList {u"sync"_qs, u"--file"_qs, u"b.xbel"_qs, dataFile} << false << 2
                            << u"sync needs --url URL and --file NAME"_qs;
    QTest::newRow("a server that is not there")
        << QStringList {u"sync"_qs, u"--url"_qs, u"http://127.0.0.1:9/"_qs, u"--file"_qs, u"b.xbel"_qs, dataFile}
        << false << 2 << u"refused the connection"_qs;
    QTest::newRow("a folder that is not there") << QStringList {
        u"sync"_qs,    u"--url"_qs, u"http://127.0.0.1:9/"_qs, u"--file"_qs, u"b.xbel"_qs, u"--folder"_qs,
        u"Nowhere"_qs, dataFile} << false << 2 << u"has no folder \"Nowhere\""_qs;
    QTest::newRow("a file name out of the folder")
        << QStringList {u"sync"_qs, u"--url"_qs, u"http://127.0.0.1:9/"_qs, u"--file"_qs, u"../b.xbel"_qs, dataFile}
        << false << 2 << u"must name a file in the server folder"_qs;
    QTest::newRow("a password in clear text")
        << QStringList {u"sync"_qs,   u"--url"_qs, u"http://dav.example.org/"_qs, u"--file"_qs,        u"/b.xbel"_qs,
                        u"--user"_qs, u"me"_qs,    u"--password-env"_qs,          u"SYNC_PASSWORD"_qs, dataFile}
        << false << 2 << u"Warning: the password goes to dav.example.org in clear text"_qs;
}

void TestToolSync::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, running);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    arguments.last() = m_dir->filePath(arguments.last());
    QVERIFY(QDir().mkpath(QFileInfo(arguments.last()).absolutePath()));
    QString error;
    QVERIFY(NativeFile::saveAtomically(arguments.last(), *LinkItem::MakeFolder("Quillmark"), &error));
    SingleInstance instance;
    if (running)
        QCOMPARE(instance.start(), SingleInstance::Role::Primary);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
}

void TestToolSync::endedDuringSync_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

// A server that holds the answer for the file open: the tool, told to end, ends within seconds and the
// lock it took is gone from the server.
void TestToolSync::endedDuringSync()
{
    QFETCH(int, signal);
    bool lockPresent = false;
    ToldServer server([&](const QByteArray &method, const QByteArray &path) -> ToldServer::Answer {
        const bool lock = path.endsWith(".lock");
        if (method == "PROPFIND")
            return ToldServer::status(207, "Multi-Status", "Content-Type: application/xml\r\n",
                                      "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"/>");
        if (method == "GET" && lock)
            return lockPresent ? ToldServer::status(200, "OK", {}, "held") : ToldServer::status(404, "Not Found");
        if (method == "GET")
            return {{}, true, false}; // holds the answer open
        if (method == "PUT" && lock)
            lockPresent = true;
        if (method == "DELETE" && lock)
            lockPresent = false;
        return ToldServer::status(method == "PUT" ? 201 : 204, "Done");
    });
    QVERIFY(server.isListening());
    const QString dataFile = m_dir->filePath(u"Quillmark.dat"_qs);
    QString error;
    QVERIFY(NativeFile::saveAtomically(dataFile, *LinkItem::MakeFolder("Quillmark"), &error));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_qs, m_dir->filePath(u"data-home"_qs));
    process.setProcessEnvironment(environment);
    process.start(ToolPath,
                  {u"sync"_qs, u"--url"_qs, server.url().toString(), u"--file"_qs, u"bookmarks.xbel"_qs, dataFile});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(u"GET /dav/bookmarks.xbel"_qs), 20000);
    QVERIFY(lockPresent);
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
    // The server must keep answering while the tool ends, so the event loop runs here.
    QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 15000);
    QVERIFY2(sinceSignal.elapsed() < 10000, qPrintable(QString::number(sinceSignal.elapsed())));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY2(!lockPresent, qPrintable(server.requests.join(u", ")));
    const QString message = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(message.contains(u"cancelled"_qs), qPrintable(message));
}

void TestToolSync::sameAsTheWindow_data()
{
    // What the browsers' extension does to the shared file after it dropped our fields (desc, info).
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    const QString added = u"<bookmark href=\"https://new.example/\" id=\"900\">\n<title>New</title>\n</bookmark>\n"_qs;
    QTest::newRow("only our fields dropped") << QString() << QString();
    QTest::newRow("renamed there") << u"<title>c</title>"_qs << u"<title>c renamed</title>"_qs;
    QTest::newRow("added first in a folder") << u"(<title>Work</title>\n)"_qs << u"\\1"_qs + added;
    QTest::newRow("added first at the top") << u"(-->\n\n)"_qs << u"\\1"_qs + added;
    QTest::newRow("deleted there") << u" *<bookmark href=\"https://d.example/\"[^>]*>\n.*\n *</bookmark>\n"_qs
                                   << QString();
    QTest::newRow("new URL there") << u"https://c.example/"_qs << u"https://c.example/new"_qs;
}

// The tool puts what a sync takes into the collection as the window does, item by item: the data file it
// writes is the one the window's way gives, byte for byte, and what the sync did not change keeps its fields
// and its place.
void TestToolSync::sameAsTheWindow()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    RcloneServer server;
    if (server.url().isEmpty())
        QSKIP("rclone is not installed (Debian's rclone package; scripts/setup installs it)");
    const QString a = m_dir->filePath(u"a.dat"_qs);
    const QString b = m_dir->filePath(u"b.dat"_qs);
    LinkItem root;
    LinkItem *work = root.Children.Get(root.Children.InsertSorted(LinkItem::MakeFolder("Work")));
    LinkItem *kept = work->Children.Get(work->Children.InsertSorted(LinkItem::MakeLink("b", "https://b.example/")));
    kept->Visits = 3;
    kept->Rating = 4;
    kept->Description = "mine";
    kept->LastVisit = 45000.123456789; // not a whole second
    work->Children.InsertSorted(LinkItem::MakeLink("c", "https://c.example/"));
    LinkItem *other = root.Children.Get(root.Children.InsertSorted(LinkItem::MakeFolder("Other")));
    other->Children.InsertSorted(LinkItem::MakeLink("d", "https://d.example/"));
    // From an older machine: Windows-1252, which the shared file holds as UTF-8.
    LinkItem *older
        = other->Children.Get(other->Children.InsertSorted(LinkItem::MakeLink("Caf\xe9", "https://f.example/")));
    older->Description = "na\xefve";
    root.Children.Get(root.Children.InsertSorted(LinkItem::MakeLink("e", "https://e.example/")))->Visits = 7;
    QString error;
    QVERIFY2(NativeFile::saveAtomically(a, root, &error), qPrintable(error));
    const QStringList sync = {u"sync"_qs, u"--url"_qs, server.url().toString(), u"--file"_qs, u"shared.xbel"_qs};
    Result result = run(sync + QStringList(a));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));

    // A second computer with the same collection, synced as far as A.
    QVERIFY(QFile::copy(a, b));
    SyncRun::Settings settings;
    settings.folder = server.url();
    settings.fileName = u"shared.xbel"_qs;
    const QString stateOfB = SyncRun(settings, b, {}).statePath();
    QVERIFY(QDir().mkpath(QFileInfo(stateOfB).absolutePath()));
    QVERIFY(QFile::copy(SyncRun(settings, a, {}).statePath(), stateOfB));

    QFile shared(server.path(u"shared.xbel"_qs));
    QVERIFY(shared.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(shared.readAll())
                       .remove(QRegularExpression(QStringLiteral(" *<(desc|info)>.*</(desc|info)>\n")));
    shared.close();
    if (!pattern.isEmpty()) {
        const QString before = text;
        text.replace(QRegularExpression(pattern), replacement);
        QVERIFY(text != before);
    }
    DavConnection browser(server.url(), {}, {});
    QVERIFY(awaited(browser.put(settings.fileName, text.toUtf8())).ok());

    result = run(sync + QStringList(a));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    Computer window(b);
    window.fileName = settings.fileName;
    QFile fileOfB(b);
    QVERIFY(fileOfB.open(QIODevice::ReadOnly));
    QVERIFY(NativeFile::read(fileOfB, window.root, true).ok());
    fileOfB.close();
    const LinkItem *keptInB = window.find(u"/Work/b"_qs);
    const SyncRun::Outcome outcome = window.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(window.find(u"/Work/b"_qs), keptInB);
    QVERIFY2(NativeFile::saveAtomically(b, window.root, &error), qPrintable(error));

    const auto bytes = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QCOMPARE(bytes(a), bytes(b));
    Computer tool(a);
    QFile fileOfA(a);
    QVERIFY(fileOfA.open(QIODevice::ReadOnly));
    QVERIFY(NativeFile::read(fileOfA, tool.root, true).ok());
    const LinkItem *b2 = tool.find(u"/Work/b"_qs);
    QVERIFY(b2);
    QCOMPARE(b2->Visits, 3);
    QCOMPARE(b2->Rating, std::uint8_t(4));
    QCOMPARE(TextCodec::toDisplay(b2->Description), u"mine"_qs);
    QCOMPARE(b2->LastVisit, 45000.123456789);
    const LinkItem *older2 = tool.find(u"/Other/Caf\u00e9"_qs);
    QVERIFY(older2);
    const auto raw = [](std::string_view text) { return QByteArray(text.data(), qsizetype(text.size())); };
    QCOMPARE(raw(older2->Name), QByteArray("Caf\xe9"));
    QCOMPARE(raw(older2->Description), QByteArray("na\xefve"));
}

QTEST_GUILESS_MAIN(TestToolSync)
#include "tst_toolsync.moc"
