#include "mainwindow/FolderTreeModel.h"

#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/Icons.h"

#include <QMimeData>
#include <QScopedValueRollback>

#include <algorithm>
#include <unordered_set>

const QString FolderTreeModel::TreeMimeType = QStringLiteral("application/x-quillmark-tree-folder");
const QString FolderTreeModel::ListMimeType = QStringLiteral("application/x-quillmark-list-entries");

namespace {
// More separate ranges of rows than this change in one go as a new layout: each range's own signal makes
// the views walk everything they hold.
constexpr size_t MaxRangeSignals = 16;

struct Sortable
{
    QString text;
    int order; // place among the folder's children
    LinkItem *folder;
};

bool before(const Sortable &a, const Sortable &b)
{
    const int c = QString::localeAwareCompare(a.text, b.text);
    return c != 0 ? c < 0 : a.order < b.order;
}
} // namespace

FolderTreeModel::FolderTreeModel(QObject *parent) : QAbstractItemModel(parent) { }

FolderTreeModel::~FolderTreeModel() = default;

void FolderTreeModel::setDocument(CollectionDocument *document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    if (!document)
        return;
    connect(document, &CollectionDocument::itemInserted, this, &FolderTreeModel::onInserted);
    connect(document, &CollectionDocument::childrenInserted, this, &FolderTreeModel::reconcile);
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this,
            [this](LinkItem *item) { onAboutToBeRemoved({item}); });
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, &FolderTreeModel::onAboutToBeRemoved);
    connect(document, &CollectionDocument::itemRemoved, this, &FolderTreeModel::childrenChanged);
    connect(document, &CollectionDocument::itemMoved, this, &FolderTreeModel::onMoved);
    connect(document, &CollectionDocument::itemChanged, this,
            [this](LinkItem *item, CollectionDocument::Fields fields) {
                if (fields & CollectionDocument::Field::Name)
                    onRenamed(item);
            });
}

void FolderTreeModel::setRoot(LinkItem *root)
{
    beginResetModel();
    m_rows.clear();
    m_dragged = nullptr;
    m_root = root;
    if (root)
        addRow(root, nullptr, 0, 0);
    endResetModel();
}

LinkItem *FolderTreeModel::itemOf(const QModelIndex &index)
{
    return index.isValid() ? static_cast<LinkItem *>(index.internalPointer()) : nullptr;
}

FolderTreeModel::Row *FolderTreeModel::rowOf(const LinkItem *folder)
{
    const auto it = m_rows.find(folder);
    return it == m_rows.end() ? nullptr : &it->second;
}

const FolderTreeModel::Row *FolderTreeModel::rowOf(const LinkItem *folder) const
{
    const auto it = m_rows.find(folder);
    return it == m_rows.end() ? nullptr : &it->second;
}

QModelIndex FolderTreeModel::indexOf(const LinkItem *folder, const Row &row) const
{
    return createIndex(row.row, 0, const_cast<LinkItem *>(folder));
}

QModelIndex FolderTreeModel::indexOf(const LinkItem *folder) const
{
    const Row *row = rowOf(folder);
    return row ? indexOf(folder, *row) : QModelIndex();
}

bool FolderTreeModel::isFetched(const QModelIndex &index) const
{
    const Row *row = rowOf(itemOf(index));
    return row && row->fetched;
}

bool FolderTreeModel::holdsFolders(const LinkItem *folder, const Row &row) const
{
    if (row.fetched)
        return !row.folders.empty();
    if (row.hasFolders < 0)
        row.hasFolders = folder->Children.HasFolder() ? 1 : 0;
    return row.hasFolders == 1;
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column != 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_root ? createIndex(0, 0, m_root) : QModelIndex();
    const Row *parentRow = rowOf(itemOf(parent));
    if (!parentRow || !parentRow->fetched || row >= static_cast<int>(parentRow->folders.size()))
        return {};
    return createIndex(row, 0, parentRow->folders[static_cast<size_t>(row)]);
}

QModelIndex FolderTreeModel::parent(const QModelIndex &child) const
{
    const Row *row = rowOf(itemOf(child));
    if (!row || !row->parent)
        return {};
    return indexOf(row->parent);
}

int FolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_root ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    const Row *row = rowOf(itemOf(parent));
    return row && row->fetched ? static_cast<int>(row->folders.size()) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex &parent) const
{
    return parent.column() > 0 ? 0 : 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_root != nullptr;
    if (parent.column() != 0)
        return false;
    const LinkItem *folder = itemOf(parent);
    const Row *row = rowOf(folder);
    return row && row->depth < MaxOpenDepth && holdsFolders(folder, *row);
}

