#include "mainwindow/ItemCommands.h"

#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/LinkOpener.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/NewItemDialog.h"
#include "mainwindow/PropertiesDialog.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/FolderHeader.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTreeView>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_set>

ItemCommands::ItemCommands(const MainPanes &panes, QObject *parent) : QObject(parent), m_panes(panes)
{
    MainActions *a = panes.actions;
    FolderListView *list = panes.list;

    m_popup = new QMenu(list);
    m_popup->setObjectName(QStringLiteral("LinkListEntryMenu"));
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

    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ItemCommands::LinkListSelectItem);
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(list->detailsView()), static_cast<QAbstractItemView *>(list->iconView())}) {
        connect(view, &QAbstractItemView::doubleClicked, this, &ItemCommands::LinkListDblClick);
        view->installEventFilter(this);
    }
    list->setDropHandler([this](const QMimeData *data, const QPoint &position, bool drop) {
        return LinkListDrop(data, position, drop);
    });

    FolderTreeView *tree = panes.tree;
    tree->installEventFilter(this);
    tree->setListSelection([list] { return list->selectedItems(); });
    connect(tree, &FolderTreeView::listEntriesDropped, this, &ItemCommands::dropListEntriesOnTree);

    DescriptionPane *pane = panes.description;
    // "&Properties..." is enabled exactly while the pane shows an item.
    connect(pane, &DescriptionPane::itemShown, a->properties, [a](LinkItem *item) { a->properties->setEnabled(item); });
    connect(pane->URLLabel(), &HyperlinkLabel::linkClicked, this, &ItemCommands::URLLabelClick);
    connect(pane, &DescriptionPane::memoEntered, this, &ItemCommands::descriptionEntered);
    connect(pane, &DescriptionPane::memoLeft, this, &ItemCommands::descriptionLeft);
}

bool ItemCommands::listHasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    const FolderListView *list = m_panes.list;
    return focus && (focus == list || list->isAncestorOf(focus));
}

LinkItem *ItemCommands::firstSelectedEntry() const
{
    const std::vector<LinkItem *> selected = m_panes.list->selectedItems();
    return selected.empty() ? nullptr : selected.front();
}

void ItemCommands::ShowItemDetails(LinkItem *item)
{
    m_panes.description->ShowItemDetails(item);
}

void ItemCommands::newFolder()
{
    FolderTreeView *tree = m_panes.tree;
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

    LinkItem *item = m_panes.document->insertSorted(folder, LinkItem::MakeFolder(name));
    // The tree has given the open folder a node for it.
    QTreeWidgetItem *added = FolderTreeView::childNodeOf(node, item);
    if (!added)
        added = tree->addFolderNode(node, item);
    tree->SetAutoFill(false);
    tree->setCurrentItem(added);
    added->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    tree->SetAutoFill(true);
    tree->startRename(added);
}

