#pragma once

#include "store/ItemText.h"

#include <QtEndian>

#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

class ItemBlock;
class LinkItem;

// Orders two names as zero-terminated byte strings with unsigned bytes, case-sensitive:
// the first differing byte decides, and a name that is a prefix of the other is smaller.
inline int CompareNames(std::string_view a, std::string_view b) noexcept
{
    // Names next to each other in a folder seldom share their first eight bytes: compare those as one
    // big-endian number, and leave the rest to the library. Names never hold a zero byte, so comparing
    // the views is the zero-terminated comparison, and char_traits<char> compares as unsigned char.
    if (a.size() >= 8 && b.size() >= 8) {
        const quint64 x = qFromBigEndian<quint64>(a.data());
        const quint64 y = qFromBigEndian<quint64>(b.data());
        if (x != y)
            return x < y ? -1 : 1;
    }
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The ordered children of one LinkItem. The list owns its entries and keeps them sorted by Name,
// so that a new entry lands after the entries whose names equal its own.
class ItemList
{
public:
    explicit ItemList(LinkItem *owner) noexcept : m_owner(owner) { }
    ~ItemList();

    ItemList(const ItemList &) = delete;
    ItemList &operator=(const ItemList &) = delete;

    LinkItem *Owner() const noexcept { return m_owner; }
    int Count() const noexcept { return static_cast<int>(m_items.size()); }
    LinkItem *Get(int index) const noexcept { return m_items[static_cast<size_t>(index)].get(); }

    // Takes ownership, sets the item's Parent to Owner and returns the index at which the item now stands.
    int InsertSorted(std::unique_ptr<LinkItem> item);

    // Index of the first entry that SameItem finds, or -1.
    int IndexOf(const LinkItem *item) const noexcept;

    // Destroys the entry that is the given item, with its subtree; nothing happens when it is not here.
    void Remove(const LinkItem *item);

    // Moves the item into destination (sorted insert); -1 when the item is not in this list.
    int MoveTo(const LinkItem *item, ItemList &destination);

    // Takes entry `index` out of the list without destroying it.
    std::unique_ptr<LinkItem> TakeAt(int index);
    // Puts item at index as it is, whatever its name (to put back an entry where it stood).
    void InsertAt(int index, std::unique_ptr<LinkItem> item);
    // Takes every entry out, in order, without destroying them.
    std::vector<std::unique_ptr<LinkItem>> TakeAll() noexcept;
    // Makes items the entries of an empty list, in the order given.
    void Assign(std::vector<std::unique_ptr<LinkItem>> items);

    struct Kinds
    {
        int folders = 0;
        int links = 0;
    };
    Kinds CountKinds() const noexcept;
    bool HasFolder() const noexcept;

    // How a batch is ordered by name, when the caller already knows.
    enum class BatchOrder { Unknown, Ascending, StrictlyDescending };

    // Adds many entries at once, with the same resulting order as inserting them one by one with
    // InsertSorted, in O(n log n) instead of O(n^2); in O(n) when the batch is in order or backwards.
    void InsertSortedBatch(std::vector<std::unique_ptr<LinkItem>> items, BatchOrder order = BatchOrder::Unknown);

    auto begin() const noexcept { return m_items.begin(); }
    auto end() const noexcept { return m_items.end(); }

private:
    friend class LinkItem;
    int upperBound(std::string_view name) const noexcept;

    std::vector<std::unique_ptr<LinkItem>> m_items;
    LinkItem *m_owner;
};

// One folder or link of the collection.
class LinkItem
{
public:
    LinkItem();
    ~LinkItem();

    LinkItem(const LinkItem &) = delete;
    LinkItem &operator=(const LinkItem &) = delete;

    static std::unique_ptr<LinkItem> MakeFolder(std::string_view name);
    static std::unique_ptr<LinkItem> MakeLink(std::string_view name, std::string_view url);

    // Items live on the heap or in an ItemBlock; `delete` gives each back where it came from.
    static void *operator new(size_t size);
    void operator delete(LinkItem *item, std::destroying_delete_t) noexcept;

    bool isFolder() const noexcept { return IsFolder != 0; }

    ItemList Children;
    ItemText Name;
    ItemText Url;
    ItemText Description;
    std::uint8_t IsFolder = 0; // 0 = link, any other value = folder
    std::int32_t Visits = 0;
    LinkItem *Parent = nullptr; // not owned; none for the root
    std::uint8_t Rating = 0; // 0 = none, 1..5
    double LastVisit = 0.0; // OLE date; 0 = never

private:
    friend class ItemBlock;
    ItemBlock *m_block = nullptr; // the block this item lives in; none for an item of its own
};

// The identity rule: true only for an item and itself (same fields, same parent, same children list).
bool SameItem(const LinkItem *a, const LinkItem *b) noexcept;
