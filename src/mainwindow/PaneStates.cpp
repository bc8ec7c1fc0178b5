#include "mainwindow/PaneStates.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/MainActions.h"
#include "store/LinkItem.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

PaneStates::PaneStates(CollectionView *view, MainActions *actions, DescriptionPane *description, QObject *parent)
    : QObject(parent), m_view(view), m_actions(actions), m_description(description)
{
    connect(view, &CollectionView::selectionChanged, this, &PaneStates::selectionChanged);
    connect(view, &CollectionView::folderShown, this, &PaneStates::folderShown);
    // "&Properties..." is enabled exactly while the pane shows an item.
    connect(description, &DescriptionPane::itemShown, actions->properties,
            [actions](LinkItem *item) { actions->properties->setEnabled(item); });
    // Del edits the text while the description has the focus.
    connect(description, &DescriptionPane::memoEntered, this,
            [actions] { actions->deleteItems->setShortcut(QKeySequence()); });
    connect(description, &DescriptionPane::memoLeft, this,
            [actions] { actions->deleteItems->setShortcut(QKeySequence(Qt::Key_Delete)); });
}

void PaneStates::watch(QWidget *tree, const QList<QWidget *> &listViews)
{
    m_tree = tree;
    tree->installEventFilter(this);
    for (QWidget *view : listViews)
        view->installEventFilter(this);
}

bool PaneStates::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched != m_tree) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit openRequested(); // Enter opens the selected entry
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_tree)
            treeEntered();
        else
            listEntered();
    }
    return QObject::eventFilter(watched, event);
}

void PaneStates::selectionChanged()
{
    if (!m_enabled)
        return;
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    const int count = static_cast<int>(selected.size());
    m_description->ShowItemDetails(count == 1 ? selected.front() : nullptr);
    m_description->setUrlShown(count == 1);
    m_actions->deleteButton->setEnabled(count > 0);
    updateDeleteCommand();
    m_view->updateStatusText();
}

void PaneStates::updateDeleteCommand()
{
    // Del must reach selected entries of the top folder too: the Edit menu's entry is enabled for a
    // folder below the top and whenever entries are selected.
    const LinkItem *folder = m_view->folder();
    m_actions->deleteItems->setEnabled((folder && folder->Parent) || m_view->selectedCount() > 0);
}

void PaneStates::listEntered()
{
    m_view->setListActive(true);
    if (!m_enabled)
        return;
    const int count = m_view->selectedCount();
    if (count != 1)
        m_description->ShowItemDetails(nullptr);
    m_actions->deleteButton->setEnabled(count > 0);
    m_view->updateStatusText();
}

void PaneStates::treeEntered()
{
    m_view->setListActive(false);
    LinkItem *folder = m_view->folder();
    m_actions->deleteButton->setEnabled(folder && folder->Parent);
    m_description->ShowItemDetails(folder);
    m_view->updateStatusText();
}

void PaneStates::folderShown()
{
    // Up one level, delete and rename only below the root.
    const LinkItem *folder = m_view->folder();
    const bool below = folder && folder->Parent;
    m_actions->upOneLevel->setEnabled(below);
    m_actions->deleteItems->setEnabled(below);
    m_actions->deleteButton->setEnabled(below);
    m_description->ShowItemDetails(m_view->folder());
}

void PaneStates::prepareListMenu(QAction *open, QAction *remove, QAction *properties)
{
    const int count = m_view->selectedCount();
    open->setEnabled(count == 1);
    properties->setEnabled(count == 1);
    remove->setEnabled(count > 0);
    m_actions->deleteButton->setEnabled(count > 0);
    const LinkItem *folder = m_view->folder();
    m_actions->upOneLevel->setEnabled(folder && folder->Parent);
}
