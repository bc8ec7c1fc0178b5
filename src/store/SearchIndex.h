#pragma once

#include "store/FoldedHaystack.h"

#include <QString>

#include <vector>

class LinkItem;

// Finds folders and links anywhere below a root by the words typed: an item matches when each word occurs,
// in any order, in its name, its URL or its description, regardless of case and accents. Results come in
// tree order (a folder, then its children in their stored order, depth first); the root itself is never a
// result.
//
// The index holds folded copies of the texts and pointers to the items. It does not see the tree change:
// call invalidate() after anything that adds, removes or moves items or changes a name, URL or description
// (imports, New Folder, New URL, Properties, description edits, rename, delete, drag and drop, Delete Empty
// Folders), before the next search. Invalidating is free; the next search or allLinks() rebuilds, which takes
// a fraction of a second for a million items. A visit (Visits, LastVisit) needs nothing.
class SearchIndex
{
public:
    SearchIndex() = default;
    explicit SearchIndex(LinkItem *root) : m_root(root) { }

    // A new root (or none); the index is rebuilt on the next search.
    void setRoot(LinkItem *root) noexcept;
    LinkItem *root() const noexcept { return m_root; }

    void invalidate() noexcept { m_stale = true; }
    bool isStale() const noexcept { return m_stale; }
    // Reads the whole tree now.
    void rebuild();

    // True when the query holds something to search for; an empty or blank query means "no search".
    static bool hasWords(const QString &query);

    // The items that hold every word of the query; none for a query without words.
    std::vector<LinkItem *> search(const QString &query);

    // Every link below the root, in tree order; a stale index walks the tree for it instead of rebuilding.
    std::vector<LinkItem *> allLinks();

    // Items below the root (folders and links) as of the last rebuild.
    int itemCount();

private:
    void ensureBuilt();

    LinkItem *m_root = nullptr;
    bool m_stale = true;
    std::vector<LinkItem *> m_items;
    FoldedHaystack m_haystack;
};
