#include "mainwindow/FolderTreeView.h"

#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/Icons.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

const QString FolderTreeView::TreeMimeType = QStringLiteral("application/x-quillmark-tree-folder");
const QString FolderTreeView::ListMimeType = QStringLiteral("application/x-quillmark-list-entries");

namespace {
constexpr int ItemRole = Qt::UserRole;

// Siblings sort by their text, locale-aware and case-sensitive.
class FolderNode : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        return QString::localeAwareCompare(text(0), other.text(0)) < 0;
    }
};

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

bool isAncestorOrSelf(const QTreeWidgetItem *candidate, const QTreeWidgetItem *node)
{
    for (const QTreeWidgetItem *walk = node; walk; walk = walk->parent()) {
        if (walk == candidate)
            return true;
    }
    return false;
}

// The depth of node, counting no further than the tree opens.
int depthOf(const QTreeWidgetItem *node)
{
    int depth = 0;
    for (; node->parent() && depth < FolderTreeView::MaxOpenDepth; node = node->parent())
        ++depth;
    return depth;
}

// Whether opening the node shows anything.
bool opensToChildren(const QTreeWidgetItem *node)
{
    return node->childCount() > 0 || node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}

// Deletes nodes that are out of the tree, with their branches. A node's destructor deletes its children
// itself and would recurse as deep as the branch goes, so the deepest nodes go first.
void deleteDetached(const QList<QTreeWidgetItem *> &nodes)
{
    std::vector<QTreeWidgetItem *> order(nodes.cbegin(), nodes.cend());
    for (size_t i = 0; i < order.size(); ++i) {
        for (int c = 0; c < order[i]->childCount(); ++c)
            order.push_back(order[i]->child(c));
    }
    // Every node stands before its children: from the back, a node's children are leaves by then.
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        qDeleteAll((*it)->takeChildren());
    qDeleteAll(nodes);
}
} // namespace

FolderTreeView::FolderTreeView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("LinksTree"));
    setAccessibleName(QCoreApplication::translate("FolderTreeView", "Folders"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // renaming starts from our own rules
    auto *delegate = new RenameDelegate(this);
    setItemDelegate(delegate);
    // The edit's result arrives (itemChanged) before the editor closes; after that nothing is being renamed.
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] { m_renaming = nullptr; });
    setMouseTracking(true); // hot tracking
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    connect(this, &QTreeWidget::currentItemChanged, this, &FolderTreeView::onCurrentChanged);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTreeView::onExpanded);
    connect(this, &QTreeWidget::itemChanged, this, &FolderTreeView::onItemChanged);
}

FolderTreeView::~FolderTreeView()
{
    // Whoever listened may be gone already; the nodes go without a word.
    const QSignalBlocker blocker(this);
    m_rebuilding = true;
    removeAllNodes();
}

LinkItem *FolderTreeView::itemOf(const QTreeWidgetItem *node)
{
    return node ? reinterpret_cast<LinkItem *>(node->data(0, ItemRole).value<quintptr>()) : nullptr;
}

LinkItem *FolderTreeView::SelectedItem() const
{
    return itemOf(currentItem());
}

QString FolderTreeView::backslashMessage()
{
    return QCoreApplication::translate("FolderTreeView",
                                       "An item name cannot contain any of the following characters: \\");
}

void FolderTreeView::SetRoot(LinkItem *item)
{
    m_rebuilding = true;
    m_dragSource = nullptr;
    m_renaming = nullptr;
    removeAllNodes();
    m_rebuilding = false;
    if (!item)
        return;
    auto *root = new FolderNode(this);
    m_rebuilding = true;
    root->setText(0, TextCodec::toDisplay(item->Name));
    root->setIcon(0, Icons::home());
    root->setData(0, ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
    root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    m_rebuilding = false;
    root->setExpanded(true);
    setCurrentItem(root);
}

void FolderTreeView::removeAllNodes()
{
    // Forget the open nodes in one go first: every removal of rows walks the indexes the view keeps.
    collapseAll();
    deleteDetached(invisibleRootItem()->takeChildren());
    clear();
}

QTreeWidgetItem *FolderTreeView::newFolderNode(LinkItem *folder, int depth) const
{
    auto *node = new FolderNode;
    node->setText(0, TextCodec::toDisplay(folder->Name));
    node->setIcon(0, Icons::folder());
    node->setData(0, ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(folder)));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    node->setChildIndicatorPolicy(folder->Children.HasFolder() && depth < MaxOpenDepth
                                      ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicator);
    return node;
}

