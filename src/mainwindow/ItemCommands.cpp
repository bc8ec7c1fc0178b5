#include "mainwindow/ItemCommands.h"

#include "formats/DateConverter.h"
#include "mainwindow/Confirmations.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/LinkOpener.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/NewItemDialog.h"
#include "mainwindow/PropertiesDialog.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/FolderHeader.h"
#include "widgets/HyperlinkLabel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTreeView>

#include <cstdint>

namespace {
bool isWithin(const LinkItem *item, const LinkItem *ancestor)
{
    for (const LinkItem *walk = item; walk; walk = walk->Parent) {
        if (walk == ancestor)
            return true;
    }
    return false;
}
} // namespace

ItemCommands::ItemCommands(MainWindow *window) : QObject(window), m_window(window)
{
    MainActions *a = window->actions();
    FolderListView *list = window->LinkList();

    m_popup = new QMenu(list);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_open = m_popup->addAction(tr("Open"), this, &ItemCommands::LinkListDblClick);
    m_delete = m_popup->addAction(tr("&Delete") + QStringLiteral("\tDel"), this, &ItemCommands::DeleteButtonClick);
    m_popup->addSeparator();
    m_popup->addAction(a->goToFolder);
    m_popup->addAction(a->upOneLevel);
    m_popup->addSeparator();
    m_properties = m_popup->addAction(tr("&Properties...") + QStringLiteral("\tCtrl+P"), this,
                                      &ItemCommands::showEntryProperties);
    connect(m_popup, &QMenu::aboutToShow, this, &ItemCommands::prepareListMenu);
    list->setItemPopupMenu(m_popup);

    connect(a->newFolder, &QAction::triggered, this, &ItemCommands::newFolder);
    connect(a->newUrl, &QAction::triggered, this, &ItemCommands::newUrl);
    connect(a->deleteItems, &QAction::triggered, this, &ItemCommands::DeleteButtonClick);
    connect(a->selectAll, &QAction::triggered, this, &ItemCommands::selectAll);
    connect(a->deselectAll, &QAction::triggered, this, &ItemCommands::deselectAll);
    connect(a->invertSelection, &QAction::triggered, this, &ItemCommands::invertSelection);
    connect(a->properties, &QAction::triggered, this, &ItemCommands::showProperties);

    FolderCommands *folders = window->folderCommands();
    connect(folders->Remove1(), &QAction::triggered, this, &ItemCommands::DeleteButtonClick);
    connect(folders->Properties1(), &QAction::triggered, this, &ItemCommands::showFolderProperties);

    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ItemCommands::LinkListSelectItem);
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(list->detailsView()), static_cast<QAbstractItemView *>(list->iconView())}) {
        connect(view, &QAbstractItemView::doubleClicked, this, &ItemCommands::LinkListDblClick);
        view->installEventFilter(this);
    }
    list->setDropHandler([this](const QMimeData *data, const QPoint &position, bool drop) {
        return LinkListDrop(data, position, drop);
    });

    FolderTreeView *tree = window->LinksTree();
    tree->installEventFilter(this);
    tree->setListSelection([list] { return list->selectedItems(); });
    connect(tree, &FolderTreeView::listEntriesDropped, this, &ItemCommands::dropListEntriesOnTree);

    DescriptionPane *pane = window->descriptionPane();
    connect(pane->URLLabel(), &HyperlinkLabel::linkClicked, this, &ItemCommands::URLLabelClick);
    connect(pane, &DescriptionPane::memoEntered, this, &ItemCommands::descriptionEntered);
    connect(pane, &DescriptionPane::memoLeft, this, &ItemCommands::descriptionLeft);
}

bool ItemCommands::listHasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    const FolderListView *list = m_window->LinkList();
    return focus && (focus == list || list->isAncestorOf(focus));
}

LinkItem *ItemCommands::firstSelectedEntry() const
{
    const std::vector<LinkItem *> selected = m_window->LinkList()->selectedItems();
    return selected.empty() ? nullptr : selected.front();
}

void ItemCommands::ShowItemDetails(LinkItem *item)
{
    m_window->actions()->properties->setEnabled(item != nullptr);
    m_window->descriptionPane()->ShowItemDetails(item);
}