void ItemCommands::newUrl()
{
    LinkItem *folder = m_panes.tree->SelectedItem();
    if (!folder)
        return;
    NewItemDialog dialog(m_panes.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto link = LinkItem::MakeLink(TextCodec::fromDisplay(dialog.name()), TextCodec::fromDisplay(dialog.url()));
    link->Description = TextCodec::fromDisplay(dialog.description());
    // Added like an import's items, so the window relists the folder (RefreshFolderView).
    std::vector<std::unique_ptr<LinkItem>> added;
    added.push_back(std::move(link));
    m_panes.document->insertChildren(folder, std::move(added));
}

void ItemCommands::DeleteButtonClick()
{
    FolderListView *list = m_panes.list;
    FolderTreeView *tree = m_panes.tree;
    if (listHasFocus()) {
        const int count = list->selectedCount();
        if (!MessageBoxes::question(
                m_panes.window, QCoreApplication::translate("ItemCommands", "Confirm Multiple Objects Delete"),
                QCoreApplication::translate("ItemCommands", "Are you sure you want to delete these %1 objects?")
                    .arg(count)))
            return;
        // One removal for the whole selection, so that a large delete costs one pass over the list.
        // An entry inside a selected folder (search results list both) goes with its folder.
        const std::vector<LinkItem *> selected = list->selectedItems();
        const std::unordered_set<const LinkItem *> chosen(selected.begin(), selected.end());
        const auto insideChosenFolder = [&chosen](const LinkItem *entry) {
            for (const LinkItem *folder = entry->Parent; folder; folder = folder->Parent) {
                if (chosen.contains(folder))
                    return true;
            }
            return false;
        };
        std::vector<LinkItem *> doomed;
        doomed.reserve(selected.size());
        std::copy_if(selected.begin(), selected.end(), std::back_inserter(doomed),
                     [&](const LinkItem *entry) { return !insideChosenFolder(entry); });
        // The panes let go of each entry (row, node, description) before it is destroyed.
        UpdatesGuard guard(m_panes.window);
        m_panes.document->removeItems(doomed);
        return;
    }

    QTreeWidgetItem *node = tree->SelectedNode();
    LinkItem *folder = tree->SelectedItem();
    if (!node || !folder || !folder->Parent)
        return; // the root folder is never deleted
    if (!MessageBoxes::question(m_panes.window, QCoreApplication::translate("ItemCommands", "Confirm Folder Delete"),
                                QCoreApplication::translate("ItemCommands", "Are you sure you want to delete '%1'?")
                                    .arg(TextCodec::toDisplay(folder->Name))))
        return;
    // Its node goes first: the tree selects a neighbour, which shows that folder.
    m_panes.document->remove(folder);
}

void ItemCommands::selectAll()
{
    FolderListView *list = m_panes.list;
    list->currentView()->selectAll();
    list->currentView()->setFocus();
}

void ItemCommands::deselectAll()
{
    FolderListView *list = m_panes.list;
    list->selectionModel()->clearSelection();
    list->currentView()->setFocus();
}

void ItemCommands::invertSelection()
{
    FolderListView *list = m_panes.list;
    const LinkListModel *model = list->model();
    if (model->rowCount() > 0) {
        const QItemSelection all(model->index(0, 0), model->index(model->rowCount() - 1, model->columnCount() - 1));
        list->selectionModel()->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    }
    list->currentView()->setFocus();
}

void ItemCommands::countVisit(LinkItem *item)
{
    m_panes.document->visit(item);
}

void ItemCommands::LinkListDblClick()
{
    FolderListView *list = m_panes.list;
    if (list->selectedCount() != 1)
        return;
    LinkItem *entry = firstSelectedEntry();
    if (entry->isFolder()) {
        entry->LastVisit = DateConverter::now();
        FolderTreeView *tree = m_panes.tree;
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
            if (tree->isVisibleTo(m_panes.window) && !m_panes.folderBar->isHidden())
                tree->setFocus();
        }
        if (LinkItem *still = firstSelectedEntry())
            m_panes.view->ShowFolderContents(still);
        tree->SetAutoFill(true);
        return;
    }
    // The question may run while the entry goes away: only an entry the list still shows is counted.
    LinkOpener::openLink(m_panes.window, TextCodec::toDisplay(entry->Url), [this, list, entry] {
        if (list->model()->rowOf(entry) >= 0)
            countVisit(entry);
    });
}

void ItemCommands::URLLabelClick(const QString &link)
{
    LinkOpener::openLink(m_panes.window, link, [this] {
        if (LinkItem *entry = firstSelectedEntry())
            countVisit(entry);
    });
}

