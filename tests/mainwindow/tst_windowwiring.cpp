// The main window's wiring: search, duplicates and the link check with their actions and menus, the focus,
// the description pane, and the other commands working on their results.
#include "common/FilePrompts.h"
#include "common/SilentReporter.h"
#include "common/StandInOpener.h"
#include "common/TransferEnd.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "linkcheck/LinkCheckStore.h"
#include "mainwindow/AutoSave.h"
#include "mainwindow/BrowserImportCommands.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/RestoreDialog.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/SyncCommands.h"
#include "mainwindow/SyncDialog.h"
#include "mainwindow/TransferCommands.h"
#include "mainwindow/TreeMenu.h"
#include "mainwindow/UndoCommands.h"
#include "store/Backups.h"
#include "store/CollectionDocument.h"
#include "widgets/FolderHeader.h"
#include "widgets/HyperlinkLabel.h"
#include <QPlainTextEdit>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace TreeBuilders;

namespace {
QStringList rowNames(const FolderListView *list)
{
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, 0).data().toString();
    return names;
}
} // namespace

class TestWindowWiring : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_window.open(*travelCollection()); }
    void cleanup() { m_window.close(); }

    void searchShortcutFocusesTheField();
    void locationInThePaneGoesToTheFolder();
    void openingAResultCountsTheVisit();
    void deletingResultsWithTheirFolder();
    void movingAResultToAFolder();
    void goToFolderOpensTheBranches();
    void duplicateActionsAndPlaces();
    void importSkipsKnownLinks_data();
    void importSkipsKnownLinks();
    void linkCheckEntriesInTheMenus();
    void linkCheckFindingInThePane();
    void linkCheckTimeoutSetting_data();
    void linkCheckTimeoutSetting();

    void fileAndEditCommands_data();
    void fileAndEditCommands();
    void entriesReachTheirCommands_data();
    void entriesReachTheirCommands();
    void formatEntriesRoundTrip_data();
    void formatEntriesRoundTrip();

private:
    // What the window shows of the folders: the header's caption and image, the status bar, the root's children,
    // whether a rename is under way, whether a save is due and the errors shown.
    QString shownState() const;
    MainWindow *form() const { return m_window.form(); }
    FolderListView *list() const { return m_window.list(); }
    FolderTreeView *tree() const { return m_window.tree(); }
    QLineEdit *field() const { return form()->searchCommands()->searchEdit(); }

    WindowFixture m_window;
};

void TestWindowWiring::searchShortcutFocusesTheField()
{
    QApplication::setActiveWindow(form());
    QVERIFY(QTest::qWaitForWindowActive(form()));
    list()->currentView()->setFocus();
    // Through the window system, as a real key press arrives, so that the shortcut map sees it.
    QTest::keyClick(form()->windowHandle(), Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), field());
    // Esc gives the list the focus back.
    QTest::keyClick(field(), Qt::Key_Escape);
    QTRY_COMPARE(QApplication::focusWidget(), list()->currentView());
}

void TestWindowWiring::locationInThePaneGoesToTheFolder()
{
    field()->setText(QStringLiteral("flore"));
    m_window.selectRows({QStringLiteral("Café de Flore")});
    QLabel *location = form()->descriptionPane()->locationLabel();
    QVERIFY(!location->isHidden());
    QVERIFY(location->text().contains(QStringLiteral("Quillmark\\Travel\\Europe\\France")));
    QCOMPARE(form()->descriptionPane()->CurrentItem()->Name, std::string("Caf\xc3\xa9 de Flore"));
    emit location->linkActivated(QStringLiteral("folder"));
    QVERIFY(!list()->model()->showsResults());
    QCOMPARE(tree()->selectedFolder()->Name, std::string("France"));
    QCOMPARE(rowNames(list()), (QStringList {"Paris", QStringLiteral("Café de Flore")}));
    QVERIFY(location->isHidden());
    QCOMPARE(QApplication::focusWidget(), tree());
}

