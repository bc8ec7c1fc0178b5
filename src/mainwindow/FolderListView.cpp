#include "mainwindow/FolderListView.h"

#include "mainwindow/CollectionView.h"

#include "mainwindow/LinkListModel.h"
#include "mainwindow/SortMarkStyle.h"
#include "settings/ColumnInfo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyleFactory>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The widths of the five columns when the list is created, in ColumnId order.
constexpr int InitialWidths[LinkListModel::ColumnCount] = {250, 250, 50, 120, 50};

// Sets the icon view up for one of the three icon styles (details is the other view).
void applyModeToView(QListView *view, int style)
{
    if (style == FolderListView::LargeIconStyle) {
        view->setViewMode(QListView::IconMode);
        view->setIconSize(QSize(32, 32));
        view->setFlow(QListView::LeftToRight);
        // A fixed cell per item, as icon spacing is fixed: the layout needs no measure of each row's text.
        view->setGridSize(QSize(96, 72));
        view->setUniformItemSizes(true);
        view->setWordWrap(true);
    } else {
        view->setViewMode(QListView::ListMode);
        view->setIconSize(QSize(16, 16));
        // Small icons run left to right in rows; the list runs top to bottom in columns.
        view->setFlow(style == FolderListView::SmallIconStyle ? QListView::LeftToRight : QListView::TopToBottom);
        view->setGridSize(QSize());
        view->setUniformItemSizes(false);
        view->setWordWrap(false);
    }
    // Every style lays a large folder out a batch at a time between events, so that it never holds the
    // window while it is laid out: cells sized by their text are measured, large icons are placed. An
    // entry the user placed keeps its place as the later batches come.
    view->setLayoutMode(QListView::Batched);
    view->setBatchSize(2000);
    view->setWrapping(true);
    // In the two icon styles an entry can be placed where the user drops it; the list keeps its order.
    view->setMovement(style == FolderListView::ListStyle ? QListView::Static : QListView::Free);
    view->setResizeMode(QListView::Adjust);
}

// The selection keeps its colours when the list loses the focus.
void keepSelectionVisible(QAbstractItemView *view)
{
    QPalette palette = view->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
}

// An icon view that can put one entry at a given place.
class IconListView : public QListView
{
public:
    using QListView::QListView;
    void placeAt(const QModelIndex &index, const QPoint &position)
    {
        setPositionForIndex(position + QPoint(horizontalOffset(), verticalOffset()), index);
    }
};

void setUpView(QAbstractItemView *view)
{
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    keepSelectionVisible(view);
    // The list's own item menu replaces the context menu; nothing is passed on to the window.
    view->setContextMenuPolicy(Qt::PreventContextMenu);
    view->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    view->setDragEnabled(true);
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDropIndicatorShown(false);
}

} // namespace

FolderListView::FolderListView(CollectionView *view, QWidget *parent)
    : QWidget(parent), m_view(view), m_model(view->model()), m_selection(view->selectionModel()),
      m_stack(new QStackedWidget(this)), m_details(new QTreeView(m_stack)), m_icons(new IconListView(m_stack))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    m_stack->addWidget(m_icons);
    m_stack->addWidget(m_details);
    for (QWidget *view : {static_cast<QWidget *>(m_icons), static_cast<QWidget *>(m_details)})
        view->setAccessibleName(QCoreApplication::translate("FolderListView", "Links"));

    // Each view makes a selection model of its own in setModel; both are replaced by the shared one.
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        view->setModel(m_model);
        QItemSelectionModel *own = view->selectionModel();
        view->setSelectionModel(m_selection);
        delete own;
        setUpView(view);
        view->viewport()->installEventFilter(this);
    }

    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_details->setSortingEnabled(false);

    QHeaderView *head = m_details->header();
    head->setSectionsMovable(true);
    head->setSectionsClickable(true);
    head->setSortIndicatorShown(true);
    head->setSortIndicator(-1, Qt::AscendingOrder);
    head->setStretchLastSection(false);
    head->setContextMenuPolicy(Qt::CustomContextMenu);
    // Over a style of the application's kind: the proxy owns its base, so it cannot share the application's.
    auto *sortMarks = new SortMarkStyle(QStyleFactory::create(QApplication::style()->name()));
    sortMarks->setParent(head);
    head->setStyle(sortMarks);
    for (int column = 0; column < LinkListModel::ColumnCount; ++column)
        head->resizeSection(column, InitialWidths[column]);
    connect(head, &QHeaderView::sectionClicked, this, &FolderListView::columnClicked);
    connect(head, &QWidget::customContextMenuRequested, this, &FolderListView::popupHeaderMenu);

    applyModeToView(m_icons, LargeIconStyle);
    m_stack->setCurrentWidget(m_details);
    setFocusProxy(m_details);
}

