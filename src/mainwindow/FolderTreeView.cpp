#include "mainwindow/FolderTreeView.h"

#include "mainwindow/CollectionView.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTimer>

#include <memory>

namespace {
// Remembers the editor of a running rename, so that a command can commit or cancel it.
class RenameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *created = QStyledItemDelegate::createEditor(parent, option, index);
        editor = created;
        return created;
    }
    mutable QPointer<QWidget> editor;
};

RenameDelegate *renameDelegate(const QAbstractItemView *view)
{
    return static_cast<RenameDelegate *>(view->itemDelegate());
}
} // namespace

FolderTreeView::FolderTreeView(QWidget *parent) : QTreeView(parent), m_model(new FolderTreeModel(this))
{
    setObjectName(QStringLiteral("LinksTree"));
    setAccessibleName(QCoreApplication::translate("FolderTreeView", "Folders"));
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // renaming starts from our own rules
    setItemDelegate(new RenameDelegate(this));
    setMouseTracking(true); // hot tracking
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onCurrentChanged(current); });
    connect(m_model, &FolderTreeModel::nameRefused, this, &FolderTreeView::nameRefused);
    connect(m_model, &FolderTreeModel::listEntriesDropped, this, &FolderTreeView::listEntriesDropped);
    // A new layout forgets a removed selected row without moving the selection, as a removal of rows does.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &FolderTreeView::selectSurvivor);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &FolderTreeView::selectSurvivor);
}

FolderTreeView::~FolderTreeView()
{
    // Whoever listened may be gone already; the rows go without a word.
    const QSignalBlocker blocker(this);
    m_quiet = true;
    m_model->setRoot(nullptr);
}

LinkItem *FolderTreeView::selectedFolder() const
{
    return itemOf(currentIndex());
}

QString FolderTreeView::backslashMessage()
{
    return QCoreApplication::translate("FolderTreeView",
                                       "An item name cannot contain any of the following characters: \\");
}

void FolderTreeView::follow(CollectionDocument *document)
{
    // Before the model hears of a removal.
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this,
            [this](LinkItem *item) { closeBranches({item}); });
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, &FolderTreeView::closeBranches);
    m_model->setDocument(document);
}

void FolderTreeView::follow(CollectionView *view)
{
    connect(this, &FolderTreeView::folderSelected, view, [view](LinkItem *folder) {
        if (folder && folder != view->folder())
            view->showFolder(folder);
    });
    connect(view, &CollectionView::folderShown, this, [this](LinkItem *folder) {
        if (folder && selectedFolder() != folder)
            selectFolder(folder);
    });
    // A folder filled without the document (a reader) gets the rows of its new sub-folders.
    connect(view, &CollectionView::folderRelisted, m_model, &FolderTreeModel::reconcile);
    connect(view, &CollectionView::renameWanted, this, [this](LinkItem *item) {
        if (item->isFolder()) {
            cancelRename();
            startRename(item);
        }
    });
    setListSelection([view] { return view->selectedItems(); });
}

void FolderTreeView::closeBranches(const std::vector<LinkItem *> &folders)
{
    std::vector<QModelIndex> open;
    for (const LinkItem *folder : folders) {
        const QModelIndex index = folder->isFolder() ? indexOf(folder) : QModelIndex();
        if (index.isValid() && isExpanded(index))
            open.push_back(index);
    }
    if (open.empty())
        return;
    // While a layout is due, closing a row only forgets it.
    scheduleDelayedItemsLayout();
    while (!open.empty()) {
        const QModelIndex index = open.back();
        open.pop_back();
        const int rows = m_model->rowCount(index);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = m_model->index(row, 0, index);
            if (isExpanded(child))
                open.push_back(child);
        }
        collapse(index);
    }
}

void FolderTreeView::setRootFolder(LinkItem *item)
{
    m_dragSource = QPersistentModelIndex();
    {
        const QScopedValueRollback<bool> quiet(m_quiet, true);
        m_selected = nullptr;
        m_model->setRoot(item);
    }
    if (!item)
        return;
    const QModelIndex root = m_model->index(0, 0);
    open(root);
    setCurrentIndex(root);
}

void FolderTreeView::open(const QModelIndex &index)
{
    if (m_model->canFetchMore(index))
        m_model->fetchMore(index);
    expand(index);
}

