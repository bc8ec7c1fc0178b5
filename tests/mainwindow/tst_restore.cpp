// Restore from Backup and the backups that commands keep before large changes, on a document and a view.
#include "common/FilePrompts.h"
#include "common/TransferEnd.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/RestoreDialog.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/TransferCommands.h"
#include "settings/Settings.h"
#include "store/Backups.h"
#include "store/Repository.h"

#include <QDir>
#include <QTemporaryDir>
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
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestRestore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config"))); }
    void cleanup() { m_fixture.reset(); }
    void restoreAndTakeBack();
    void commandsKeepBackup_data();
    void commandsKeepBackup();

private:
    // Shows root, with the backups of a data file of the test's own kept as the window keeps them.
    void open(std::unique_ptr<LinkItem> root);
    QString today() const { return m_restore->backups().pathFor(m_restore->backups().today()); }

    QTemporaryDir m_dir;
    std::unique_ptr<ViewFixture> m_fixture;
    RestoreCommands *m_restore = nullptr;
};

void TestRestore::open(std::unique_ptr<LinkItem> root)
{
    m_fixture = std::make_unique<ViewFixture>(std::move(root));
    m_restore = new RestoreCommands(&m_fixture->document, &m_fixture->view, m_fixture->parent.get());
    m_restore->setDataFile(m_dir.filePath(QStringLiteral("Quillmark.dat")));
    QFile::remove(today());
    connect(&m_fixture->view, &CollectionView::backupWanted, m_restore, &RestoreCommands::keepBackup);
}

// The dialog lists a damaged backup without letting it be chosen; restoring keeps the shown collection as today's
// backup, so restoring that one takes the restore back.
void TestRestore::restoreAndTakeBack()
{
    open(collection(2, true));
    const Backups backups = m_restore->backups();
    writeAll(today(), nativeBytes(*collection(2, true))); // the start-up backup
    const QString older = backups.pathFor(backups.today().addDays(-2));
    auto described = collection(5, true);
    described->Description = "about the collection";
    described->Rating = 3;
    writeAll(older, nativeBytes(*described));
    const QString damagedPath = backups.pathFor(backups.today().addDays(-1));
    writeAll(damagedPath, nativeBytes(*collection(5, true)).chopped(4));

    int rows = 0;
    QStringList damaged;
    connect(m_restore, &RestoreCommands::dialogShown, this, [&](RestoreDialog *dialog) {
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
    CollectionDocument &document = m_fixture->document;
    LinkItem *root = m_fixture->root();
    const QByteArray shownBefore = nativeBytes(*root);
    m_restore->restoreFromBackup();
    QCOMPARE(rows, 3);
    QCOMPARE(damaged, QStringList {u"damaged"_qs});
    QCOMPARE(m_fixture->boxes.questions.size(), 1);
    QCOMPARE(root->Description, described->Description);
    QCOMPARE(root->Rating, 3);
    // The whole restore is one step to undo, and one to redo.
    QCOMPARE(document.undoCaption(), u"Restore from Backup"_qs);
    document.undo();
    QCOMPARE(nativeBytes(*root), bytesBelow(*root, 2));
    document.redo();
    QCOMPARE(root->Description, described->Description);
    root->Description = "";
    root->Rating = 0;
    QCOMPARE(nativeBytes(*root), bytesBelow(*root, 5));
    QCOMPARE(m_fixture->view.folder(), root);
    QCOMPARE(m_fixture->view.model()->rowCount(), 5);
    QCOMPARE(readAll(today()), shownBefore);

    const QByteArray restored = nativeBytes(*root);
    QVERIFY(m_restore->restore(today()));
    QCOMPARE(nativeBytes(*root), bytesBelow(*root, 2));
    QCOMPARE(readAll(today()), restored);
    QVERIFY(m_fixture->boxes.errors.isEmpty());
}

void TestRestore::commandsKeepBackup_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("folders");
    QTest::addColumn<bool>("kept");
    QTest::newRow("clean-up of 100 folders") << "clean-up" << RestoreCommands::LargeRemoval << false;
    QTest::newRow("clean-up of 101 folders") << "clean-up" << RestoreCommands::LargeRemoval + 1 << true;
    QTest::newRow("import") << "import" << 1 << true;
}

// Delete Empty Folders keeps the collection as today's backup first when it removes more than 100 folders, an
// import always does.
void TestRestore::commandsKeepBackup()
{
    QFETCH(QString, command);
    QFETCH(int, folders);
    QFETCH(bool, kept);
    const bool import = command == QLatin1String("import");
    open(collection(folders, import));
    LinkItem *root = m_fixture->root();
    addLink(*root, "kept", "https://example.org/");
    const QByteArray before = nativeBytes(*root);
    if (import) {
        const QString in = m_dir.filePath(u"in.qmf"_qs);
        QVERIFY(NativeFile::saveAtomically(in, *collection(3, true), nullptr));
        FilePrompts prompts(in);
        auto *transfer = new TransferCommands(&m_fixture->document, &m_fixture->view, m_fixture->parent.get());
        transfer->setPrompts(&prompts);
        transfer->importFormat(BookmarkFormat::Native);
        QVERIFY(waitForTransferEnd(transfer));
        transfer->setPrompts(nullptr);
        QCOMPARE(root->Children.Count(), 2 + 3);
    } else {
        (new SearchCommands(&m_fixture->document, &m_fixture->view, m_fixture->parent.get()))->deleteEmptyFolders();
        QCOMPARE(root->Children.Count(), 1);
    }
    QCOMPARE(readAll(today()), kept ? before : QByteArray());
}

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