void ItemCommands::forget(const LinkItem *item)
{
    DescriptionPane *pane = m_window->descriptionPane();
    if (pane->CurrentItem() && isWithin(pane->CurrentItem(), item))
        ShowItemDetails(nullptr);
    m_window->LinkList()->model()->removeItem(item);
}

void ItemCommands::newFolder()
{
    FolderTreeView *tree = m_window->LinksTree();
    QTreeWidgetItem *node = tree->SelectedNode();
    LinkItem *folder = tree->SelectedItem();
    if (!node || !folder)
        return;
    tree->cancelRename();
    node->setExpanded(true);

    // "New Folder", or "New Folder (N)" with the smallest N from 2 that no child bears.
    const auto taken = [folder](const std::string &name) {
        for (const auto &child : folder->Children) {
            if (child->Name == name)
                return true;
        }
        return false;
    };
    std::string name = "New Folder";
    for (int n = 2; taken(name); ++n)
        name = "New Folder (" + std::to_string(n) + ")";

    auto created = LinkItem::MakeFolder(name);
    LinkItem *item = created.get();
    folder->Children.InsertSorted(std::move(created));
    m_window->markChanged();
    QTreeWidgetItem *added = tree->addFolderNode(node, item);
    tree->SetAutoFill(false);
    tree->setCurrentItem(added);
    added->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    tree->SetAutoFill(true);
    tree->startRename(added);
}

