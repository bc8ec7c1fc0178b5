#pragma once

#include "formats/BookmarkFormat.h"

#include <QHash>
#include <QObject>

class LinkListPane;
class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// Every entry of the main menu and the toolbar, with its caption, shortcut, hint and help context.
// A hint's text before "|" is the tooltip and the text after it the status-bar text; a hint without
// "|" serves as both. The help context number is kept as the action's "helpContext" property.
// Entries whose command is not built yet are present and disabled.
class MainActions : public QObject
{
    Q_OBJECT
public:
    // window: owns the actions, so that their shortcuts work while the menus are closed.
    MainActions(QMainWindow *window, LinkListPane *listPane);

    // Fills the menu bar in display order.
    void buildMenus(QMenuBar *menuBar);
    // Fills the toolbar: New Folder, New URL | Up, Delete | Search, Folders | Views, Help.
    void buildToolbar(QToolBar *toolbar);

    // The Import and Export menus' entry of a format, made from the format table; none when the format has no
    // such command.
    QAction *importAction(BookmarkFormat format) const { return m_imports.value(format); }
    QAction *exportAction(BookmarkFormat format) const { return m_exports.value(format); }

    // Puts the link check's entries into the menus built by buildMenus: a group of their own in the Edit menu
    // after the deletes, and results after All Bookmarks in the View menu.
    void addLinkCheckEntries(const QList<QAction *> &editEntries, QAction *results) const;

    // Splits a hint at "|" into tooltip and status text and stores both on the action.
    static void setHint(QAction *action, const QString &hint);

    // File (the menus' own entries exist once buildMenus has run)
    QAction *file = nullptr;
    QAction *fileNew = nullptr;
    QAction *newFolder;
    QAction *newUrl;
    QAction *import = nullptr;
    QAction *importBrowser;
    QAction *skipKnownLinks; // checkable: imports leave out links the collection has
    QAction *exportMenu = nullptr;
    QAction *restoreFromBackup;
    QAction *syncSettings;
    QAction *syncNow;
    QAction *properties;
    QAction *close;
    // Edit
    QAction *edit = nullptr;
    QAction *undo; // captions follow the history (UndoCommands)
    QAction *redo;
    QAction *deleteItems;
    QAction *deleteEmptyFolders;
    QAction *findDuplicates;
    QAction *keepSelectedDuplicate; // these two while duplicates are listed
    QAction *cleanUpDuplicates;
    QAction *mergeDuplicateFolders;
    QAction *selectAll;
    QAction *deselectAll;
    QAction *invertSelection;
    QAction *search;
    QAction *upOneLevel;
    // View
    QAction *view = nullptr;
    QAction *toolbar;
    QAction *statusBar;
    QAction *descriptionPane;
    QAction *folderPane;
    QAction *folders;
    QAction *expandAll;
    QAction *collapseAll;
    QAction *arrangeIconsBy = nullptr;
    QAction *goToFolder;
    QAction *allBookmarks;
    // Help
    QAction *help = nullptr;
    QAction *contents;
    QAction *tipOfTheDay;
    QAction *onTheWeb = nullptr;
    QAction *productNews;
    QAction *sendFeedback;
    QAction *homePage;
    QAction *about;
    // Toolbar buttons that are not menu entries
    QAction *deleteButton = nullptr; // enabled by rules of its own (buildToolbar makes it)
    QAction *foldersButton;
    QAction *viewsButton;
    QAction *helpButton;

private:
    QAction *make(const QString &caption, const QString &hint, int helpContext = 0);
    // A menu added to parent (the menu bar or a menu); entry becomes its menu action.
    QMenu *addMenu(QWidget *parent, QAction *&entry, const QString &caption, const QString &hint, int helpContext);
    // A toolbar button that runs command; with followEnabled it is enabled exactly when the command is.
    QAction *mirror(QAction *command, const QString &caption, const QString &hint, bool followEnabled = true);

    // Adds the entries of every format in the table's order, a separator between groups.
    void addFormatEntries(QMenu *menu, const QHash<BookmarkFormat, QAction *> &entries) const;

    QMainWindow *m_window;
    LinkListPane *m_listPane;
    QHash<BookmarkFormat, QAction *> m_imports;
    QHash<BookmarkFormat, QAction *> m_exports;
};
