// quillmark-tool sync against a real WebDAV server: two data files syncing through it, a backup
// before a sync changes a data file, what was taken and given printed, and the refusals; and a tool
// asked to end during a sync, which frees the server's lock on its way out.
#include "sync/DavFixtures.h"

#include "platform/SingleInstance.h"
#include "store/NativeFile.h"

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

QTEST_GUILESS_MAIN(TestToolSync)
#include "tst_toolsync.moc"
