// The real program as a process: one copy per user, a second start hands over, and an end from
// outside saves like "E&xit".
#include "linkcheck/LinkCheckStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
const QString Program = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark");
}

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void secondStartHandsOver();
    void terminationSaves_data();
    void terminationSaves();
    void killedInstanceDoesNotBlockTheNext();
    void endsWhileReadingLinkResults();

private:
    void start(QProcess &process);
    bool waitUntilRunning(QProcess &process);
    QString dataFile() const { return m_dir->filePath(QStringLiteral("data/Quillmark/Quillmark.dat")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProgram::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("runtime"))));
    QFile::setPermissions(m_dir->filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestProgram::cleanup()
{
    m_dir.reset();
}

void TestProgram::start(QProcess &process)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), m_dir->path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->filePath(QStringLiteral("runtime")));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(Program, {});
    QVERIFY(process.waitForStarted());
}

bool TestProgram::waitUntilRunning(QProcess &process)
{
    // The running copy listens on a socket in the runtime folder once it is up.
    QDir runtime(m_dir->filePath(QStringLiteral("runtime")));
    for (int i = 0; i < 100; ++i) {
        if (process.state() != QProcess::Running)
            return false;
        const QStringList entries = runtime.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        if (entries.size() >= 2) { // the lock file and the socket
            QTest::qWait(300);
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

void TestProgram::secondStartHandsOver()
{
    QProcess first;
    start(first);
    QVERIFY(waitUntilRunning(first));

    QProcess second;
    start(second);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
}

void TestProgram::terminationSaves_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestProgram::terminationSaves()
{
    QFETCH(int, signal);
    QProcess process;
    start(process);
    QVERIFY(waitUntilRunning(process));
    QVERIFY(!QFile::exists(dataFile()));

    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QFileInfo(dataFile()).size(), qint64(43));
    const QSettings settings(m_dir->filePath(QStringLiteral("config/Orbrook Software/Quillmark.conf")),
                             QSettings::IniFormat);
    QVERIFY(settings.contains(QStringLiteral("1.0/Main Window/Left")));
}

void TestProgram::killedInstanceDoesNotBlockTheNext()
{
    QProcess killed;
    start(killed);
    QVERIFY(waitUntilRunning(killed));
    killed.kill();
    QVERIFY(killed.waitForFinished(10000));

    // The lock and the socket left behind are recovered: the next start runs as the one copy.
    QProcess next;
    start(next);
    QVERIFY(waitUntilRunning(next));
    QTest::qWait(500);
    QCOMPARE(next.state(), QProcess::Running);
    next.terminate();
    QVERIFY(next.waitForFinished(10000));
    QCOMPARE(QFileInfo(dataFile()).size(), qint64(43));
}

// Ended while it still reads a large side file of link check results, the program stops the reading and ends
// at once, and leaves the file as it was.
void TestProgram::endsWhileReadingLinkResults()
{
    const QString side = LinkCheckStore::pathFor(dataFile());
    QVERIFY(QDir().mkpath(QFileInfo(side).absolutePath()));
    QByteArray bytes = "{\"format\": \"quillmark-link-check\", \"version\": 1, \"links\": [";
    for (int i = 0; i < 400000; ++i) {
        bytes += i > 0 ? ",\n" : "\n";
        bytes += "{\"url\": \"https://example.org/page/" + QByteArray::number(i)
            + "\", \"outcome\": \"broken\", \"status\": 404, \"checked\": \"2026-01-01T10:00:00Z\"}";
    }
    bytes += "]}";
    QFile file(side);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    QElapsedTimer clock;
    clock.start();
    LinkCheckStore read;
    QVERIFY(read.load(side));
    const qint64 reading = clock.elapsed();

    QProcess process;
    start(process);
    QVERIFY(waitUntilRunning(process));
    clock.restart();
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(60000));
    const qint64 ending = clock.elapsed();
    qInfo("%lld ms to end, %lld ms to read", ending, reading);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(ending < reading / 2, qPrintable(QStringLiteral("%1 ms to end, %2 ms to read").arg(ending).arg(reading)));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == bytes);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