QTreeWidgetItem *FolderTreeView::addFolderNode(QTreeWidgetItem *parent, LinkItem *folder, bool sortNow)
{
    const bool wasRebuilding = m_rebuilding;
    m_rebuilding = true;
    QTreeWidgetItem *node = newFolderNode(folder, depthOf(parent) + 1);
    parent->addChild(node);
    if (sortNow)
        parent->sortChildren(0, Qt::AscendingOrder);
    m_rebuilding = wasRebuilding;
    return node;
}

void FolderTreeView::rebuildChildren(QTreeWidgetItem *node, int depth)
{
    LinkItem *folder = itemOf(node);
    if (!folder)
        return;
    const bool wasRebuilding = m_rebuilding;
    LinkItem *selected = nullptr;
    bool selectionBelow = false;
    if (node->childCount() > 0) {
        // The selection may sit on a node that goes away here; it comes back to the new node of its folder.
        selected = SelectedItem();
        selectionBelow = currentItem() && currentItem() != node && isAncestorOrSelf(node, currentItem());
        if (m_dragSource && m_dragSource != node && isAncestorOrSelf(node, m_dragSource))
            m_dragSource = nullptr;
        if (m_renaming && m_renaming != node && isAncestorOrSelf(node, m_renaming))
            cancelRename();
        m_rebuilding = true;
        closeBranch(node);
        deleteDetached(node->takeChildren());
    }
    m_rebuilding = true;
    // The new nodes are sorted before they go in, which the tree takes in one step.
    QList<QTreeWidgetItem *> children;
    for (const auto &child : folder->Children) {
        if (child->isFolder() && depth < MaxOpenDepth)
            children.append(newFolderNode(child.get(), depth + 1));
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem *a, const QTreeWidgetItem *b) { return *a < *b; });
    node->addChildren(children);
    if (selectionBelow) {
        QTreeWidgetItem *again = findNode(selected);
        setCurrentItem(again ? again : node);
    }
    m_rebuilding = wasRebuilding;
}

void FolderTreeView::closeBranch(QTreeWidgetItem *node)
{
    // A closed node may still hold open ones, which the view remembers for when it opens again.
    scheduleDelayedItemsLayout(); // while a layout is due, closing a node only forgets it
    std::vector<QTreeWidgetItem *> pending;
    for (int i = 0; i < node->childCount(); ++i)
        pending.push_back(node->child(i));
    while (!pending.empty()) {
        QTreeWidgetItem *below = pending.back();
        pending.pop_back();
        if (below->isExpanded())
            below->setExpanded(false);
        for (int i = 0; i < below->childCount(); ++i)
            pending.push_back(below->child(i));
    }
}

void FolderTreeView::onExpanded(QTreeWidgetItem *node)
{
    if (m_autoFill)
        rebuildChildren(node, depthOf(node));
}

void FolderTreeView::openNode(QTreeWidgetItem *node, int depth)
{
    const bool fill = m_autoFill;
    m_autoFill = false; // built below, with the depth known
    node->setExpanded(true);
    m_autoFill = fill;
    if (fill)
        rebuildChildren(node, depth);
}

void FolderTreeView::reopen(QTreeWidgetItem *node)
{
    node->setExpanded(false);
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    node->setExpanded(true); // with AutoFill on, itemExpanded rebuilds the branch
}