void TestWindowWiring::openingAResultCountsTheVisit()
{
    field()->setText(QStringLiteral("tracker"));
    m_window.selectRows({QStringLiteral("Tracker")});
    LinkItem *tracker = list()->selectedItems().front();
    {
        const RecordedBoxes boxes; // no program takes the link: its warning is not shown
        QTest::keyClick(list()->currentView(), Qt::Key_Return);
    }
    QCOMPARE(tracker->Visits, 1);
    QVERIFY(list()->model()->showsResults());
}

void TestWindowWiring::deletingResultsWithTheirFolder()
{
    // "e" finds "Travel" and, inside it, "Europe", "France" and the café: selected together, these go with
    // their folder and are not removed again. In descending order the folder comes before two of them.
    form()->listPane()->sortDescendingAction()->trigger();
    field()->setText(QStringLiteral("e"));
    const int found = list()->model()->rowCount();
    QVERIFY(rowNames(list()).contains(QStringLiteral("Travel")));
    QVERIFY(rowNames(list()).indexOf(QStringLiteral("Travel")) < rowNames(list()).indexOf(QStringLiteral("France")));
    list()->currentView()->setFocus();
    form()->actions()->selectAll->trigger();
    std::size_t removed = 0;
    connect(form()->document(), &CollectionDocument::itemsAboutToBeRemoved, this,
            [&removed](const std::vector<LinkItem *> &items) { removed += items.size(); });
    form()->actions()->deleteItems->trigger();
    QCOMPARE(removed, std::size_t(found - 3));
    QCOMPARE(m_window.questions,
             QStringList {QStringLiteral("Confirm Multiple Objects Delete|Are you sure you want to delete these %1 "
                                         "objects?")
                              .arg(found)});
    QCOMPARE(rowNames(list()), QStringList {});
    QVERIFY(!m_window.node(QStringLiteral("Travel")).isValid());
}

void TestWindowWiring::movingAResultToAFolder()
{
    field()->setText(QStringLiteral("tracker"));
    m_window.selectRows({QStringLiteral("Tracker")});
    LinkItem *tracker = list()->selectedItems().front();
    const QPersistentModelIndex travel = m_window.node(QStringLiteral("Travel"));
    QMimeData data;
    data.setData(FolderTreeModel::ListMimeType, QByteArray());
    const QPoint point = tree()->visualRect(travel).center();
    QDragEnterEvent enter(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree()->viewport(), &enter);
    QDragMoveEvent move(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree()->viewport(), &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(QPointF(point), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree()->viewport(), &drop);
    QCOMPARE(tracker->Parent, FolderTreeView::itemOf(travel));
    field()->setText(QStringLiteral("tracker"));
    m_window.selectRows({QStringLiteral("Tracker")});
    QVERIFY(form()->descriptionPane()->locationLabel()->text().contains(QStringLiteral("Quillmark\\Travel")));
}

void TestWindowWiring::goToFolderOpensTheBranches()
{
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<GoToFolderDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::keyClicks(dialog->filterEdit(), QStringLiteral("france"));
        QTest::keyClick(dialog->filterEdit(), Qt::Key_Return);
    });
    form()->actions()->goToFolder->trigger();
    QCOMPARE(tree()->selectedFolder()->Name, std::string("France"));
    // The branches above it were opened to get there.
    QVERIFY(tree()->isExpanded(tree()->currentIndex().parent()));
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("2 objects"));
}

void TestWindowWiring::duplicateActionsAndPlaces()
{
    MainActions *a = form()->actions();
    QVERIFY(!a->cleanUpDuplicates->isEnabled());
    form()->duplicateCommands()->showDuplicates(form()->document()->root(), {});
    QCOMPARE(rowNames(list()), (QStringList {"Cafeteria menu", "Wiki"}));
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("2 links in 1 groups of duplicates"));
    QVERIFY(a->cleanUpDuplicates->isEnabled());
    QVERIFY(!a->keepSelectedDuplicate->isEnabled());
    QLabel *places = form()->descriptionPane()->placesLabel();
    QVERIFY(places->isHidden());
    m_window.selectRows({QStringLiteral("Wiki")});
    QVERIFY(a->keepSelectedDuplicate->isEnabled());
    QVERIFY(!places->isHidden());
    QCOMPARE(places->text(), QStringLiteral("Quillmark\nQuillmark\\Work"));
    // Back to a folder: no more places, nothing to clean up.
    tree()->setCurrentIndex(m_window.node(QStringLiteral("Work")));
    QVERIFY(places->isHidden());
    QVERIFY(!a->cleanUpDuplicates->isEnabled());
    QVERIFY(!a->keepSelectedDuplicate->isEnabled());
}

