#include "store/SearchIndex.h"

#include "store/LinkItem.h"
#include "store/TextFold.h"

namespace {

// Every item below the root, depth first in stored order, with an explicit stack: nesting may be far deeper
// than the call stack allows.
std::vector<LinkItem *> treeOrder(LinkItem *root)
{
    std::vector<LinkItem *> items;
    if (!root)
        return items;
    std::vector<LinkItem *> pending;
    for (auto it = root->Children.end(); it != root->Children.begin();)
        pending.push_back((--it)->get());
    while (!pending.empty()) {
        LinkItem *item = pending.back();
        pending.pop_back();
        items.push_back(item);
        for (auto it = item->Children.end(); it != item->Children.begin();)
            pending.push_back((--it)->get());
    }
    return items;
}

} // namespace

void SearchIndex::setRoot(LinkItem *root) noexcept
{
    m_root = root;
    m_stale = true;
}

void SearchIndex::rebuild()
{
    m_haystack.clear();
    m_items = treeOrder(m_root);
    m_stale = false;
    size_t bytes = 0;
    for (const LinkItem *item : m_items)
        bytes += item->Name.size() + item->Url.size() + item->Description.size() + 3;

    // ASCII folds to as many bytes; the rest may grow a little.
    m_haystack.reserve(m_items.size(), bytes + bytes / 16);
    for (const LinkItem *item : m_items) {
        m_haystack.beginEntry();
        m_haystack.addStoredField(item->Name);
        m_haystack.addStoredField(item->Url);
        m_haystack.addStoredField(item->Description);
    }
}

void SearchIndex::ensureBuilt()
{
    if (m_stale)
        rebuild();
}

bool SearchIndex::hasWords(const QString &query)
{
    return !TextFold::queryWords(query).empty();
}

std::vector<LinkItem *> SearchIndex::search(const QString &query)
{
    ensureBuilt();
    const std::vector<int> entries = m_haystack.find(TextFold::queryWords(query));
    std::vector<LinkItem *> results;
    results.reserve(entries.size());
    for (const int entry : entries)
        results.push_back(m_items[static_cast<size_t>(entry)]);
    return results;
}

std::vector<LinkItem *> SearchIndex::allLinks()
{
    // Listing needs no folded texts: a stale index walks the tree instead of rebuilding.
    std::vector<LinkItem *> links = m_stale ? treeOrder(m_root) : m_items;
    std::erase_if(links, [](const LinkItem *item) { return item->isFolder(); });
    return links;
}

int SearchIndex::itemCount()
{
    ensureBuilt();
    return static_cast<int>(m_items.size());
}
