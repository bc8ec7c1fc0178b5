#pragma once

#include <QObject>
#include <QString>

class CollectionDocument;
class CollectionView;
class LinkItem;
class QWidget;

// The commands on folders and links: New Folder, New URL, Delete, the selection commands, opening entries, the
// Properties commands and the moves that drops make.
class ItemCommands : public QObject
{
    Q_OBJECT
public:
    ItemCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);

    void newFolder(); // in the shown folder, shown and renamed in place
    void newUrl(); // in the shown folder
    // Delete: the selected entries while the list is the active pane, else the shown folder (never the root).
    void deleteItems();
    void deleteSelectedEntries();
    void deleteShownFolder();
    void selectAll();
    void deselectAll();
    void invertSelection();
    // Opens the one selected entry: a folder is shown, a link goes to the browser and counts a visit.
    void openSelected();
    // The description pane's address was clicked: it is opened, and the first selected entry counts the visit.
    void openAddress(const QString &link);
    void showProperties(); // the selected entry while the list is the active pane, else the shown folder
    void showFolderProperties(); // the shown folder
    void showEntryProperties(); // the first selected entry

    // The selected entries dropped on a folder of the tree: they move into it, as one step to undo.
    void moveSelectedInto(LinkItem *destination);
    // A folder of the tree dropped on the list: it moves into the shown folder, unless that lies in it.
    bool canMoveHere(const LinkItem *folder) const;
    void moveHere(LinkItem *folder);

private:
    void editProperties(LinkItem *item);
    LinkItem *firstSelectedEntry() const;

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
};