void TestWindowWiring::importSkipsKnownLinks_data()
{
    QTest::addColumn<bool>("skip");
    QTest::newRow("skipping") << true;
    QTest::newRow("keeping all") << false;
}

void TestWindowWiring::importSkipsKnownLinks()
{
    QFETCH(bool, skip);
    auto imported = LinkItem::MakeFolder(Repository::RootName);
    LinkItem *folder = addFolder(*imported, "Imported");
    addLink(*folder, "known", "http://INTRANET.example:80/menu");
    addLink(*folder, "new", "http://new.example/");
    const QString in = m_window.dir()->filePath(QStringLiteral("in.qmf"));
    QVERIFY(NativeFile::saveAtomically(in, *imported, nullptr));
    form()->actions()->skipKnownLinks->setChecked(skip);
    QCOMPARE(Settings().GetSkipKnownLinks(), skip);
    FilePrompts prompts(in);
    form()->transferCommands()->setPrompts(&prompts);
    form()->actions()->importAction(BookmarkFormat::Native)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    form()->transferCommands()->setPrompts(nullptr);
    const QPersistentModelIndex node = m_window.node(QStringLiteral("Imported"));
    QVERIFY(node.isValid());
    const LinkItem *added = FolderTreeView::itemOf(node);
    QCOMPARE(added->Children.Count(), skip ? 1 : 2);
    if (skip)
        QCOMPARE(form()->statusPanel()->text(),
                 QStringLiteral("1 folders and 1 links imported, 1 links already in the collection skipped"));
}

void TestWindowWiring::linkCheckEntriesInTheMenus()
{
    LinkCheckCommands *commands = form()->linkCheckCommands();
    MainActions *a = form()->actions();
    // In the Edit menu right after Delete Empty Folders, behind a separator.
    const QList<QAction *> edit = a->edit->menu()->actions();
    const qsizetype at = edit.indexOf(a->deleteEmptyFolders);
    QVERIFY(at >= 0 && at + 5 < edit.size());
    QVERIFY(edit[at + 1]->isSeparator());
    QCOMPARE(edit.mid(at + 2, 4),
             (QList<QAction *> {commands->checkLinksAction(), commands->updateAddressAction(),
                                commands->updateAllAddressesAction(), commands->deleteBrokenAction()}));
    QVERIFY(a->view->menu()->actions().contains(commands->resultsAction()));
    QVERIFY(list()->itemPopupMenu()->actions().contains(commands->recheckAction()));
    QVERIFY(form()->treeMenu()->menu()->actions().contains(commands->checkLinksAction()));
}

void TestWindowWiring::linkCheckFindingInThePane()
{
    LinkCheckCommands *commands = form()->linkCheckCommands();
    LinkCheckResult moved;
    moved.outcome = LinkCheckResult::Moved;
    moved.status = 200;
    moved.finalUrl = QStringLiteral("http://tracker.example/new");
    commands->store().set(QStringLiteral("http://tracker.example/"), moved);
    commands->resultsAction()->trigger();
    QCOMPARE(rowNames(list()), QStringList {"Tracker"});
    m_window.selectRows({QStringLiteral("Tracker")});
    const QString location = form()->descriptionPane()->locationLabel()->text();
    QVERIFY2(location.contains(QLatin1String("Quillmark\\Work")) && location.contains(QLatin1String("Moved (200)"))
                 && location.contains(QLatin1String("now at http://tracker.example/new")),
             qPrintable(location));
    QVERIFY(commands->updateAddressAction()->isEnabled());
}

void TestWindowWiring::linkCheckTimeoutSetting_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("timeoutMs");
    QTest::newRow("none") << QVariant() << 15000;
    QTest::newRow("set") << QVariant(40) << 40000;
    QTest::newRow("zero") << QVariant(0) << 15000;
    QTest::newRow("a word") << QVariant(QStringLiteral("soon")) << 15000;
}

