#include "store/LinkItem.h"

#include "store/ItemBlock.h"

#include <algorithm>
#include <cstring>
#include <utility>

ItemList::~ItemList()
{
    // Tear the subtree down with an explicit stack: a chain of 100,000 nested folders must not
    // recurse 100,000 destructors deep.
    std::vector<std::unique_ptr<LinkItem>> pending;
    pending.reserve(m_items.size());
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        pending.push_back(std::move(*it));
    m_items.clear();
    while (!pending.empty()) {
        std::unique_ptr<LinkItem> item = std::move(pending.back());
        pending.pop_back();
        auto &children = item->Children.m_items;
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(std::move(*it));
        children.clear();
    }
}

int ItemList::upperBound(std::string_view name) const noexcept
{
    const auto it = std::upper_bound(
        m_items.begin(), m_items.end(), name,
        [](std::string_view n, const std::unique_ptr<LinkItem> &entry) { return CompareNames(n, entry->Name) < 0; });
    return static_cast<int>(it - m_items.begin());
}

int ItemList::InsertSorted(std::unique_ptr<LinkItem> item)
{
    item->Parent = m_owner;
    const int position = upperBound(item->Name);
    m_items.insert(m_items.begin() + position, std::move(item));
    return position;
}

void ItemList::InsertSortedBatch(std::vector<std::unique_ptr<LinkItem>> items, BatchOrder order)
{
    if (items.empty())
        return;
    for (auto &item : items)
        item->Parent = m_owner;
    const auto byName = [](const std::unique_ptr<LinkItem> &a, const std::unique_ptr<LinkItem> &b) {
        return CompareNames(a->Name, b->Name) < 0;
    };
    if (order == BatchOrder::Unknown) {
        const auto notDescending = [&byName](const auto &a, const auto &b) { return !byName(b, a); };
        if (std::is_sorted(items.begin(), items.end(), byName))
            order = BatchOrder::Ascending;
        else if (std::adjacent_find(items.begin(), items.end(), notDescending) == items.end())
            order = BatchOrder::StrictlyDescending;
    }
    // Inserting one by one after equal names keeps equal names in arrival order: a stable sort.
    // A batch without equal names that is stored backwards is reversed; that keeps it stable too.
    if (order == BatchOrder::StrictlyDescending)
        std::reverse(items.begin(), items.end());
    else if (order == BatchOrder::Unknown)
        std::stable_sort(items.begin(), items.end(), byName);
    if (m_items.empty()) {
        m_items = std::move(items);
        return;
    }
    // Entries already here come before new entries of the same name; std::merge takes from the first
    // range on ties.
    std::vector<std::unique_ptr<LinkItem>> merged;
    merged.reserve(m_items.size() + items.size());
    std::merge(std::make_move_iterator(m_items.begin()), std::make_move_iterator(m_items.end()),
               std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()), std::back_inserter(merged),
               byName);
    m_items = std::move(merged);
}

int ItemList::IndexOf(const LinkItem *item) const noexcept
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (SameItem(m_items[i].get(), item))
            return static_cast<int>(i);
    }
    return -1;
}

std::unique_ptr<LinkItem> ItemList::TakeAt(int index)
{
    auto it = m_items.begin() + index;
    std::unique_ptr<LinkItem> item = std::move(*it);
    m_items.erase(it);
    return item;
}

void ItemList::InsertAt(int index, std::unique_ptr<LinkItem> item)
{
    item->Parent = m_owner;
    m_items.insert(m_items.begin() + index, std::move(item));
}

std::vector<std::unique_ptr<LinkItem>> ItemList::TakeAll() noexcept
{
    return std::exchange(m_items, {});
}

void ItemList::Assign(std::vector<std::unique_ptr<LinkItem>> items)
{
    for (auto &item : items)
        item->Parent = m_owner;
    m_items = std::move(items);
}

void ItemList::Remove(const LinkItem *item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        TakeAt(index); // the taken entry dies here with its subtree
}

int ItemList::MoveTo(const LinkItem *item, ItemList &destination)
{
    const int index = IndexOf(item);
    if (index < 0)
        return -1;
    return destination.InsertSorted(TakeAt(index));
}

ItemList::Kinds ItemList::CountKinds() const noexcept
{
    Kinds kinds;
    for (const auto &entry : m_items) {
        if (entry->isFolder())
            ++kinds.folders;
        else
            ++kinds.links;
    }
    return kinds;
}

bool ItemList::HasFolder() const noexcept
{
    return std::any_of(m_items.begin(), m_items.end(), [](const auto &entry) { return entry->isFolder(); });
}

LinkItem::LinkItem() : Children(this) { }

LinkItem::~LinkItem() = default;

void *LinkItem::operator new(size_t size)
{
    return ::operator new(size);
}

void LinkItem::operator delete(LinkItem *item, std::destroying_delete_t) noexcept
{
    ItemBlock *block = item->m_block;
    item->~LinkItem();
    if (block)
        block->release();
    else
        ::operator delete(item);
}

std::unique_ptr<LinkItem> LinkItem::MakeFolder(std::string_view name)
{
    auto item = std::make_unique<LinkItem>();
    item->Name = name;
    item->IsFolder = 1;
    return item;
}

std::unique_ptr<LinkItem> LinkItem::MakeLink(std::string_view name, std::string_view url)
{
    auto item = std::make_unique<LinkItem>();
    item->Name = name;
    item->Url = url;
    return item;
}

bool SameItem(const LinkItem *a, const LinkItem *b) noexcept
{
    if (!b || !a)
        return false;
    if (a->Name != b->Name || a->Url != b->Url || a->Description != b->Description)
        return false;
    if (a->Parent != b->Parent)
        return false;
    return &a->Children == &b->Children;
}