void ItemCommands::newUrl()
{
    LinkItem *folder = m_window->shownFolder();
    if (!folder)
        return;
    NewItemDialog dialog(m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto link = LinkItem::MakeLink(TextCodec::fromDisplay(dialog.name()), TextCodec::fromDisplay(dialog.url()));
    link->Description = TextCodec::fromDisplay(dialog.description());
    folder->Children.InsertSorted(std::move(link));
    m_window->RefreshFolderView(m_window->shownNode());
}

void ItemCommands::DeleteButtonClick()
{
    FolderListView *list = m_window->LinkList();
    FolderTreeView *tree = m_window->LinksTree();
    if (listHasFocus()) {
        const int count = list->selectedCount();
        if (!Confirmations::question(m_window, QStringLiteral("Confirm Multiple Objects Delete"),
                                     QStringLiteral("Are you sure you want to delete these %1 objects?").arg(count)))
            return;
        UpdatesGuard guard(m_window);
        while (LinkItem *entry = firstSelectedEntry()) {
            if (entry->isFolder()) {
                tree->deleteNode(tree->findNode(entry)); // a search result may live anywhere
            }
            forget(entry); // the row goes first, so that nothing shows the item once it is gone
            entry->Parent->Children.Remove(entry);
        }
        m_window->searchCommands()->collectionChanged();
        m_window->markChanged();
        m_window->updateStatusText();
        return;
    }

    QTreeWidgetItem *node = tree->SelectedNode();
    LinkItem *folder = tree->SelectedItem();
    if (!node || !folder || !folder->Parent)
        return; // the root folder is never deleted
    if (!Confirmations::question(
            m_window, QStringLiteral("Confirm Folder Delete"),
            QStringLiteral("Are you sure you want to delete '%1'?").arg(TextCodec::toDisplay(folder->Name))))
        return;
    list->model()->clear();
    ShowItemDetails(nullptr);
    folder->Parent->Children.Remove(folder);
    m_window->markChanged();
    // The tree selects a neighbour, which shows that folder.
    tree->deleteNode(node);
}

void ItemCommands::selectAll()
{
    FolderListView *list = m_window->LinkList();
    list->currentView()->selectAll();
    list->currentView()->setFocus();
}

void ItemCommands::deselectAll()
{
    FolderListView *list = m_window->LinkList();
    list->selectionModel()->clearSelection();
    list->currentView()->setFocus();
}

void ItemCommands::invertSelection()
{
    FolderListView *list = m_window->LinkList();
    const LinkListModel *model = list->model();
    if (model->rowCount() > 0) {
        const QItemSelection all(model->index(0, 0), model->index(model->rowCount() - 1, model->columnCount() - 1));
        list->selectionModel()->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    }
    list->currentView()->setFocus();
}

void ItemCommands::countVisit(LinkItem *item)
{
    if (item->Visits < INT32_MAX)
        ++item->Visits;
    item->LastVisit = DateConverter::now();
    m_window->markChanged();
    m_window->LinkList()->model()->refreshItem(item);
}

void ItemCommands::LinkListDblClick()
{
    FolderListView *list = m_window->LinkList();
    if (list->selectedCount() != 1)
        return;
    LinkItem *entry = firstSelectedEntry();
    if (entry->isFolder()) {
        entry->LastVisit = DateConverter::now();
        FolderTreeView *tree = m_window->LinksTree();
        QTreeWidgetItem *shown = tree->SelectedNode();
        shown->setExpanded(true);
        tree->SetAutoFill(false);
        const QString name = TextCodec::toDisplay(entry->Name);
        QTreeWidgetItem *match = nullptr;
        for (int i = 0; i < shown->childCount() && !match; ++i) {
            if (shown->child(i)->text(0) == name)
                match = shown->child(i);
        }
        if (match) {
            tree->setCurrentItem(match);
            if (tree->isVisibleTo(m_window) && !m_window->folderBar()->isHidden())
                tree->setFocus();
        }
        if (LinkItem *still = firstSelectedEntry())
            m_window->ShowFolderContents(still);
        tree->SetAutoFill(true);
        return;
    }
    // The question may run while the entry goes away: only an entry the list still shows is counted.
    LinkOpener::openLink(m_window, TextCodec::toDisplay(entry->Url), [this, list, entry] {
        if (list->model()->rowOf(entry) >= 0)
            countVisit(entry);
    });
}

void ItemCommands::URLLabelClick(const QString &link)
{
    LinkOpener::openLink(m_window, link, [this] {
        if (LinkItem *entry = firstSelectedEntry())
            countVisit(entry);
    });
}

void ItemCommands::editProperties(LinkItem *item)
{
    PropertiesDialog dialog(item, m_window);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    LinkListModel *model = m_window->LinkList()->model();
    if (!accepted)
        return;
    m_window->searchCommands()->collectionChanged();
    m_window->markChanged();
    FolderTreeView *tree = m_window->LinksTree();
    if (item == tree->SelectedItem()) {
        // The shown folder: its node, the header and the pane follow the new name.
        tree->setNodeText(tree->SelectedNode(), TextCodec::toDisplay(item->Name));
        m_window->FolderPane()->setCaption(TextCodec::toDisplay(item->Name));
        ShowItemDetails(item);
        return;
    }
    model->refreshItem(item);
    m_window->listPane()->ApplySort();
    ShowItemDetails(item);
    QTreeWidgetItem *shown = tree->SelectedNode();
    if (item->isFolder() && shown && shown->isExpanded()) {
        if (QTreeWidgetItem *node = FolderTreeView::childNodeOf(shown, item))
            tree->setNodeText(node, TextCodec::toDisplay(item->Name));
    }
}

void ItemCommands::showProperties()
{
    if (listHasFocus()) {
        if (LinkItem *entry = firstSelectedEntry())
            editProperties(entry);
        return;
    }
    showFolderProperties();
}

void ItemCommands::showFolderProperties()
{
    if (LinkItem *folder = m_window->shownFolder())
        editProperties(folder);
}

void ItemCommands::showEntryProperties()
{
    if (LinkItem *entry = firstSelectedEntry())
        editProperties(entry);
}

void ItemCommands::LinkListSelectItem()
{
    if (!m_listHandlers)
        return;
    FolderListView *list = m_window->LinkList();
    const int count = list->selectedCount();
    ShowItemDetails(count == 1 ? firstSelectedEntry() : nullptr);
    m_window->descriptionPane()->setUrlShown(count == 1);
    m_window->actions()->deleteButton->setEnabled(count > 0);
    updateDeleteCommand();
    m_window->updateStatusText();
}

void ItemCommands::updateDeleteCommand()
{
    // Del must reach selected entries of the top folder too: the Edit menu's entry is enabled for a
    // folder below the top and whenever entries are selected.
    const LinkItem *folder = m_window->shownFolder();
    m_window->actions()->deleteItems->setEnabled((folder && folder->Parent)
                                                 || m_window->LinkList()->selectedCount() > 0);
}

void ItemCommands::LinkListEnter()
{
    if (!m_listHandlers)
        return;
    const int count = m_window->LinkList()->selectedCount();
    if (count != 1)
        ShowItemDetails(nullptr);
    m_window->actions()->deleteButton->setEnabled(count > 0);
    m_window->updateStatusText();
}

void ItemCommands::LinksTreeEnter()
{
    LinkItem *folder = m_window->shownFolder();
    m_window->actions()->deleteButton->setEnabled(folder && folder->Parent);
    ShowItemDetails(folder);
    m_window->updateStatusText();
}

void ItemCommands::prepareListMenu()
{
    const int count = m_window->LinkList()->selectedCount();
    m_open->setEnabled(count == 1);
    m_properties->setEnabled(count == 1);
    m_delete->setEnabled(count > 0);
    m_window->actions()->deleteButton->setEnabled(count > 0);
    const LinkItem *folder = m_window->shownFolder();
    m_window->actions()->upOneLevel->setEnabled(folder && folder->Parent);
}

void ItemCommands::descriptionEntered()
{
    // Del edits the text while the description has the focus.
    m_window->actions()->deleteItems->setShortcut(QKeySequence());
}

void ItemCommands::descriptionLeft()
{
    m_window->actions()->deleteItems->setShortcut(QKeySequence(Qt::Key_Delete));
}

bool ItemCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched != m_window->LinksTree()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            LinkListDblClick(); // Enter opens the selected entry
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_window->LinksTree())
            LinksTreeEnter();
        else
            LinkListEnter();
    }
    return QObject::eventFilter(watched, event);
}