void TestWindowWiring::linkCheckTimeoutSetting()
{
    // The timeout comes from the settings, and a value out of range gives the default.
    QFETCH(QVariant, stored);
    QFETCH(int, timeoutMs);
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orbrook Software"),
                           QStringLiteral("Quillmark"));
        if (stored.isValid())
            settings.setValue(QStringLiteral("1.0/LinkCheckTimeout"), stored);
    }
    SilentReporter reporter;
    MainWindow second(&reporter); // reads the settings as it starts
    QCOMPARE(second.linkCheckCommands()->options().timeoutMs, timeoutMs);
}

void TestWindowWiring::fileAndEditCommands_data()
{
    QTest::addColumn<QString>("entry");
    for (const char *entry : {"Restore from Backup", "From Browser", "Sync", "Sync Now", "Undo", "a backup"})
        QTest::newRow(entry) << QString::fromLatin1(entry);
}

// The entries reach their commands: Sync Now applies once a sync is set up and its state shows in the status bar,
// Undo and Redo follow the history, and a command's call for a backup keeps the collection as today's backup.
void TestWindowWiring::fileAndEditCommands()
{
    QFETCH(QString, entry);
    MainActions *a = form()->actions();
    bool reached = false;
    const auto reject = [&reached](QDialog *dialog) {
        reached = true;
        QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    };
    LinkItem *root = form()->document()->root();
    if (entry == QLatin1String("Restore from Backup")) {
        connect(form()->restoreCommands(), &RestoreCommands::dialogShown, this, reject);
        a->restoreFromBackup->trigger();
    } else if (entry == QLatin1String("From Browser")) {
        form()->browserImport()->setFinder([&reached] {
            reached = true;
            return QList<BrowserProfile>();
        });
        a->importBrowser->trigger();
    } else if (entry == QLatin1String("Sync")) {
        connect(form()->syncCommands(), &SyncCommands::dialogShown, this, reject);
        a->syncSettings->trigger();
    } else if (entry == QLatin1String("Sync Now")) {
        SyncCommands *sync = form()->syncCommands();
        QVERIFY(!a->syncNow->isEnabled());
        SyncSettings settings;
        settings.serverUrl = QStringLiteral("http://127.0.0.1:1/"); // refused at once
        QVERIFY(Settings().SetSync(settings));
        sync->collectionLoaded(); // reads the settings again
        QVERIFY(a->syncNow->isEnabled());
        QVERIFY(form()->statusBar()->isAncestorOf(sync->statusField()) && sync->statusField()->isVisible());
        QSignalSpy ended(sync, &SyncCommands::syncEnded);
        a->syncNow->trigger();
        reached = sync->isRunning();
        QVERIFY(ended.wait(20000));
    } else if (entry == QLatin1String("Undo")) {
        form()->document()->rename(root->Children.Get(0), "Renamed");
        QCOMPARE(a->undo->text(), UndoCommands::undoCaption(*form()->document()));
        a->undo->trigger();
        QCOMPARE(a->redo->text(), UndoCommands::redoCaption(*form()->document()));
        reached = a->redo->isEnabled() && !a->undo->isEnabled();
    } else {
        const Backups backups(Repository::DataFile());
        const QString today = backups.pathFor(backups.today());
        QVERIFY(QFile::remove(today)); // the start-up backup
        form()->view()->keepBackup();
        QFile file(today);
        reached = file.open(QIODevice::ReadOnly) && file.readAll() == nativeBytes(*root);
    }
    QVERIFY(reached);
}

QString TestWindowWiring::shownState() const
{
    QStringList children;
    for (const auto &item : form()->document()->root()->Children)
        children << QString::fromStdString(item->Name.str());
    const FolderHeader *header = form()->folderHeader();
    return QStringList {header->caption(),
                        header->imageType() == FolderHeader::itHome ? "home" : "folder",
                        form()->statusPanel()->text(),
                        children.join(QLatin1Char(',')),
                        tree()->isRenaming() ? "renaming" : "",
                        form()->autoSave()->hasUnsavedChanges() ? "unsaved" : "",
                        m_window.errors.join(QLatin1Char(','))}
        .join(QLatin1Char('|'));
}

