#pragma once

#include <QObject>

class FolderTreeView;
class LinkItem;
class MainActions;
class QAction;
class QMenu;
class QWidget;

// The folder tree's popup menu: "E&xpand"/"&Collapse", "&New", "&Delete", "&Rename", Up One Level and
// "&Properties...", opened at the pointer; F2 renames the shown folder wherever the focus is. The window
// connects Delete, Rename and Properties to the commands.
class TreeMenu : public QObject
{
    Q_OBJECT
public:
    // window: where F2 works, and the owner of the menu's keys.
    TreeMenu(FolderTreeView *tree, MainActions *actions, QWidget *window);

    QMenu *menu() const { return m_popup; }
    QAction *collapseExpandAction() const { return m_collapseExpand; }
    QAction *deleteAction() const { return m_delete; }
    QAction *renameAction() const { return m_rename; }
    QAction *propertiesAction() const { return m_properties; }

    // Delete and Rename apply below the root only.
    void enableForFolder(const LinkItem *folder);

private:
    void prepare();
    void collapseExpand();

    FolderTreeView *m_tree;
    QMenu *m_popup;
    QAction *m_collapseExpand;
    QAction *m_delete;
    QAction *m_rename;
    QAction *m_properties;
};
