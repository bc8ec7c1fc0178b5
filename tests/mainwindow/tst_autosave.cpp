// The collection is written a few seconds after it last changed: once for a burst of changes, and a failure
// is told once. Writes are counted as the system sees them.
#include "common/FileWrites.h"
#include "common/RecordingReporter.h"
#include "common/TreeBuilders.h"
#include "mainwindow/AutoSave.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "transfer/LongCommands.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <optional>

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
    void waitsForALongCommand();
    void failureIsToldOnceAndRetried();
    void changeWhileWritingAbandonsTheSave_data();
    void changeWhileWritingAbandonsTheSave();

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

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray treeBytes(const LinkItem &root)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    NativeFile::write(buffer, root, nullptr);
    return buffer.data();
}

QStringList dataFolderFiles()
{
    return QDir(Repository::DataFolder()).entryList(QDir::Files | QDir::Hidden);
}

void addFolders(LinkItem &root, int folders, int links)
{
    for (int f = 0; f < folders; ++f) {
        LinkItem *folder = addFolder(root, "folder " + std::to_string(100 + f));
        for (int l = 0; l < links; ++l)
            addLink(*folder, "link " + std::to_string(l), "http://example.org/");
    }
}

// Runs the events until the automatic save is writing, a slice or two into the collection.
bool waitUntilWriting(const AutoSave &autoSave)
{
    for (int i = 0; i < 2000 && !autoSave.isSaving(); ++i) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    return autoSave.isSaving();
}
} // namespace

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
    // The last save follows the delay (after one that may still be syncing), and nothing comes after it.
    QTRY_VERIFY(!autoSave.hasUnsavedChanges() && !autoSave.isSaving());
    const int afterEditing = written.count();
    QVERIFY(afterEditing > whileEditing);
    QTest::qWait(300);
    QCOMPARE(written.count(), afterEditing);
}

// A change made while a long command runs is saved once the command has ended, not before.
void TestAutoSave::waitsForALongCommand()
{
    constexpr int Delay = 50;
    FileWrites written(Repository::DataFile());
    QVERIFY(written.isValid());
    Repository repository;
    AutoSave autoSave(&repository, nullptr);
    autoSave.setDelays(Delay, 60000);
    {
        LongCommands::Guard command;
        addLink(*repository.Root(), "during", "http://example.org/");
        autoSave.markChanged();
        QTest::qWait(4 * Delay);
        QCOMPARE(written.count(), 0);
        addLink(*repository.Root(), "last", "http://example.org/");
    }
    QTRY_COMPARE(written.count(), 1);
    QCOMPARE(Repository().Root()->Children.Count(), 2);
    QTest::qWait(2 * Delay);
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
    // The rename comes from the sync thread; the save's end follows on the event loop.
    QTRY_VERIFY(!autoSave.hasUnsavedChanges());
    QCOMPARE(reporter.errors.size(), 1);

    // A new failure after a success is told again.
    QVERIFY(QDir(blocker).removeRecursively());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    autoSave.markChanged();
    QTRY_COMPARE(reporter.errors.size(), 2);
}

void TestAutoSave::changeWhileWritingAbandonsTheSave_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("folders removed under the writer") << "remove";
    QTest::newRow("rename") << "rename";
    QTest::newRow("insert") << "insert";
    QTest::newRow("a long command starts") << "command";
}

void TestAutoSave::changeWhileWritingAbandonsTheSave()
{
    QFETCH(QString, change);
    Repository repository;
    LinkItem *root = repository.Root();
    addFolders(*root, 20, 50);
    QVERIFY(repository.Save());
    const QByteArray oldBytes = fileBytes(Repository::DataFile());
    CollectionDocument document(root);
    AutoSave autoSave(&repository, nullptr);
    connect(&document, &CollectionDocument::changed, &autoSave, &AutoSave::markChanged);
    autoSave.setDelays(1, 60000);
    autoSave.setItemsPerSlice(40);
    autoSave.markChanged();
    QVERIFY(waitUntilWriting(autoSave));

    if (change == "remove") {
        // The writer stands inside one of the first folders.
        std::vector<LinkItem *> folders;
        for (int f = 0; f < 10; ++f)
            folders.push_back(root->Children.Get(f));
        document.removeItems(folders);
    } else if (change == "rename") {
        document.rename(root->Children.Get(0), "renamed");
    } else if (change == "insert") {
        document.insertSorted(root, LinkItem::MakeLink("added", "http://added.example/"));
    }
    {
        // A long command changes the tree without telling each step: the save stops at its next slice.
        std::optional<LongCommands::Guard> command;
        if (change == "command")
            command.emplace();
        for (int i = 0; i < 10 && command && autoSave.isSaving(); ++i)
            QCoreApplication::processEvents();
        QVERIFY(!autoSave.isSaving());
        QCOMPARE(dataFolderFiles(), QStringList {QStringLiteral("Quillmark.dat")});
        QCOMPARE(fileBytes(Repository::DataFile()), oldBytes);
    }
    // The next save comes after the delay, with the collection as it is now.
    QTRY_VERIFY(!autoSave.hasUnsavedChanges() && !autoSave.isSaving());
    QCOMPARE(fileBytes(Repository::DataFile()), treeBytes(*root));
}

QTEST_MAIN(TestAutoSave)
#include "tst_autosave.moc"
