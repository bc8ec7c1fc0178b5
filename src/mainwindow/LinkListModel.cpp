#include "mainwindow/LinkListModel.h"

#include "store/CollectionDocument.h"

#include <QCoreApplication>
#include <QMimeData>

#include "linkcheck/LinkCheckStore.h"
#include "mainwindow/LinkCheckMark.h"
#include "settings/ColumnInfo.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/Icons.h"

#include <QLocale>

#include <algorithm>
#include <bit>
#include <unordered_set>

namespace {
// The hash under which a row's address is found: of its bytes as the store names the address (UTF-8).
size_t urlHash(std::string_view bytes)
{
    const bool ascii
        = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return std::hash<std::string_view>()(bytes);
    // Bytes that are no UTF-8 are shown (and named in the store) as Windows-1252.
    return std::hash<std::string>()(TextCodec::fromDisplay(TextCodec::toDisplay(bytes)));
}
} // namespace

QString LinkListVisitsText(const LinkItem &item)
{
    return QString::number(item.Visits);
}

QString LinkListLastVisitText(double lastVisit)
{
    if (lastVisit == 0.0)
        return QCoreApplication::translate("LinkListModel", "Never");
    const QDateTime when = DateConverter::toDateTime(lastVisit);
    if (!when.isValid())
        return {};
    const QLocale locale = QLocale::system();
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime time = when.time();
    // The whole date-time goes to the formatter so that a time zone in the format is the one of that date.
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text += QLatin1Char(' ') + locale.toString(when, locale.timeFormat(QLocale::LongFormat));
    return text;
}

QString LinkListColumnTitle(int column)
{
    switch (column) {
    case NameColumn:
        return QCoreApplication::translate("LinkListModel", "Name");
    case UrlColumn:
        return QCoreApplication::translate("LinkListModel", "URL");
    case VisitsColumn:
        return QCoreApplication::translate("LinkListModel", "Visits");
    case LastVisitColumn:
        return QCoreApplication::translate("LinkListModel", "Last Visit");
    case RatingColumn:
        return QCoreApplication::translate("LinkListModel", "Rating");
    default:
        return {};
    }
}

QString LinkListRatingText(const LinkItem &item)
{
    return item.Rating == 0 ? QString() : QString::number(item.Rating);
}

LinkListModel::LinkListModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_sortTimer.setInterval(0);
    connect(&m_sortTimer, &QTimer::timeout, this, &LinkListModel::sortSlice);
    m_indexTimer.setInterval(0);
    connect(&m_indexTimer, &QTimer::timeout, this, &LinkListModel::indexSlice);
}

int LinkListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LinkListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString LinkListModel::cellText(const LinkItem &item, int column) const
{
    switch (column) {
    case NameColumn:
        return TextCodec::toDisplay(item.Name);
    case UrlColumn:
        return TextCodec::toDisplay(item.Url);
    case VisitsColumn:
        return LinkListVisitsText(item);
    case LastVisitColumn:
        return LinkListLastVisitText(item.LastVisit);
    case RatingColumn:
        return LinkListRatingText(item);
    default:
        return {};
    }
}

const QIcon &LinkListModel::icon(bool folder) const
{
    QIcon &cached = folder ? m_folderIcon : m_linkIcon;
    if (cached.isNull())
        cached = folder ? Icons::folder() : Icons::link();
    return cached;
}

void LinkListModel::followFindings(const LinkCheckStore *store)
{
    if (m_findings)
        disconnect(m_findings, nullptr, this, nullptr);
    m_findings = store;
    const auto markAll = [this] {
        // Every row is rendered again: the changes still to tell are told with it.
        m_unannounced.clear();
        m_indexTimer.stop();
        if (!m_rows.empty())
            emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn), {Qt::DecorationRole});
    };
    if (store) {
        connect(store, &LinkCheckStore::findingsChanged, this, &LinkListModel::findingsChanged);
        connect(store, &LinkCheckStore::findingsReset, this, markAll);
    }
    markAll();
}