bool FolderTreeModel::canFetchMore(const QModelIndex &parent) const
{
    const Row *row = rowOf(itemOf(parent));
    return row && !row->fetched && row->depth < MaxOpenDepth;
}

void FolderTreeModel::sortFolders(const LinkItem *parent, std::vector<LinkItem *> &folders) const
{
    std::unordered_map<const LinkItem *, int> order;
    if (folders.size() > 1) {
        order.reserve(folders.size());
        int place = 0;
        for (const auto &entry : parent->Children)
            order.emplace(entry.get(), place++);
    }
    std::vector<Sortable> keyed;
    keyed.reserve(folders.size());
    for (LinkItem *folder : folders) {
        const Row *known = rowOf(folder);
        keyed.push_back({known ? known->text : TextCodec::toDisplay(folder->Name),
                         folders.size() > 1 ? order.at(folder) : 0, folder});
    }
    std::sort(keyed.begin(), keyed.end(), before);
    for (size_t i = 0; i < keyed.size(); ++i)
        folders[i] = keyed[i].folder;
}

void FolderTreeModel::fetchMore(const QModelIndex &parent)
{
    LinkItem *folder = itemOf(parent);
    Row *row = rowOf(folder);
    // Whoever fetches while the model announces a change would nest its signals in the change's: the rows
    // come when asked for again.
    if (!row || row->fetched || row->depth >= MaxOpenDepth || m_announcing)
        return;
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    std::vector<LinkItem *> folders;
    for (const auto &entry : folder->Children) {
        if (entry->isFolder())
            folders.push_back(entry.get());
    }
    sortFolders(folder, folders);
    const int depth = row->depth + 1;
    if (folders.empty()) {
        row->fetched = true;
        return;
    }
    beginInsertRows(parent, 0, static_cast<int>(folders.size()) - 1);
    for (size_t i = 0; i < folders.size(); ++i)
        addRow(folders[i], folder, static_cast<int>(i), depth);
    row = rowOf(folder); // the table may have grown
    row->folders = std::move(folders);
    row->fetched = true;
    endInsertRows();
}

void FolderTreeModel::addRow(LinkItem *folder, LinkItem *parent, int row, int depth)
{
    Row &added = m_rows[folder];
    added = Row();
    added.parent = parent;
    added.row = row;
    added.depth = depth;
    added.text = TextCodec::toDisplay(folder->Name);
}

void FolderTreeModel::renumber(Row &parentRow, int from)
{
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < parentRow.folders.size(); ++i)
        m_rows.at(parentRow.folders[i]).row = static_cast<int>(i);
}

void FolderTreeModel::forget(const LinkItem *folder)
{
    std::vector<const LinkItem *> pending {folder};
    while (!pending.empty()) {
        const LinkItem *next = pending.back();
        pending.pop_back();
        const auto it = m_rows.find(next);
        if (it == m_rows.end())
            continue;
        pending.insert(pending.end(), it->second.folders.begin(), it->second.folders.end());
        if (next == m_dragged)
            m_dragged = nullptr;
        m_rows.erase(it);
    }
}

void FolderTreeModel::setDepthBelow(const LinkItem *folder, int depth)
{
    std::vector<std::pair<const LinkItem *, int>> pending {{folder, depth}};
    while (!pending.empty()) {
        const auto [next, at] = pending.back();
        pending.pop_back();
        Row &row = m_rows.at(next);
        row.depth = at;
        for (const LinkItem *below : row.folders)
            pending.emplace_back(below, at + 1);
    }
}

int FolderTreeModel::sortedPosition(const LinkItem *parent, const Row &parentRow, const LinkItem *folder,
                                    int skip) const
{
    // Positions count the rows without `skip` (the folder's own row while it moves among its siblings).
    const int count = static_cast<int>(parentRow.folders.size()) - (skip >= 0 ? 1 : 0);
    const auto at = [&](int i) { return parentRow.folders[size_t(skip >= 0 && i >= skip ? i + 1 : i)]; };
    const QString &text = m_rows.at(folder).text;
    const auto compareAt = [&](int i) { return QString::localeAwareCompare(m_rows.at(at(i)).text, text); };
    int first = 0;
    for (int length = count; length > 0;) {
        const int half = length / 2;
        if (compareAt(first + half) < 0) {
            first += half + 1;
            length -= half + 1;
        } else {
            length = half;
        }
    }
    int last = first;
    while (last < count && compareAt(last) == 0)
        ++last;
    if (last == first)
        return first;
    // Equal names stand in the collection's order.
    std::unordered_set<const LinkItem *> equal;
    for (int i = first; i < last; ++i)
        equal.insert(at(i));
    int equalBefore = 0;
    for (const auto &entry : parent->Children) {
        if (entry.get() == folder)
            break;
        if (equal.contains(entry.get()))
            ++equalBefore;
    }
    return first + equalBefore;
}

