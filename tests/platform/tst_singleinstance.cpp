#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nextLine(QProcess &process, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(100);
    return process.readLine().trimmed();
}

// Writes the bytes and hangs up, as a sender that has said all it wants to.
void send(const QString &serverName, const QByteArray &bytes)
{
    QLocalSocket client;
    client.connectToServer(serverName);
    QVERIFY(client.waitForConnected(2000));
    client.write(bytes);
    while (client.bytesToWrite() > 0 && client.waitForBytesWritten(2000)) { }
    client.disconnectFromServer();
    if (client.state() != QLocalSocket::UnconnectedState)
        client.waitForDisconnected(2000);
}

// A folder at path that belongs to another user: one given away where this process may (as root), else a link to
// the root folder.
bool makeForeignFolder(const QString &path)
{
    if (::geteuid() != 0)
        return QFile::link(QStringLiteral("/"), path);
    const QByteArray native = QFile::encodeName(path);
    return ::mkdir(native.constData(), 0700) == 0 && ::chown(native.constData(), 65534, 65534) == 0;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_cacheHome = qgetenv("XDG_CACHE_HOME"); }
    void init();
    void cleanup();
    void secondStartHandsOver();
    void staleLockAndSocketAreRecovered();
    void unansweringHolderIsReported();
    void fallbackFolder_data();
    void fallbackFolder();
    void lostLockFileStillHandsOver();
    void messages_data();
    void messages();
    void oversizedSenderIsCutOff();
    void silentSenderDoesNotHoldUpOthers();

private:
    std::unique_ptr<QProcess> startHelper();
    QString runtimeFile(const QString &suffix) const
    {
        return m_runtime->filePath(QStringLiteral("Tarnwick-") + QString::number(::getuid()) + suffix);
    }

    std::unique_ptr<QTemporaryDir> m_runtime;
    QByteArray m_cacheHome;
};

void TestSingleInstance::cleanup()
{
    qunsetenv("TMPDIR");
    qputenv("XDG_CACHE_HOME", m_cacheHome);
}

// Every test gets a runtime folder of its own, so that nothing meets a copy of the program the user runs.
void TestSingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
}

std::unique_ptr<QProcess> TestSingleInstance::startHelper()
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(INSTANCE_HELPER), {});
    return process;
}

void TestSingleInstance::secondStartHandsOver()
{
    const auto first = startHelper();
    QCOMPARE(nextLine(*first), QByteArray("primary"));
    QVERIFY(QFile::exists(runtimeFile(QStringLiteral(".lock"))));
    QVERIFY(QFile::exists(runtimeFile(QString())));

    const auto second = startHelper();
    QVERIFY(second->waitForFinished(15000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(second->readAllStandardOutput().trimmed(), QByteArray("handedover"));

    QCOMPARE(nextLine(*first), QByteArray("activated"));
    QVERIFY(first->waitForFinished(10000));
    QCOMPARE(first->exitCode(), 0);
    // A clean end leaves nothing behind.
    QVERIFY(!QFile::exists(runtimeFile(QStringLiteral(".lock"))));
    QVERIFY(!QFile::exists(runtimeFile(QString())));
}

void TestSingleInstance::staleLockAndSocketAreRecovered()
{
    const auto killed = startHelper();
    QCOMPARE(nextLine(*killed), QByteArray("primary"));
    killed->kill();
    QVERIFY(killed->waitForFinished(10000));
    QVERIFY(QFile::exists(runtimeFile(QStringLiteral(".lock"))));
    QVERIFY(QFile::exists(runtimeFile(QString())));

    const auto next = startHelper();
    QCOMPARE(nextLine(*next), QByteArray("primary"));
    // It really serves: one more start hands over to it.
    const auto third = startHelper();
    QVERIFY(third->waitForFinished(15000));
    QCOMPARE(third->readAllStandardOutput().trimmed(), QByteArray("handedover"));
    QCOMPARE(nextLine(*next), QByteArray("activated"));
    QVERIFY(next->waitForFinished(10000));
}

// The lock is held by a live process that does not answer: a second start waits a little, then says so (the
// program shows a message) instead of ending as if it had handed over.
void TestSingleInstance::unansweringHolderIsReported()
{
    QLockFile lock(runtimeFile(QStringLiteral(".lock")));
    lock.setStaleLockTime(0);
    QVERIFY(lock.tryLock(0));

    const auto second = startHelper();
    QVERIFY(second->waitForFinished(15000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 1);
    QCOMPARE(second->readAllStandardOutput().trimmed(), QByteArray("noanswer"));
    QVERIFY(lock.isLocked());
}

void TestSingleInstance::fallbackFolder_data()
{
    QTest::addColumn<int>("cache"); // the folder in the cache folder: 0 none yet, 1 open to others, 2 another user's
    QTest::newRow("none yet") << 0;
    QTest::newRow("open to others") << 1;
    QTest::newRow("another user's") << 2;
}

// Without a runtime folder of the user's own (XDG_RUNTIME_DIR unset, the per-user folder in the temporary folder
// taken by someone else), the lock and the socket go to a folder in the cache folder that only the user can use,
// never to the temporary folder, where anybody could leave a lock or a socket of the same name and make every
// start end at once. Where there is no such folder either, the program runs unguarded rather than not at all.
void TestSingleInstance::fallbackFolder()
{
    QFETCH(int, cache);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString temporary = dir.filePath(QStringLiteral("tmp")); // stands for /tmp
    QVERIFY(QDir().mkpath(temporary));
    QVERIFY(::chmod(QFile::encodeName(temporary).constData(), 01777) == 0);
    const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    QVERIFY(makeForeignFolder(temporary + QStringLiteral("/runtime-") + user));
    const QString folder = dir.filePath(QStringLiteral("cache/Quillmark"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("cache"))));
    if (cache == 1) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
    } else if (cache == 2) {
        QVERIFY(makeForeignFolder(folder));
    }
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temporary));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));

    // What another user could leave in the temporary folder: a held lock, and a socket that answers.
    const QString name = QStringLiteral("/Tarnwick-") + QString::number(::getuid());
    QLockFile squatter(temporary + name + QStringLiteral(".lock"));
    QVERIFY(squatter.tryLock(0));
    QLocalServer decoy;
    QVERIFY(decoy.listen(temporary + name));

    const auto first = startHelper();
    QCOMPARE(nextLine(*first), QByteArray("primary"));
    QVERIFY(!decoy.waitForNewConnection(200));
    const auto second = startHelper();
    if (cache == 2) {
        QCOMPARE(nextLine(*second), QByteArray("primary")); // unguarded
        return;
    }
    QCOMPARE(nextLine(*second), QByteArray("handedover"));
    QCOMPARE(nextLine(*first), QByteArray("activated"));
    QVERIFY(first->waitForFinished(10000));
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0700));
}