void FolderTreeView::onCurrentChanged(const QModelIndex &current)
{
    m_selected = itemOf(current);
    if (m_quiet || !current.isValid())
        return;
    emit folderSelected(m_selected);
}

void FolderTreeView::selectSurvivor()
{
    if (currentIndex().isValid() || !m_selected || !m_model->root())
        return;
    const LinkItem *folder = m_selected;
    while (folder && !indexOf(folder).isValid())
        folder = folder->Parent;
    setCurrentIndex(folder ? indexOf(folder) : m_model->index(0, 0));
}

QModelIndex FolderTreeView::revealFolder(const LinkItem *folder)
{
    const QModelIndex found = m_model->reveal(folder);
    if (!found.isValid())
        return found;
    // While a layout is due, opening a branch only notes it, and the view lays the tree out once afterwards.
    scheduleDelayedItemsLayout();
    for (QModelIndex above = found.parent(); above.isValid(); above = above.parent())
        expand(above);
    return found;
}

LinkItem *FolderTreeView::selectFolder(const LinkItem *folder)
{
    const QModelIndex index = revealFolder(folder);
    if (!index.isValid())
        return nullptr;
    setCurrentIndex(index);
    return itemOf(index);
}

QString FolderTreeView::tooDeepText()
{
    return tr("The folder lies deeper than the %1 levels the folder tree opens. The tree shows the folder above "
              "it at level %1.")
        .arg(MaxOpenDepth);
}

bool FolderTreeView::ExpandAll()
{
    const QModelIndex root = m_model->index(0, 0);
    if (!root.isValid())
        return true;
    // Level by level, so that a stop leaves the upper levels open. The branches are fetched first and opened
    // afterwards: the view keeps an index for each open row, which every fetch would walk.
    bool whole = true;
    int opened = 0;
    std::vector<QModelIndex> toOpen;
    std::vector<QModelIndex> level {root};
    for (int depth = 0; !level.empty() && whole; ++depth) {
        const auto opens = [this](const QModelIndex &index) { return m_model->hasChildren(index); };
        if (depth == ExpandAllLevels) {
            whole = std::none_of(level.begin(), level.end(), opens);
            break;
        }
        std::vector<QModelIndex> next;
        for (const QModelIndex &index : level) {
            if (!opens(index))
                continue;
            if (opened++ == ExpandAllFolders) {
                whole = false;
                break;
            }
            if (m_model->canFetchMore(index))
                m_model->fetchMore(index); // rows below index: no other index moves
            toOpen.push_back(index);
            const int rows = m_model->rowCount(index);
            for (int row = 0; row < rows; ++row)
                next.push_back(m_model->index(row, 0, index));
        }
        level = std::move(next);
    }
    // While a layout is due, opening a branch only notes it, and the view lays the tree out once afterwards.
    scheduleDelayedItemsLayout();
    for (const QModelIndex &index : toOpen)
        expand(index);
    emit folderSelected(itemOf(root));
    return whole;
}

QString FolderTreeView::expandAllCapText()
{
    return tr("Expand All opens %1 levels and %2 folders at most; open the others one at a time")
        .arg(ExpandAllLevels)
        .arg(ExpandAllFolders);
}

void FolderTreeView::CollapseAll()
{
    const QModelIndex root = m_model->index(0, 0);
    if (!root.isValid())
        return;
    {
        const QScopedValueRollback<bool> quiet(m_quiet, true);
        collapseAll();
        setCurrentIndex(root);
    }
    emit folderSelected(itemOf(root));
}

QString FolderTreeView::collapseExpandCaption() const
{
    return isExpanded(currentIndex()) ? tr("&Collapse") : tr("E&xpand");
}

bool FolderTreeView::canCollapseExpand() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() && (m_model->rowCount(index) > 0 || m_model->hasChildren(index));
}

void FolderTreeView::toggleExpanded()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    if (isExpanded(index))
        collapse(index);
    else
        open(index);
}

bool FolderTreeView::startRename(const LinkItem *folder)
{
    const QModelIndex index = indexOf(folder);
    if (!index.isValid() || !index.parent().isValid())
        return false; // the root keeps its name here
    scrollTo(index);
    edit(index);
    return true;
}