bool ItemCommands::LinkListDrop(const QMimeData *data, const QPoint &position, bool drop)
{
    FolderListView *list = m_window->LinkList();
    FolderTreeView *tree = m_window->LinksTree();
    if (data->hasFormat(LinkListModel::MimeType)) {
        // Within the list: only onto free space, only one entry, and only the icon styles move it.
        if (list->entryAt(position) || list->selectedCount() != 1)
            return false;
        if (drop)
            list->placeSelectedEntryAt(position);
        return true;
    }
    if (!data->hasFormat(FolderTreeView::TreeMimeType))
        return false;
    QTreeWidgetItem *source = tree->DragSourceNode();
    QTreeWidgetItem *shown = tree->SelectedNode();
    if (!source || !shown)
        return false;
    for (const QTreeWidgetItem *walk = shown; walk; walk = walk->parent()) {
        if (walk == source)
            return false;
    }
    if (!drop)
        return true;
    tree->finishDrag();
    LinkItem *folder = FolderTreeView::itemOf(source);
    LinkItem *destination = FolderTreeView::itemOf(shown);
    tree->deleteNode(source);
    folder->Parent->Children.MoveTo(folder, destination->Children);
    m_window->markChanged();
    tree->reopen(shown);
    m_window->LinksTreeChanging(tree->SelectedNode());
    return true;
}

void ItemCommands::dropListEntriesOnTree(QTreeWidgetItem *target)
{
    FolderTreeView *tree = m_window->LinksTree();
    FolderListView *list = m_window->LinkList();
    LinkItem *destination = FolderTreeView::itemOf(target);
    tree->SetAutoFill(true);
    target->setExpanded(true);
    tree->SetAutoFill(false);
    const std::vector<LinkItem *> entries = list->selectedItems();
    for (LinkItem *entry : entries) {
        if (entry->isFolder()) {
            if (QTreeWidgetItem *node = tree->findNode(entry)) {
                node->parent()->removeChild(node);
                target->addChild(node);
                target->sortChildren(0, Qt::AscendingOrder);
            } else {
                tree->addFolderNode(target, entry);
            }
        }
        entry->Parent->Children.MoveTo(entry, destination->Children);
    }
    m_window->markChanged();
    for (LinkItem *entry : entries)
        list->model()->removeItem(entry);
    tree->SetAutoFill(true);
    m_window->LinksTreeChanging(tree->SelectedNode());
}
