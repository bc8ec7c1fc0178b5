#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "linkcheck/LinkCheckStore.h"
#include "platform/Background.h"
#include "store/Backups.h"
#include "transfer/ProfileReads.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QThread>

#include <functional>
#include <memory>

using namespace TreeBuilders;

namespace {

// One kind of work the program runs on the background pool, as its owner starts and ends it.
class Task
{
public:
    virtual ~Task() = default;
    // Starts the work (making its owner as need be); told() comes with the result.
    virtual void start(std::function<void()> told) = 0;
    virtual bool running() const = 0;
    // Ends the owner while the work may still run.
    virtual void endOwner() = 0;
};

// The window's start-up backup of a large collection.
class StartUpBackup : public Task
{
public:
    explicit StartUpBackup(WindowFixture &window) : m_window(window) { }
    void start(std::function<void()> told) override
    {
        RestoreCommands *commands = m_window.form()->restoreCommands();
        const Backups backups = commands->backups();
        QFile::remove(backups.pathFor(backups.today()));
        QObject::connect(commands, &RestoreCommands::dailyBackupEnded, commands, std::move(told));
        commands->keepDaily();
    }
    bool running() const override { return m_window.form()->restoreCommands()->isKeepingDaily(); }
    void endOwner() override { m_window.close(); }

private:
    WindowFixture &m_window;
};

// The reading of a large side file of link check results by a window that opens.
class LinkCheckResults : public Task
{
public:
    void start(std::function<void()> told) override
    {
        m_form = std::make_unique<MainWindow>(&m_reporter);
        QObject::connect(m_form->linkCheckCommands(), &LinkCheckCommands::loaded, m_form.get(), std::move(told));
    }
    bool running() const override { return m_form->linkCheckCommands()->isLoading(); }
    void endOwner() override { m_form.reset(); }

private:
    SilentReporter m_reporter;
    std::unique_ptr<MainWindow> m_form;
};

// The counts of a browser profile whose reading takes long, for the import dialog.
class ProfileCounts : public Task
{
public:
    void start(std::function<void()> told) override
    {
        const BrowserProfile profile {BrowserProfile::Family::Firefox, QStringLiteral("Firefox"),
                                      QStringLiteral("slow"), QString()};
        m_counter = std::make_unique<ProfileCounter>(QList<BrowserProfile> {profile},
                                                     [](const BrowserProfile &, LinkItem &, const Progress &progress) {
                                                         ImportReport report;
                                                         for (int i = 0; i < 200; ++i) {
                                                             QThread::msleep(5);
                                                             if (!progress(0, i)) {
                                                                 report.cancel();
                                                                 return report;
                                                             }
                                                         }
                                                         return report;
                                                     });
        m_told = false;
        QObject::connect(m_counter.get(), &ProfileCounter::counted, m_counter.get(), [this, told = std::move(told)] {
            m_told = true;
            told();
        });
        m_counter->start();
    }
    bool running() const override { return m_counter && !m_told; }
    void endOwner() override { m_counter.reset(); }

private:
    std::unique_ptr<ProfileCounter> m_counter;
    bool m_told = false;
};

// The root folder holding `folders` folders, each empty or with one link.
std::unique_ptr<LinkItem> collection(int folders, bool withLinks)
{
    auto root = LinkItem::MakeFolder(Repository::RootName);
    for (int i = 0; i < folders; ++i) {
        LinkItem *folder = addFolder(*root, "F" + std::to_string(i));
        if (withLinks)
            addLink(*folder, "L", "https://example.org/" + std::to_string(i));
    }
    return root;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A side file of this many outcomes.
QByteArray linkCheckFile(int outcomes)
{
    QByteArray bytes = "{\"format\": \"quillmark-link-check\", \"version\": 1, \"links\": [";
    for (int i = 0; i < outcomes; ++i) {
        bytes += i > 0 ? ",\n" : "\n";
        bytes += "{\"url\": \"https://example.org/page/" + QByteArray::number(i)
            + "\", \"outcome\": \"broken\", \"status\": 404, \"reason\": \"Not Found\", "
              "\"checked\": \"2026-01-01T10:00:00Z\"}";
    }
    return bytes + "]}";
}

} // namespace

// Work off the event loop, task by task: its result comes on the event loop's thread, and the owner of work
// still under way ends promptly, leaving nothing running on the pool.
class TestBackgroundTasks : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { m_window.close(); }
    void ownerEndsPromptly_data();
    void ownerEndsPromptly();
    void startUpBackupOffTheLoop();

private:
    WindowFixture m_window;
};

