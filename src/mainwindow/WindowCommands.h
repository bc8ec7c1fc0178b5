#pragma once

#include <QObject>

class BrowserImportCommands;
class CollectionDocument;
class CollectionView;
class DescriptionPane;
class DuplicateCommands;
class FolderCommands;
class FolderListView;
class FolderTreeView;
class ItemCommands;
class LinkCheckCommands;
class MainActions;
class PaneStates;
class RestoreCommands;
class SearchCommands;
class SyncCommands;
class TransferCommands;
class TreeMenu;
class UndoCommands;
class QWidget;

// The window's commands: each command class over the window's document and view, and what reaches them from
// the window: the menus' and the toolbar's actions, the popup menus of the list and the tree, double-clicks,
// Enter and drops in the panes, and the clicks in the description pane. What the commands tell of their state
// goes back to the actions and the panes.
class WindowCommands : public QObject
{
    Q_OBJECT
public:
    // The window's parts that the commands are reached from; they outlive the commands.
    struct Panes
    {
        MainActions *actions;
        FolderTreeView *tree;
        TreeMenu *treeMenu;
        FolderListView *list;
        DescriptionPane *description;
        PaneStates *states;
    };

    // window: the parent of the commands' dialogs. The commands belong to this object: destroying it ends their
    // work (a transfer, a check, a backup) while the collection is still there.
    WindowCommands(CollectionDocument *document, CollectionView *view, const Panes &panes, QWidget *window);

    ItemCommands *items() const { return m_items; }
    FolderCommands *folders() const { return m_folders; }
    UndoCommands *undo() const { return m_undo; }
    TransferCommands *transfer() const { return m_transfer; }
    BrowserImportCommands *browserImport() const { return m_browserImport; }
    SearchCommands *search() const { return m_search; }
    DuplicateCommands *duplicates() const { return m_duplicates; }
    LinkCheckCommands *linkCheck() const { return m_linkCheck; }
    RestoreCommands *restore() const { return m_restore; }
    SyncCommands *sync() const { return m_sync; }

private:
    void connectItems();
    void connectListPopup();
    void connectDrops();
    void connectFolders();
    void connectHistory();
    void connectTransfers();
    void connectSearch();
    void connectDuplicates();
    void connectLinkCheck();

    CollectionDocument *m_document;
    CollectionView *m_view;
    Panes m_panes;
    // In the order they are made, which is the order in which they hear of the view's and the document's changes.
    FolderCommands *m_folders;
    ItemCommands *m_items;
    TransferCommands *m_transfer;
    BrowserImportCommands *m_browserImport;
    SearchCommands *m_search;
    RestoreCommands *m_restore;
    DuplicateCommands *m_duplicates;
    SyncCommands *m_sync;
    UndoCommands *m_undo;
    LinkCheckCommands *m_linkCheck;
};
