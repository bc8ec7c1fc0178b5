#include "common/FilePrompts.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/RestoreDialog.h"
#include "mainwindow/TransferCommands.h"
#include "store/Backups.h"
#include "store/CollectionDocument.h"
#include "transfer/Prompts.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

using namespace TreeBuilders;

namespace {

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

// The bytes of `folders` folders with a link each, below root as it is (showing the root counts its visits).
QByteArray bytesBelow(const LinkItem &root, int folders)
{
    auto expected = collection(folders, true);
    expected->Visits = root.Visits;
    expected->LastVisit = root.LastVisit;
    return nativeBytes(*expected);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestRestore : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { m_window.close(); }
    void restoreAndTakeBack();
    void largeCleanUpKeepsBackup_data();
    void largeCleanUpKeepsBackup();
    void importKeepsBackup();
    void startUpBackupOffTheLoop();

private:
    WindowFixture m_window;
};

// The start-up backup holds the data file as it was; the dialog lists a damaged backup without letting it be
// chosen; restoring keeps the shown collection as today's backup, so restoring that one takes the restore back.
void TestRestore::restoreAndTakeBack()
{
    m_window.open(*collection(2, true));
    if (QTest::currentTestFailed())
        return;
    RestoreCommands *commands = m_window.form()->restoreCommands();
    const Backups backups = commands->backups();
    const QString today = backups.pathFor(backups.today());
    QCOMPARE(readAll(today), nativeBytes(*collection(2, true)));

    const QString older = backups.pathFor(backups.today().addDays(-2));
    auto described = collection(5, true);
    described->Description = "about the collection";
    described->Rating = 3;
    writeAll(older, nativeBytes(*described));
    const QString damagedPath = backups.pathFor(backups.today().addDays(-1));
    writeAll(damagedPath, nativeBytes(*collection(5, true)).chopped(4));

    int rows = 0;
    QStringList damaged;
    connect(commands, &RestoreCommands::dialogShown, this, [&](RestoreDialog *dialog) {
        QTreeWidget *list = dialog->list();
        rows = list->topLevelItemCount();
        for (int i = 0; i < rows; ++i) {
            if (!(list->topLevelItem(i)->flags() & Qt::ItemIsEnabled))
                damaged << list->topLevelItem(i)->text(2);
        }
        list->setCurrentItem(list->topLevelItem(1)); // damaged: never the one chosen
        QCOMPARE_NE(dialog->chosenPath(), damagedPath);
        list->setCurrentItem(list->topLevelItem(2));
        QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
    });
    LinkItem *root = m_window.form()->document()->root();
    const QByteArray shownBefore = nativeBytes(*root);
    m_window.form()->actions()->restoreFromBackup->trigger();
    QCOMPARE(rows, 3);
    QCOMPARE(damaged, QStringList {u"damaged"_qs});
    QCOMPARE(m_window.questions.size(), 1);
    QCOMPARE(root->Description, described->Description);
    QCOMPARE(root->Rating, 3);
    // The whole restore is one step to undo, and one to redo.
    MainActions *actions = m_window.form()->actions();
    QCOMPARE(actions->undo->text(), u"&Undo Restore from Backup"_qs);
    actions->undo->trigger();
    QCOMPARE(nativeBytes(*root), bytesBelow(*root, 2));
    actions->redo->trigger();
    QCOMPARE(root->Description, described->Description);
    root->Description = "";
    root->Rating = 0;
    QCOMPARE(nativeBytes(*root), bytesBelow(*root, 5));
    QCOMPARE(m_window.tree()->currentIndex(), m_window.tree()->RootNode());
    QCOMPARE(m_window.list()->model()->rowCount(), 5);
    QCOMPARE(readAll(today), shownBefore);

    const QByteArray restored = nativeBytes(*root);
    QVERIFY(commands->restore(today));
    QCOMPARE(nativeBytes(*root), bytesBelow(*root, 2));
    QCOMPARE(readAll(today), restored);
    QVERIFY(m_window.errors.isEmpty());
}

void TestRestore::largeCleanUpKeepsBackup_data()
{
    QTest::addColumn<int>("empty");
    QTest::addColumn<bool>("kept");
    QTest::newRow("100 folders") << RestoreCommands::LargeRemoval << false;
    QTest::newRow("101 folders") << RestoreCommands::LargeRemoval + 1 << true;
}

// Delete Empty Folders keeps the collection as today's backup first when it removes more than 100 folders.
void TestRestore::largeCleanUpKeepsBackup()
{
    QFETCH(int, empty);
    QFETCH(bool, kept);
    m_window.open(*collection(empty, false));
    if (QTest::currentTestFailed())
        return;
    const Backups backups = m_window.form()->restoreCommands()->backups();
    const QString today = backups.pathFor(backups.today());
    QVERIFY(QFile::remove(today)); // the start-up backup
    LinkItem *root = m_window.form()->document()->root();
    addLink(*root, "kept", "https://example.org/");
    const QByteArray before = nativeBytes(*root);
    m_window.form()->actions()->deleteEmptyFolders->trigger();
    QCOMPARE(root->Children.Count(), 1);
    QCOMPARE(readAll(today), kept ? before : QByteArray());
}

// An import keeps the collection as it was before it as today's backup.
void TestRestore::importKeepsBackup()
{
    m_window.open(*collection(1, true));
    if (QTest::currentTestFailed())
        return;
    const Backups backups = m_window.form()->restoreCommands()->backups();
    const QString today = backups.pathFor(backups.today());
    LinkItem *root = m_window.form()->document()->root();
    addLink(*root, "before the import", "https://example.org/");
    const QByteArray before = nativeBytes(*root);
    const QString in = m_window.dir()->filePath(u"in.qmf"_qs);
    QVERIFY(NativeFile::saveAtomically(in, *collection(3, true), nullptr));
    FilePrompts prompts(in);
    m_window.form()->transferCommands()->setPrompts(&prompts);
    m_window.form()->actions()->importAction(BookmarkFormat::Native)->trigger();
    m_window.form()->transferCommands()->setPrompts(nullptr);
    QCOMPARE(root->Children.Count(), 2 + 3);
    QCOMPARE(readAll(today), before);
}

// The start-up backup is made on a thread of its own, and a window that closes meanwhile stops it at once.
void TestRestore::startUpBackupOffTheLoop()
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

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
