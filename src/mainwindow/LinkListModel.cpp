#include "mainwindow/LinkListModel.h"

#include "store/CollectionDocument.h"

#include <QMimeData>

#include "settings/ColumnInfo.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/Icons.h"

#include <QLocale>

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_set>

namespace {

inline int foldCase(char c) noexcept
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') ? byte - ('a' - 'A') : byte;
}

int compareDates(double a, double b) noexcept
{
    // A stored date that is not a number would make the order inconsistent and the sort unsafe:
    // such values sort after every real date and equal to each other.
    const bool aNan = std::isnan(a);
    const bool bNan = std::isnan(b);
    if (aNan || bNan)
        return static_cast<int>(aNan) - static_cast<int>(bNan);
    return a > b ? 1 : (a == b ? 0 : -1);
}

} // namespace

int LinkListCompareText(std::string_view a, std::string_view b) noexcept
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int ca = foldCase(a[i]);
        const int cb = foldCase(b[i]);
        if (ca != cb)
            return ca - cb;
    }
    const auto difference = static_cast<long long>(a.size()) - static_cast<long long>(b.size());
    return static_cast<int>(std::clamp<long long>(difference, -INT_MAX, INT_MAX));
}

int LinkListCompare(const LinkItem *a, const LinkItem *b, int sortColumn, bool ascending) noexcept
{
    int result;
    if (a->isFolder() != b->isFolder()) {
        result = a->isFolder() ? -1 : 1;
    } else {
        switch (sortColumn) {
        case UrlColumn:
            result = LinkListCompareText(a->Url, b->Url);
            break;
        case VisitsColumn:
            // The sign of A minus B, without the overflow of the subtraction.
            result = (a->Visits > b->Visits) - (a->Visits < b->Visits);
            break;
        case LastVisitColumn:
            result = compareDates(a->LastVisit, b->LastVisit);
            break;
        case RatingColumn:
            result = static_cast<int>(a->Rating) - static_cast<int>(b->Rating);
            break;
        default:
            result = LinkListCompareText(a->Name, b->Name);
            break;
        }
    }
    return ascending ? result : -result;
}

QString LinkListVisitsText(const LinkItem &item)
{
    return QString::number(item.Visits);
}

QString LinkListLastVisitText(double lastVisit)
{
    if (lastVisit == 0.0)
        return QStringLiteral("Never");
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

QString LinkListRatingText(const LinkItem &item)
{
    return item.Rating == 0 ? QString() : QString::number(item.Rating);
}

LinkListModel::LinkListModel(QObject *parent) : QAbstractTableModel(parent) { }

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

QVariant LinkListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LinkItem &item = *m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(item, index.column());
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return icon(item.isFolder());
        return {};
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
        return ColumnCaption(section);
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
    beginResetModel();
    m_rows.clear();
    m_folder = folder;
    m_results = false;
    if (folder) {
        // Showing a folder's contents counts as a visit to it.
        if (folder->Visits < INT32_MAX)
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

void LinkListModel::FillFromItems(std::vector<LinkItem *> items)
{
    beginResetModel();
    m_rows = std::move(items);
    m_folder = nullptr;
    m_results = true;
    endResetModel();
}

void LinkListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_folder = nullptr;
    m_results = false;
    endResetModel();
}

void LinkListModel::sortRows(int sortColumn, bool ascending)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_sortColumn = sortColumn;
    m_ascending = ascending;

    // The entries carry each row's old position for the persistent indexes. A name or URL sort takes the
    // texts into the entries, so that comparing two rows does not go through their items.
    struct Entry
    {
        std::string_view text;
        LinkItem *item;
        int row;
        bool folder;
    };
    const bool byNumber = sortColumn == VisitsColumn || sortColumn == LastVisitColumn || sortColumn == RatingColumn;
    std::vector<Entry> entries;
    entries.reserve(m_rows.size());
    for (LinkItem *item : m_rows) {
        const std::string_view text
            = byNumber ? std::string_view() : (sortColumn == UrlColumn ? item->Url : item->Name);
        entries.push_back({text, item, static_cast<int>(entries.size()), item->isFolder()});
    }
    if (byNumber) {
        std::stable_sort(entries.begin(), entries.end(), [sortColumn, ascending](const Entry &a, const Entry &b) {
            return LinkListCompare(a.item, b.item, sortColumn, ascending) < 0;
        });
    } else {
        // LinkListCompare for the two text keys.
        std::stable_sort(entries.begin(), entries.end(), [ascending](const Entry &a, const Entry &b) {
            const int result = a.folder != b.folder ? (a.folder ? -1 : 1) : LinkListCompareText(a.text, b.text);
            return ascending ? result < 0 : result > 0;
        });
    }
    for (size_t newRow = 0; newRow < entries.size(); ++newRow)
        m_rows[newRow] = entries[newRow].item;

    const QModelIndexList from = persistentIndexList();
    if (!from.isEmpty()) {
        std::vector<int> newRowOf(entries.size());
        for (size_t newRow = 0; newRow < entries.size(); ++newRow)
            newRowOf[static_cast<size_t>(entries[newRow].row)] = static_cast<int>(newRow);
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex &index : from)
            to.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
        changePersistentIndexList(from, to);
    }

    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool LinkListModel::refreshItem(const LinkItem *item)
{
    const int row = rowOf(item);
    if (row < 0)
        return false;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}

bool LinkListModel::removeItem(const LinkItem *item)
{
    const int row = rowOf(item);
    if (row < 0)
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
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
        endRemoveRows();
        row = first - 1;
    }
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
    // Where the last sort would have put it, after the rows it ties with.
    const auto at = m_sortColumn < 0
        ? m_rows.end()
        : std::upper_bound(m_rows.begin(), m_rows.end(), item,
                           [this](const LinkItem *a, const LinkItem *b) { return sortsBefore(a, b); });
    const int row = static_cast<int>(at - m_rows.begin());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, item);
    endInsertRows();
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