FolderTreeModel::Row *FolderTreeModel::fetchedRow(LinkItem *folder)
{
    Row *row = rowOf(folder);
    if (row && !row->fetched) {
        // Its rows are made when it is first expanded; until then only whether it has any can change.
        childrenChanged(folder);
        return nullptr;
    }
    return row;
}

void FolderTreeModel::onInserted(LinkItem *item)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    if (!item->isFolder() || rowOf(item))
        return;
    LinkItem *parent = item->Parent;
    Row *parentRow = fetchedRow(parent);
    if (!parentRow)
        return;
    addRow(item, parent, 0, parentRow->depth + 1);
    parentRow = rowOf(parent);
    const int position = sortedPosition(parent, *parentRow, item, -1);
    beginInsertRows(indexOf(parent, *parentRow), position, position);
    parentRow->folders.insert(parentRow->folders.begin() + position, item);
    renumber(*parentRow, position);
    endInsertRows();
}

void FolderTreeModel::onAboutToBeRemoved(const std::vector<LinkItem *> &items)
{
    std::unordered_map<LinkItem *, std::vector<int>> byParent;
    std::vector<LinkItem *> parents;
    for (const LinkItem *item : items) {
        const Row *row = item && item->isFolder() ? rowOf(item) : nullptr;
        if (!row || !row->parent)
            continue;
        auto &rows = byParent[row->parent];
        if (rows.empty())
            parents.push_back(row->parent);
        rows.push_back(row->row);
    }
    for (LinkItem *parent : parents) {
        std::vector<int> &rows = byParent[parent];
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        removeRowsOf(parent, std::move(rows));
    }
}

void FolderTreeModel::removeRowsOf(LinkItem *parent, std::vector<int> rows)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    Row *parentRow = rowOf(parent);
    if (!parentRow || rows.empty())
        return;
    std::vector<std::pair<int, int>> ranges; // first, last
    for (int row : rows) {
        if (!ranges.empty() && ranges.back().second + 1 == row)
            ranges.back().second = row;
        else
            ranges.emplace_back(row, row);
    }
    if (ranges.size() > MaxRangeSignals) {
        std::vector<LinkItem *> kept;
        kept.reserve(parentRow->folders.size() - rows.size());
        size_t next = 0;
        for (int i = 0; i < static_cast<int>(parentRow->folders.size()); ++i) {
            if (next < rows.size() && rows[next] == i)
                ++next;
            else
                kept.push_back(parentRow->folders[size_t(i)]);
        }
        replaceRows(parent, std::move(kept));
        return;
    }
    const QModelIndex parentIndex = indexOf(parent, *parentRow);
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        beginRemoveRows(parentIndex, range->first, range->second);
        parentRow = rowOf(parent);
        const auto from = parentRow->folders.begin() + range->first;
        const auto to = parentRow->folders.begin() + range->second + 1;
        for (auto it = from; it != to; ++it)
            forget(*it);
        parentRow = rowOf(parent);
        parentRow->folders.erase(parentRow->folders.begin() + range->first,
                                 parentRow->folders.begin() + range->second + 1);
        renumber(*parentRow, range->first);
        endRemoveRows();
    }
}

void FolderTreeModel::replaceRows(LinkItem *parent, std::vector<LinkItem *> folders)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    const QModelIndex parentIndex = indexOf(parent);
    emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    Row *parentRow = rowOf(parent);
    const std::unordered_set<const LinkItem *> keep(folders.begin(), folders.end());
    for (const LinkItem *folder : parentRow->folders) {
        if (!keep.contains(folder))
            forget(folder);
    }
    const int depth = rowOf(parent)->depth + 1;
    for (LinkItem *folder : folders) {
        if (!rowOf(folder))
            addRow(folder, parent, 0, depth);
    }
    parentRow = rowOf(parent);
    parentRow->folders = std::move(folders);
    renumber(*parentRow, 0);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const LinkItem *folder = itemOf(index);
        const Row *row = rowOf(folder);
        after.push_back(row ? createIndex(row->row, index.column(), const_cast<LinkItem *>(folder)) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
}