QTreeWidgetItem *FolderTreeView::findNode(const LinkItem *folder) const
{
    std::vector<QTreeWidgetItem *> pending;
    for (int i = topLevelItemCount() - 1; i >= 0; --i)
        pending.push_back(topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem *node = pending.back();
        pending.pop_back();
        if (SameItem(itemOf(node), folder))
            return node;
        for (int i = node->childCount() - 1; i >= 0; --i)
            pending.push_back(node->child(i));
    }
    return nullptr;
}

QTreeWidgetItem *FolderTreeView::nodeOf(const LinkItem *folder) const
{
    if (!folder)
        return nullptr;
    std::vector<const LinkItem *> path;
    for (const LinkItem *walk = folder; walk; walk = walk->Parent)
        path.push_back(walk);
    QTreeWidgetItem *node = RootNode();
    if (!node || itemOf(node) != path.back())
        return nullptr;
    for (auto it = path.rbegin() + 1; node && it != path.rend(); ++it)
        node = childNodeOf(node, *it);
    return node;
}

void FolderTreeView::follow(CollectionDocument *document)
{
    m_document = document;
    connect(document, &CollectionDocument::itemInserted, this, &FolderTreeView::folderInserted);
    connect(document, &CollectionDocument::itemMoved, this, [this](LinkItem *item, const LinkItem *oldParent) {
        if (!item->isFolder())
            return;
        // A drop on the tree has moved the node already; anywhere else, it goes where the folder went.
        if (childNodeOf(nodeOf(item->Parent), item))
            return;
        deleteNode(childNodeOf(nodeOf(oldParent), item));
        folderInserted(item);
    });
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, [this](const LinkItem *item) {
        if (item->isFolder())
            deleteNode(nodeOf(item));
    });
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, [this](const std::vector<LinkItem *> &items) {
        for (const LinkItem *item : items) {
            if (item->isFolder())
                deleteNode(nodeOf(item));
        }
    });
    connect(document, &CollectionDocument::itemChanged, this,
            [this](const LinkItem *item, CollectionDocument::Fields fields) {
                if (!item->isFolder() || !(fields & CollectionDocument::Field::Name))
                    return;
                QTreeWidgetItem *node = nodeOf(item);
                const QString text = TextCodec::toDisplay(item->Name);
                if (node && node->text(0) != text)
                    setNodeText(node, text);
            });
}

void FolderTreeView::folderInserted(LinkItem *folder)
{
    if (!folder->isFolder())
        return;
    QTreeWidgetItem *parent = nodeOf(folder->Parent);
    if (!parent)
        return; // built from the collection when its branch opens
    if (parent->isExpanded() || parent->childCount() > 0)
        addFolderNode(parent, folder);
    else if (depthOf(parent) + 1 < MaxOpenDepth)
        parent->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

QTreeWidgetItem *FolderTreeView::childNodeOf(const QTreeWidgetItem *parent, const LinkItem *folder)
{
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        if (SameItem(itemOf(parent->child(i)), folder))
            return parent->child(i);
    }
    return nullptr;
}

QTreeWidgetItem *FolderTreeView::revealFolder(const LinkItem *folder)
{
    std::vector<const LinkItem *> chain;
    for (const LinkItem *walk = folder; walk; walk = walk->Parent)
        chain.push_back(walk);
    QTreeWidgetItem *node = RootNode();
    if (!node || chain.empty() || !SameItem(itemOf(node), chain.back()))
        return nullptr;
    // From the root down: open each branch (which builds it) and step to the next folder's node. While a
    // layout is due, opening a node only notes it, and the view lays the tree out once afterwards.
    scheduleDelayedItemsLayout();
    int depth = 0;
    for (auto it = chain.rbegin() + 1; it != chain.rend() && node && depth < MaxOpenDepth; ++it, ++depth) {
        if (!node->isExpanded())
            openNode(node, depth);
        node = childNodeOf(node, *it);
    }
    return node;
}

