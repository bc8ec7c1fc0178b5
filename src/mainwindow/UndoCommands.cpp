#include "mainwindow/UndoCommands.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

UndoCommands::UndoCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent)
{
}

QString UndoCommands::undoCaption(const CollectionDocument &document)
{
    const QString step = document.undoCaption();
    return step.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(step);
}

QString UndoCommands::redoCaption(const CollectionDocument &document)
{
    const QString step = document.redoCaption();
    return step.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(step);
}

namespace {
// The panes relist and show folders as they follow an undo or a redo; that is no visit of the user's.
class NoVisitsCounted
{
public:
    explicit NoVisitsCounted(CollectionView *view) : m_view(view) { m_view->setCountsVisits(false); }
    ~NoVisitsCounted() { m_view->setCountsVisits(true); }
    NoVisitsCounted(const NoVisitsCounted &) = delete;
    NoVisitsCounted &operator=(const NoVisitsCounted &) = delete;

private:
    CollectionView *m_view;
};
} // namespace

void UndoCommands::undo()
{
    NoVisitsCounted noVisits(m_view);
    LinkItem *restored = nullptr;
    {
        UpdatesGuard guard(m_parent);
        restored = m_document->undo();
    }
    show(restored);
}

void UndoCommands::redo()
{
    NoVisitsCounted noVisits(m_view);
    UpdatesGuard guard(m_parent);
    m_document->redo();
}

void UndoCommands::show(LinkItem *item)
{
    if (!item)
        return;
    // The item among its folder's entries (already shown: shown all the same, leaving any results); the root
    // folder as itself.
    LinkItem *folder = item->Parent ? item->Parent : item;
    m_view->showFolder(folder);
    if (m_view->folder() != folder || item == folder)
        return; // deeper than the tree opens
    m_view->select({item});
}