bool FolderTreeView::isRenaming() const
{
    return state() == QAbstractItemView::EditingState;
}

void FolderTreeView::commitRename()
{
    QWidget *editor = renameDelegate(this)->editor;
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void FolderTreeView::cancelRename()
{
    QWidget *editor = renameDelegate(this)->editor;
    if (editor)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void FolderTreeView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        // A right press does not select: the popup acts on the selected folder.
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    // A press on the expand button left of the label only opens or closes the branch.
    const bool onBranch = index.isValid() && event->position().x() < visualRect(index).left();
    m_buttonDown = true;
    m_dragSource = index;
    m_pressPosition = event->position().toPoint();
    if (!index.isValid() || onBranch) {
        QTreeView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void FolderTreeView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_buttonDown && m_dragSource.isValid() && m_dragSource.parent().isValid()
        && (event->position().toPoint() - m_pressPosition).manhattanLength() >= QApplication::startDragDistance()) {
        startDragOf(m_dragSource);
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void FolderTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_buttonDown) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    const QPersistentModelIndex pressed = m_dragSource;
    m_buttonDown = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || index != pressed) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    if (index == currentIndex()) {
        // A click on the label of the selected folder renames it, unless it turns out to be a double click.
        QPointer<FolderTreeView> self(this);
        const QPersistentModelIndex clicked = index;
        QTimer::singleShot(QApplication::doubleClickInterval(), this, [self, clicked] {
            if (self && clicked.isValid() && self->currentIndex() == clicked && !self->isRenaming()
                && self->underMouse())
                self->startRename(itemOf(clicked));
        });
    } else {
        setCurrentIndex(index);
    }
    event->accept();
}

void FolderTreeView::startDragOf(const QModelIndex &index)
{
    QMimeData *data = m_model->mimeData({index});
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(index.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16));
    drag->exec(Qt::MoveAction);
    // The drag loop ate the button release: the drag is over, so is the press.
    m_buttonDown = false;
}

bool FolderTreeView::acceptsTreeDrop(const QModelIndex &target) const
{
    return m_model->acceptsTreeDrop(itemOf(m_dragSource), target);
}

bool FolderTreeView::acceptsDrop(const QMimeData *data, const QModelIndex &target) const
{
    if (data->hasFormat(FolderTreeModel::TreeMimeType))
        return acceptsTreeDrop(target);
    if (data->hasFormat(FolderTreeModel::ListMimeType))
        return acceptsListDrop(target);
    return false;
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (data->hasFormat(FolderTreeModel::TreeMimeType) || data->hasFormat(FolderTreeModel::ListMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrop(event->mimeData(), indexAt(event->position().toPoint()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FolderTreeView::dropEvent(QDropEvent *event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    if (!acceptsDrop(event->mimeData(), target)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The drop ends the drag that the press began; the selection may move from here on.
    m_buttonDown = false;
    if (event->mimeData()->hasFormat(FolderTreeModel::TreeMimeType))
        dropTreeNode(target);
    else
        m_model->dropMimeData(event->mimeData(), Qt::MoveAction, -1, 0, target);
}

bool FolderTreeView::moveDraggedInto(const QModelIndex &target)
{
    if (!acceptsTreeDrop(target))
        return false;
    // The drag this tree started, whatever the drop's own data says: the model moves the folder it gave out.
    const std::unique_ptr<QMimeData> dragged(m_model->mimeData({m_dragSource}));
    const QPersistentModelIndex onto = target;
    m_dragSource = QPersistentModelIndex();
    if (!m_model->dropMimeData(dragged.get(), Qt::MoveAction, -1, 0, onto))
        return false;
    open(onto);
    return true;
}

void FolderTreeView::dropTreeNode(const QModelIndex &target)
{
    LinkItem *folder = itemOf(m_dragSource);
    const bool wasExpanded = isExpanded(m_dragSource);
    if (!moveDraggedInto(target))
        return;
    const QModelIndex moved = indexOf(folder);
    if (!moved.isValid())
        return;
    setExpanded(moved, wasExpanded);
    if (currentIndex() == moved)
        emit folderSelected(folder);
    else
        setCurrentIndex(moved);
}