void TestBackgroundTasks::ownerEndsPromptly_data()
{
    QTest::addColumn<QString>("task");
    QTest::newRow("start-up backup") << "backup";
    QTest::newRow("link check results") << "results";
    QTest::newRow("profile counts") << "counts";
}

void TestBackgroundTasks::ownerEndsPromptly()
{
    QFETCH(QString, task);
    m_window.open(*LinkItem::MakeFolder(Repository::RootName));
    if (QTest::currentTestFailed())
        return;
    std::unique_ptr<Task> run;
    if (task == QLatin1String("backup")) {
        // The window shows an empty collection, which closes at once; the backup copies a large data file.
        auto root = LinkItem::MakeFolder(Repository::RootName);
        for (int f = 0; f < 200; ++f) {
            LinkItem *folder = addFolder(*root, "F" + std::to_string(f));
            for (int l = 0; l < 5000; ++l)
                addLink(*folder, "L" + std::to_string(l), "https://example.org/" + std::to_string(f * 5000 + l));
        }
        QVERIFY(NativeFile::saveAtomically(Repository::DataFile(), *root, nullptr));
        run = std::make_unique<StartUpBackup>(m_window);
    } else if (task == QLatin1String("results")) {
        QFile file(LinkCheckStore::pathFor(Repository::DataFile()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(linkCheckFile(150000)) > 0);
        file.close();
        run = std::make_unique<LinkCheckResults>();
    } else {
        run = std::make_unique<ProfileCounts>();
    }

    // Once to the end: the result is told on the event loop's thread.
    QThread *toldOn = nullptr;
    QElapsedTimer clock;
    clock.start();
    run->start([&toldOn] { toldOn = QThread::currentThread(); });
    QTRY_VERIFY_WITH_TIMEOUT(toldOn, 120000);
    const qint64 whole = clock.elapsed();
    QCOMPARE(toldOn, qApp->thread());
    Background::waitForAll();

    // Again, ending the owner a quarter of the way: the work stops at once and tells nothing.
    toldOn = nullptr;
    run->start([&toldOn] { toldOn = QThread::currentThread(); });
    QTest::qWait(static_cast<int>(whole / 4));
    QVERIFY(run->running());
    clock.restart();
    run->endOwner();
    QVERIFY(Background::waitForAll(60000));
    const qint64 ended = clock.elapsed();
    qInfo("%lld ms to run, %lld ms to end", whole, ended);
    QTest::qWait(50);
    QVERIFY(!toldOn);
    QVERIFY2(ended < whole / 3, qPrintable(QStringLiteral("%1 ms to end, %2 ms to run").arg(ended).arg(whole)));
}

// The start-up backup is made on a thread of its own, and a window that closes meanwhile stops it at once.
void TestBackgroundTasks::startUpBackupOffTheLoop()
{
    m_window.open(*collection(20000, true));
    if (QTest::currentTestFailed())
        return;
    RestoreCommands *commands = m_window.form()->restoreCommands();
    const Backups backups = commands->backups();
    const QString today = backups.pathFor(backups.today());
    const QByteArray data = readAll(Repository::DataFile());
    QCOMPARE(readAll(today), data);

    QVERIFY(QFile::remove(today));
    QSignalSpy ended(commands, &RestoreCommands::dailyBackupEnded);
    commands->keepDaily();
    QVERIFY(commands->isKeepingDaily());
    QVERIFY(!QFileInfo::exists(today));
    QVERIFY(ended.wait(20000));
    QCOMPARE(ended.first().at(0).toBool(), true);
    QCOMPARE(readAll(today), data);

    QVERIFY(QFile::remove(today));
    commands->keepDaily();
    QElapsedTimer clock;
    clock.start();
    m_window.close();
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TestBackgroundTasks)
#include "tst_backgroundtasks.moc"
