#pragma once

#include "store/LinkItem.h"
#include "store/UndoHistory.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string_view>
#include <vector>

// The collection as a document: every change of the link tree goes through here, and each one says
// what it changed, so that the views, the search index and the automatic save follow the collection
// instead of being told by every command. Items about to be destroyed are announced first, so that
// whatever refers to them lets go in time. The document does not own the tree (the repository does).
//
// Every change but a visit is also a step of the undo history; undo and redo announce themselves through the
// same signals, so the panes follow them too. Items that a change took out of the tree stay alive in its
// step until the step is dropped.
struct ItemFieldValues;

class CollectionDocument : public QObject
{
    Q_OBJECT
public:
    // What an edit changed in an item.
    enum class Field {
        Name = 0x01,
        Url = 0x02,
        Description = 0x04,
        Rating = 0x08,
        Visits = 0x10, // Visits and LastVisit
    };
    Q_DECLARE_FLAGS(Fields, Field)
    Q_FLAG(Fields)

    explicit CollectionDocument(LinkItem *root = nullptr, QObject *parent = nullptr);
    ~CollectionDocument() override;

    // The root folder; none while no collection is loaded. Another root starts an empty history.
    LinkItem *root() const { return m_root; }
    void setRoot(LinkItem *root);

    // Puts item among folder's children in name order (InsertSorted) and returns it.
    LinkItem *insertSorted(LinkItem *folder, std::unique_ptr<LinkItem> item);
    // Adds many children to folder at once, in the order one InsertSorted each would give.
    void insertChildren(LinkItem *folder, std::vector<std::unique_ptr<LinkItem>> items);
    // A reader is about to fill folder by itself; childrenAdded then tells that it did (an import, one step).
    void aboutToAddChildren(LinkItem *folder);
    // Children were added to folder by a reader that fills it by itself (an import).
    void childrenAdded(LinkItem *folder);
    // Destroys item with its subtree; the root is never removed.
    void remove(LinkItem *item);
    // Destroys several items with their subtrees, in one pass over each parent's children; none of them may
    // lie inside another.
    void removeItems(const std::vector<LinkItem *> &items);
    // Moves item into destination (sorted insert); nothing happens for a move into the item's own subtree.
    void move(LinkItem *item, LinkItem *destination);
    // Moves all of from's children into destination at once, in the order one move each would give, with one
    // pass over each list; nothing happens when destination is from or lies inside it. The folders among them
    // are announced one by one (itemMoved), the rest by childrenInserted of both folders.
    void moveChildren(LinkItem *from, LinkItem *destination);
    void rename(LinkItem *item, std::string_view name);
    void setDescription(LinkItem *item, std::string_view description);
    // A dialog that works on the live item is about to change its fields; fieldsEdited says it did.
    void aboutToEditFields(LinkItem *item);
    // A dialog that works on the live item has changed these fields.
    void fieldsEdited(LinkItem *item, Fields fields);
    // An opening: one more visit, stamped now. Not an undo step.
    void visit(LinkItem *item);

    // The changes between beginCommand and the matching endCommand are one step named caption.
    void beginCommand(const QString &caption);
    void endCommand();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // What the next undo and redo would take back or make again ("Delete 3 objects").
    QString undoCaption() const { return m_history.undoCaption(); }
    QString redoCaption() const { return m_history.redoCaption(); }
    // Undo returns the item it brought back or changed, to show; none when it only took items away.
    LinkItem *undo();
    void redo();
    const UndoHistory &history() const { return m_history; }
    UndoHistory &history() { return m_history; }

signals:
    // item was added to item->Parent.
    void itemInserted(LinkItem *item);
    // Many children were added to folder at once.
    void childrenInserted(LinkItem *folder);
    // item and its subtree are about to be destroyed: let go of them.
    void itemAboutToBeRemoved(LinkItem *item);
    // items and their subtrees are about to be destroyed, all at once: let go of them.
    void itemsAboutToBeRemoved(const std::vector<LinkItem *> &items);
    // One or more children of parent were destroyed.
    void itemRemoved(LinkItem *parent);
    // item now lies in item->Parent instead of oldParent.
    void itemMoved(LinkItem *item, LinkItem *oldParent);
    void itemChanged(LinkItem *item, CollectionDocument::Fields fields);
    // After every change of any kind: the collection differs from what was saved.
    void changed();
    // What can be undone or redone has changed.
    void historyChanged();

private:
    void record(const QString &caption, std::unique_ptr<UndoChange> change);

    LinkItem *m_root;
    UndoHistory m_history;
    // What a dialog or a reader is about to change, as it was.
    LinkItem *m_editing = nullptr;
    std::unique_ptr<ItemFieldValues> m_editedValues;
    LinkItem *m_filling = nullptr;
    std::vector<LinkItem *> m_filledBefore;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CollectionDocument::Fields)
Q_DECLARE_METATYPE(LinkItem *)
