#include "mainwindow/TreeMenu.h"

#include "mainwindow/FolderTreeView.h"
#include "mainwindow/MainActions.h"
#include "store/LinkItem.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

TreeMenu::TreeMenu(FolderTreeView *tree, MainActions *actions, QWidget *window) : QObject(tree), m_tree(tree)
{
    m_popup = new QMenu(tree);
    m_popup->setObjectName(QStringLiteral("LinksTreePopupMenu"));
    m_collapseExpand
        = m_popup->addAction(QCoreApplication::translate("FolderCommands", "E&xpand"), this, &TreeMenu::collapseExpand);
    m_popup->addSeparator();
    QMenu *newMenu = m_popup->addMenu(QCoreApplication::translate("FolderCommands", "&New"));
    newMenu->addActions({actions->newFolder, actions->newUrl});
    m_delete = m_popup->addAction(QCoreApplication::translate("FolderCommands", "&Delete") + QStringLiteral("\tDel"));
    m_rename = m_popup->addAction(QCoreApplication::translate("FolderCommands", "&Rename") + QStringLiteral("\tF2"));
    // F2 renames the selected folder wherever the focus is.
    auto *renameKey = new QAction(window);
    renameKey->setShortcut(QKeySequence(Qt::Key_F2));
    window->addAction(renameKey);
    connect(renameKey, &QAction::triggered, m_rename, [this] {
        if (m_rename->isEnabled())
            m_rename->trigger();
    });
    m_popup->addSeparator();
    m_popup->addAction(actions->upOneLevel);
    m_popup->addSeparator();
    m_properties = m_popup->addAction(QCoreApplication::translate("FolderCommands", "&Properties...")
                                      + QStringLiteral("\tCtrl+P"));
    connect(m_popup, &QMenu::aboutToShow, this, &TreeMenu::prepare);

    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &position) { m_popup->popup(m_tree->viewport()->mapToGlobal(position)); });
}

void TreeMenu::enableForFolder(const LinkItem *folder)
{
    const bool below = folder && folder->Parent;
    m_delete->setEnabled(below);
    m_rename->setEnabled(below);
}

void TreeMenu::prepare()
{
    m_collapseExpand->setText(m_tree->collapseExpandCaption());
    // The entry opens or closes only what can be opened or closed.
    m_collapseExpand->setEnabled(m_tree->canCollapseExpand());
}

void TreeMenu::collapseExpand()
{
    if (!m_tree->selectedFolder())
        return;
    m_tree->toggleExpanded();
    prepare();
}
