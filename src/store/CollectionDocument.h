#pragma once

#include "store/LinkItem.h"

#include <QObject>

#include <memory>
#include <string_view>
#include <vector>

// The collection as a document: every change of the link tree goes through here, and each one says
// what it changed, so that the views, the search index and the automatic save follow the collection
// instead of being told by every command. Items about to be destroyed are announced first, so that
// whatever refers to them lets go in time. The document does not own the tree (the repository does).
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

    // The root folder; none while no collection is loaded.
    LinkItem *root() const { return m_root; }
    void setRoot(LinkItem *root) { m_root = root; }

    // Puts item among folder's children in name order (InsertSorted) and returns it.
    LinkItem *insertSorted(LinkItem *folder, std::unique_ptr<LinkItem> item);
    // Adds many children to folder at once, in the order one InsertSorted each would give.
    void insertChildren(LinkItem *folder, std::vector<std::unique_ptr<LinkItem>> items);
    // Children were added to folder by a reader that fills it by itself (an import).
    void childrenAdded(LinkItem *folder);
    // Destroys item with its subtree; the root is never removed.
    void remove(LinkItem *item);
    // Destroys several items with their subtrees, in one pass over each parent's children; none of them may
    // lie inside another.
    void removeItems(const std::vector<LinkItem *> &items);
    // Moves item into destination (sorted insert); nothing happens for a move into the item's own subtree.
    void move(LinkItem *item, LinkItem *destination);
    void rename(LinkItem *item, std::string_view name);
    void setDescription(LinkItem *item, std::string_view description);
    // A dialog that works on the live item has changed these fields.
    void fieldsEdited(LinkItem *item, Fields fields);
    // An opening: one more visit, stamped now.
    void visit(LinkItem *item);

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

private:
    LinkItem *m_root;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CollectionDocument::Fields)
Q_DECLARE_METATYPE(LinkItem *)