FolderListView::~FolderListView() = default;

QAbstractItemView *FolderListView::currentView() const
{
    if (m_style == DetailsStyle)
        return m_details;
    return m_icons;
}

QMenu *FolderListView::headerPopupMenu() const
{
    return m_headerMenu;
}

void FolderListView::setHeaderPopupMenu(QMenu *menu)
{
    m_headerMenu = menu;
}

QMenu *FolderListView::itemPopupMenu() const
{
    return m_itemMenu;
}

void FolderListView::setItemPopupMenu(QMenu *menu)
{
    m_itemMenu = menu;
}

void FolderListView::setViewStyle(int style)
{
    if (style < LargeIconStyle || style > DetailsStyle)
        style = DetailsStyle;
    const bool hadFocus = currentView()->hasFocus();
    m_style = style;
    if (style != DetailsStyle)
        applyModeToView(m_icons, style);
    QAbstractItemView *view = currentView();
    m_stack->setCurrentWidget(view);
    setFocusProxy(view);
    if (hadFocus)
        view->setFocus();
    if (m_selection->currentIndex().isValid())
        view->scrollTo(m_selection->currentIndex());
    view->viewport()->update();
}

std::vector<LinkItem *> FolderListView::selectedItems() const
{
    return m_view->selectedItems();
}

int FolderListView::selectedCount() const
{
    return m_view->selectedCount();
}

QHeaderView *FolderListView::header() const
{
    return m_details->header();
}

int FolderListView::columnCount() const
{
    return header()->count();
}

QString FolderListView::columnCaption(int column) const
{
    // The stored name, whatever language the header shows.
    return ColumnCaption(column);
}

int FolderListView::columnAtPosition(int position) const
{
    return header()->logicalIndex(position);
}

int FolderListView::positionOfColumn(int column) const
{
    return header()->visualIndex(column);
}

void FolderListView::moveColumn(int column, int position)
{
    const int from = header()->visualIndex(column);
    if (from < 0 || position < 0 || position >= columnCount() || from == position)
        return;
    header()->moveSection(from, position);
}

int FolderListView::columnWidth(int column) const
{
    return header()->sectionSize(column);
}

void FolderListView::setColumnWidth(int column, int width)
{
    header()->resizeSection(column, std::clamp(width, 0, header()->maximumSectionSize()));
}

void FolderListView::setSortMark(int column, bool ascending)
{
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void FolderListView::popupHeaderMenu(const QPoint &position)
{
    if (m_headerMenu)
        m_headerMenu->popup(header()->mapToGlobal(position));
}

bool FolderListView::entryAt(const QPoint &position) const
{
    return currentView()->indexAt(position).isValid();
}

void FolderListView::placeSelectedEntryAt(const QPoint &position)
{
    if (m_style != LargeIconStyle && m_style != SmallIconStyle)
        return;
    const QModelIndexList rows = m_selection->selectedRows();
    if (rows.size() == 1)
        static_cast<IconListView *>(m_icons)->placeAt(rows.first(), position);
}

bool FolderListView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        // Our own rules decide, not the views': an entry is never dropped onto another.
        auto *drag = static_cast<QDropEvent *>(event);
        const bool drop = event->type() == QEvent::Drop;
        // Entering only asks whether the drag is ours; the place decides as it moves.
        const bool accepted = event->type() == QEvent::DragEnter
            ? !drag->mimeData()->formats().isEmpty() && m_dropHandler
            : m_dropHandler && m_dropHandler(drag->mimeData(), drag->position().toPoint(), drop);
        if (accepted) {
            drag->setDropAction(Qt::MoveAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    default:
        break;
    }
    if (event->type() != QEvent::MouseButtonPress || m_resending || !m_itemMenu)
        return QWidget::eventFilter(watched, event);
    auto *press = static_cast<QMouseEvent *>(event);
    if (press->button() != Qt::RightButton)
        return QWidget::eventFilter(watched, event);
    // Let the view act on the press first (it selects the row under the cursor), then show the menu.
    m_resending = true;
    QCoreApplication::sendEvent(watched, event);
    m_resending = false;
    if (m_itemMenu)
        m_itemMenu->popup(press->globalPosition().toPoint());
    return true;
}
