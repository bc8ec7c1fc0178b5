#include "mainwindow/UndoCommands.h"

#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"

#include <QAction>
#include <QItemSelectionModel>

UndoCommands::UndoCommands(const MainPanes &panes, QObject *parent) : QObject(parent), m_panes(panes)
{
    MainActions *a = m_panes.actions;
    connect(a->undo, &QAction::triggered, this, &UndoCommands::undo);
    connect(a->redo, &QAction::triggered, this, &UndoCommands::redo);
    connect(m_panes.document, &CollectionDocument::historyChanged, this, &UndoCommands::updateActions);
    updateActions();
}

void UndoCommands::updateActions()
{
    const CollectionDocument *document = m_panes.document;
    MainActions *a = m_panes.actions;
    const QString undoCaption = document->undoCaption();
    const QString redoCaption = document->redoCaption();
    a->undo->setText(undoCaption.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undoCaption));
    a->redo->setText(redoCaption.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redoCaption));
    a->undo->setEnabled(document->canUndo());
    a->redo->setEnabled(document->canRedo());
}

namespace {
// The panes relist and show folders as they follow an undo or a redo; that is no visit of the user's.
class NoVisitsCounted
{
public:
    explicit NoVisitsCounted(ShownFolderView *view) : m_view(view) { m_view->setCountsVisits(false); }
    ~NoVisitsCounted() { m_view->setCountsVisits(true); }
    NoVisitsCounted(const NoVisitsCounted &) = delete;
    NoVisitsCounted &operator=(const NoVisitsCounted &) = delete;

private:
    ShownFolderView *m_view;
};
} // namespace

void UndoCommands::undo()
{
    NoVisitsCounted noVisits(m_panes.view);
    LinkItem *restored = nullptr;
    {
        UpdatesGuard guard(m_panes.window);
        restored = m_panes.document->undo();
    }
    show(restored);
}

void UndoCommands::redo()
{
    NoVisitsCounted noVisits(m_panes.view);
    UpdatesGuard guard(m_panes.window);
    m_panes.document->redo();
}

void UndoCommands::show(LinkItem *item)
{
    if (!item)
        return;
    // The item among its folder's entries; the root folder as itself.
    LinkItem *folder = item->Parent ? item->Parent : item;
    FolderTreeView *tree = m_panes.tree;
    QTreeWidgetItem *node = tree->revealFolder(folder);
    if (!node || FolderTreeView::itemOf(node) != folder)
        return;
    if (tree->currentItem() == node)
        m_panes.view->LinksTreeChanging(node); // already shown: show it all the same, leaving any results
    else
        tree->setCurrentItem(node);
    tree->scrollToItem(node);
    if (item == folder)
        return;
    FolderListView *list = m_panes.list;
    const int row = list->model()->rowOf(item);
    if (row < 0)
        return;
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->currentView()->scrollTo(index);
}
