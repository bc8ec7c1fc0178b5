#pragma once

#include <QAbstractItemModel>
#include <QString>

#include <functional>
#include <unordered_map>
#include <vector>

class CollectionDocument;
class LinkItem;

// The folders of the collection as a tree model: one row per folder, the root folder the one top row,
// sub-folders sorted by their shown name (locale-aware, equal names in the collection's order). An index
// points at its folder. The model learns a folder's sub-folders only when a view asks for them (fetchMore),
// keeps them in a list of its own, and follows the document's changes on the lists it has, so that finding
// an index's parent and row costs two look-ups however many folders there are.
//
// Renames (setData) and drops (dropMimeData) go through the document.
class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    // The drag formats: folders dragged from the tree, entries dragged from the link list.
    static const QString TreeMimeType;
    static const QString ListMimeType;

    // Folders down to this depth (the root is at depth 0) show their sub-folders, deeper ones do not. A view
    // lays an open branch out one recursive call a level, in time that grows with the square of its depth.
    static constexpr int MaxOpenDepth = 10000;

    explicit FolderTreeModel(QObject *parent = nullptr);
    ~FolderTreeModel() override;

    // Follows document's changes and renames and moves through it.
    void setDocument(CollectionDocument *document);
    // Shows the folders below root (none: an empty model).
    void setRoot(LinkItem *root);
    LinkItem *root() const { return m_root; }

    static LinkItem *itemOf(const QModelIndex &index);
    // The index of folder when it is a row of the model, that is, when its parent's sub-folders were fetched.
    QModelIndex indexOf(const LinkItem *folder) const;
    // The index of folder, fetching the sub-folders of the folders above it as needed; for a folder deeper
    // than MaxOpenDepth, the index of its ancestor at that depth. Invalid when folder is not below the root.
    QModelIndex reveal(const LinkItem *folder);
    // Makes folder's rows the sub-folders it holds now, for a folder that was filled without the document:
    // gone ones removed, new ones inserted.
    void reconcile(LinkItem *folder);
    // Whether the sub-folders of index's folder are rows of the model.
    bool isFetched(const QModelIndex &index) const;

    // The items of the link list's selected entries, for the drop rules.
    void setListSelection(std::function<std::vector<LinkItem *>()> selection)
    {
        m_listSelection = std::move(selection);
    }
    // The drop rules: may a drag of this kind land on target?
    bool acceptsTreeDrop(const LinkItem *dragged, const QModelIndex &target) const;
    bool acceptsListDrop(const QModelIndex &target) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    // The folder a drag of the tree carries, while the drag lasts.
    LinkItem *draggedFolder(const QMimeData *data) const;

signals:
    // A name with a backslash was refused.
    void nameRefused();
    // Entries of the link list were dropped on target.
    void listEntriesDropped(LinkItem *target);

private:
    // What the model knows of a folder that is one of its rows.
    struct Row
    {
        LinkItem *parent = nullptr; // the model's parent; none for the root
        int row = 0;
        int depth = 0;
        QString text; // the shown name, which orders the rows
        bool fetched = false;
        mutable signed char hasFolders = -1; // whether the folder holds sub-folders; -1 not yet known
        std::vector<LinkItem *> folders; // the sub-folders, in order, once fetched
    };

    Row *rowOf(const LinkItem *folder);
    const Row *rowOf(const LinkItem *folder) const;
    // The folder's row when its sub-folders have rows; none when it has no row or they are not fetched yet.
    Row *fetchedRow(LinkItem *folder);
    bool holdsFolders(const LinkItem *folder, const Row &row) const;
    QModelIndex indexOf(const LinkItem *folder, const Row &row) const;
    // Sorts folders of parent as the model shows them.
    void sortFolders(const LinkItem *parent, std::vector<LinkItem *> &folders) const;
    // Where folder goes among parent's rows, counted without the row skip (none: -1).
    int sortedPosition(const LinkItem *parent, const Row &parentRow, const LinkItem *folder, int skip) const;
    void addRow(LinkItem *folder, LinkItem *parent, int row, int depth);
    void renumber(Row &parentRow, int from);
    // Forgets folder's row and the rows below it (no signals).
    void forget(const LinkItem *folder);
    void setDepthBelow(const LinkItem *folder, int depth);
    // Removes the given rows of parent (sorted, no duplicates), one signal per contiguous range.
    void removeRowsOf(LinkItem *parent, std::vector<int> rows);
    // Makes folders parent's rows in one new layout.
    void replaceRows(LinkItem *parent, std::vector<LinkItem *> folders);
    // A folder's sub-folders changed while they were not fetched: tell the view about its has-children mark.
    void childrenChanged(LinkItem *folder);

    void onInserted(LinkItem *item);
    void onAboutToBeRemoved(const std::vector<LinkItem *> &items);
    void onMoved(LinkItem *item, LinkItem *oldParent);
    void onRenamed(LinkItem *item);

    CollectionDocument *m_document = nullptr;
    LinkItem *m_root = nullptr;
    std::unordered_map<const LinkItem *, Row> m_rows;
    mutable LinkItem *m_dragged = nullptr;
    bool m_announcing = false; // between the signals before and after a change
    std::function<std::vector<LinkItem *>()> m_listSelection;
};