void TestWindowWiring::entriesReachTheirCommands_data()
{
    // Steps separated by ";": "show:FOLDER" (a folder of the root), "select:NAME", "focus:tree", "focus:list",
    // "focus:description", "chain" (a chain of folders deeper than Expand All opens, under the root), "entry:NAME"
    // (triggers it), "type:TEXT" (commits an in-place rename), "click:url" (the description pane's address);
    // then shownState().
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("state");
    const QString all = QStringLiteral("|Cafeteria menu,Travel,Work|");
    const QString root = "Quillmark|home|";
    const QString work = "Work|folder|2 objects";
    const QString travel = "Travel|folder|2 objects|Cafeteria menu,Travel||unsaved|";
    QTest::newRow("nothing yet: the root shown, no save due") << "" << root + "3 objects" + all + "||";
    QTest::newRow("a folder shown") << "show:Work" << work + all + "||";
    QTest::newRow("Up One Level") << "show:Work;entry:upOneLevel" << root + "3 objects" + all + "||";
    QTest::newRow("New Folder")
        << "entry:newFolder"
        << "New Folder|folder|0 objects|Cafeteria menu,New Folder,Travel,Work|renaming|unsaved|";
    QTest::newRow("Rename in the tree's menu") << "show:Work;entry:rename;type:Jobs"
                                               << "Jobs|folder|2 objects|Cafeteria menu,Travel,Jobs||unsaved|";
    QTest::newRow("Rename refused") << "show:Work;entry:rename;type:a\\b"
                                    << work + all + "||ERROR|" + FolderTreeView::backslashMessage();
    QTest::newRow("Delete with the tree focused") << "show:Work;focus:tree;entry:deleteItems" << travel;
    QTest::newRow("Delete with the list focused")
        << "select:Cafeteria menu;focus:list;entry:deleteItems" << root + "2 objects|Travel,Work||unsaved|";
    QTest::newRow("Delete button, description focused")
        << "show:Work;focus:tree;select:Wiki;focus:description;entry:deleteButton" << travel;
    QTest::newRow("Select All") << "entry:selectAll" << root + "3 objects selected" + all + "||";
    QTest::newRow("Invert Selection") << "select:Work;entry:invertSelection"
                                      << root + "2 objects selected" + all + "||";
    QTest::newRow("Deselect All") << "select:Work;entry:deselectAll" << root + "3 objects" + all + "||";
    QTest::newRow("New URL") << "entry:newUrl" << root + "4 objects|Added,Cafeteria menu,Travel,Work||unsaved|";
    QTest::newRow("Expand All stops short")
        << "chain;entry:expandAll"
        << root + FolderTreeView::expandAllCapText() + "|Cafeteria menu,Level 1,Travel,Work||unsaved|";
    QTest::newRow("the address in the description pane")
        << "select:Cafeteria menu;click:url" << root + "1 objects selected" + all + "|unsaved|";
}

