#pragma once

#include "mainwindow/MainPanes.h"

#include <QObject>

class QAction;
class QMenu;
class LinkItem;

// The folder tree's commands in the main window: up one level, expand and collapse, rename, the tree's
// popup menu, and what depends on the shown folder.
class FolderCommands : public QObject
{
    Q_OBJECT
public:
    FolderCommands(const MainPanes &panes, QObject *parent);

    QMenu *LinksTreePopupMenu() const { return m_popup; }
    QAction *CollapseExpand() const { return m_collapseExpand; }
    QAction *renameAction() const { return m_rename; }
    QAction *deleteFolderAction() const { return m_delete; }
    QAction *folderPropertiesAction() const { return m_properties; }

    // Enables the commands that depend on the shown folder: up one level, delete and rename only below
    // the root.
    void enableForFolder(const LinkItem *folder);

    void UpOneLevelButtonClick();
    void expandAll();
    void collapseAll();
    void CollapseExpandClick();
    void EditButtonClick();

private:
    void LinksTreePopupMenuPopup();
    void showNameRefused();

    MainPanes m_panes;
    QMenu *m_popup;
    QAction *m_collapseExpand;
    QAction *m_rename;
    QAction *m_delete;
    QAction *m_properties;
};
