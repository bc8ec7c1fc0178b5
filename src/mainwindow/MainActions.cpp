#include "mainwindow/MainActions.h"

#include "mainwindow/LinkListPane.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

void MainActions::setHint(QAction *action, const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    const QString tip = bar < 0 ? hint : hint.left(bar);
    const QString status = bar < 0 ? hint : hint.mid(bar + 1);
    action->setToolTip(tip.isEmpty() ? QString(action->text()).remove(QLatin1Char('&')) : tip);
    action->setStatusTip(status);
    action->setProperty("hint", hint);
}

QAction *MainActions::make(const QString &caption, const QString &hint, int helpContext)
{
    auto *action = new QAction(caption, m_window);
    setHint(action, hint);
    if (helpContext)
        action->setProperty("helpContext", helpContext);
    m_window->addAction(action);
    return action;
}

void MainActions::addFormatEntries(QMenu *menu, const QHash<BookmarkFormat, QAction *> &entries) const
{
    int group = -1;
    for (const BookmarkFormatInfo &info : BookmarkFormatInfo::all()) {
        QAction *entry = entries.value(info.format);
        if (!entry)
            continue;
        if (group >= 0 && info.menuGroup != group)
            menu->addSeparator();
        group = info.menuGroup;
        menu->addAction(entry);
    }
}