void FolderTreeModel::reconcile(LinkItem *parent)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    Row *parentRow = fetchedRow(parent);
    if (!parentRow)
        return;
    std::vector<LinkItem *> now;
    for (const auto &entry : parent->Children) {
        if (entry->isFolder())
            now.push_back(entry.get());
    }
    sortFolders(parent, now);
    parentRow = rowOf(parent);
    if (now == parentRow->folders)
        return;
    // The common case: the rows there are stay, in their order, and new ones come between them.
    const std::unordered_set<const LinkItem *> present(now.begin(), now.end());
    std::vector<LinkItem *> kept;
    for (LinkItem *folder : now) {
        const Row *row = rowOf(folder);
        if (row && row->parent == parent)
            kept.push_back(folder);
    }
    std::vector<std::pair<int, int>> runs; // first place in now, length
    for (size_t i = 0; i < now.size(); ++i) {
        const Row *row = rowOf(now[i]);
        if (row && row->parent == parent)
            continue;
        if (!runs.empty() && runs.back().first + runs.back().second == static_cast<int>(i))
            ++runs.back().second;
        else
            runs.emplace_back(static_cast<int>(i), 1);
    }
    if (kept != parentRow->folders || runs.size() > MaxRangeSignals) {
        replaceRows(parent, std::move(now));
        return;
    }
    const QModelIndex parentIndex = indexOf(parent, *parentRow);
    const int depth = parentRow->depth + 1;
    for (const auto &[first, length] : runs) {
        beginInsertRows(parentIndex, first, first + length - 1);
        for (int i = first; i < first + length; ++i)
            addRow(now[size_t(i)], parent, i, depth);
        parentRow = rowOf(parent);
        parentRow->folders.insert(parentRow->folders.begin() + first, now.begin() + first,
                                  now.begin() + first + length);
        renumber(*parentRow, first);
        endInsertRows();
    }
}

void FolderTreeModel::childrenChanged(LinkItem *folder)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    Row *row = rowOf(folder);
    if (!row || row->fetched)
        return;
    const signed char was = row->hasFolders;
    row->hasFolders = -1;
    if (was >= 0 && holdsFolders(folder, *row) != (was == 1)) {
        const QModelIndex index = indexOf(folder, *row);
        emit dataChanged(index, index);
    }
}

void FolderTreeModel::onMoved(LinkItem *item, LinkItem *oldParent)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    if (!item->isFolder())
        return;
    LinkItem *parent = item->Parent;
    Row *itemRow = rowOf(item);
    Row *parentRow = rowOf(parent);
    const bool intoRows = parentRow && parentRow->fetched;
    if (!itemRow) {
        if (intoRows)
            onInserted(item);
        else
            childrenChanged(parent);
        childrenChanged(oldParent);
        return;
    }
    LinkItem *from = itemRow->parent;
    if (!intoRows) {
        removeRowsOf(from, {itemRow->row});
        childrenChanged(parent);
        return;
    }
    const int row = itemRow->row;
    if (from == parent) {
        const int position = sortedPosition(parent, *parentRow, item, row);
        if (position == row)
            return;
        const QModelIndex parentIndex = indexOf(parent, *parentRow);
        beginMoveRows(parentIndex, row, row, parentIndex, position > row ? position + 1 : position);
        parentRow->folders.erase(parentRow->folders.begin() + row);
        parentRow->folders.insert(parentRow->folders.begin() + position, item);
        renumber(*parentRow, std::min(row, position));
        endMoveRows();
        return;
    }
    Row *fromRow = rowOf(from);
    const int position = sortedPosition(parent, *parentRow, item, -1);
    beginMoveRows(indexOf(from, *fromRow), row, row, indexOf(parent, *parentRow), position);
    fromRow->folders.erase(fromRow->folders.begin() + row);
    renumber(*fromRow, row);
    parentRow->folders.insert(parentRow->folders.begin() + position, item);
    renumber(*parentRow, position);
    itemRow->parent = parent;
    setDepthBelow(item, parentRow->depth + 1);
    endMoveRows();
}

void FolderTreeModel::onRenamed(LinkItem *item)
{
    const QScopedValueRollback<bool> announcing(m_announcing, true);
    Row *itemRow = rowOf(item);
    if (!itemRow)
        return;
    const QString text = TextCodec::toDisplay(item->Name);
    if (text == itemRow->text)
        return;
    itemRow->text = text;
    if (itemRow->parent)
        onMoved(item, itemRow->parent); // takes its place among its siblings
    const QModelIndex index = indexOf(item);
    emit dataChanged(index, index);
}

