#pragma once

#include "store/CollectionDocument.h"
#include "store/ItemText.h"

#include <memory>
#include <vector>

class LinkItem;

// One change of the collection that can be taken back and made again. Each works through the
// document's signals, so that the panes follow an undo as they follow the change itself.
class UndoChange
{
public:
    virtual ~UndoChange() = default;
    virtual void undo(CollectionDocument &document) = 0;
    virtual void redo(CollectionDocument &document) = 0;
    // The item the undo brought back or changed, to show; none when it took something away.
    virtual LinkItem *undoneItem() const { return nullptr; }
    // About how much the change holds, in items (the items it keeps alive and the places it remembers).
    virtual size_t cost() const { return 1; }
};

// The items of item's subtree, item included.
size_t subtreeSize(const LinkItem *item);

// An item added to (or taken out of) folder at index, with its subtree. While it is out of the tree the
// change keeps it alive.
class PlacementChange : public UndoChange
{
public:
    // Without kept, the change put item into the tree (undo takes it out); with it, the change took the
    // item out and hands it over.
    PlacementChange(LinkItem *folder, int index, LinkItem *item, std::unique_ptr<LinkItem> kept);
    void undo(CollectionDocument &document) override;
    void redo(CollectionDocument &document) override;
    LinkItem *undoneItem() const override;
    size_t cost() const override { return m_cost; }

private:
    void flip(CollectionDocument &document);

    LinkItem *m_folder;
    int m_index;
    LinkItem *m_item;
    std::unique_ptr<LinkItem> m_kept; // the item while it is out of the tree
    bool m_removed; // the change took the item out
    size_t m_cost;
};

// An item moved from one folder and index to another.
class MoveChange : public UndoChange
{
public:
    MoveChange(LinkItem *item, LinkItem *from, int fromIndex, LinkItem *to, int toIndex);
    void undo(CollectionDocument &document) override;
    void redo(CollectionDocument &document) override;
    LinkItem *undoneItem() const override { return m_item; }

private:
    static void place(CollectionDocument &document, LinkItem *item, LinkItem *from, int fromIndex, LinkItem *to,
                      int toIndex);

    LinkItem *m_item;
    LinkItem *m_from;
    int m_fromIndex;
    LinkItem *m_to;
    int m_toIndex;
};

// All the children of one folder moved into another at once (a merge of folders).
class ChildrenMoveChange : public UndoChange
{
public:
    // moved: from's children before the move; before and after: destination's.
    ChildrenMoveChange(LinkItem *from, std::vector<LinkItem *> moved, LinkItem *destination,
                       std::vector<LinkItem *> before, std::vector<LinkItem *> after);
    void undo(CollectionDocument &document) override;
    void redo(CollectionDocument &document) override;
    LinkItem *undoneItem() const override { return m_moved.front(); }
    // The places of the items moved, as for a move of each.
    size_t cost() const override { return m_moved.size(); }
    // Tells the panes that the moved items left oldParent.
    void announce(CollectionDocument &document, LinkItem *oldParent) const;

private:
    void arrange(const std::vector<LinkItem *> &fromOrder, const std::vector<LinkItem *> &destinationOrder);

    LinkItem *m_from;
    std::vector<LinkItem *> m_moved;
    LinkItem *m_destination;
    std::vector<LinkItem *> m_before;
    std::vector<LinkItem *> m_after;
};

// The fields of an item as they were; undo and redo swap them with the item's own.
struct ItemFieldValues
{
    ItemText name;
    ItemText url;
    ItemText description;
    std::uint8_t rating = 0;
    std::int32_t visits = 0;
    double lastVisit = 0.0;

    static ItemFieldValues of(const LinkItem &item);
    // The fields in which item differs from these values.
    CollectionDocument::Fields differences(const LinkItem &item) const;
};

class FieldsChange : public UndoChange
{
public:
    FieldsChange(LinkItem *item, CollectionDocument::Fields fields, ItemFieldValues old);
    void undo(CollectionDocument &document) override { swap(document); }
    void redo(CollectionDocument &document) override { swap(document); }
    LinkItem *undoneItem() const override { return m_item; }
    LinkItem *item() const { return m_item; }
    CollectionDocument::Fields fields() const { return m_fields; }

private:
    void swap(CollectionDocument &document);

    LinkItem *m_item;
    CollectionDocument::Fields m_fields;
    ItemFieldValues m_values;
};

// The children of one folder before and after a change of many of them at once (an import, a delete of
// several). Items that are out of the tree on one side are kept alive here.
class ChildrenChange : public UndoChange
{
public:
    ChildrenChange(LinkItem *folder, std::vector<LinkItem *> before, std::vector<LinkItem *> after,
                   std::vector<std::unique_ptr<LinkItem>> kept);
    void undo(CollectionDocument &document) override { arrange(document, m_before); }
    void redo(CollectionDocument &document) override { arrange(document, m_after); }
    LinkItem *undoneItem() const override;
    size_t cost() const override { return m_cost; }

private:
    void arrange(CollectionDocument &document, const std::vector<LinkItem *> &order);

    LinkItem *m_folder;
    std::vector<LinkItem *> m_before;
    std::vector<LinkItem *> m_after;
    std::vector<std::unique_ptr<LinkItem>> m_kept;
    size_t m_cost;
};