MainActions::MainActions(QMainWindow *window, LinkListPane *listPane)
    : QObject(window), m_window(window), m_listPane(listPane)
{
    newFolder = make(tr("&Folder"), tr("Create a new folder"), 1011);
    newFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    newFolder->setIcon(Icons::newFolder());
    newUrl = make(tr("&URL..."), tr("Create a new item"), 1012);
    newUrl->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    newUrl->setIcon(Icons::newUrl());
    for (const BookmarkFormatInfo &info : BookmarkFormatInfo::all()) {
        if (info.canImport())
            m_imports.insert(info.format, make(info.importMenuText, info.importHint, info.importHelpContext));
        if (info.canExport())
            m_exports.insert(info.format, make(info.exportMenuText, info.exportHint, info.exportHelpContext));
    }
    importBrowser
        = make(tr("From &Browser..."), tr("Imports the bookmarks of a browser profile into the repository"), 1023);
    skipKnownLinks = make(tr("&Skip links already in the collection"),
                          tr("Imports leave out links whose address the collection has already"), 102);
    skipKnownLinks->setCheckable(true);
    restoreFromBackup
        = make(tr("&Restore from Backup..."), tr("Replaces the collection with one of its daily backups"), 106);
    syncSettings = make(tr("S&ync..."), tr("Sets up syncing the collection through a WebDAV server"), 107);
    syncNow = make(tr("Sync No&w"), tr("Syncs the collection with the WebDAV server now"), 107);
    properties = make(tr("&Properties..."), tr("|Displays the properties of the seleced item"), 104);
    properties->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    close = make(tr("&Close"), tr("Close|Close window"), 105);

    undo = make(tr("&Undo"), tr("Takes back the last change"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo = make(tr("&Redo"), tr("Makes the last change taken back again"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    deleteItems = make(tr("&Delete"), tr("Deletes the selection"), 205);
    deleteItems->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteItems->setIcon(Icons::deleteItems());
    deleteEmptyFolders = make(tr("Delete &Empty Folders"), tr("Deletes empty folders from the current folder"));
    deleteEmptyFolders->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    findDuplicates = make(tr("Find &Duplicates..."), tr("Lists links that lead to the same page"), 220);
    keepSelectedDuplicate = make(tr("&Keep Selected, Delete Others"),
                                 tr("Keeps the selected link of its group of duplicates and deletes the others"), 220);
    cleanUpDuplicates = make(tr("Clean &Up All"), tr("Keeps one link of every group of duplicates"), 220);
    keepSelectedDuplicate->setEnabled(false);
    cleanUpDuplicates->setEnabled(false);
    mergeDuplicateFolders
        = make(tr("&Merge Duplicate Folders"), tr("Merges folders of the same name in the current folder"), 221);
    selectAll = make(tr("Select A&ll"), tr("Select all items in the window"), 209);
    selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    deselectAll = make(tr("D&eselect All"), tr("Deselect all items in the window"), 210);
    invertSelection = make(tr("I&nvert Selection"), tr("Reverses which items are selected and which are not"), 211);
    search = make(tr("&Search..."), tr("Finds objects across all folders"));
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    search->setIcon(Icons::search());
    upOneLevel = make(tr("&Up one Level"), tr("Go to the parent folder"), 208);
    upOneLevel->setIcon(Icons::up());

    toolbar = make(tr("&Toolbar"), tr("Show or hide the toolbar"), 301);
    statusBar = make(tr("&Status Bar"), tr("Show or hide the status bar"), 302);
    descriptionPane = make(tr("Description &Pane"), tr("Show or hide the description pane"), 308);
    folderPane = make(tr("Folder Pa&ne"), tr("Show or hide the folder pane"), 307);
    folders = make(tr("&Folders"), tr("Show or hide the folders bar"), 3031);
    for (QAction *check : {toolbar, statusBar, descriptionPane, folderPane, folders})
        check->setCheckable(true);
    for (QAction *check : {toolbar, statusBar, descriptionPane, folderPane})
        check->setChecked(true);
    expandAll = make(tr("E&xpand All"), tr("Expand all items from the root"), 304);
    collapseAll = make(tr("&Collapse All"), tr("Collapse all items from the root"), 305);
    goToFolder = make(tr("&Go to Folder..."), tr("Allows you to pick a folder to go to"));
    allBookmarks = make(tr("All &Bookmarks"), tr("Show all objects"));

    contents = make(tr("&Contents"), tr("Opens help"), 401);
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    tipOfTheDay = make(tr("&Tip of the Day..."), tr("Displays a tip of the day"), 402);
    productNews = make(tr("&Product News"), tr("Opens the Quillmark product news page"), 406);
    sendFeedback = make(tr("Send &Feedback"), tr("Opens the Quillmark product feedback page"), 407);
    homePage = make(tr("Quillmark &Home Page"), tr("Shows Quillmark Home Page"), 403);
    about = make(tr("&About..."), tr("About|Displays program information, version number, and copyright"), 404);

    foldersButton = make(tr("Folders"), tr("|Show or hide the folders bar"), 3031);
    foldersButton->setCheckable(true);
    foldersButton->setIcon(Icons::folders());
    viewsButton = make(tr("Views"), tr("|Changes displays items view"));
    viewsButton->setIcon(Icons::views());
    helpButton = make(tr("Help"), tr("|Opens help"), 401);
    helpButton->setIcon(Icons::help());
}

QMenu *MainActions::addMenu(QWidget *parent, QAction *&entry, const QString &caption, const QString &hint,
                            int helpContext)
{
    auto *menu = new QMenu(caption, parent);
    entry = menu->menuAction();
    setHint(entry, hint);
    entry->setProperty("helpContext", helpContext);
    if (auto *bar = qobject_cast<QMenuBar *>(parent))
        bar->addMenu(menu);
    else
        static_cast<QMenu *>(parent)->addMenu(menu);
    return menu;
}

void MainActions::buildMenus(QMenuBar *menuBar)
{
    QMenu *fileMenu = addMenu(menuBar, file, tr("&File"), tr("File related commands"), 100);
    QMenu *newMenu = addMenu(fileMenu, fileNew, tr("&New"), tr("Create a new folder or item"), 101);
    newMenu->addActions({newFolder, newUrl});
    fileMenu->addSeparator();
    QMenu *importMenu = addMenu(fileMenu, import, tr("I&mport"), tr("Imports into the repository"), 102);
    addFormatEntries(importMenu, m_imports);
    importMenu->addSeparator();
    importMenu->addAction(importBrowser);
    importMenu->addSeparator();
    importMenu->addAction(skipKnownLinks);
    QMenu *exportSub = addMenu(fileMenu, exportMenu, tr("&Export"), tr("Exports all or part of the repository"), 103);
    addFormatEntries(exportSub, m_exports);
    fileMenu->addAction(restoreFromBackup);
    fileMenu->addActions({syncSettings, syncNow});
    fileMenu->addSeparator();
    fileMenu->addActions({properties, close});

    QMenu *editMenu = addMenu(menuBar, edit, tr("&Edit"), tr("Edit commands"), 200);
    editMenu->addActions({undo, redo});
    editMenu->addSeparator();
    editMenu->addActions({deleteItems, deleteEmptyFolders});
    editMenu->addSeparator();
    editMenu->addActions({findDuplicates, keepSelectedDuplicate, cleanUpDuplicates, mergeDuplicateFolders});
    editMenu->addSeparator();
    editMenu->addActions({selectAll, deselectAll, invertSelection});
    editMenu->addSeparator();
    editMenu->addAction(search);
    editMenu->addSeparator();
    editMenu->addAction(upOneLevel);

    QMenu *viewMenu = addMenu(menuBar, view, tr("&View"), tr("View commands"), 300);
    viewMenu->addActions({toolbar, statusBar});
    viewMenu->addSeparator();
    viewMenu->addActions({descriptionPane, folderPane, folders});
    viewMenu->addSeparator();
    viewMenu->addActions({expandAll, collapseAll});
    viewMenu->addSeparator();
    m_listPane->addViewMenuEntries(viewMenu);
    viewMenu->addSeparator();
    QMenu *arrangeMenu = addMenu(viewMenu, arrangeIconsBy, tr("&Arrange Icons by"),
                                 tr("|Arranging items in the window"), LinkListPane::SortHelpContext);
    m_listPane->addArrangeEntries(arrangeMenu);
    viewMenu->addActions({goToFolder, allBookmarks});

    QMenu *helpMenu = addMenu(menuBar, help, tr("&Help"), tr("Help topics"), 400);
    helpMenu->addAction(contents);
    helpMenu->addSeparator();
    helpMenu->addAction(tipOfTheDay);
    QMenu *webMenu = addMenu(helpMenu, onTheWeb, tr("Quillmark on the &Web"),
                             tr("Gets help and other product information on the Internet"), 405);
    webMenu->addActions({productNews, sendFeedback});
    webMenu->addSeparator();
    webMenu->addAction(homePage);
    helpMenu->addSeparator();
    helpMenu->addAction(about);
}

QAction *MainActions::mirror(QAction *command, const QString &caption, const QString &hint, bool followEnabled)
{
    // A toolbar button has its own caption and hint and runs the menu entry's command; it is enabled
    // exactly when the entry is.
    QAction *button = make(caption, hint, command->property("helpContext").toInt());
    button->setIcon(command->icon());
    button->setEnabled(command->isEnabled());
    if (followEnabled)
        connect(command, &QAction::changed, button, [command, button] { button->setEnabled(command->isEnabled()); });
    connect(button, &QAction::triggered, command, &QAction::trigger);
    return button;
}

void MainActions::buildToolbar(QToolBar *bar)
{
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(24, 24));
    const auto button = [bar](QAction *action) {
        auto *toolButton = new QToolButton(bar);
        toolButton->setDefaultAction(action);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        toolButton->setAutoRaise(true);
        toolButton->setMinimumSize(61, 44);
        bar->addWidget(toolButton);
        return toolButton;
    };
    button(mirror(newFolder, tr("New Folder"), tr("|Create a new folder")));
    button(mirror(newUrl, tr("New URL"), tr("|Create a new item")));
    bar->addSeparator();
    button(mirror(upOneLevel, tr("Up"), tr("|Up one level")));
    deleteButton = mirror(deleteItems, tr("Delete"), tr("|Deletes the selection"), false);
    button(deleteButton);
    bar->addSeparator();
    button(mirror(search, tr("Search"), tr("|Finds objects across all folders")));
    button(foldersButton);
    bar->addSeparator();
    QToolButton *views = button(viewsButton);
    auto *dropDown = new QMenu(views);
    m_listPane->addViewsDropDownEntries(dropDown);
    views->setMenu(dropDown);
    views->setPopupMode(QToolButton::InstantPopup);
    button(helpButton);
}

void MainActions::addLinkCheckEntries(const QList<QAction *> &editEntries, QAction *results) const
{
    if (edit && edit->menu()) {
        QMenu *menu = edit->menu();
        const QList<QAction *> entries = menu->actions();
        const qsizetype after = entries.indexOf(deleteEmptyFolders);
        QAction *before = after >= 0 && after + 1 < entries.size() ? entries[after + 1] : nullptr;
        menu->insertSeparator(before);
        menu->insertActions(before, editEntries);
    }
    if (view && view->menu())
        view->menu()->addAction(results);
}