QVariant FolderTreeModel::data(const QModelIndex &index, int role) const
{
    const LinkItem *folder = itemOf(index);
    const Row *row = rowOf(folder);
    if (!row)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row->text;
    case Qt::DecorationRole:
        return row->parent ? Icons::folder() : Icons::home();
    default:
        return {};
    }
}

bool FolderTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    LinkItem *folder = itemOf(index);
    const Row *row = rowOf(folder);
    if (role != Qt::EditRole || !row || !row->parent || !m_document)
        return false;
    const QString text = value.toString();
    if (text.contains(QLatin1Char('\\'))) {
        emit nameRefused();
        return false;
    }
    m_document->rename(folder, TextCodec::fromDisplay(text));
    return true;
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex &index) const
{
    const Row *row = rowOf(itemOf(index));
    if (!row)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (row->parent)
        flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return flags;
}

QStringList FolderTreeModel::mimeTypes() const
{
    return {TreeMimeType, ListMimeType};
}

QMimeData *FolderTreeModel::mimeData(const QModelIndexList &indexes) const
{
    LinkItem *folder = indexes.size() == 1 ? itemOf(indexes.front()) : nullptr;
    const Row *row = rowOf(folder);
    if (!row || !row->parent)
        return nullptr;
    // The drag carries only its folder's place in memory, and a drop takes a folder only from the drag
    // this model started.
    m_dragged = folder;
    auto *data = new QMimeData;
    data->setData(TreeMimeType, QByteArray::number(reinterpret_cast<quintptr>(folder)));
    return data;
}

LinkItem *FolderTreeModel::draggedFolder(const QMimeData *data) const
{
    if (!data || !m_dragged || !data->hasFormat(TreeMimeType))
        return nullptr;
    return data->data(TreeMimeType) == QByteArray::number(reinterpret_cast<quintptr>(m_dragged)) ? m_dragged : nullptr;
}

Qt::DropActions FolderTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions FolderTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

bool FolderTreeModel::acceptsTreeDrop(const LinkItem *dragged, const QModelIndex &target) const
{
    const LinkItem *folder = itemOf(target);
    if (!dragged || !rowOf(folder) || !rowOf(dragged))
        return false;
    for (const LinkItem *walk = folder; walk; walk = rowOf(walk)->parent) {
        if (walk == dragged)
            return false;
    }
    return true;
}

bool FolderTreeModel::acceptsListDrop(const QModelIndex &target) const
{
    const LinkItem *folder = itemOf(target);
    if (!rowOf(folder))
        return false;
    const std::vector<LinkItem *> selected = m_listSelection ? m_listSelection() : std::vector<LinkItem *>();
    for (const LinkItem *walk = folder; walk; walk = walk->Parent) {
        for (const LinkItem *entry : selected) {
            if (SameItem(entry, walk))
                return false;
        }
    }
    return true;
}

bool FolderTreeModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                      const QModelIndex &parent) const
{
    if (!data || action != Qt::MoveAction)
        return false;
    if (data->hasFormat(TreeMimeType))
        return acceptsTreeDrop(draggedFolder(data), parent);
    if (data->hasFormat(ListMimeType))
        return acceptsListDrop(parent);
    return false;
}

bool FolderTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                   const QModelIndex &parent)
{
    if (!m_document || !canDropMimeData(data, action, row, column, parent))
        return false;
    LinkItem *target = itemOf(parent);
    if (data->hasFormat(TreeMimeType)) {
        LinkItem *folder = draggedFolder(data);
        m_dragged = nullptr;
        m_document->move(folder, target);
    } else {
        emit listEntriesDropped(target);
    }
    return true;
}

QModelIndex FolderTreeModel::reveal(const LinkItem *folder)
{
    std::vector<const LinkItem *> chain;
    for (const LinkItem *walk = folder; walk; walk = walk->Parent)
        chain.push_back(walk);
    if (!m_root || chain.empty() || chain.back() != m_root)
        return {};
    const LinkItem *at = m_root;
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
        const Row *row = rowOf(at);
        if (row->depth >= MaxOpenDepth)
            break;
        if (!row->fetched)
            fetchMore(indexOf(at, *row));
        if (!rowOf(*it))
            return {};
        at = *it;
    }
    return indexOf(at);
}
