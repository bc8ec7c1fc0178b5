#include "mainwindow/FolderCommands.h"

#include "mainwindow/FolderTreeView.h"
#include "mainwindow/MainActions.h"
#include "store/LinkItem.h"
#include "widgets/FolderHeader.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QScrollBar>

FolderCommands::FolderCommands(const MainPanes &panes, QObject *parent) : QObject(parent), m_panes(panes)
{
    MainActions *a = panes.actions;
    FolderTreeView *tree = panes.tree;

    m_popup = new QMenu(tree);
    m_popup->setObjectName(QStringLiteral("LinksTreePopupMenu"));
    m_collapseExpand = m_popup->addAction(tr("E&xpand"), this, &FolderCommands::CollapseExpandClick);
    m_popup->addSeparator();
    QMenu *newMenu = m_popup->addMenu(tr("&New"));
    newMenu->addActions({a->newFolder, a->newUrl});
    m_delete = m_popup->addAction(tr("&Delete") + QStringLiteral("\tDel"));
    m_rename = m_popup->addAction(tr("&Rename") + QStringLiteral("\tF2"), this, &FolderCommands::EditButtonClick);
    // F2 renames the selected folder wherever the focus is.
    auto *renameKey = new QAction(panes.window);
    renameKey->setShortcut(QKeySequence(Qt::Key_F2));
    panes.window->addAction(renameKey);
    connect(renameKey, &QAction::triggered, this, [this] {
        if (m_rename->isEnabled())
            EditButtonClick();
    });
    m_popup->addSeparator();
    m_popup->addAction(a->upOneLevel);
    m_popup->addSeparator();
    m_properties = m_popup->addAction(tr("&Properties...") + QStringLiteral("\tCtrl+P"));
    connect(m_popup, &QMenu::aboutToShow, this, &FolderCommands::LinksTreePopupMenuPopup);

    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this,
            [this, tree](const QPoint &position) { m_popup->popup(tree->viewport()->mapToGlobal(position)); });
    connect(a->upOneLevel, &QAction::triggered, this, &FolderCommands::UpOneLevelButtonClick);
    connect(a->expandAll, &QAction::triggered, this, &FolderCommands::expandAll);
    connect(a->collapseAll, &QAction::triggered, this, &FolderCommands::collapseAll);
    connect(tree, &FolderTreeView::nameRefused, this, &FolderCommands::showNameRefused);
}

void FolderCommands::enableForFolder(const LinkItem *folder)
{
    const bool below = folder && folder->Parent;
    MainActions *a = m_panes.actions;
    a->upOneLevel->setEnabled(below);
    a->deleteItems->setEnabled(below);
    a->deleteButton->setEnabled(below);
    m_delete->setEnabled(below);
    m_rename->setEnabled(below);
}

void FolderCommands::UpOneLevelButtonClick()
{
    FolderTreeView *tree = m_panes.tree;
    const LinkItem *folder = tree->SelectedItem();
    if (!folder || !folder->Parent)
        return;
    tree->commitRename();
    tree->selectFolder(folder->Parent);
}

void FolderCommands::expandAll()
{
    FolderTreeView *tree = m_panes.tree;
    const bool whole = tree->ExpandAll();
    tree->verticalScrollBar()->setValue(0);
    tree->horizontalScrollBar()->setValue(0);
    if (!whole)
        m_panes.view->setStatusText(FolderTreeView::expandAllCapText());
}

void FolderCommands::collapseAll()
{
    m_panes.tree->CollapseAll();
}

void FolderCommands::LinksTreePopupMenuPopup()
{
    m_collapseExpand->setText(m_panes.tree->collapseExpandCaption());
    // The entry opens or closes only what can be opened or closed.
    m_collapseExpand->setEnabled(m_panes.tree->canCollapseExpand());
}

void FolderCommands::CollapseExpandClick()
{
    FolderTreeView *tree = m_panes.tree;
    if (!tree->SelectedItem())
        return;
    tree->CollapseExpandClick();
    m_collapseExpand->setText(tree->collapseExpandCaption());
    m_collapseExpand->setEnabled(tree->canCollapseExpand());
}

void FolderCommands::EditButtonClick()
{
    FolderTreeView *tree = m_panes.tree;
    tree->startRename(tree->SelectedItem());
}

void FolderCommands::showNameRefused()
{
    MessageBoxes::error(nullptr, QCoreApplication::translate("FolderCommands", "ERROR"),
                        FolderTreeView::backslashMessage());
}