void LinkListModel::findingsChanged(const QStringList &urls)
{
    if (m_rows.empty() || urls.isEmpty())
        return;
    if (m_unannounced.isEmpty() && indexSome(QDeadlineTimer(m_sliceMs, Qt::PreciseTimer))) {
        announce(urls);
        return;
    }
    // Many rows: the rest of them are indexed between events, and the changes are told then.
    m_unannounced += urls;
    if (!m_indexTimer.isActive())
        m_indexTimer.start();
}

void LinkListModel::indexSlice()
{
    if (m_rows.empty()) {
        m_unannounced.clear();
        m_indexTimer.stop();
        return;
    }
    if (!indexSome(QDeadlineTimer(m_sliceMs, Qt::PreciseTimer)))
        return;
    m_indexTimer.stop();
    announce(std::exchange(m_unannounced, {}));
}

bool LinkListModel::indexSome(QDeadlineTimer deadline)
{
    if (m_urlIndex.empty()) {
        // At most half full, so that the runs to probe stay short.
        m_urlIndex.assign(std::bit_ceil(2 * m_rows.size()), UrlSlot {0, -1});
        m_indexedRows = 0;
    }
    const size_t mask = m_urlIndex.size() - 1;
    while (m_indexedRows < m_rows.size()) {
        const size_t end = std::min(m_rows.size(), m_indexedRows + 4096);
        for (; m_indexedRows < end; ++m_indexedRows) {
            const LinkItem *item = m_rows[m_indexedRows];
            if (item->isFolder())
                continue;
            const size_t hash = urlHash(item->Url);
            size_t slot = hash & mask;
            while (m_urlIndex[slot].row >= 0)
                slot = (slot + 1) & mask;
            m_urlIndex[slot] = {static_cast<quint32>(hash), static_cast<int>(m_indexedRows)};
        }
        if (deadline.hasExpired())
            break;
    }
    return m_indexedRows == m_rows.size();
}

