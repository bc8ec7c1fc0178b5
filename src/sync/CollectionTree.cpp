#include "sync/CollectionTree.h"

#include "sync/LinkComparison.h"

#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace {

struct Entry
{
    const LinkItem *item;
    int parent; // index of the parent entry; -1 for the folder read
    SyncNode node;
    QString name; // the title as a name of the collection
    qint64 id = 0; // 0 while not recognised
};

// Indexes both sides once, so that each pass costs about one lookup per item: a collection of a million
// items is recognised in seconds.
class Matcher
{
public:
    Matcher(std::vector<Entry> &entries, const SyncTree &base) : m_entries(entries), m_base(base)
    {
        for (const auto &[id, node] : m_base.nodes()) {
            if (!node.folder)
                continue;
            // In the order of the folder's entries, the first of equals is taken first.
            for (const qint64 child : m_base.children(id)) {
                const SyncNode &entry = *m_base.find(child);
                m_basePlaces[{id, entry.folder, LinkComparison::nameHere(entry.title),
                              entry.folder ? QString() : entry.url}]
                    .ids.push_back(child);
                if (!entry.folder)
                    m_baseLinkNames[{id, LinkComparison::nameHere(entry.title)}].push_back(child);
            }
            if (id != SyncTree::RootId)
                m_baseFolderNames[LinkComparison::nameHere(node.title)].push_back(id);
        }
        m_childrenOf.resize(m_entries.size());
        for (size_t index = 0; index < m_entries.size(); ++index) {
            if (m_entries[index].parent >= 0)
                m_childrenOf[size_t(m_entries[index].parent)].push_back(index);
        }
    }

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
    // Titles as names of the collection: a title of the file with a backslash is the name here with "_".
    using Place = std::tuple<qint64, bool, QString, QString>; // parent, folder, name, URL
    using Name = std::pair<qint64, QString>; // parent, name

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
    int countFree(const std::vector<qint64> &ids) const
    {
        return static_cast<int>(std::count_if(ids.begin(), ids.end(), [this](qint64 id) { return free(id); }));
    }