void ItemCommands::editProperties(LinkItem *item)
{
    // The dialog works on the live item; the document tells the panes what it may have changed.
    using Field = CollectionDocument::Field;
    m_panes.document->aboutToEditFields(item);
    const qint32 visits = item->Visits;
    const double lastVisit = item->LastVisit;
    PropertiesDialog dialog(item, m_panes.window);
    if (dialog.exec() != QDialog::Accepted) {
        // "Clear Visits" takes effect at once and stays when the dialog is cancelled: it is still a change
        // to save and to undo.
        if (item->Visits != visits || item->LastVisit != lastVisit)
            m_panes.document->fieldsEdited(item, Field::Visits);
        return;
    }
    m_panes.document->fieldsEdited(item, Field::Name | Field::Url | Field::Description | Field::Rating | Field::Visits);
    ShowItemDetails(item);
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
    if (LinkItem *folder = m_panes.tree->SelectedItem())
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
    FolderListView *list = m_panes.list;
    const int count = list->selectedCount();
    ShowItemDetails(count == 1 ? firstSelectedEntry() : nullptr);
    m_panes.description->setUrlShown(count == 1);
    m_panes.actions->deleteButton->setEnabled(count > 0);
    updateDeleteCommand();
    m_panes.view->updateStatusText();
}

void ItemCommands::updateDeleteCommand()
{
    // Del must reach selected entries of the top folder too: the Edit menu's entry is enabled for a
    // folder below the top and whenever entries are selected.
    const LinkItem *folder = m_panes.tree->SelectedItem();
    m_panes.actions->deleteItems->setEnabled((folder && folder->Parent) || m_panes.list->selectedCount() > 0);
}

void ItemCommands::LinkListEnter()
{
    if (!m_listHandlers)
        return;
    const int count = m_panes.list->selectedCount();
    if (count != 1)
        ShowItemDetails(nullptr);
    m_panes.actions->deleteButton->setEnabled(count > 0);
    m_panes.view->updateStatusText();
}

void ItemCommands::LinksTreeEnter()
{
    LinkItem *folder = m_panes.tree->SelectedItem();
    m_panes.actions->deleteButton->setEnabled(folder && folder->Parent);
    ShowItemDetails(folder);
    m_panes.view->updateStatusText();
}

void ItemCommands::prepareListMenu()
{
    const int count = m_panes.list->selectedCount();
    m_open->setEnabled(count == 1);
    m_properties->setEnabled(count == 1);
    m_delete->setEnabled(count > 0);
    m_panes.actions->deleteButton->setEnabled(count > 0);
    const LinkItem *folder = m_panes.tree->SelectedItem();
    m_panes.actions->upOneLevel->setEnabled(folder && folder->Parent);
}

void ItemCommands::descriptionEntered()
{
    // Del edits the text while the description has the focus.
    m_panes.actions->deleteItems->setShortcut(QKeySequence());
}

void ItemCommands::descriptionLeft()
{
    m_panes.actions->deleteItems->setShortcut(QKeySequence(Qt::Key_Delete));
}

bool ItemCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched != m_panes.tree) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            LinkListDblClick(); // Enter opens the selected entry
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_panes.tree)
            LinksTreeEnter();
        else
            LinkListEnter();
    }
    return QObject::eventFilter(watched, event);
}

bool ItemCommands::LinkListDrop(const QMimeData *data, const QPoint &position, bool drop)
{
    FolderListView *list = m_panes.list;
    FolderTreeView *tree = m_panes.tree;
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
    m_panes.document->move(folder, destination);
    tree->reopen(shown);
    m_panes.view->LinksTreeChanging(tree->SelectedNode());
    return true;
}

void ItemCommands::dropListEntriesOnTree(QTreeWidgetItem *target)
{
    FolderTreeView *tree = m_panes.tree;
    FolderListView *list = m_panes.list;
    LinkItem *destination = FolderTreeView::itemOf(target);
    tree->SetAutoFill(true);
    target->setExpanded(true);
    tree->SetAutoFill(false);
    const std::vector<LinkItem *> entries = list->selectedItems();
    // One step to undo for the whole drop.
    m_panes.document->beginCommand(
        entries.size() == 1 ? QCoreApplication::translate("ItemCommands", "Move")
                            : QCoreApplication::translate("ItemCommands", "Move %1 objects").arg(entries.size()));
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
        m_panes.document->move(entry, destination); // its row goes
    }
    m_panes.document->endCommand();
    tree->SetAutoFill(true);
    m_panes.view->LinksTreeChanging(tree->SelectedNode());
}
