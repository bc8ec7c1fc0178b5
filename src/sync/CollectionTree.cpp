#include "sync/CollectionTree.h"

#include "sync/LinkComparison.h"

#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

struct Entry : CollectionTree::Snapshot::Entry
{
    qint64 id = 0; // 0 while not recognised
};

class Matcher
{
public:
    Matcher(std::vector<Entry> &entries, const SyncTree &base) : m_entries(entries), m_base(base) { }

    void run()
    {
        for (bool progress = true; progress;) {
            progress = byPlace();
            progress = byUrl() || progress;
            progress = byPlace() || progress;
            progress = linksByName() || progress;
            progress = folders() || progress;
        }
    }

private:
    qint64 parentId(const Entry &entry) const
    {
        return entry.parent < 0 ? SyncTree::RootId : m_entries[size_t(entry.parent)].id;
    }
    void claim(Entry &entry, qint64 id)
    {
        entry.id = id;
        m_claimed.insert(id);
    }
    bool free(qint64 id) const { return !m_claimed.count(id); }

    // Same name (and URL) in the same folder.
    bool byPlace()
    {
        bool progress = false;
        for (Entry &entry : m_entries) {
            const qint64 parent = parentId(entry);
            if (entry.id || !parent)
                continue;
            for (const qint64 id : m_base.children(parent)) {
                const SyncNode &node = *m_base.find(id);
                if (free(id) && node.folder == entry.node.folder && node.title == entry.node.title
                    && (node.folder || node.url == entry.node.url)) {
                    claim(entry, id);
                    progress = true;
                    break;
                }
            }
        }
        return progress;
    }

    // A link whose URL only one link had and has.
    bool byUrl()
    {
        std::map<QString, std::vector<qint64>> before;
        for (const auto &[id, node] : m_base.nodes()) {
            if (!node.folder && free(id))
                before[LinkComparison::comparableUrl(node.url)].push_back(id);
        }
        std::map<QString, std::vector<Entry *>> now;
        for (Entry &entry : m_entries) {
            if (!entry.id && !entry.node.folder)
                now[LinkComparison::comparableUrl(entry.node.url)].push_back(&entry);
        }
        bool progress = false;
        for (const auto &[url, entries] : now) {
            const auto it = before.find(url);
            if (entries.size() == 1 && it != before.end() && it->second.size() == 1) {
                claim(*entries.front(), it->second.front());
                progress = true;
            }
        }
        return progress;
    }

    // A link of the same name, the only one of that name left in its folder on both sides.
    bool linksByName()
    {
        bool progress = false;
        for (Entry &entry : m_entries) {
            const qint64 parent = parentId(entry);
            if (entry.id || entry.node.folder || !parent)
                continue;
            std::vector<qint64> candidates;
            for (const qint64 id : m_base.children(parent)) {
                const SyncNode &node = *m_base.find(id);
                if (free(id) && !node.folder && node.title == entry.node.title)
                    candidates.push_back(id);
            }
            int rivals = 0;
            for (const Entry &other : m_entries)
                rivals += !other.id && !other.node.folder && other.parent == entry.parent
                    && other.node.title == entry.node.title;
            if (candidates.size() == 1 && rivals == 1) {
                claim(entry, candidates.front());
                progress = true;
            }
        }
        return progress;
    }

    // A folder by its name where only one folder had it, or by where most of its entries were.
    bool folders()
    {
        std::map<QString, int> namesBefore;
        for (const auto &[id, node] : m_base.nodes()) {
            if (node.folder && id != SyncTree::RootId && free(id))
                ++namesBefore[node.title];
        }
        std::map<QString, int> namesNow;
        for (const Entry &entry : m_entries) {
            if (!entry.id && entry.node.folder)
                ++namesNow[entry.node.title];
        }
        bool progress = false;
        for (size_t index = 0; index < m_entries.size(); ++index) {
            Entry &entry = m_entries[index];
            if (entry.id || !entry.node.folder)
                continue;
            qint64 found = 0;
            if (namesBefore[entry.node.title] == 1 && namesNow[entry.node.title] == 1) {
                for (const auto &[id, node] : m_base.nodes()) {
                    if (node.folder && id != SyncTree::RootId && free(id) && node.title == entry.node.title)
                        found = id;
                }
            }
            if (!found) {
                std::map<qint64, int> votes;
                int entries = 0;
                for (const Entry &child : m_entries) {
                    if (child.parent != int(index))
                        continue;
                    ++entries;
                    if (const SyncNode *node = child.id ? m_base.find(child.id) : nullptr)
                        ++votes[node->parent];
                }
                for (const auto &[id, count] : votes) {
                    if (id != SyncTree::RootId && free(id) && count * 2 > entries)
                        found = id;
                }
            }
            if (found) {
                claim(entry, found);
                progress = true;
            }
        }
        return progress;
    }