    // Same name (and URL) in the same folder.
    bool byPlace()
    {
        bool progress = false;
        for (Entry &entry : m_entries) {
            const qint64 parent = parentId(entry);
            if (entry.id || !parent)
                continue;
            const auto place = m_basePlaces.find(
                {parent, entry.node.folder, entry.name, entry.node.folder ? QString() : entry.node.url});
            if (place == m_basePlaces.end())
                continue;
            // The ids before the cursor are taken for good: many equal entries in a folder are each
            // passed over once.
            Candidates &candidates = place->second;
            while (candidates.next < candidates.ids.size() && !free(candidates.ids[candidates.next]))
                ++candidates.next;
            if (candidates.next < candidates.ids.size()) {
                claim(entry, candidates.ids[candidates.next++]);
                progress = true;
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
        // Only an entry without rivals is claimed, so claims in this pass change no other entry's count.
        std::map<std::pair<int, QString>, int> rivals;
        for (const Entry &entry : m_entries) {
            if (!entry.id && !entry.node.folder)
                ++rivals[{entry.parent, entry.name}];
        }
        bool progress = false;
        for (Entry &entry : m_entries) {
            const qint64 parent = parentId(entry);
            if (entry.id || entry.node.folder || !parent || rivals[{entry.parent, entry.name}] != 1)
                continue;
            const auto candidates = m_baseLinkNames.find({parent, entry.name});
            if (candidates == m_baseLinkNames.end() || countFree(candidates->second) != 1)
                continue;
            for (const qint64 id : candidates->second) {
                if (free(id)) {
                    claim(entry, id);
                    progress = true;
                    break;
                }
            }
        }
        return progress;
    }

    // A folder by its name where only one folder had it, or by where most of its entries were.
    bool folders()
    {
        std::map<QString, int> namesBefore;
        for (const auto &[title, ids] : m_baseFolderNames)
            namesBefore[title] = countFree(ids);
        std::map<QString, int> namesNow;
        for (const Entry &entry : m_entries) {
            if (!entry.id && entry.node.folder)
                ++namesNow[entry.name];
        }
        bool progress = false;
        // Entries before their folders, so that a folder known only by where its entries were is
        // recognised in the same pass as its subfolders, however deep they go.
        for (size_t index = m_entries.size(); index-- > 0;) {
            Entry &entry = m_entries[index];
            if (entry.id || !entry.node.folder)
                continue;
            qint64 found = 0;
            if (namesBefore[entry.name] == 1 && namesNow[entry.name] == 1) {
                for (const qint64 id : m_baseFolderNames[entry.name]) {
                    if (free(id))
                        found = id;
                }
            }
            if (!found) {
                std::map<qint64, int> votes;
                for (const size_t child : m_childrenOf[index]) {
                    if (const SyncNode *node = m_entries[child].id ? m_base.find(m_entries[child].id) : nullptr)
                        ++votes[node->parent];
                }
                const int entries = static_cast<int>(m_childrenOf[index].size());
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
    struct Candidates
    {
        std::vector<qint64> ids; // in the folder's order
        size_t next = 0; // the first that may be free
    };
    std::map<Place, Candidates> m_basePlaces;
    std::map<Name, std::vector<qint64>> m_baseLinkNames;
    std::map<QString, std::vector<qint64>> m_baseFolderNames; // folders but the root
    std::vector<std::vector<size_t>> m_childrenOf; // the entries of each entry
};

} // namespace

CollectionTree::Snapshot CollectionTree::snapshot(const LinkItem &folder)
{
    Snapshot snapshot;
    const auto keep = [&snapshot](std::string_view text) {
        const Snapshot::Text kept {snapshot.bytes.size(), text.size()};
        snapshot.bytes += text;
        return kept;
    };
    // Sized first: growing a buffer of a million items' texts copies it over and over.
    size_t count = 0;
    size_t bytes = 0;
    for (std::vector<const LinkItem *> folders {&folder}; !folders.empty();) {
        const LinkItem *item = folders.back();
        folders.pop_back();
        count += item->Children.Count();
        for (const auto &child : item->Children) {
            bytes += child->Name.size() + child->Url.size() + child->Description.size();
            if (child->isFolder())
                folders.push_back(child.get());
        }
    }
    snapshot.entries.reserve(count);
    snapshot.bytes.reserve(bytes);
    // Parents before their entries, in each folder's order.
    std::vector<std::pair<const LinkItem *, int>> pending {{&folder, -1}};
    for (size_t next = 0; next < pending.size(); ++next) {
        const auto [item, index] = pending[next];
        for (const auto &child : item->Children) {
            const bool isFolder = child->isFolder();
            snapshot.entries.push_back({child.get(), index, isFolder, child->Rating, child->Visits, child->LastVisit,
                                        keep(child->Name), isFolder ? Snapshot::Text() : keep(child->Url),
                                        keep(child->Description)});
            if (isFolder)
                pending.emplace_back(child.get(), int(snapshot.entries.size() - 1));
        }
    }
    return snapshot;
}

CollectionTree::Read CollectionTree::match(Snapshot snapshot, const SyncTree &base)
{
    DateConverter dates;
    const auto text = [&snapshot](Snapshot::Text kept) {
        return TextCodec::toDisplay(std::string_view(snapshot.bytes).substr(kept.at, kept.size));
    };
    std::vector<Entry> entries;
    entries.reserve(snapshot.entries.size());
    std::vector<qint64> order(snapshot.entries.size() + 1, 0); // the next place in each folder, by entry + 1
    for (const Snapshot::Entry &taken : snapshot.entries) {
        SyncNode node;
        node.folder = taken.folder;
        node.title = text(taken.name);
        node.url = text(taken.url);
        node.description = text(taken.description);
        node.visits = taken.visits;
        node.rating = taken.rating;
        node.lastVisit = dates.toEpochSeconds(taken.lastVisit);
        node.hasExtras = true;
        node.order = order[size_t(taken.parent + 1)]++;
        QString name = LinkComparison::nameHere(node.title);
        entries.push_back({taken.item, taken.parent, std::move(node), std::move(name)});
    }
    Matcher(entries, base).run();
    // A title the collection could not hold as it is stays as the file has it while the name here is unchanged.
    for (Entry &entry : entries) {
        const SyncNode *before = entry.id ? base.find(entry.id) : nullptr;
        if (before && before->title != entry.node.title && LinkComparison::nameHere(before->title) == entry.name)
            entry.node.title = before->title;
    }

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
            // The file keeps its title while the name here stays as it was made.
            const std::string name = TextCodec::fromDisplay(LinkComparison::nameHere(node.title));
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
