#pragma once

#include "mainwindow/FolderTreeModel.h"

#include <QPersistentModelIndex>
#include <QTreeView>

#include <functional>
#include <vector>

class CollectionDocument;
class CollectionView;
class LinkItem;

// The folder tree: the collection's folders (FolderTreeModel), whose branches are fetched as they
// open. The selected folder is the shown folder. The tree knows its own rules (what may be renamed, where a
// dragged folder may go); what a change of the shown folder does to the other panes is the main window's
// business, which it learns through folderSelected().
class FolderTreeView : public QTreeView
{
    Q_OBJECT
public:
    // The tree opens folders down to this depth (the root is at depth 0) and no deeper.
    static constexpr int MaxOpenDepth = FolderTreeModel::MaxOpenDepth;

    explicit FolderTreeView(QWidget *parent = nullptr);
    ~FolderTreeView() override;

    FolderTreeModel *folderModel() const { return m_model; }

    // Renames and drops go through document, and the rows follow its changes: a folder about to be destroyed
    // loses its row (the tree selects a neighbour when that was the selected row or above it).
    void follow(CollectionDocument *document);
    // The selected folder is view's shown folder, both ways; a folder the view relists gets the rows of its new
    // sub-folders, a rename the view asks for starts in place, and a drop of the list's entries carries view's
    // selected entries.
    void follow(CollectionView *view);

    // Shows the folders below item, the root opened and selected.
    void setRootFolder(LinkItem *item);
    LinkItem *selectedFolder() const;
    LinkItem *rootFolder() const { return m_model->root(); }
    // The root folder's row.
    QModelIndex rootRow() const { return m_model->index(0, 0); }
    // The index of folder when its row exists (its parent's branch was fetched), else none.
    QModelIndex indexOf(const LinkItem *folder) const { return m_model->indexOf(folder); }
    static LinkItem *itemOf(const QModelIndex &index) { return FolderTreeModel::itemOf(index); }

    // Selects folder, opening the branches above it; the selection's change shows it (folderSelected). For a
    // folder deeper than MaxOpenDepth, its ancestor at that depth. Returns the folder selected, or none.
    LinkItem *selectFolder(const LinkItem *folder);
    // The index of a folder anywhere in the collection, opening the branches above it as needed. For a
    // folder deeper than MaxOpenDepth, the index of its ancestor at that depth.
    QModelIndex revealFolder(const LinkItem *folder);
    // Opens index, fetching its branch first.
    void open(const QModelIndex &index);
    // What the window says when a folder lies deeper than the tree opens.
    static QString tooDeepText();

    // Expand or collapse the whole tree; both then show the root folder (folderSelected for the root)
    // without moving the selection. Expand All opens level by level from the root and stops at
    // ExpandAllLevels levels or ExpandAllFolders folders with sub-folders, whichever comes first, so that
    // a deep or huge tree stays quick to show; it returns false when it stopped there.
    static constexpr int ExpandAllLevels = 64;
    static constexpr int ExpandAllFolders = 5000;
    bool ExpandAll();
    void CollapseAll();
    // What the status bar says when Expand All stopped short.
    static QString expandAllCapText();

    // Left button held on the tree, and the folder it was pressed on.
    bool isButtonDown() const { return m_buttonDown; }
    LinkItem *dragSource() const { return itemOf(m_dragSource); }
    // A drop ends the drag that a press on the tree began: the press no longer holds the selection.
    void finishDrag() { m_buttonDown = false; }

    // In-place renaming of a folder's name; never the root.
    bool startRename(const LinkItem *folder);
    void commitRename();
    void cancelRename();
    bool isRenaming() const;

    // The items of the link list's selected entries, for the drop rules.
    void setListSelection(std::function<std::vector<LinkItem *>()> selection)
    {
        m_model->setListSelection(std::move(selection));
    }

    // The drop rules: may a drag of this kind land on target?
    bool acceptsTreeDrop(const QModelIndex &target) const;
    bool acceptsListDrop(const QModelIndex &target) const { return m_model->acceptsListDrop(target); }
    // Moves the dragged folder under target through the document and opens target; false when refused.
    bool moveDraggedInto(const QModelIndex &target);
    // Moves the dragged folder under target as moveDraggedInto does, and selects it.
    void dropTreeNode(const QModelIndex &target);

    // The popup entry "&Collapse"/"E&xpand" follows the selected folder, and works when it has sub-folders.
    QString collapseExpandCaption() const;
    bool canCollapseExpand() const;
    void toggleExpanded();

    // The text used when a name with a backslash is refused.
    static QString backslashMessage();

signals:
    // The selection moved to folder: the window shows it.
    void folderSelected(LinkItem *folder);
    // Entries of the link list were dropped on target; the main window moves them.
    void listEntriesDropped(LinkItem *target);
    // A name with a backslash was refused; the main window shows the message.
    void nameRefused();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void onCurrentChanged(const QModelIndex &current);
    void startDragOf(const QModelIndex &index);
    bool acceptsDrop(const QMimeData *data, const QModelIndex &target) const;
    // After a new layout that took the selected row away: the nearest folder above it that still has a row.
    void selectSurvivor();
    // Closes every open row below the rows of these folders, before they go: the view keeps an index for
    // each open row, and a removal walks them all.
    void closeBranches(const std::vector<LinkItem *> &folders);

    FolderTreeModel *m_model;
    bool m_buttonDown = false;
    bool m_quiet = false; // the selection moves without showing a folder
    QPersistentModelIndex m_dragSource;
    QPoint m_pressPosition;
    LinkItem *m_selected = nullptr;
};
