#include "store/UndoChanges.h"

#include "store/LinkItem.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_set>
#include <utility>

size_t subtreeSize(const LinkItem *item)
{
    size_t size = 0;
    std::vector<const LinkItem *> pending {item};
    while (!pending.empty()) {
        const LinkItem *next = pending.back();
        pending.pop_back();
        ++size;
        for (const auto &child : next->Children)
            pending.push_back(child.get());
    }
    return size;
}

PlacementChange::PlacementChange(LinkItem *folder, int index, LinkItem *item, std::unique_ptr<LinkItem> kept)
    : m_folder(folder), m_index(index), m_item(item), m_kept(std::move(kept)), m_removed(m_kept != nullptr),
      m_cost(subtreeSize(item))
{
}

void PlacementChange::undo(CollectionDocument &document)
{
    flip(document);
}

void PlacementChange::redo(CollectionDocument &document)
{
    flip(document);
}

LinkItem *PlacementChange::undoneItem() const
{
    return m_removed ? m_item : nullptr;
}

void PlacementChange::flip(CollectionDocument &document)
{
    if (!m_kept) {
        Q_ASSERT(m_folder->Children.Get(m_index) == m_item);
        emit document.itemAboutToBeRemoved(m_item);
        m_kept = m_folder->Children.TakeAt(m_index);
        emit document.itemRemoved(m_folder);
        return;
    }
    m_folder->Children.InsertAt(m_index, std::move(m_kept));
    emit document.itemInserted(m_item);
}

MoveChange::MoveChange(LinkItem *item, LinkItem *from, int fromIndex, LinkItem *to, int toIndex)
    : m_item(item), m_from(from), m_fromIndex(fromIndex), m_to(to), m_toIndex(toIndex)
{
}

void MoveChange::undo(CollectionDocument &document)
{
    place(document, m_item, m_to, m_toIndex, m_from, m_fromIndex);
}

void MoveChange::redo(CollectionDocument &document)
{
    place(document, m_item, m_from, m_fromIndex, m_to, m_toIndex);
}

void MoveChange::place(CollectionDocument &document, LinkItem *item, LinkItem *from, int fromIndex, LinkItem *to,
                       int toIndex)
{
    Q_ASSERT(from->Children.Get(fromIndex) == item);
    to->Children.InsertAt(toIndex, from->Children.TakeAt(fromIndex));
    emit document.itemMoved(item, from);
}

ChildrenMoveChange::ChildrenMoveChange(LinkItem *from, std::vector<LinkItem *> moved, LinkItem *destination,
                                       std::vector<LinkItem *> before, std::vector<LinkItem *> after)
    : m_from(from), m_moved(std::move(moved)), m_destination(destination), m_before(std::move(before)),
      m_after(std::move(after))
{
}

void ChildrenMoveChange::undo(CollectionDocument &document)
{
    arrange(m_moved, m_before);
    announce(document, m_destination);
}

void ChildrenMoveChange::redo(CollectionDocument &document)
{
    arrange({}, m_after);
    announce(document, m_from);
}

void ChildrenMoveChange::arrange(const std::vector<LinkItem *> &fromOrder,
                                 const std::vector<LinkItem *> &destinationOrder)
{
    // The two folders hold exactly the items of the two orders, only placed otherwise: their entries are let
    // go of and taken up again in the new order.
    std::vector<std::unique_ptr<LinkItem>> held = m_from->Children.TakeAll();
    for (auto &entry : m_destination->Children.TakeAll())
        held.push_back(std::move(entry));
#ifndef NDEBUG
    std::unordered_set<const LinkItem *> wanted(fromOrder.begin(), fromOrder.end());
    wanted.insert(destinationOrder.begin(), destinationOrder.end());
    Q_ASSERT(wanted.size() == held.size());
    for (const auto &entry : held)
        Q_ASSERT(wanted.contains(entry.get()));
#endif
    for (auto &entry : held)
        (void)entry.release();
    const auto adopt = [](const std::vector<LinkItem *> &order) {
        std::vector<std::unique_ptr<LinkItem>> arranged;
        arranged.reserve(order.size());
        for (LinkItem *item : order)
            arranged.emplace_back(item);
        return arranged;
    };
    m_from->Children.Assign(adopt(fromOrder));
    m_destination->Children.Assign(adopt(destinationOrder));
}

void ChildrenMoveChange::announce(CollectionDocument &document, LinkItem *oldParent) const
{
    for (LinkItem *item : m_moved) {
        if (item->isFolder())
            emit document.itemMoved(item, oldParent);
    }
    emit document.childrenInserted(m_from);
    emit document.childrenInserted(m_destination);
}

ItemFieldValues ItemFieldValues::of(const LinkItem &item)
{
    return {item.Name, item.Url, item.Description, item.Rating, item.Visits, item.LastVisit};
}

