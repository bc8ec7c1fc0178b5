#include "mainwindow/CollectionView.h"

#include "mainwindow/LinkListModel.h"
#include "store/CollectionDocument.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QItemSelectionModel>

#include <algorithm>
#include <cstdint>

CollectionView::CollectionView(CollectionDocument *document, QObject *parent)
    : QObject(parent), m_document(document), m_model(new LinkListModel(this)),
      m_selection(new QItemSelectionModel(m_model, this))
{
    m_model->follow(document);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this, &CollectionView::selectionChanged);
    connect(m_selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { emit currentItemChanged(m_model->itemAt(current.row())); });
    // A folder about to be destroyed is shown no more; the tree moves on and shows a neighbour.
    const auto forget = [this](const LinkItem *item) {
        for (const LinkItem *folder = m_folder; folder; folder = folder->Parent) {
            if (folder == item) {
                m_folder = nullptr;
                if (m_listing == Listing::Folder)
                    m_listing = Listing::Nothing;
                return;
            }
        }
    };
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, forget);
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, [forget](const std::vector<LinkItem *> &items) {
        for (const LinkItem *item : items)
            forget(item);
    });

    // Items added to the shown folder at once (New URL, an import) relist it.
    connect(document, &CollectionDocument::childrenInserted, this, [this](LinkItem *folder) {
        if (folder == m_folder)
            relistFolder();
    });
    // The count form follows the listed folder's children.
    connect(document, &CollectionDocument::itemInserted, this, [this](LinkItem *item) {
        if (item->Parent == m_model->folder())
            updateStatusText();
    });
    connect(document, &CollectionDocument::itemMoved, this, [this](LinkItem *item, LinkItem *oldParent) {
        const LinkItem *listed = m_model->folder();
        if (listed && (item->Parent == listed || oldParent == listed))
            updateStatusText();
    });
    connect(document, &CollectionDocument::itemRemoved, this, &CollectionView::updateStatusText);
}

CollectionView::~CollectionView() = default;

bool CollectionView::showsResults() const
{
    return m_listing != Listing::Nothing && m_listing != Listing::Folder;
}

void CollectionView::fillFromFolder(LinkItem *folder)
{
    m_model->setCountsVisits(m_countsVisits);
    m_model->FillFromFolder(folder);
}

void CollectionView::showFolder(LinkItem *folder)
{
    m_folder = folder;
    if (!folder) {
        m_listing = Listing::Nothing;
        m_model->clear();
        emit folderShown(nullptr);
        updateStatusText();
        return;
    }
    if (m_countsVisits)
        folder->LastVisit = DateConverter::now();
    m_listing = Listing::Folder;
    fillFromFolder(folder);
    emit folderShown(folder);
    m_model->sortRows(m_sortColumn, m_sortAscending);
    updateStatusText();
}

void CollectionView::relistFolder()
{
    LinkItem *folder = m_folder;
    if (!folder)
        return;
    // Emptied first: the folder's count of visits goes up once more than a plain showing does.
    m_model->clear();
    if (m_countsVisits && folder->Visits < INT32_MAX)
        ++folder->Visits;
    m_listing = Listing::Folder;
    fillFromFolder(folder);
    emit folderRelisted(folder);
    m_model->sortRows(m_sortColumn, m_sortAscending);
    updateStatusText();
}

void CollectionView::listFolder(LinkItem *folder)
{
    m_listing = folder ? Listing::Folder : Listing::Nothing;
    fillFromFolder(folder);
    emit folderListed(folder);
    setStatusText(countText(folder ? folder->Children.Count() : 0));
}

void CollectionView::showResults(Listing listing, std::vector<LinkItem *> items, int sortedBy, bool ascending)
{
    m_listing = listing;
    m_model->FillFromItems(std::move(items), sortedBy, ascending);
    emit resultsShown(listing);
}

void CollectionView::clearList()
{
    m_model->clear();
    emit listCleared();
}