// Something cleaned the runtime folder's lock file away under a running copy: that copy still answers, so a new
// start hands over to it instead of becoming a second one.
void TestSingleInstance::lostLockFileStillHandsOver()
{
    SingleInstance running;
    QCOMPARE(running.start(), SingleInstance::Role::Primary);
    QSignalSpy spy(&running, &SingleInstance::activationRequested);
    QVERIFY(QFile::remove(running.lockFilePath()));

    const auto second = startHelper();
    QVERIFY(second->waitForFinished(15000));
    QCOMPARE(second->readAllStandardOutput().trimmed(), QByteArray("handedover"));
    QTRY_COMPARE(spy.size(), 1);
}

void TestSingleInstance::messages_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("activations");

    QTest::newRow("message") << QByteArray("ActivateRavelin") << 1;
    QTest::newRow("message and newline") << QByteArray("ActivateRavelin\n") << 1;
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("other case") << QByteArray("activateravelin") << 0;
    QTest::newRow("beginning only") << QByteArray("Activate") << 0;
    QTest::newRow("more after it") << QByteArray("ActivateRavelinX") << 0;
    QTest::newRow("carriage return") << QByteArray("ActivateRavelin\r\n") << 0;
    QTest::newRow("two messages") << QByteArray("ActivateRavelinActivateRavelin") << 0;
    QTest::newRow("binary") << QByteArray::fromHex("00ff01") + "ActivateRavelin" << 0;
    QTest::newRow("oversized") << QByteArray("ActivateRavelin") + QByteArray(100000, 'x') << 0;
}

// Each message is followed by a good one on a new connection, so a message that wrongly counted shows as a second
// activation instead of passing unnoticed because the test did not wait for it.
void TestSingleInstance::messages()
{
    QFETCH(QByteArray, message);
    QFETCH(int, activations);

    SingleInstance server;
    QCOMPARE(server.start(), SingleInstance::Role::Primary);
    QSignalSpy spy(&server, &SingleInstance::activationRequested);

    send(server.serverName(), message);
    send(server.serverName(), QByteArray("ActivateRavelin"));
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE(spy.size(), activations + 1);
    QTest::qWait(200);
    QCOMPARE(spy.size(), activations + 1);
}

void TestSingleInstance::oversizedSenderIsCutOff()
{
    SingleInstance server;
    server.setClientTimeout(60000);
    QCOMPARE(server.start(), SingleInstance::Role::Primary);
    QSignalSpy spy(&server, &SingleInstance::activationRequested);

    QLocalSocket client;
    client.connectToServer(server.serverName());
    QVERIFY(client.waitForConnected(2000));
    client.write(QByteArray(1 << 20, 'x'));
    QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(spy.size(), 0);
}

void TestSingleInstance::silentSenderDoesNotHoldUpOthers()
{
    SingleInstance server;
    server.setClientTimeout(1500);
    QCOMPARE(server.start(), SingleInstance::Role::Primary);
    QSignalSpy spy(&server, &SingleInstance::activationRequested);

    QLocalSocket silent;
    silent.connectToServer(server.serverName());
    QVERIFY(silent.waitForConnected(2000));
    send(server.serverName(), QByteArray("ActivateRavelin"));
    QTRY_COMPARE(spy.size(), 1);
    QCOMPARE(silent.state(), QLocalSocket::ConnectedState);

    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(spy.size(), 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
