#include "mainwindow/WindowCommands.h"

#include "mainwindow/BrowserImportCommands.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/PaneDrops.h"
#include "mainwindow/PaneStates.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/SyncCommands.h"
#include "mainwindow/TransferCommands.h"
#include "mainwindow/TreeMenu.h"
#include "mainwindow/UndoCommands.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>

WindowCommands::WindowCommands(CollectionDocument *document, CollectionView *view, const Panes &panes, QWidget *window)
    : QObject(window), m_document(document), m_view(view), m_panes(panes),
      m_folders(new FolderCommands(document, view, window)), m_items(new ItemCommands(document, view, window)),
      m_transfer(new TransferCommands(document, view, window)),
      m_browserImport(new BrowserImportCommands(document, view, window)),
      m_search(new SearchCommands(document, view, window)), m_restore(new RestoreCommands(document, view, window)),
      m_duplicates(new DuplicateCommands(document, view, window)), m_sync(new SyncCommands(document, view, window)),
      m_undo(new UndoCommands(document, view, window)), m_linkCheck(new LinkCheckCommands(document, view, window))
{
    // The window is the commands' dialogs' parent; they themselves go with this object, which the window ends
    // before its collection.
    for (QObject *command : std::initializer_list<QObject *> {m_folders, m_items, m_transfer, m_browserImport, m_search,
                                                              m_restore, m_duplicates, m_sync, m_undo, m_linkCheck})
        command->setParent(this);
    connectItems();
    connectListPopup();
    connectDrops();
    connectFolders();
    connectHistory();
    connectTransfers();
    connectSearch();
    connectDuplicates();
    connectLinkCheck();
    // A backup before a change that a step back would not undo.
    connect(m_view, &CollectionView::backupWanted, m_restore, &RestoreCommands::keepBackup);
}

void WindowCommands::connectItems()
{
    MainActions *a = m_panes.actions;
    ItemCommands *commands = m_items;
    connect(a->newFolder, &QAction::triggered, commands, &ItemCommands::newFolder);
    connect(a->newUrl, &QAction::triggered, commands, &ItemCommands::newUrl);
    connect(a->deleteItems, &QAction::triggered, commands, &ItemCommands::deleteItems);
    connect(a->selectAll, &QAction::triggered, commands, &ItemCommands::selectAll);
    connect(a->deselectAll, &QAction::triggered, commands, &ItemCommands::deselectAll);
    connect(a->invertSelection, &QAction::triggered, commands, &ItemCommands::invertSelection);
    connect(a->properties, &QAction::triggered, commands, &ItemCommands::showProperties);
    // The tree's popup deletes and shows the properties of the shown folder.
    connect(m_panes.treeMenu->deleteAction(), &QAction::triggered, commands, &ItemCommands::deleteShownFolder);
    connect(m_panes.treeMenu->propertiesAction(), &QAction::triggered, commands, &ItemCommands::showFolderProperties);

    FolderListView *list = m_panes.list;
    const QList<QWidget *> listViews {list->detailsView(), list->iconView()};
    for (QWidget *view : listViews)
        connect(static_cast<QAbstractItemView *>(view), &QAbstractItemView::doubleClicked, commands,
                &ItemCommands::openSelected);
    m_panes.states->watch(m_panes.tree, listViews);
    connect(m_panes.states, &PaneStates::openRequested, commands, &ItemCommands::openSelected);
    connect(m_panes.description->urlLabel(), &HyperlinkLabel::linkClicked, commands, &ItemCommands::openAddress);
}

void WindowCommands::connectListPopup()
{
    MainActions *a = m_panes.actions;
    ItemCommands *commands = m_items;
    auto *popup = new QMenu(m_panes.list);
    popup->setObjectName(QStringLiteral("LinkListEntryMenu"));
    QAction *open
        = popup->addAction(QCoreApplication::translate("ItemCommands", "Open"), commands, &ItemCommands::openSelected);
    QAction *remove = popup->addAction(QCoreApplication::translate("ItemCommands", "&Delete") + QStringLiteral("\tDel"),
                                       commands, &ItemCommands::deleteSelectedEntries);
    popup->addSeparator();
    popup->addAction(a->goToFolder);
    popup->addAction(a->upOneLevel);
    popup->addSeparator();
    QAction *properties
        = popup->addAction(QCoreApplication::translate("ItemCommands", "&Properties...") + QStringLiteral("\tCtrl+P"),
                           commands, &ItemCommands::showEntryProperties);
    PaneStates *states = m_panes.states;
    connect(popup, &QMenu::aboutToShow, states,
            [states, open, remove, properties] { states->prepareListMenu(open, remove, properties); });
    m_panes.list->setItemPopupMenu(popup);
}

void WindowCommands::connectDrops()
{
    new PaneDrops(m_panes.tree, m_panes.list, m_items, this);
}

void WindowCommands::connectFolders()
{
    MainActions *a = m_panes.actions;
    FolderTreeView *tree = m_panes.tree;
    connect(a->upOneLevel, &QAction::triggered, m_folders, &FolderCommands::upOneLevel);
    connect(m_panes.treeMenu->renameAction(), &QAction::triggered, m_folders, &FolderCommands::rename);
    // Expanding and collapsing the whole tree is the tree's own business; the status bar tells when Expand All
    // stopped short.
    connect(a->expandAll, &QAction::triggered, this, [this, tree] {
        const bool whole = tree->ExpandAll();
        tree->verticalScrollBar()->setValue(0);
        tree->horizontalScrollBar()->setValue(0);
        if (!whole)
            m_view->setStatusText(FolderTreeView::expandAllCapText());
    });
    connect(a->collapseAll, &QAction::triggered, tree, &FolderTreeView::CollapseAll);
    connect(tree, &FolderTreeView::nameRefused, this, [] {
        MessageBoxes::error(nullptr, QCoreApplication::translate("FolderCommands", "ERROR"),
                            FolderTreeView::backslashMessage());
    });
}

