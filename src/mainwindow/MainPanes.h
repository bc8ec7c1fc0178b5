#pragma once

class CollectionDocument;
class DescriptionPane;
class FolderBar;
class FolderListView;
class FolderTreeView;
class LinkItem;
class LinkListPane;
class MainActions;
class QString;
class QWidget;

// The refreshes of the shown folder, which the main window runs over all its panes.
class ShownFolderView
{
public:
    virtual ~ShownFolderView() = default;

    // The selection-change refresh: shows folder everywhere, stamps and counts the visit.
    virtual void LinksTreeChanging(LinkItem *folder) = 0;
    // Lists a folder without moving the tree's selection.
    virtual void ShowFolderContents(LinkItem *folder) = 0;
    // Writes the status text and sets it as the hint of the panes, the toolbar and the window.
    virtual void setStatusText(const QString &text) = 0;
    // The status text by the rule: the selection form when entries are selected, else the count form.
    virtual void updateStatusText() = 0;
    // Keeps the collection as it is as today's backup, before a change that removes many items.
    virtual void keepBackup() { }
    // While off, showing or relisting a folder counts no visit and leaves its Last Visit as it is: an undo,
    // and the panes that follow it, must leave the collection exactly as it was.
    virtual void setCountsVisits(bool) { }
};

// What the command classes work on: the collection document, the panes of the main window and its
// actions, never the window as a whole.
struct MainPanes
{
    CollectionDocument *document = nullptr;
    QWidget *window = nullptr; // the owner of the commands' dialogs and message boxes
    MainActions *actions = nullptr;
    FolderBar *folderBar = nullptr;
    FolderTreeView *tree = nullptr;
    FolderListView *list = nullptr;
    LinkListPane *listPane = nullptr;
    DescriptionPane *description = nullptr;
    ShownFolderView *view = nullptr;
};
