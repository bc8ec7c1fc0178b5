#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class CollectionView;
class LinkItem;
class LinkListModel;
class QAbstractItemView;
class QHeaderView;
class QItemSelectionModel;
class QListView;
class QMimeData;
class QStackedWidget;
class QTreeView;

// The link list widget: one model shown by a details view (a QTreeView with a movable header) and by an
// icon view (a QListView for large icons, small icons and list), sharing one selection.
class FolderListView : public QWidget
{
    Q_OBJECT
public:
    enum ViewStyle : int { LargeIconStyle = 0, SmallIconStyle = 1, ListStyle = 2, DetailsStyle = 3 };

    // Shows the rows and the selection of view.
    explicit FolderListView(CollectionView *view, QWidget *parent = nullptr);
    ~FolderListView() override;

    CollectionView *collectionView() const { return m_view; }
    LinkListModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }
    QTreeView *detailsView() const { return m_details; }
    QListView *iconView() const { return m_icons; }
    // The view that the present style shows.
    QAbstractItemView *currentView() const;

    // 0 large icons, 1 small icons, 2 list, 3 details; any other value counts as details.
    void setViewStyle(int style);
    int viewStyle() const { return m_style; }

    // Shown at the cursor on a right click on a column header; none by default. Not owned.
    QMenu *headerPopupMenu() const;
    void setHeaderPopupMenu(QMenu *menu);
    // Shown at the cursor on a press of the right mouse button anywhere in the list; none by default. Not owned.
    QMenu *itemPopupMenu() const;
    void setItemPopupMenu(QMenu *menu);

    // The items of the selected rows, in row order.
    std::vector<LinkItem *> selectedItems() const;
    int selectedCount() const;

    // Columns are the model's logical columns (ColumnId); a position counts from the left, starting at 0.
    QHeaderView *header() const;
    int columnCount() const;
    QString columnCaption(int column) const;
    int columnAtPosition(int position) const;
    int positionOfColumn(int column) const;
    void moveColumn(int column, int position);
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    // Puts the sort mark on one column header and takes it off all others.
    void setSortMark(int column, bool ascending);

    // Decides on drags over the list and carries out drops: called with the drag's data, the pointer in
    // the shown view's viewport and whether it is the drop itself; true accepts.
    using DropHandler = std::function<bool(const QMimeData *data, const QPoint &position, bool drop)>;
    void setDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }
    // Whether an entry lies under a point of the shown view's viewport.
    bool entryAt(const QPoint &position) const;
    // Places the selected entry at a point of the icon view (large and small icons only); the rows keep
    // their order in the model.
    void placeSelectedEntryAt(const QPoint &position);

signals:
    // A left click on a column header.
    void columnClicked(int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popupHeaderMenu(const QPoint &position);

    CollectionView *m_view;
    LinkListModel *m_model;
    QItemSelectionModel *m_selection;
    QStackedWidget *m_stack;
    QTreeView *m_details;
    QListView *m_icons;
    QPointer<QMenu> m_headerMenu;
    QPointer<QMenu> m_itemMenu;
    int m_style = DetailsStyle;
    bool m_resending = false;
    DropHandler m_dropHandler;
};