void CollectionView::setListActive(bool active)
{
    if (m_listActive == active)
        return;
    m_listActive = active;
    emit listActiveChanged(active);
}

namespace {
// The selected rows as sorted, disjoint spans of rows (first, last). Working on the selection's ranges rather
// than on its indexes keeps a select-all of a large folder cheap.
std::vector<std::pair<int, int>> selectedSpans(const QItemSelection &selection)
{
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange &range : selection)
        ranges.emplace_back(range.top(), range.bottom());
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> spans;
    for (const auto &[top, bottom] : ranges) {
        if (!spans.empty() && top <= spans.back().second + 1)
            spans.back().second = std::max(spans.back().second, bottom);
        else
            spans.emplace_back(top, bottom);
    }
    return spans;
}
} // namespace

std::vector<LinkItem *> CollectionView::selectedItems() const
{
    std::vector<LinkItem *> items;
    for (const auto &[first, last] : selectedSpans(m_selection->selection())) {
        for (int row = first; row <= last; ++row)
            items.push_back(m_model->itemAt(row));
    }
    return items;
}

int CollectionView::selectedCount() const
{
    int count = 0;
    for (const auto &[first, last] : selectedSpans(m_selection->selection()))
        count += last - first + 1;
    return count;
}

LinkItem *CollectionView::currentItem() const
{
    const QModelIndex current = m_selection->currentIndex();
    return current.isValid() ? m_model->itemAt(current.row()) : nullptr;
}

void CollectionView::select(const std::vector<LinkItem *> &items, LinkItem *current)
{
    QItemSelection selection;
    for (const LinkItem *item : items) {
        const int row = m_model->rowOf(item);
        if (row >= 0)
            selection.select(m_model->index(row, 0), m_model->index(row, LinkListModel::ColumnCount - 1));
    }
    if (!current && !items.empty())
        current = items.front();
    const QModelIndex cursor = current ? m_model->indexOf(current) : QModelIndex();
    if (cursor.isValid())
        m_selection->setCurrentIndex(cursor, QItemSelectionModel::NoUpdate);
    m_selection->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CollectionView::selectAll()
{
    if (m_model->rowCount() == 0)
        return;
    const QItemSelection all(m_model->index(0, 0),
                             m_model->index(m_model->rowCount() - 1, LinkListModel::ColumnCount - 1));
    m_selection->select(all, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CollectionView::clearSelection()
{
    m_selection->clearSelection();
}

void CollectionView::invertSelection()
{
    if (m_model->rowCount() == 0)
        return;
    const QItemSelection all(m_model->index(0, 0),
                             m_model->index(m_model->rowCount() - 1, LinkListModel::ColumnCount - 1));
    m_selection->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
}

QString CollectionView::countText(int count)
{
    return QCoreApplication::translate("LinkListPane", "%1 objects").arg(count);
}

QString CollectionView::selectionText(int count)
{
    return QCoreApplication::translate("LinkListPane", "%1 objects selected").arg(count);
}

void CollectionView::setStatusText(const QString &text)
{
    m_statusText = text;
    emit statusTextChanged(text);
}

void CollectionView::updateStatusText()
{
    const int selected = selectedCount();
    if (selected > 0) {
        setStatusText(selectionText(selected));
        return;
    }
    if (m_model->showsResults()) {
        setStatusText(countText(m_model->rowCount()));
        return;
    }
    const LinkItem *listed = m_model->folder();
    setStatusText(countText(listed ? listed->Children.Count() : 0));
}

void CollectionView::sortBy(int column, bool ascending)
{
    m_sortColumn = column;
    m_sortAscending = ascending;
    m_model->sortRows(column, ascending);
    emit sortOrderChanged(column, ascending);
}

void CollectionView::setCountsVisits(bool counts)
{
    m_countsVisits = counts;
    m_model->setCountsVisits(counts);
}
