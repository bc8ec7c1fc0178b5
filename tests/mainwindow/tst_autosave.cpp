// The collection is written a few seconds after it last changed: once for a burst of changes, never
// while an import runs, and a failure is told once. Writes are counted as the system sees them.
#include "common/FileWrites.h"
#include "common/RecordingReporter.h"
#include "common/SilentReporter.h"
#include "common/TreeBuilders.h"
#include "mainwindow/AutoSave.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "transfer/TransferCommands.h"
#include "transfer/TransferFakes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace TreeBuilders;

class TestAutoSave : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writesOnceAfterTheLastChange_data();
    void writesOnceAfterTheLastChange();
    void steadyEditingIsSavedNowAndThen();
    void noWriteWhileAnImportRuns();
    void failureIsToldOnceAndRetried();

private:
    void useDataFolder(const QString &folder);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAutoSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    useDataFolder(m_dir->filePath(QStringLiteral("data")));
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    QVERIFY(QDir().mkpath(Repository::DataFolder()));
}

void TestAutoSave::cleanup()
{
    m_dir.reset();
}

void TestAutoSave::useDataFolder(const QString &folder)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder));
}

void TestAutoSave::writesOnceAfterTheLastChange_data()
{
    QTest::addColumn<int>("changes");
    QTest::addColumn<int>("gapMs"); // between two changes, with the events running
    QTest::addColumn<int>("writes");
    QTest::newRow("nothing changed") << 0 << 0 << 0;
    QTest::newRow("one change") << 1 << 0 << 1;
    QTest::newRow("a burst") << 50 << 0 << 1;
    QTest::newRow("changes closer than the delay") << 8 << 100 << 1;
}

void TestAutoSave::writesOnceAfterTheLastChange()
{
    QFETCH(int, changes);
    QFETCH(int, gapMs);
    QFETCH(int, writes);
    constexpr int Delay = 600;
    FileWrites written(Repository::DataFile());
    QVERIFY(written.isValid());
    Repository repository;
    AutoSave autoSave(&repository, nullptr);
    autoSave.setDelays(Delay, 60000);

    for (int i = 0; i < changes; ++i) {
        addLink(*repository.Root(), "link " + std::to_string(i), "http://example.org/");
        autoSave.markChanged();
        if (gapMs > 0)
            QTest::qWait(gapMs);
    }
    QCOMPARE(written.count(), 0);
    QTest::qWait(3 * Delay);
    QCOMPARE(written.count(), writes);
    QCOMPARE(autoSave.hasUnsavedChanges(), false);
    if (writes > 0) {
        Repository reread;
        QCOMPARE(reread.Root()->Children.Count(), changes);
    }
}

void TestAutoSave::steadyEditingIsSavedNowAndThen()
{
    // A change every 25 ms for 1.5 s, with a delay of 150 ms and at most 600 ms of waiting: the changes
    // never leave the delay free, so only the longest wait brings the writes while they go on.
    FileWrites written(Repository::DataFile());
    Repository repository;
    AutoSave autoSave(&repository, nullptr);
    autoSave.setDelays(150, 600);
    QElapsedTimer editing;
    editing.start();
    while (editing.elapsed() < 1500) {
        addLink(*repository.Root(), "link", "http://example.org/");
        autoSave.markChanged();
        QTest::qWait(25);
    }
    const int whileEditing = written.count();
    QVERIFY2(whileEditing >= 1, qPrintable(QString::number(whileEditing)));
    QTRY_COMPARE(written.count(), whileEditing + 1);
    QTest::qWait(300);
    QCOMPARE(written.count(), whileEditing + 1);
}

void TestAutoSave::noWriteWhileAnImportRuns()
{
    LinkItem exported;
    std::vector<std::unique_ptr<LinkItem>> links;
    for (int i = 0; i < 20000; ++i)
        links.push_back(LinkItem::MakeLink("link " + std::to_string(i), "http://example.org/"));
    exported.Children.InsertSortedBatch(std::move(links));
    FakePrompts prompts;
    prompts.fileName = m_dir->filePath(QStringLiteral("large.qmf"));
    QVERIFY(NativeFile::saveAtomically(prompts.fileName, exported, nullptr, NativeFile::Sync::NoSync));

    SilentReporter silent;
    MainWindow form(&silent);
    form.transferCommands()->setPrompts(&prompts);
    form.transferCommands()->setProgressDelay(0);
    form.autoSave()->setDelays(1, 60000);
    FileWrites written(Repository::DataFile());

    LinkItem *root = form.repository()->Root();
    form.document()->insertSorted(root, LinkItem::MakeLink("before", "http://example.org/"));
    // The save is due by the time the import first lets the events run.
    QThread::msleep(20);
    form.actions()->importQuillmark->trigger();
    QCOMPARE(written.count(), 0);
    // Right after the import, with what it read.
    QCoreApplication::processEvents();
    QCOMPARE(written.count(), 1);
    Repository reread;
    QCOMPARE(reread.Root()->Children.Count(), 20001);
    QTest::qWait(50);
    QCOMPARE(written.count(), 1);
}

void TestAutoSave::failureIsToldOnceAndRetried()
{
    // A file where the data folder should be: every save fails.
    const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    useDataFolder(blocker + QStringLiteral("/data"));

    RecordingReporter reporter;
    Repository repository(&reporter);
    AutoSave autoSave(&repository, &reporter);
    autoSave.setDelays(20, 60000);
    for (int i = 0; i < 3; ++i) {
        autoSave.markChanged();
        QTest::qWait(100);
    }
    QCOMPARE(reporter.errors.size(), 1);
    QVERIFY2(reporter.errors.front().contains(QDir::toNativeSeparators(Repository::DataFile())),
             qPrintable(reporter.errors.front()));
    QVERIFY(autoSave.hasUnsavedChanges());

    // Room again: the next change is saved.
    QVERIFY(QFile::remove(blocker));
    QVERIFY(QDir().mkpath(Repository::DataFolder()));
    FileWrites written(Repository::DataFile());
    autoSave.markChanged();
    QTRY_COMPARE(written.count(), 1);
    QVERIFY(!autoSave.hasUnsavedChanges());
    QCOMPARE(reporter.errors.size(), 1);

    // A new failure after a success is told again.
    QVERIFY(QDir(blocker).removeRecursively());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    autoSave.markChanged();
    QTRY_COMPARE(reporter.errors.size(), 2);
}

QTEST_MAIN(TestAutoSave)
#include "tst_autosave.moc"
