#pragma once

#include "mainwindow/MainPanes.h"

#include <QObject>

class CollectionDocument;
class LinkItem;
class QAction;
class QMenu;
class QMimeData;
class QTreeWidgetItem;

// The commands on folders and links in the main window: New Folder, New URL, Delete, the selection
// commands, opening entries, the Properties commands, drops on the list and of list entries on the
// tree, the list's popup menu, and what the panes show as the focus and the selection move.
class ItemCommands : public QObject
{
    Q_OBJECT
public:
    ItemCommands(const MainPanes &panes, QObject *parent);

    QMenu *entryMenu() const { return m_popup; }
    QAction *openAction() const { return m_open; }
    QAction *deleteEntriesAction() const { return m_delete; }
    QAction *entryPropertiesAction() const { return m_properties; }

    void newFolder(); // New Folder
    void newUrl(); // New URL
    void DeleteButtonClick();
    void selectAll();
    void deselectAll();
    void invertSelection();
    void LinkListDblClick();
    // The description pane's URL was clicked: it is opened, and the first selected entry counts the visit.
    void URLLabelClick(const QString &link);
    void showProperties(); // File menu: the selected entry while the list has the focus, else the shown folder
    void showFolderProperties(); // tree popup: the shown folder
    void showEntryProperties(); // list popup: the first selected entry

    // Shows an item in the description pane; "&Properties..." is enabled exactly while one is shown.
    void ShowItemDetails(LinkItem *item);
    // Off while the window closes, so that nothing reacts to rows whose items are going away.
    void setListHandlersEnabled(bool enabled) { m_listHandlers = enabled; }
    bool listHasFocus() const;

    // The list's drop rules and drops (LinkListDragOver and LinkListDragDrop).
    bool LinkListDrop(const QMimeData *data, const QPoint &position, bool drop);
    // List entries dropped on a tree node: they move into its folder.
    void dropListEntriesOnTree(QTreeWidgetItem *target);

private:
    void LinkListSelectItem();
    void updateDeleteCommand();
    void LinkListEnter();
    void LinksTreeEnter();
    void prepareListMenu();
    void descriptionEntered();
    void descriptionLeft();
    // Counts an opening of a link (or a folder's stamp) and shows it in the entry's cells.
    void countVisit(LinkItem *item);
    void editProperties(LinkItem *item);
    LinkItem *firstSelectedEntry() const;
    bool eventFilter(QObject *watched, QEvent *event) override;

    MainPanes m_panes;
    QMenu *m_popup;
    QAction *m_open;
    QAction *m_delete;
    QAction *m_properties;
    bool m_listHandlers = true;
};