    std::vector<Entry> &m_entries;
    const SyncTree &m_base;
    std::set<qint64> m_claimed;
};

} // namespace

CollectionTree::Snapshot CollectionTree::snapshot(const LinkItem &folder)
{
    DateConverter dates;
    Snapshot snapshot;
    // Parents before their entries, in each folder's order.
    std::vector<std::pair<const LinkItem *, int>> pending {{&folder, -1}};
    for (size_t next = 0; next < pending.size(); ++next) {
        const auto [item, index] = pending[next];
        qint64 order = 0;
        for (const auto &child : item->Children) {
            SyncNode node;
            node.folder = child->isFolder();
            node.title = TextCodec::toDisplay(child->Name);
            if (!node.folder)
                node.url = TextCodec::toDisplay(child->Url);
            node.description = TextCodec::toDisplay(child->Description);
            node.visits = child->Visits;
            node.rating = child->Rating;
            node.lastVisit = dates.toEpochSeconds(child->LastVisit);
            node.hasExtras = true;
            node.order = order++;
            snapshot.entries.push_back({child.get(), index, std::move(node)});
            if (child->isFolder())
                pending.emplace_back(child.get(), int(snapshot.entries.size() - 1));
        }
    }
    return snapshot;
}

CollectionTree::Read CollectionTree::match(Snapshot snapshot, const SyncTree &base)
{
    std::vector<Entry> entries;
    entries.reserve(snapshot.entries.size());
    for (Snapshot::Entry &taken : snapshot.entries)
        entries.push_back({std::move(taken)});
    Matcher(entries, base).run();

    Read result;
    qint64 nextNew = SyncTree::RootId;
    for (Entry &entry : entries) {
        entry.node.id = entry.id ? entry.id : --nextNew;
        entry.node.parent = entry.parent < 0 ? SyncTree::RootId : entries[size_t(entry.parent)].node.id;
        result.items.emplace(entry.node.id, entry.item);
        result.tree.add(entry.node);
    }
    result.tree.setHighestId(base.highestId());
    return result;
}

CollectionTree::Read CollectionTree::read(const LinkItem &folder, const SyncTree &base)
{
    return match(snapshot(folder), base);
}

std::unique_ptr<LinkItem> CollectionTree::build(const SyncTree &merged, const std::map<qint64, const LinkItem *> &items,
                                                std::string_view rootName)
{
    DateConverter dates;
    std::unique_ptr<LinkItem> root = LinkItem::MakeFolder(rootName);
    std::vector<std::pair<qint64, LinkItem *>> pending {{SyncTree::RootId, root.get()}};
    while (!pending.empty()) {
        const auto [id, folder] = pending.back();
        pending.pop_back();
        std::vector<std::unique_ptr<LinkItem>> children;
        for (const qint64 childId : merged.children(id)) {
            const SyncNode &node = *merged.find(childId);
            // Names never hold a backslash (it separates the folders of a path); the next sync
            // gives the name as it is here.
            std::string name = TextCodec::fromDisplay(node.title);
            std::replace(name.begin(), name.end(), '\\', '_');
            std::unique_ptr<LinkItem> item
                = node.folder ? LinkItem::MakeFolder(name) : LinkItem::MakeLink(name, TextCodec::fromDisplay(node.url));
            item->Description = TextCodec::fromDisplay(node.description);
            item->Visits = node.visits;
            item->Rating = static_cast<std::uint8_t>(node.rating);
            const auto known = items.find(childId);
            if (known != items.end() && dates.toEpochSeconds(known->second->LastVisit) == node.lastVisit)
                item->LastVisit = known->second->LastVisit;
            else
                item->LastVisit = node.lastVisit ? dates.toOleDate(node.lastVisit) : 0.0;
            if (node.folder)
                pending.emplace_back(childId, item.get());
            children.push_back(std::move(item));
        }
        folder->Children.InsertSortedBatch(std::move(children));
    }
    return root;
}
