#include "mainwindow/PaneDrops.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"

#include <QMimeData>

PaneDrops::PaneDrops(FolderTreeView *tree, FolderListView *list, ItemCommands *commands, QObject *parent)
    : QObject(parent)
{
    list->setDropHandler([tree, list, commands](const QMimeData *data, const QPoint &position, bool drop) {
        if (data->hasFormat(LinkListModel::MimeType)) {
            // Within the list: only onto free space, only one entry, and only the icon styles move it.
            if (list->entryAt(position) || list->collectionView()->selectedCount() != 1)
                return false;
            if (drop)
                list->placeSelectedEntryAt(position);
            return true;
        }
        if (!data->hasFormat(FolderTreeModel::TreeMimeType))
            return false;
        LinkItem *folder = tree->dragSource();
        if (!commands->canMoveHere(folder))
            return false;
        if (drop) {
            tree->finishDrag();
            commands->moveHere(folder);
        }
        return true;
    });
    connect(tree, &FolderTreeView::listEntriesDropped, commands, [tree, commands](LinkItem *target) {
        tree->open(tree->revealFolder(target));
        commands->moveSelectedInto(target);
    });
}