void LinkListModel::announce(const QStringList &urls)
{
    const std::vector<UrlSlot> &table = m_urlIndex;
    const size_t mask = table.size() - 1;
    std::vector<int> rows;
    for (const QString &url : urls) {
        const QByteArray bytes = url.toUtf8();
        const size_t hash = std::hash<std::string_view>()(std::string_view(bytes.constData(), bytes.size()));
        for (size_t slot = hash & mask; table[slot].row >= 0; slot = (slot + 1) & mask) {
            const int row = table[slot].row;
            if (table[slot].hash == static_cast<quint32>(hash)
                && TextCodec::toDisplay(m_rows[static_cast<size_t>(row)]->Url) == url)
                rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // One signal per run of neighbouring rows.
    for (size_t first = 0; first < rows.size();) {
        size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        emit dataChanged(index(rows[first], NameColumn), index(rows[last], NameColumn), {Qt::DecorationRole});
        first = last + 1;
    }
}

QVariant LinkListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LinkItem &item = *m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(item, index.column());
    case Qt::DecorationRole:
        if (index.column() != NameColumn)
            return {};
        // Broken links carry a mark on their icon wherever the list shows them.
        if (m_findings && !item.isFolder()) {
            const LinkCheckResult *finding = m_findings->find(TextCodec::toDisplay(item.Url));
            if (finding && finding->outcome == LinkCheckResult::Broken)
                return LinkCheckMark::brokenIcon();
        }
        return icon(item.isFolder());
    case Qt::TextAlignmentRole:
        if (index.column() == RatingColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return {};
    case ItemRole:
        return QVariant::fromValue(const_cast<LinkItem *>(&item));
    default:
        return {};
    }
}

QVariant LinkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return LinkListColumnTitle(section);
    if (role == Qt::TextAlignmentRole && section == RatingColumn)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

const QString LinkListModel::MimeType = QStringLiteral("application/x-quillmark-list-entries");

QStringList LinkListModel::mimeTypes() const
{
    return {MimeType};
}

QMimeData *LinkListModel::mimeData(const QModelIndexList &) const
{
    // The dragged entries are the list's selection; the format only says where the drag came from.
    auto *data = new QMimeData;
    data->setData(MimeType, QByteArray());
    return data;
}

Qt::ItemFlags LinkListModel::flags(const QModelIndex &index) const
{
    // Captions are never edited in place.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void LinkListModel::FillFromFolder(LinkItem *folder)
{
    dropSort();
    beginResetModel();
    dropUrlIndex();
    m_rows.clear();
    m_folder = folder;
    m_results = false;
    if (folder) {
        // Showing a folder's contents counts as a visit to it.
        if (m_countsVisits && folder->Visits < INT32_MAX)
            ++folder->Visits;
        const ItemList &children = folder->Children;
        m_rows.reserve(static_cast<size_t>(children.Count()));
        for (const auto &child : children) {
            if (child->isFolder())
                m_rows.push_back(child.get());
        }
        for (const auto &child : children) {
            if (!child->isFolder())
                m_rows.push_back(child.get());
        }
    }
    endResetModel();
}

void LinkListModel::FillFromItems(std::vector<LinkItem *> items, int sortedBy, bool ascending)
{
    dropSort();
    beginResetModel();
    dropUrlIndex();
    m_rows = std::move(items);
    if (sortedBy >= 0) {
        m_sortColumn = sortedBy;
        m_ascending = ascending;
    }
    m_folder = nullptr;
    m_results = true;
    endResetModel();
}

void LinkListModel::clear()
{
    dropSort();
    beginResetModel();
    dropUrlIndex();
    m_rows.clear();
    m_folder = nullptr;
    m_results = false;
    endResetModel();
}

void LinkListModel::setSortSlicing(int minimumRows, int sliceMs)
{
    m_slicedSortRows = minimumRows;
    m_sliceMs = sliceMs;
}

void LinkListModel::sortRows(int sortColumn, bool ascending)
{
    m_sortColumn = sortColumn;
    m_ascending = ascending;
    // The sort reads the rows where they are: any change of them starts it again.
    m_sort = std::make_unique<RowSort>(&m_rows, sortColumn, ascending);
    if (rowCount() < m_slicedSortRows) {
        m_sortTimer.stop();
        m_sort->run();
        applySort();
        return;
    }
    // Between events: the zero timer comes round once the events waiting have been handled.
    if (!m_sortTimer.isActive())
        m_sortTimer.start();
    emit sortProgress(0);
}

void LinkListModel::sortSlice()
{
    if (!m_sort) {
        m_sortTimer.stop();
        return;
    }
    // The rows take their new order in a turn of their own, not after a slice's worth of sorting.
    if (!m_sort->finished()) {
        m_sort->runSome(QDeadlineTimer(m_sliceMs, Qt::PreciseTimer));
        emit sortProgress(m_sort->percentDone());
        return;
    }
    m_sortTimer.stop();
    applySort();
    emit sortFinished();
}

void LinkListModel::applySort()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const int count = m_sort->count();
    m_rows = m_sort->items();
    dropUrlIndex();

    const QModelIndexList from = persistentIndexList();
    if (!from.isEmpty()) {
        std::vector<int> newRowOf(static_cast<size_t>(count));
        for (int newRow = 0; newRow < count; ++newRow)
            newRowOf[static_cast<size_t>(m_sort->oldRowAt(newRow))] = newRow;
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex &index : from)
            to.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
        changePersistentIndexList(from, to);
    }
    m_sort.reset();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LinkListModel::dropSort()
{
    m_sort.reset();
    m_sortTimer.stop();
}

void LinkListModel::restartSort()
{
    if (m_sort)
        m_sort = std::make_unique<RowSort>(&m_rows, m_sortColumn, m_ascending);
}

bool LinkListModel::refreshItem(const LinkItem *item)
{
    const int row = rowOf(item);
    if (row < 0)
        return false;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    restartSort(); // its sort key may have changed
    dropUrlIndex(); // and its address
    return true;
}

bool LinkListModel::removeItem(const LinkItem *item)
{
    const int row = rowOf(item);
    if (row < 0)
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    dropUrlIndex();
    endRemoveRows();
    restartSort();
    return true;
}

void LinkListModel::follow(CollectionDocument *document)
{
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, &LinkListModel::itemAboutToBeRemoved);
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, &LinkListModel::itemsAboutToBeRemoved);
    connect(document, &CollectionDocument::itemMoved, this, &LinkListModel::itemMoved);
    connect(document, &CollectionDocument::itemInserted, this, [this](LinkItem *item) {
        if (!m_results && m_folder && item->Parent == m_folder)
            appendItem(item);
    });
    connect(document, &CollectionDocument::itemChanged, this,
            [this](LinkItem *item, CollectionDocument::Fields fields) {
                // The description has no cell.
                if (fields & ~CollectionDocument::Fields(CollectionDocument::Field::Description))
                    refreshItem(item);
            });
}

