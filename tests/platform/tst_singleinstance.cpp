#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void secondStartHandsOver();
    void staleLockAndSocketAreRecovered();
    void startingHolderStillGetsHandedOver();
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
};

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

// The lock is held by a live process that does not answer yet: a second start waits a little, then ends quietly.
void TestSingleInstance::startingHolderStillGetsHandedOver()
{
    QLockFile lock(runtimeFile(QStringLiteral(".lock")));
    lock.setStaleLockTime(0);
    QVERIFY(lock.tryLock(0));

    const auto second = startHelper();
    QVERIFY(second->waitForFinished(15000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(second->readAllStandardOutput().trimmed(), QByteArray("handedover"));
    QVERIFY(lock.isLocked());
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
