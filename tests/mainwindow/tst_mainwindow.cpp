#include "common/RecordingReporter.h"
#include "common/TreeBuilders.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "store/ErrorReporter.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "widgets/FolderHeader.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace TreeBuilders;

namespace {
// Finds a menu entry by its captions from the menu bar down, e.g. {"&File", "&New", "&Folder"}.
QAction *menuEntry(QMenuBar *bar, const QStringList &path)
{
    QList<QAction *> level = bar->actions();
    QAction *found = nullptr;
    for (const QString &caption : path) {
        found = nullptr;
        for (QAction *action : level) {
            if (action->text() == caption) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        level = found->menu() ? found->menu()->actions() : QList<QAction *>();
    }
    return found;
}

QStringList captions(const QMenu *menu)
{
    QStringList result;
    for (const QAction *action : menu->actions())
        result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void descriptionPaneStaysUsable();
    void statusPanelFollowsWidth();
    void listsTheRootFolder();
    void menus_data();
    void menus();
    void paneSwitches();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
}

void TestMainWindow::cleanup()
{
    m_dir.reset();
}

void TestMainWindow::descriptionPaneStaysUsable()
{
    RecordingReporter reporter;
    MainWindow form(&reporter);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QWidget *rightArea = form.descriptionPane()->parentWidget()->parentWidget();
    for (const int height : {460, 400, 330, 300}) {
        form.resize(640, height);
        QTest::qWait(20);
        const int paneTop = form.descriptionPane()->mapTo(rightArea, QPoint(0, 0)).y();
        QVERIFY2(paneTop >= 70, qPrintable(QStringLiteral("top %1 at height %2").arg(paneTop).arg(height)));
        QVERIFY(form.descriptionPane()->height() >= 70);
    }
}

void TestMainWindow::statusPanelFollowsWidth()
{
    RecordingReporter reporter;
    MainWindow form(&reporter);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const int width : {640, 900, 500}) {
        form.resize(width, 480);
        QTRY_COMPARE(form.statusPanel()->width(), width - 190);
    }
}

void TestMainWindow::listsTheRootFolder()
{
    {
        auto root = LinkItem::MakeFolder("My Links");
        addFolder(*root, "Work");
        addLink(*root, "Example", "http://example.com");
        addLink(*root, "Another", "http://another.example");
        QDir().mkpath(Repository::DataFolder());
        QString error;
        QVERIFY2(NativeFile::saveAtomically(Repository::DataFile(), *root, &error), qPrintable(error));
    }
    RecordingReporter reporter;
    MainWindow form(&reporter);
    QCOMPARE(form.folderBar()->folderTree()->model()->rowCount(), 1);
    QCOMPARE(form.folderBar()->folderTree()->rootRow().data().toString(), QStringLiteral("My Links"));
    const LinkListModel *model = form.listView()->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Work"));
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Another"));
    QCOMPARE(form.statusPanel()->text(), QStringLiteral("3 objects"));
    QCOMPARE(form.folderHeader()->caption(), QStringLiteral("My Links"));
    QCOMPARE(form.repository()->Root()->Visits, 1);
}

void TestMainWindow::menus_data()
{
    // Each entry is its caption, or "caption|shortcut|status tip|help context" where those are checked too.
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QStringList>("entries");
    // Whether the entries are the whole menu, in display order.
    QTest::addColumn<bool>("whole");

    const auto row = [](const char *name, QStringList path, QStringList entries, bool whole) {
        QTest::newRow(name) << path << entries << whole;
    };
    row("file", {"&File"},
        {"&New", "-", "I&mport", "&Export",
         "&Restore from Backup...||Replaces the collection with one of its daily backups|106",
         "S&ync...||Sets up syncing the collection through a WebDAV server|107",
         "Sync No&w||Syncs the collection with the WebDAV server now|107", "-",
         "&Properties...|Ctrl+P|Displays the properties of the seleced item|104", "&Close||Close window|105"},
        true);
    row("file new", {"&File", "&New"},
        {"&Folder|Ctrl+F|Create a new folder|1011", "&URL...|Ctrl+U|Create a new item|1012"}, false);
    row("import", {"&File", "I&mport"},
        {"&Quillmark File...||Imports quillmark file into the repository|1021", "-", "Internet Explorer &Favorites...",
         "&Mozilla Bookmarks...", "&Opera Hotlist...", "-", "&XBEL Bookmarks...", "-",
         "From &Browser...||Imports the bookmarks of a browser profile into the repository|1023", "-",
         "&Skip links already in the collection||Imports leave out links whose address the collection has "
         "already|102"},
        true);
    row("export", {"&File", "&Export"}, {"&HTML File...||Exports all or part of the repository into html file|0"},
        false);
    row("edit", {"&Edit"},
        {"&Undo|Ctrl+Z|Takes back the last change|0",
         "&Redo|Ctrl+Shift+Z|Makes the last change taken back again|0",
         "-",
         "&Delete|Del|Deletes the selection|205",
         "Delete &Empty Folders|Ctrl+E|Deletes empty folders from the current folder|0",
         "-",
         "&Check Links...||Checks whether the links below the folder or the selected ones still work|213",
         "Update to &New Address",
         "Update &All to New Addresses",
         "Delete &Broken Links",
         "-",
         "Find &Duplicates...||Lists links that lead to the same page|220",
         "&Keep Selected, Delete Others",
         "Clean &Up All",
         "&Merge Duplicate Folders||Merges folders of the same name in the current folder|221",
         "-",
         "Select A&ll|Ctrl+A|Select all items in the window|209",
         "D&eselect All",
         "I&nvert Selection",
         "-",
         "&Search...|Ctrl+S|Finds objects across all folders|0",
         "-",
         "&Up one Level||Go to the parent folder|208"},
        true);
    row("view", {"&View"},
        {"&Toolbar||Show or hide the toolbar|301", "&Status Bar", "-", "Description &Pane", "Folder Pa&ne",
         "&Folders||Show or hide the folders bar|3031", "-", "E&xpand All", "&Collapse All", "-",
         "La&rge Icons||Displays items by using large icons|309", "S&mall Icons", "&List",
         "&Details||Displays information about each item in the window|312", "-",
         "&Arrange Icons by||Arranging items in the window|306", "&Go to Folder...",
         "All &Bookmarks||Show all objects|0",
         "Link Check &Results||Lists the links found broken, moved or unreachable|313"},
        true);
    row("arrange by", {"&View", "&Arrange Icons by"},
        {"&Rating||Arrange items in the window by rating|306", "&Sort Descending||Sort items in descending order|306"},
        false);
    row("help", {"&Help"},
        {"&Contents|F1|Opens help|401", "-", "&Tip of the Day...", "Quillmark on the &Web", "-",
         "&About...||Displays program information, version number, and copyright|404"},
        true);
    row("web", {"&Help", "Quillmark on the &Web"}, {"&Product News||Opens the Quillmark product news page|406"}, false);
}

void TestMainWindow::menus()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, entries);
    QFETCH(bool, whole);

    RecordingReporter reporter;
    MainWindow form(&reporter);
    QAction *menu = menuEntry(form.menuBar(), path);
    QVERIFY2(menu && menu->menu(), qPrintable(path.join(QLatin1Char('>'))));
    QStringList expected;
    for (const QString &entry : entries) {
        const QStringList fields = entry.split(QLatin1Char('|'));
        expected << fields.first();
        if (fields.size() == 1)
            continue;
        QAction *action = menuEntry(form.menuBar(), path + QStringList {fields[0]});
        QVERIFY2(action, qPrintable(fields[0]));
        QCOMPARE(action->shortcut().toString(), fields[1]);
        QCOMPARE(action->statusTip(), fields[2]);
        QCOMPARE(action->property("helpContext").toInt(), fields[3].toInt());
    }
    if (whole)
        QCOMPARE(captions(menu->menu()), expected);
}

void TestMainWindow::paneSwitches()
{
    RecordingReporter reporter;
    MainWindow form(&reporter);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    MainActions *a = form.actions();

    a->toolbar->trigger();
    QVERIFY(form.toolbar()->isHidden());
    QVERIFY(!a->toolbar->isChecked());
    form.toggleToolbar();
    QVERIFY(!form.toolbar()->isHidden());
    QVERIFY(a->toolbar->isChecked());

    a->folderPane->trigger();
    QVERIFY(form.folderHeader()->isHidden());
    QVERIFY(!a->folderPane->isChecked());

    // The bar's close button releases the Folders button and clears the menu entry.
    form.hideFolderBar();
    QVERIFY(form.folderBar()->isHidden());
    QVERIFY(!a->foldersButton->isChecked());
    QVERIFY(!a->folders->isChecked());
    a->folders->trigger();
    QVERIFY(!form.folderBar()->isHidden());
    QVERIFY(a->foldersButton->isChecked());
    QVERIFY(a->folders->isChecked());
    a->foldersButton->trigger();
    QVERIFY(form.folderBar()->isHidden());
    QVERIFY(!a->folders->isChecked());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