void LinkListModel::itemAboutToBeRemoved(const LinkItem *item)
{
    const auto within = [item](const LinkItem *walk) {
        for (; walk; walk = walk->Parent) {
            if (walk == item)
                return true;
        }
        return false;
    };
    if (m_folder && within(m_folder)) {
        clear();
        return;
    }
    if (!m_results || !item->isFolder() || item->Children.Count() == 0) {
        removeItem(item); // a folder's children are not its siblings' rows
        return;
    }
    // Results come from anywhere: every row inside the folder goes.
    removeRowsWhere(within);
}

void LinkListModel::itemsAboutToBeRemoved(const std::vector<LinkItem *> &items)
{
    const std::unordered_set<const LinkItem *> doomed(items.begin(), items.end());
    const auto goes = [&doomed](const LinkItem *walk) {
        for (; walk; walk = walk->Parent) {
            if (doomed.contains(walk))
                return true;
        }
        return false;
    };
    if (m_folder && goes(m_folder))
        clear();
    else
        removeRowsWhere(goes);
}

void LinkListModel::removeRowsWhere(const std::function<bool(const LinkItem *)> &goes)
{
    // In runs from the back, so that no row moves before it is looked at.
    for (int row = rowCount() - 1; row >= 0;) {
        if (!goes(m_rows[static_cast<size_t>(row)])) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && goes(m_rows[static_cast<size_t>(first - 1)]))
            --first;
        beginRemoveRows({}, first, row);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + row + 1);
        dropUrlIndex();
        endRemoveRows();
        row = first - 1;
    }
    restartSort();
}

void LinkListModel::itemMoved(LinkItem *item, const LinkItem *oldParent)
{
    if (m_results || !m_folder)
        return;
    if (oldParent == m_folder && item->Parent != m_folder)
        removeItem(item);
    else if (item->Parent == m_folder && oldParent != m_folder && rowOf(item) < 0)
        appendItem(item);
}

bool LinkListModel::sortsBefore(const LinkItem *a, const LinkItem *b) const
{
    if (m_sortColumn == VisitsColumn || m_sortColumn == LastVisitColumn || m_sortColumn == RatingColumn)
        return LinkListCompare(a, b, m_sortColumn, m_ascending) < 0;
    const bool byUrl = m_sortColumn == UrlColumn;
    const int result = a->isFolder() != b->isFolder()
        ? (a->isFolder() ? -1 : 1)
        : LinkListCompareText(byUrl ? a->Url : a->Name, byUrl ? b->Url : b->Name);
    return m_ascending ? result < 0 : result > 0;
}

void LinkListModel::appendItem(LinkItem *item)
{
    // Where the last sort would have put it, after the rows it ties with; at the end while a sort is
    // under way, which then starts again.
    const auto at = m_sortColumn < 0 || m_sort
        ? m_rows.end()
        : std::upper_bound(m_rows.begin(), m_rows.end(), item,
                           [this](const LinkItem *a, const LinkItem *b) { return sortsBefore(a, b); });
    const int row = static_cast<int>(at - m_rows.begin());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, item);
    dropUrlIndex();
    endInsertRows();
    restartSort();
}

LinkItem *LinkListModel::itemAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_rows[static_cast<size_t>(row)];
}

int LinkListModel::rowOf(const LinkItem *item) const
{
    if (!item)
        return -1;
    const auto it = std::find(m_rows.begin(), m_rows.end(), item);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

QModelIndex LinkListModel::indexOf(const LinkItem *item, int column) const
{
    const int row = rowOf(item);
    return row < 0 ? QModelIndex() : index(row, column);
}