void WindowCommands::connectHistory()
{
    MainActions *a = m_panes.actions;
    connect(a->undo, &QAction::triggered, m_undo, &UndoCommands::undo);
    connect(a->redo, &QAction::triggered, m_undo, &UndoCommands::redo);
    // The two captions name the next step.
    const auto followHistory = [a, document = m_document] {
        a->undo->setText(UndoCommands::undoCaption(*document));
        a->redo->setText(UndoCommands::redoCaption(*document));
        a->undo->setEnabled(document->canUndo());
        a->redo->setEnabled(document->canRedo());
    };
    connect(m_document, &CollectionDocument::historyChanged, this, followHistory);
    followHistory();
    connect(a->restoreFromBackup, &QAction::triggered, m_restore, &RestoreCommands::restoreFromBackup);
}

void WindowCommands::connectTransfers()
{
    MainActions *a = m_panes.actions;
    for (const BookmarkFormatInfo &info : BookmarkFormatInfo::all()) {
        if (QAction *entry = a->importAction(info.format))
            connect(entry, &QAction::triggered, m_transfer,
                    [this, format = info.format] { m_transfer->importFormat(format); });
        if (QAction *entry = a->exportAction(info.format))
            connect(entry, &QAction::triggered, m_transfer,
                    [this, format = info.format] { m_transfer->exportFormat(format); });
    }
    connect(a->importBrowser, &QAction::triggered, m_browserImport, &BrowserImportCommands::importFromBrowser);
    connect(a->syncSettings, &QAction::triggered, m_sync, &SyncCommands::showSettings);
    connect(a->syncNow, &QAction::triggered, m_sync, &SyncCommands::syncNow);
    connect(m_sync, &SyncCommands::configuredChanged, a->syncNow, &QAction::setEnabled);
    a->syncNow->setEnabled(m_sync->isConfigured());
}

void WindowCommands::connectSearch()
{
    MainActions *a = m_panes.actions;
    SearchCommands *search = m_search;
    connect(a->search, &QAction::triggered, search, &SearchCommands::search);
    connect(a->allBookmarks, &QAction::triggered, search, &SearchCommands::showAllBookmarks);
    connect(a->goToFolder, &QAction::triggered, search, &SearchCommands::goToChosenFolder);
    connect(a->deleteEmptyFolders, &QAction::triggered, search, &SearchCommands::deleteEmptyFolders);
    connect(m_panes.description, &DescriptionPane::locationClicked, search, &SearchCommands::goToResultFolder);
}

void WindowCommands::connectDuplicates()
{
    MainActions *a = m_panes.actions;
    DuplicateCommands *duplicates = m_duplicates;
    connect(a->findDuplicates, &QAction::triggered, duplicates, &DuplicateCommands::findDuplicates);
    connect(a->keepSelectedDuplicate, &QAction::triggered, duplicates, &DuplicateCommands::keepSelected);
    connect(a->cleanUpDuplicates, &QAction::triggered, duplicates, &DuplicateCommands::cleanUpAll);
    connect(a->mergeDuplicateFolders, &QAction::triggered, duplicates, &DuplicateCommands::mergeDuplicateFolders);
    const auto followDuplicates = [a, duplicates] {
        a->keepSelectedDuplicate->setEnabled(duplicates->canKeepSelected());
        a->cleanUpDuplicates->setEnabled(duplicates->canCleanUp());
    };
    connect(duplicates, &DuplicateCommands::stateChanged, this, followDuplicates);
    followDuplicates();
    connect(duplicates, &DuplicateCommands::placesChanged, m_panes.description, &DescriptionPane::setPlaces);
    a->skipKnownLinks->setChecked(Settings().GetSkipKnownLinks());
    connect(a->skipKnownLinks, &QAction::toggled, this, [](bool skip) { Settings().SetSkipKnownLinks(skip); });
}

void WindowCommands::connectLinkCheck()
{
    MainActions *a = m_panes.actions;
    LinkCheckCommands *links = m_linkCheck;
    DescriptionPane *description = m_panes.description;
    connect(links, &LinkCheckCommands::findingShown, description,
            [description](const QString &location, const QString &note) {
                description->setLocation(location);
                description->setLocationNote(note);
            });
    a->addLinkCheckEntries({links->checkLinksAction(), links->updateAddressAction(), links->updateAllAddressesAction(),
                            links->deleteBrokenAction()},
                           links->resultsAction());
    if (QMenu *listMenu = m_panes.list->itemPopupMenu()) {
        listMenu->addSeparator();
        listMenu->addActions({links->checkLinksAction(), links->recheckAction(), links->updateAddressAction(),
                              links->deleteBrokenAction()});
    }
    if (QMenu *treeMenu = m_panes.treeMenu->menu()) {
        treeMenu->addSeparator();
        treeMenu->addAction(links->checkLinksAction());
    }
}