// Each entry of the menus, the toolbar and the tree's menu runs its command on what the window shows, and the
// folder header, the status bar and the automatic save follow.
void TestWindowWiring::entriesReachTheirCommands()
{
    QFETCH(QString, steps);
    QFETCH(QString, state);
    MainActions *a = form()->actions();
    const QHash<QString, QAction *> entries {
        {"upOneLevel", a->upOneLevel},   {"newFolder", a->newFolder},
        {"newUrl", a->newUrl},           {"rename", form()->treeMenu()->renameAction()},
        {"deleteItems", a->deleteItems}, {"deleteButton", a->deleteButton},
        {"selectAll", a->selectAll},     {"invertSelection", a->invertSelection},
        {"deselectAll", a->deselectAll}, {"expandAll", a->expandAll}};
    StandInOpener opener;
    for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString what = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("show:"))) {
            tree()->setCurrentIndex(m_window.node(what));
        } else if (step.startsWith(QLatin1String("select:"))) {
            m_window.selectRows({what});
        } else if (step.startsWith(QLatin1String("focus:"))) {
            const QHash<QString, QWidget *> panes {{"tree", tree()},
                                                   {"list", list()->currentView()},
                                                   {"description", form()->descriptionPane()->descriptionEdit()}};
            panes.value(what)->setFocus();
        } else if (step == QLatin1String("chain")) {
            auto chain = LinkItem::MakeFolder("Level 1");
            LinkItem *bottom = chain.get();
            for (int level = 2; level <= FolderTreeView::ExpandAllLevels + 2; ++level)
                bottom = addFolder(*bottom, "Level " + std::to_string(level));
            form()->document()->insertSorted(form()->document()->root(), std::move(chain));
        } else if (step.startsWith(QLatin1String("entry:"))) {
            if (what == QLatin1String("newUrl")) {
                QTimer::singleShot(0, this, [] {
                    QWidget *dialog = QApplication::activeModalWidget();
                    QVERIFY(dialog);
                    dialog->findChild<QLineEdit *>(QStringLiteral("ItemName"))->setText(QStringLiteral("Added"));
                    dialog->findChild<QLineEdit *>(QStringLiteral("ItemURL"))->setText(QStringLiteral("http://a.test"));
                    QMetaObject::invokeMethod(dialog, "accept");
                });
            }
            QVERIFY(entries.value(what) && entries.value(what)->isEnabled());
            entries.value(what)->trigger();
        } else if (step.startsWith(QLatin1String("type:"))) {
            auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            QVERIFY(editor);
            editor->setText(what);
            tree()->commitRename();
        } else if (step == QLatin1String("click:url")) {
            QTest::mouseClick(form()->descriptionPane()->urlLabel(), Qt::LeftButton);
            QCOMPARE(opener.opened, QStringList {"http://intranet.example/menu"});
        }
    }
    QCOMPARE(shownState(), state);
    // Rename in the tree's menu works below the root only.
    QCOMPARE(form()->treeMenu()->renameAction()->isEnabled(), form()->view()->folder()->Parent != nullptr);
    tree()->cancelRename(); // the fixture's window goes without its close, which ends a rename first
}

void TestWindowWiring::formatEntriesRoundTrip_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("file");
    QTest::newRow("native") << int(BookmarkFormat::Native) << "w.qmf";
    QTest::newRow("browser HTML") << int(BookmarkFormat::BrowserHtml) << "w.html";
    QTest::newRow("Opera hotlist") << int(BookmarkFormat::OperaHotlist) << "w.adr";
    QTest::newRow("XBEL") << int(BookmarkFormat::Xbel) << "w.xbel";
}

// A format's Export entry writes that format, which its Import entry reads into the shown folder.
void TestWindowWiring::formatEntriesRoundTrip()
{
    QFETCH(int, format);
    QFETCH(QString, file);
    const auto bookmarkFormat = BookmarkFormat(format);
    FilePrompts prompts(m_window.dir()->filePath(file));
    form()->transferCommands()->setPrompts(&prompts);
    MainActions *a = form()->actions();
    tree()->setCurrentIndex(m_window.node(QStringLiteral("Work")));
    QVERIFY(a->exportAction(bookmarkFormat)->isEnabled());
    a->exportAction(bookmarkFormat)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    QVERIFY(!form()->autoSave()->hasUnsavedChanges()); // an export changes nothing
    tree()->setCurrentIndex(m_window.node(QStringLiteral("Travel")));
    a->importAction(bookmarkFormat)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    form()->transferCommands()->setPrompts(nullptr);
    QVERIFY(prompts.noneShown());
    QVERIFY(form()->autoSave()->hasUnsavedChanges());
    QCOMPARE(tree()->selectedFolder()->Name, std::string("Travel"));
    QVERIFY(rowNames(list()).contains(QStringLiteral("Tracker")));
    QVERIFY(rowNames(list()).contains(QStringLiteral("Wiki")));
    QVERIFY2(form()->statusPanel()->text().contains(QStringLiteral("imported"))
                 || bookmarkFormat == BookmarkFormat::Native,
             qPrintable(form()->statusPanel()->text()));
}

QTEST_MAIN(TestWindowWiring)
#include "tst_windowwiring.moc"
