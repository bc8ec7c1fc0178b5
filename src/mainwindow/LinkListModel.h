#pragma once

#include "mainwindow/RowSort.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

#include <QAbstractTableModel>
#include <QDeadlineTimer>
#include <QIcon>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class LinkCheckStore;

// The cell texts of a row.
QString LinkListVisitsText(const LinkItem &item);
QString LinkListLastVisitText(double lastVisit);
QString LinkListRatingText(const LinkItem &item);
// A column's caption as the list shows it, in the user's language; ColumnCaption is the one stored.
QString LinkListColumnTitle(int column);

// The rows of the link list: the children of the shown folder, one row per item, in five columns in the
// order of ColumnId. The model refers to the items and never owns them; it keeps no object per row.
class LinkListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;
    // The LinkItem* of a row, in any column.
    static constexpr int ItemRole = Qt::UserRole + 1;

    explicit LinkListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Entries are dragged out under their own format; the drop rules live with the panes.
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

    static const QString MimeType;

    // Lists the children of folder: its folders first, then its links, each group in child order, and counts
    // the showing as a visit to the folder. Without a folder the list stays empty. Does not sort.
    void FillFromFolder(LinkItem *folder);
    // While off, FillFromFolder counts no visit (the panes follow an undo).
    void setCountsVisits(bool counts) { m_countsVisits = counts; }
    // Lists items from anywhere in the collection (search results, all bookmarks) without counting a
    // visit; folder() is then none. Does not sort: items that are in the order of a sort key already say
    // which (as sortRows takes it), so that rows added later take their places.
    void FillFromItems(std::vector<LinkItem *> items, int sortedBy = -1, bool ascending = true);
    // Whether the rows are such a list rather than one folder's children.
    bool showsResults() const { return m_results; }
    // Removes all rows without counting a visit.
    void clear();
    // The folder last filled from; none when the list was cleared.
    LinkItem *folder() const { return m_folder; }

    // Sorts the rows with LinkListCompare. Persistent indexes (and with them the selection) follow their rows.
    // Many rows are sorted a slice at a time between events (sortProgress, then sortFinished): meanwhile the
    // rows stay as they were and can be used. A newer sort, or a new filling, supersedes the one under way;
    // rows that change under it make it start again.
    void sortRows(int sortColumn, bool ascending);
    bool isSorting() const { return m_sort != nullptr; }
    // From how many rows on a sort goes in slices, and how long each slice may take (of a sort, and of
    // finding the rows by address after a change of findings).
    void setSortSlicing(int minimumRows, int sliceMs);

    // Follows the document's changes: a changed item's row is rendered again, an item about to be destroyed
    // loses its row (every row inside it too), and the shown folder's rows follow items added to it or moved
    // out of it (appended: whoever shows the list sorts it).
    void follow(CollectionDocument *document);

    // Marks the links that the store's findings call broken, and follows the findings as they change: only
    // the rows of the addresses whose finding changed are rendered again. Many rows are found by address a
    // slice at a time between events, once after they changed: the changes are told when that is done.
    void followFindings(const LinkCheckStore *store);

    // Renders the item's row again after its fields changed; false when the item has no row.
    bool refreshItem(const LinkItem *item);
    // Removes the item's row; false when the item has no row.
    bool removeItem(const LinkItem *item);

    LinkItem *itemAt(int row) const;
    // The row of the item, or -1.
    int rowOf(const LinkItem *item) const;
    QModelIndex indexOf(const LinkItem *item, int column = 0) const;

signals:
    // A sort in slices has come this far (0 to 100).
    void sortProgress(int percent);
    // A sort in slices is done and the rows are in their new order.
    void sortFinished();

private:
    void sortSlice();
    // Puts the rows in the order of the finished m_sort.
    void applySort();
    void dropSort();
    // The rows changed under a sort in slices: it starts again on them.
    void restartSort();
    void itemAboutToBeRemoved(const LinkItem *item);
    void itemsAboutToBeRemoved(const std::vector<LinkItem *> &items);
    // Removes every row whose item goes (the item, or a folder above it, is destroyed).
    void removeRowsWhere(const std::function<bool(const LinkItem *)> &goes);
    void itemMoved(LinkItem *item, const LinkItem *oldParent);
    // Inserts a row where the last sort puts the item (at the end before any sort).
    void appendItem(LinkItem *item);
    bool sortsBefore(const LinkItem *a, const LinkItem *b) const;
    void findingsChanged(const QStringList &urls);
    // Indexes the rows by address until the deadline; true once every row is.
    bool indexSome(QDeadlineTimer deadline);
    void indexSlice();
    // Renders again the rows of these addresses; the index is complete.
    void announce(const QStringList &urls);
    // The rows changed: the rows by address are found afresh when next needed.
    void dropUrlIndex()
    {
        std::vector<UrlSlot>().swap(m_urlIndex);
        m_indexedRows = 0;
    }
    QString cellText(const LinkItem &item, int column) const;
    const QIcon &icon(bool folder) const;

    std::vector<LinkItem *> m_rows;
    LinkItem *m_folder = nullptr;
    bool m_results = false;
    bool m_countsVisits = true;
    // The key and direction of the last sort; -1 before the first.
    int m_sortColumn = -1;
    bool m_ascending = true;
    std::unique_ptr<RowSort> m_sort;
    QTimer m_sortTimer;
    int m_slicedSortRows = 20'000;
    int m_sliceMs = 20;
    mutable QIcon m_folderIcon;
    mutable QIcon m_linkIcon;
    QPointer<const LinkCheckStore> m_findings;
    // The link rows by a hash of their address, in a table with open addressing (a row of -1 is a free
    // slot); made on the first change of findings after the rows changed, so that each change of a finding
    // looks up its rows rather than going through them.
    struct UrlSlot
    {
        quint32 hash;
        int row;
    };
    std::vector<UrlSlot> m_urlIndex;
    size_t m_indexedRows = 0;
    // Changes to tell once the index is complete.
    QStringList m_unannounced;
    QTimer m_indexTimer;
};
