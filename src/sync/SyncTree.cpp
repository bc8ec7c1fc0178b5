#include "sync/SyncTree.h"

#include <algorithm>

bool SyncNode::sameContent(const SyncNode &other) const
{
    return folder == other.folder && title == other.title && (folder || url == other.url)
        && description == other.description && visits == other.visits && rating == other.rating
        && lastVisit == other.lastVisit;
}

SyncTree::SyncTree()
{
    SyncNode root;
    root.id = RootId;
    root.parent = RootId;
    root.folder = true;
    m_nodes.emplace(RootId, root);
}

const SyncNode *SyncTree::find(qint64 id) const
{
    const auto it = m_nodes.find(id);
    return it == m_nodes.end() ? nullptr : &it->second;
}

SyncNode *SyncTree::find(qint64 id)
{
    const auto it = m_nodes.find(id);
    return it == m_nodes.end() ? nullptr : &it->second;
}

bool SyncTree::add(SyncNode node)
{
    const SyncNode *parent = find(node.parent);
    if (node.id == RootId || contains(node.id) || !parent || !parent->folder)
        return false;
    m_childrenOf.emplace(node.parent, node.id);
    if (node.id > m_highestId)
        m_highestId = node.id;
    m_nodes.emplace(node.id, std::move(node));
    return true;
}

void SyncTree::remove(qint64 id)
{
    if (id == RootId || !contains(id))
        return;
    std::vector<qint64> gone = descendants(id);
    gone.push_back(id);
    for (const qint64 each : gone) {
        const qint64 parent = m_nodes.at(each).parent;
        const auto [first, last] = m_childrenOf.equal_range(parent);
        for (auto it = first; it != last; ++it) {
            if (it->second == each) {
                m_childrenOf.erase(it);
                break;
            }
        }
        m_childrenOf.erase(each);
        m_nodes.erase(each);
    }
}

bool SyncTree::move(qint64 id, qint64 parent)
{
    SyncNode *node = find(id);
    const SyncNode *destination = find(parent);
    if (!node || id == RootId || !destination || !destination->folder || isWithin(parent, id))
        return false;
    const auto [first, last] = m_childrenOf.equal_range(node->parent);
    for (auto it = first; it != last; ++it) {
        if (it->second == id) {
            m_childrenOf.erase(it);
            break;
        }
    }
    qint64 order = 0;
    for (const qint64 sibling : children(parent))
        order = std::max(order, m_nodes.at(sibling).order + 1);
    node->parent = parent;
    node->order = order;
    m_childrenOf.emplace(parent, id);
    return true;
}

std::vector<qint64> SyncTree::children(qint64 id) const
{
    // Each entry's order is looked up once, not at every comparison.
    std::vector<std::pair<qint64, qint64>> entries; // order, id
    const auto [first, last] = m_childrenOf.equal_range(id);
    for (auto it = first; it != last; ++it)
        entries.emplace_back(m_nodes.at(it->second).order, it->second);
    // Entries added later come later among equal orders: the multimap keeps insertion order.
    std::stable_sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<qint64> ids;
    ids.reserve(entries.size());
    for (const auto &entry : entries)
        ids.push_back(entry.second);
    return ids;
}

std::vector<qint64> SyncTree::descendants(qint64 id) const
{
    std::vector<qint64> ids;
    std::vector<qint64> pending {id};
    while (!pending.empty()) {
        const qint64 next = pending.back();
        pending.pop_back();
        if (next != id)
            ids.push_back(next);
        const std::vector<qint64> entries = children(next);
        pending.insert(pending.end(), entries.rbegin(), entries.rend());
    }
    return ids;
}

bool SyncTree::isWithin(qint64 id, qint64 ancestor) const
{
    // Parents always lead to the root, so the walk ends.
    for (const SyncNode *node = find(id); node; node = find(node->parent)) {
        if (node->id == ancestor)
            return true;
        if (node->id == RootId)
            break;
    }
    return false;
}

bool SyncTree::operator==(const SyncTree &other) const
{
    if (m_nodes.size() != other.m_nodes.size())
        return false;
    for (const auto &[id, node] : m_nodes) {
        const SyncNode *theirs = other.find(id);
        if (!theirs || theirs->parent != node.parent || !theirs->sameContent(node))
            return false;
        if (node.folder && children(id) != other.children(id))
            return false;
    }
    return true;
}
