#pragma once

#include <QObject>

class FolderListView;
class FolderTreeView;
class ItemCommands;

// The drops between the folder tree and the link list: an entry dropped within the list is placed (icon styles),
// a folder of the tree dropped on the list moves into the shown folder, and entries of the list dropped on a
// folder of the tree move into it. The moves are the item commands'.
class PaneDrops : public QObject
{
    Q_OBJECT
public:
    PaneDrops(FolderTreeView *tree, FolderListView *list, ItemCommands *commands, QObject *parent);
};
