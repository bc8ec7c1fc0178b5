#include "mainwindow/ItemCommands.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkOpener.h"
#include "mainwindow/NewItemDialog.h"
#include "mainwindow/PropertiesDialog.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
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

ItemCommands::ItemCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent)
{
}

LinkItem *ItemCommands::firstSelectedEntry() const
{
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    return selected.empty() ? nullptr : selected.front();
}

void ItemCommands::newFolder()
{
    LinkItem *folder = m_view->folder();
    if (!folder)
        return;
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

    LinkItem *item = m_document->insertSorted(folder, LinkItem::MakeFolder(name));
    m_view->showFolder(item);
    m_view->rename(item);
}

void ItemCommands::newUrl()
{
    LinkItem *folder = m_view->folder();
    if (!folder)
        return;
    NewItemDialog dialog(m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto link = LinkItem::MakeLink(TextCodec::fromDisplay(dialog.name()), TextCodec::fromDisplay(dialog.url()));
    link->Description = TextCodec::fromDisplay(dialog.description());
    // Added like an import's items, so the window relists the folder.
    std::vector<std::unique_ptr<LinkItem>> added;
    added.push_back(std::move(link));
    m_document->insertChildren(folder, std::move(added));
}

void ItemCommands::deleteItems()
{
    if (m_view->listActive())
        deleteSelectedEntries();
    else
        deleteShownFolder();
}

void ItemCommands::deleteSelectedEntries()
{
    const int count = m_view->selectedCount();
    if (!MessageBoxes::question(
            m_parent, QCoreApplication::translate("ItemCommands", "Confirm Multiple Objects Delete"),
            QCoreApplication::translate("ItemCommands", "Are you sure you want to delete these %1 objects?")
                .arg(count)))
        return;
    // One removal for the whole selection, so that a large delete costs one pass over the list.
    // An entry inside a selected folder (search results list both) goes with its folder.
    const std::vector<LinkItem *> selected = m_view->selectedItems();
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
    UpdatesGuard guard(m_parent);
    m_document->removeItems(doomed);
}

void ItemCommands::deleteShownFolder()
{
    LinkItem *folder = m_view->folder();
    if (!folder || !folder->Parent)
        return; // the root folder is never deleted
    if (!MessageBoxes::question(m_parent, QCoreApplication::translate("ItemCommands", "Confirm Folder Delete"),
                                QCoreApplication::translate("ItemCommands", "Are you sure you want to delete '%1'?")
                                    .arg(TextCodec::toDisplay(folder->Name))))
        return;
    // The tree selects a neighbour, which shows that folder.
    m_document->remove(folder);
}

void ItemCommands::selectAll()
{
    m_view->selectAll();
    m_view->focusList();
}

void ItemCommands::deselectAll()
{
    m_view->clearSelection();
    m_view->focusList();
}

void ItemCommands::invertSelection()
{
    m_view->invertSelection();
    m_view->focusList();
}

void ItemCommands::openSelected()
{
    if (m_view->selectedCount() != 1)
        return;
    LinkItem *entry = firstSelectedEntry();
    if (entry->isFolder()) {
        m_view->showFolder(entry);
        m_view->focusTree();
        return;
    }
    // The question may run while the entry goes away: only an entry the list still shows is counted.
    LinkOpener::openLink(m_parent, TextCodec::toDisplay(entry->Url), [this, entry] {
        if (m_view->model()->rowOf(entry) >= 0)
            m_document->visit(entry);
    });
}

void ItemCommands::openAddress(const QString &link)
{
    LinkOpener::openLink(m_parent, link, [this] {
        if (LinkItem *entry = firstSelectedEntry())
            m_document->visit(entry);
    });
}

void ItemCommands::editProperties(LinkItem *item)
{
    // The dialog works on the live item; the document tells the panes what it may have changed.
    using Field = CollectionDocument::Field;
    m_document->aboutToEditFields(item);
    const qint32 visits = item->Visits;
    const double lastVisit = item->LastVisit;
    PropertiesDialog dialog(item, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        // "Clear Visits" takes effect at once and stays when the dialog is cancelled: it is still a change
        // to save and to undo.
        if (item->Visits != visits || item->LastVisit != lastVisit)
            m_document->fieldsEdited(item, Field::Visits);
        return;
    }
    m_document->fieldsEdited(item, Field::Name | Field::Url | Field::Description | Field::Rating | Field::Visits);
}

void ItemCommands::showProperties()
{
    if (m_view->listActive()) {
        if (LinkItem *entry = firstSelectedEntry())
            editProperties(entry);
        return;
    }
    showFolderProperties();
}

void ItemCommands::showFolderProperties()
{
    if (LinkItem *folder = m_view->folder())
        editProperties(folder);
}

void ItemCommands::showEntryProperties()
{
    if (LinkItem *entry = firstSelectedEntry())
        editProperties(entry);
}

void ItemCommands::moveSelectedInto(LinkItem *destination)
{
    const std::vector<LinkItem *> entries = m_view->selectedItems();
    if (!destination || entries.empty())
        return;
    // One step to undo for the whole drop.
    m_document->beginCommand(entries.size() == 1
                                 ? QCoreApplication::translate("ItemCommands", "Move")
                                 : QCoreApplication::translate("ItemCommands", "Move %1 objects").arg(entries.size()));
    for (LinkItem *entry : entries)
        m_document->move(entry, destination); // its row goes
    m_document->endCommand();
    m_view->showFolderAgain();
}

bool ItemCommands::canMoveHere(const LinkItem *folder) const
{
    const LinkItem *shown = m_view->folder();
    if (!folder || !shown)
        return false;
    for (const LinkItem *walk = shown; walk; walk = walk->Parent) {
        if (walk == folder)
            return false;
    }
    return true;
}

void ItemCommands::moveHere(LinkItem *folder)
{
    if (!canMoveHere(folder))
        return;
    m_document->move(folder, m_view->folder());
    m_view->showFolderAgain();
}