QString FolderTreeView::tooDeepText()
{
    return tr("The folder lies deeper than the %1 levels the folder tree opens. The tree shows the folder above "
              "it at level %1.")
        .arg(MaxOpenDepth);
}

void FolderTreeView::deleteNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    if (m_dragSource && isAncestorOrSelf(node, m_dragSource))
        m_dragSource = nullptr;
    if (m_renaming && isAncestorOrSelf(node, m_renaming))
        cancelRename();
    closeBranch(node);
    // Out of the tree in one step (when it was selected, the tree selects a neighbour and shows it), then
    // deleted without recursion.
    QTreeWidgetItem *parent = node->parent() ? node->parent() : invisibleRootItem();
    deleteDetached({parent->takeChild(parent->indexOfChild(node))});
}

void FolderTreeView::setNodeText(QTreeWidgetItem *node, const QString &text)
{
    const bool wasRebuilding = m_rebuilding;
    m_rebuilding = true;
    node->setText(0, text);
    if (node->parent())
        node->parent()->sortChildren(0, Qt::AscendingOrder);
    m_rebuilding = wasRebuilding;
}

bool FolderTreeView::ExpandAll()
{
    QTreeWidgetItem *root = RootNode();
    if (!root)
        return true;
    // Level by level, so that a stop leaves the upper levels open. While a layout is due, opening a node
    // only notes it, and the view lays the tree out once afterwards.
    scheduleDelayedItemsLayout();
    bool whole = true;
    int opened = 0;
    std::vector<QTreeWidgetItem *> level {root};
    for (int depth = 0; !level.empty() && whole; ++depth) {
        if (depth == ExpandAllLevels) {
            whole = std::none_of(level.begin(), level.end(), opensToChildren);
            break;
        }
        std::vector<QTreeWidgetItem *> next;
        for (size_t i = 0; i < level.size(); ++i) {
            QTreeWidgetItem *node = level[i];
            if (opensToChildren(node) && opened++ == ExpandAllFolders) {
                whole = false;
                break;
            }
            if (!node->isExpanded())
                openNode(node, depth); // builds its children
            for (int c = 0; c < node->childCount(); ++c)
                next.push_back(node->child(c));
        }
        level = std::move(next);
    }
    emit folderSelected(root);
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
    QTreeWidgetItem *root = RootNode();
    if (!root)
        return;
    m_rebuilding = true;
    collapseAll();
    setCurrentItem(root);
    m_rebuilding = false;
    emit folderSelected(root);
}

void FolderTreeView::onCurrentChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (m_rebuilding || !current)
        return;
    emit folderSelected(current);
}

QString FolderTreeView::collapseExpandCaption() const
{
    const QTreeWidgetItem *node = currentItem();
    return node && node->isExpanded() ? tr("&Collapse") : tr("E&xpand");
}

void FolderTreeView::CollapseExpandClick()
{
    QTreeWidgetItem *node = currentItem();
    if (node)
        node->setExpanded(!node->isExpanded());
}

