#pragma once

#include <QTreeWidget>

#include <functional>
#include <vector>

class CollectionDocument;
class LinkItem;

// The folder tree `LinksTree`: one node per folder, built lazily as branches open, sorted by text.
// The selected node is the shown folder. The tree knows its own rules (what may be renamed, where a
// dragged folder may go, how a branch is rebuilt); what a change of the shown folder does to the
// other panes is the main window's business, which it learns through folderSelected().
class FolderTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    // The drag formats: folders dragged from the tree, entries dragged from the link list.
    static const QString TreeMimeType;
    static const QString ListMimeType;

    // The tree opens folders down to this depth (the root is at depth 0) and no deeper. The view lays an
    // open branch out one recursive call a level, in time that grows with the square of its depth.
    static constexpr int MaxOpenDepth = 10000;

    explicit FolderTreeView(QWidget *parent = nullptr);
    ~FolderTreeView() override;

    // Renames and drops go through document, and the nodes follow its changes: a folder added where its
    // parent's node exists gets a node (or the has-children mark), a renamed folder's node takes the new
    // name, a moved folder's node moves along (unless a drop on the tree has moved it already), and a folder
    // about to be destroyed loses its node (the tree selects a neighbour when that was the selected node or
    // above it).
    void follow(CollectionDocument *document);

    // One root node for item, expanded (which builds its children) and selected.
    void SetRoot(LinkItem *item);
    LinkItem *SelectedItem() const;
    QTreeWidgetItem *SelectedNode() const { return currentItem(); }
    QTreeWidgetItem *RootNode() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }

    // Rebuild a branch from the collection whenever it opens (on), or keep its nodes (off).
    void SetAutoFill(bool on) { m_autoFill = on; }
    bool AutoFill() const { return m_autoFill; }

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

    static LinkItem *itemOf(const QTreeWidgetItem *node);
    // A node for folder under parent, with its has-children mark; the siblings re-sort.
    // Adds the node of folder below parent; sortNow false leaves sorting to the caller, who adds many.
    QTreeWidgetItem *addFolderNode(QTreeWidgetItem *parent, LinkItem *folder, bool sortNow = true);
    // The node of folder anywhere among the nodes that exist (collapsed branches included), or none.
    QTreeWidgetItem *findNode(const LinkItem *folder) const;
    // The node of folder found down its path from the root, or none when a node on the way is not built.
    QTreeWidgetItem *nodeOf(const LinkItem *folder) const;
    // The first child node of parent whose item is folder (SameItem), or none.
    static QTreeWidgetItem *childNodeOf(const QTreeWidgetItem *parent, const LinkItem *folder);
    // Collapse the node (this level), give it the has-children mark and expand it again, which rebuilds
    // its child nodes from the collection.
    void reopen(QTreeWidgetItem *node);
    // The node of a folder anywhere in the collection, opening the branches above it as needed. For a
    // folder deeper than MaxOpenDepth, the node of its ancestor at that depth.
    QTreeWidgetItem *revealFolder(const LinkItem *folder);
    // What the window says when a folder lies deeper than the tree opens.
    static QString tooDeepText();
    // Deletes a node with its branch; the tree forgets every reference it kept into that branch.
    void deleteNode(QTreeWidgetItem *node);
    // Sets a node's text after its folder was renamed elsewhere.
    void setNodeText(QTreeWidgetItem *node, const QString &text);

    // Left button held on the tree, and the node it was pressed on.
    bool TreeButtonDown() const { return m_buttonDown; }
    QTreeWidgetItem *DragSourceNode() const { return m_dragSource; }
    // A drop ends the drag that a press on the tree began: the press no longer holds the selection.
    void finishDrag() { endButtonDown(); }

    // In-place renaming of a folder's name; never the root.
    bool startRename(QTreeWidgetItem *node);
    void commitRename();
    void cancelRename();
    bool isRenaming() const;

    // The items of the link list's selected entries, for the drop rules.
    void setListSelection(std::function<std::vector<LinkItem *>()> selection)
    {
        m_listSelection = std::move(selection);
    }

    // The drop rules: may a drag of this kind land on target?
    bool acceptsTreeDrop(const QTreeWidgetItem *target) const;
    bool acceptsListDrop(const QTreeWidgetItem *target) const;
    // Moves the dragged folder under target, in the tree and the collection, and selects it.
    void dropTreeNode(QTreeWidgetItem *target);

    // The popup entry "&Collapse"/"E&xpand" follows the selected node.
    QString collapseExpandCaption() const;
    void CollapseExpandClick();

    // The text used when a name with a backslash is refused.
    static QString backslashMessage();

signals:
    // The selection moved to node: the main window shows its folder (LinksTreeChanging).
    void folderSelected(QTreeWidgetItem *node);
    // Entries of the link list were dropped on target; the main window moves them.
    void listEntriesDropped(QTreeWidgetItem *target);
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
    void onCurrentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void onExpanded(QTreeWidgetItem *node);
    void onItemChanged(QTreeWidgetItem *node, int column);
    // Rebuilds the children of node, which lies at depth.
    void rebuildChildren(QTreeWidgetItem *node, int depth);
    // Opens node, which lies at depth: the caller knows it, so that opening a long chain stays linear.
    void openNode(QTreeWidgetItem *node, int depth);
    QTreeWidgetItem *newFolderNode(LinkItem *folder, int depth) const;
    // Closes every node below node, so that the view no longer keeps an index for each of them.
    void closeBranch(QTreeWidgetItem *node);
    // Takes every node out of the tree and deletes them.
    void removeAllNodes();
    void startDragOf(QTreeWidgetItem *node);
    void endButtonDown();
    bool acceptsDrop(const QMimeData *data, const QTreeWidgetItem *target) const;

    void folderInserted(LinkItem *folder);

    CollectionDocument *m_document = nullptr;
    bool m_autoFill = true;
    bool m_buttonDown = false;
    bool m_rebuilding = false;
    QTreeWidgetItem *m_dragSource = nullptr;
    QPoint m_pressPosition;
    QTreeWidgetItem *m_renaming = nullptr;
    std::function<std::vector<LinkItem *>()> m_listSelection;
};