CollectionDocument::Fields ItemFieldValues::differences(const LinkItem &item) const
{
    using Field = CollectionDocument::Field;
    CollectionDocument::Fields fields;
    fields.setFlag(Field::Name, name.view() != item.Name.view());
    fields.setFlag(Field::Url, url.view() != item.Url.view());
    fields.setFlag(Field::Description, description.view() != item.Description.view());
    fields.setFlag(Field::Rating, rating != item.Rating);
    // Compared as bytes: what is saved is the bytes of the date.
    fields.setFlag(Field::Visits,
                   visits != item.Visits || std::memcmp(&lastVisit, &item.LastVisit, sizeof lastVisit) != 0);
    return fields;
}

FieldsChange::FieldsChange(LinkItem *item, CollectionDocument::Fields fields, ItemFieldValues old)
    : m_item(item), m_fields(fields), m_values(std::move(old))
{
}

void FieldsChange::swap(CollectionDocument &document)
{
    using Field = CollectionDocument::Field;
    // Texts are copied rather than moved: a text of a read item may point into its block.
    const auto swapText = [](ItemText &a, ItemText &b) {
        ItemText held(a);
        a = b;
        b = held;
    };
    if (m_fields & Field::Name)
        swapText(m_item->Name, m_values.name);
    if (m_fields & Field::Url)
        swapText(m_item->Url, m_values.url);
    if (m_fields & Field::Description)
        swapText(m_item->Description, m_values.description);
    if (m_fields & Field::Rating)
        std::swap(m_item->Rating, m_values.rating);
    if (m_fields & Field::Visits) {
        std::swap(m_item->Visits, m_values.visits);
        std::swap(m_item->LastVisit, m_values.lastVisit);
    }
    emit document.itemChanged(m_item, m_fields);
}

ChildrenChange::ChildrenChange(LinkItem *folder, std::vector<LinkItem *> before, std::vector<LinkItem *> after,
                               std::vector<std::unique_ptr<LinkItem>> kept)
    : m_folder(folder), m_before(std::move(before)), m_after(std::move(after)), m_kept(std::move(kept))
{
    // The places on both sides, and the subtrees that are out of the tree on one side. Sorted lists rather than
    // hash sets: a delete from a thousand folders makes a thousand of these changes.
    m_cost = m_before.size() + m_after.size();
    std::vector<const LinkItem *> was(m_before.begin(), m_before.end());
    std::vector<const LinkItem *> is(m_after.begin(), m_after.end());
    std::sort(was.begin(), was.end());
    std::sort(is.begin(), is.end());
    std::vector<const LinkItem *> oneSided;
    std::set_symmetric_difference(was.begin(), was.end(), is.begin(), is.end(), std::back_inserter(oneSided));
    for (const LinkItem *item : oneSided)
        m_cost += subtreeSize(item);
}

LinkItem *ChildrenChange::undoneItem() const
{
    std::vector<const LinkItem *> after(m_after.begin(), m_after.end());
    std::sort(after.begin(), after.end());
    for (LinkItem *item : m_before) {
        if (!std::binary_search(after.begin(), after.end(), item))
            return item;
    }
    return m_folder;
}

void ChildrenChange::arrange(CollectionDocument &document, const std::vector<LinkItem *> &order)
{
    std::vector<const LinkItem *> wanted(order.begin(), order.end());
    std::sort(wanted.begin(), wanted.end());
    std::vector<LinkItem *> gone;
    for (const auto &entry : m_folder->Children) {
        if (!std::binary_search(wanted.begin(), wanted.end(), entry.get()))
            gone.push_back(entry.get());
    }
    if (!gone.empty())
        emit document.itemsAboutToBeRemoved(gone);

    // Every entry of the folder and every one kept here, by address.
    std::vector<std::pair<const LinkItem *, std::unique_ptr<LinkItem>>> pool;
    pool.reserve(static_cast<size_t>(m_folder->Children.Count()) + m_kept.size());
    for (auto &entry : m_folder->Children.TakeAll())
        pool.emplace_back(entry.get(), std::move(entry));
    const size_t present = pool.size() - gone.size();
    for (auto &entry : m_kept)
        pool.emplace_back(entry.get(), std::move(entry));
    m_kept.clear();
    std::sort(pool.begin(), pool.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    std::vector<std::unique_ptr<LinkItem>> arranged;
    arranged.reserve(order.size());
    for (LinkItem *item : order) {
        auto it = std::lower_bound(pool.begin(), pool.end(), item,
                                   [](const auto &entry, const LinkItem *key) { return entry.first < key; });
        Q_ASSERT(it != pool.end() && it->first == item && it->second);
        arranged.push_back(std::move(it->second));
    }
    m_folder->Children.Assign(std::move(arranged));
    for (auto &entry : pool) {
        if (entry.second)
            m_kept.push_back(std::move(entry.second));
    }

    if (!gone.empty())
        emit document.itemRemoved(m_folder);
    if (order.size() > present || gone.empty())
        emit document.childrenInserted(m_folder);
}