bool FolderTreeView::startRename(QTreeWidgetItem *node)
{
    if (!node || !node->parent())
        return false; // the root keeps its name here
    m_renaming = node;
    scrollToItem(node);
    editItem(node, 0);
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
    m_renaming = nullptr;
    if (editor)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void FolderTreeView::onItemChanged(QTreeWidgetItem *node, int)
{
    if (m_rebuilding || node != m_renaming)
        return;
    m_renaming = nullptr;
    LinkItem *folder = itemOf(node);
    const QString text = node->text(0);
    if (!m_document || text.contains(QLatin1Char('\\'))) {
        setNodeText(node, TextCodec::toDisplay(folder->Name)); // the node keeps its old name
        if (m_document)
            emit nameRefused();
        return;
    }
    m_document->rename(folder, TextCodec::fromDisplay(text));
    setNodeText(node, text);
}

void FolderTreeView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        // A right press does not select: the popup acts on the selected node.
        event->accept();
        return;
    }
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    // A press on the expand button left of the label only opens or closes the branch.
    const bool onBranch = node && event->position().x() < visualItemRect(node).left();
    m_buttonDown = true;
    m_dragSource = node;
    m_pressPosition = event->position().toPoint();
    if (!node || onBranch) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void FolderTreeView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_buttonDown && m_dragSource && m_dragSource->parent()
        && (event->position().toPoint() - m_pressPosition).manhattanLength() >= QApplication::startDragDistance()) {
        startDragOf(m_dragSource);
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void FolderTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_buttonDown) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    QTreeWidgetItem *pressed = m_dragSource;
    endButtonDown();
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    if (!node || node != pressed) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    if (node == currentItem()) {
        // A click on the label of the selected folder renames it, unless it turns out to be a double click.
        QPointer<FolderTreeView> self(this);
        QTimer::singleShot(QApplication::doubleClickInterval(), this, [self, node] {
            if (self && self->currentItem() == node && !self->isRenaming() && self->underMouse())
                self->startRename(node);
        });
    } else {
        setCurrentItem(node);
    }
    event->accept();
}

void FolderTreeView::endButtonDown()
{
    m_buttonDown = false;
}

void FolderTreeView::startDragOf(QTreeWidgetItem *node)
{
    auto *data = new QMimeData;
    data->setData(TreeMimeType, QByteArray());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(node->icon(0).pixmap(16, 16));
    drag->exec(Qt::MoveAction);
    // The drag loop ate the button release: the drag is over, so is the press.
    endButtonDown();
}

bool FolderTreeView::acceptsTreeDrop(const QTreeWidgetItem *target) const
{
    return target && m_dragSource && !isAncestorOrSelf(m_dragSource, target);
}

bool FolderTreeView::acceptsListDrop(const QTreeWidgetItem *target) const
{
    if (!target)
        return false;
    const std::vector<LinkItem *> selected = m_listSelection ? m_listSelection() : std::vector<LinkItem *>();
    for (const LinkItem *folder = itemOf(target); folder; folder = folder->Parent) {
        for (const LinkItem *entry : selected) {
            if (SameItem(entry, folder))
                return false;
        }
    }
    return true;
}

bool FolderTreeView::acceptsDrop(const QMimeData *data, const QTreeWidgetItem *target) const
{
    if (data->hasFormat(TreeMimeType))
        return acceptsTreeDrop(target);
    if (data->hasFormat(ListMimeType))
        return acceptsListDrop(target);
    return false;
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(TreeMimeType) || event->mimeData()->hasFormat(ListMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrop(event->mimeData(), itemAt(event->position().toPoint()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FolderTreeView::dropEvent(QDropEvent *event)
{
    QTreeWidgetItem *target = itemAt(event->position().toPoint());
    if (!acceptsDrop(event->mimeData(), target)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The drop ends the drag that the press began; the selection may move from here on.
    endButtonDown();
    if (event->mimeData()->hasFormat(TreeMimeType))
        dropTreeNode(target);
    else
        emit listEntriesDropped(target);
}

void FolderTreeView::dropTreeNode(QTreeWidgetItem *target)
{
    QTreeWidgetItem *source = m_dragSource;
    if (!m_document || !acceptsTreeDrop(target))
        return;
    m_autoFill = false;
    const bool wasExpanded = source->isExpanded();
    LinkItem *folder = itemOf(source);
    LinkItem *destination = itemOf(target);
    m_rebuilding = true;
    source->parent()->removeChild(source);
    target->addChild(source);
    m_rebuilding = false;
    m_document->move(folder, destination);
    m_autoFill = true;
    reopen(target);
    m_dragSource = nullptr;
    if (QTreeWidgetItem *moved = childNodeOf(target, folder)) {
        moved->setExpanded(wasExpanded);
        if (currentItem() == moved)
            emit folderSelected(moved);
        else
            setCurrentItem(moved);
    }
}
