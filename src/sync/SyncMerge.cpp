#include "sync/SyncMerge.h"

#include "sync/LinkComparison.h"
#include "sync/SyncDiff.h"

#include <algorithm>
#include <deque>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace {

// Local items come after the server's in a folder: the server's order is the one others see.
constexpr qint64 LocalOrderOffset = qint64(1) << 40;

QString quoted(const QString &text)
{
    return u'\u201C' + text + u'\u201D';
}

class Merger
{
public:
    Merger(const SyncTree &base, const SyncTree &local, const SyncTree &remote)
        : m_base(base), m_local(local), m_remote(remote),
          m_highest(std::max({base.highestId(), remote.highestId(), local.highestId(), qint64(0)}))
    {
    }

    SyncMerge::Result run();

private:
    void mergeSynced();
    SyncNode mergeFields(const SyncNode &base, const SyncNode &local, const SyncNode &remote);
    template<typename T>
    T pick(const T &base, const T &local, const T &remote, const SyncNode &node, const QString &what);
    static bool changed(const SyncNode &base, const SyncNode &side, bool carriesExtras);
    void addLocalNew();
    void keepParents();
    void breakCycles();
    void build();

    const SyncTree &m_base;
    const SyncTree &m_local;
    const SyncTree &m_remote;
    qint64 m_highest;
    std::map<qint64, SyncNode> m_out; // the merged nodes by id, before they form a tree
    SyncMerge::Result m_result;
};

SyncMerge::Result Merger::run()
{
    mergeSynced();
    addLocalNew();
    // Parents taken from here may be folders new here: they have their ids now.
    for (auto &[id, node] : m_out) {
        const auto mapped = m_result.localIds.find(node.parent);
        if (mapped != m_result.localIds.end())
            node.parent = mapped->second;
    }
    keepParents();
    breakCycles();
    build();
    const SyncDiff::Changes here = SyncDiff::changes(m_local, m_result.merged, m_result.localIds, true);
    m_result.report.taken = here.lines;
    m_result.report.deletedHere = here.deleted;
    std::map<qint64, qint64> same;
    for (const auto &[id, node] : m_remote.nodes())
        same.emplace(id, id);
    const SyncDiff::Changes there = SyncDiff::changes(m_remote, m_result.merged, same, false);
    m_result.report.given = there.lines;
    m_result.report.deletedThere = there.deleted;
    return std::move(m_result);
}

bool Merger::changed(const SyncNode &base, const SyncNode &side, bool carriesExtras)
{
    if (side.parent != base.parent || side.title != base.title || (!side.folder && side.url != base.url))
        return true;
    return carriesExtras
        && (side.description != base.description || side.visits != base.visits || side.rating != base.rating
            || side.lastVisit != base.lastVisit);
}

// The items synced before: kept by both sides, deleted on one, or on both.
void Merger::mergeSynced()
{
    for (const auto &[id, base] : m_base.nodes()) {
        if (id == SyncTree::RootId)
            continue;
        const SyncNode *local = m_local.find(id);
        const SyncNode *remote = m_remote.find(id);
        if (local && remote) {
            m_out.emplace(id, mergeFields(base, *local, *remote));
        } else if (local && changed(base, *local, true)) {
            SyncNode kept = *local;
            kept.order += LocalOrderOffset;
            m_out.emplace(id, kept);
            m_result.report.conflicts << QStringLiteral("%1 was deleted on the server but changed here: it was kept.")
                                             .arg(quoted(local->title));
        } else if (remote && changed(base, *remote, remote->hasExtras)) {
            SyncNode kept = *remote;
            if (!remote->hasExtras) {
                kept.description = base.description;
                kept.visits = base.visits;
                kept.rating = base.rating;
                kept.lastVisit = base.lastVisit;
            }
            m_out.emplace(id, kept);
            m_result.report.conflicts << QStringLiteral("%1 was deleted here but changed on the server: it was kept.")
                                             .arg(quoted(remote->title));
        }
        if (local && m_out.count(id))
            m_result.localIds.emplace(id, id);
    }
    for (const auto &[id, remote] : m_remote.nodes()) {
        if (id != SyncTree::RootId && !m_base.contains(id))
            m_out.emplace(id, remote);
    }
}

template<typename T>
T Merger::pick(const T &base, const T &local, const T &remote, const SyncNode &node, const QString &what)
{
    if (local == base)
        return remote;
    if (remote == base || local == remote)
        return local;
    m_result.report.conflicts << QStringLiteral(
                                     "The %1 of %2 was changed here and on the server: this computer's was kept.")
                                     .arg(what, quoted(node.title));
    return local;
}

SyncNode Merger::mergeFields(const SyncNode &base, const SyncNode &local, const SyncNode &remote)
{
    SyncNode out = local;
    out.parent = pick(base.parent, local.parent, remote.parent, local, QStringLiteral("folder"));
    out.order = out.parent == remote.parent ? remote.order : local.order + LocalOrderOffset;
    out.title = pick(base.title, local.title, remote.title, local, QStringLiteral("name"));
    if (!out.folder)
        out.url = pick(base.url, local.url, remote.url, local, QStringLiteral("URL"));
    // A server node without our fields leaves them as they are here.
    if (remote.hasExtras) {
        out.description
            = pick(base.description, local.description, remote.description, local, QStringLiteral("description"));
        out.visits = pick(base.visits, local.visits, remote.visits, local, QStringLiteral("visit count"));
        out.rating = pick(base.rating, local.rating, remote.rating, local, QStringLiteral("rating"));
        out.lastVisit = pick(base.lastVisit, local.lastVisit, remote.lastVisit, local, QStringLiteral("last visit"));
    }
    out.hasExtras = true;
    return out;
}

// Local items not synced before, parents first: the same item added on the server to the same
// folder is taken for it, any other gets a new id.
void Merger::addLocalNew()
{
    // The server's new entries of each folder, looked for by what makes two of them the same item,
    // each kind in the folder's order: the first not yet taken is the twin. Made once per folder.
    using Twins = std::map<QString, std::deque<qint64>>;
    std::unordered_map<qint64, Twins> twinsIn;
    const auto keyOf = [](const SyncNode &node) {
        return node.folder ? u'F' + LinkComparison::comparableTitle(node.title)
                           : u'B' + LinkComparison::linkKey(node.title, node.url);
    };
    const auto twinsOf = [&](qint64 parent) -> Twins & {
        const auto [it, added] = twinsIn.try_emplace(parent);
        if (added) {
            for (const qint64 candidate : m_remote.children(parent)) {
                if (!m_base.contains(candidate))
                    it->second[keyOf(*m_remote.find(candidate))].push_back(candidate);
            }
        }
        return it->second;
    };
    std::vector<qint64> pending {SyncTree::RootId};
    while (!pending.empty()) {
        const qint64 localParent = pending.back();
        pending.pop_back();
        for (const qint64 id : m_local.children(localParent)) {
            pending.push_back(id);
            if (m_base.contains(id))
                continue;
            const SyncNode &local = *m_local.find(id);
            qint64 parent = SyncTree::RootId;
            if (localParent != SyncTree::RootId) {
                const auto mapped = m_result.localIds.find(localParent);
                // A parent dropped by the merge is brought back by keepParents.
                parent = mapped != m_result.localIds.end() ? mapped->second : localParent;
            }
            Twins &twins = twinsOf(parent);
            const auto same = twins.find(keyOf(local));
            if (same != twins.end() && !same->second.empty()) {
                const qint64 twin = same->second.front();
                same->second.pop_front();
                SyncNode &kept = m_out.at(twin);
                if (!kept.hasExtras) {
                    kept.description = local.description;
                    kept.visits = local.visits;
                    kept.rating = local.rating;
                    kept.lastVisit = local.lastVisit;
                    kept.hasExtras = true;
                }
                m_result.localIds.emplace(id, twin);
                continue;
            }
            SyncNode added = local;
            added.id = ++m_highest;
            added.parent = parent;
            added.order = local.order + LocalOrderOffset;
            added.hasExtras = true;
            m_result.localIds.emplace(id, added.id);
            m_out.emplace(added.id, added);
        }
    }
}

// A folder deleted on one side stays when something kept or added lies in it.
void Merger::keepParents()
{
    std::vector<qint64> pending;
    for (const auto &[id, node] : m_out)
        pending.push_back(node.parent);
    while (!pending.empty()) {
        const qint64 id = pending.back();
        pending.pop_back();
        if (id == SyncTree::RootId || m_out.count(id))
            continue;
        const SyncNode *source = m_local.find(id);
        if (!source)
            source = m_remote.find(id);
        if (!source)
            source = m_base.find(id);
        SyncNode kept;
        if (source) {
            kept = *source;
            if (source != m_remote.find(id))
                kept.order += LocalOrderOffset;
        } else { // cannot happen: every parent comes from one of the trees
            kept.id = id;
            kept.folder = true;
        }
        const bool parentKnown = m_base.find(kept.parent) || m_remote.find(kept.parent) || m_local.find(kept.parent);
        if (!parentKnown)
            kept.parent = SyncTree::RootId;
        kept.hasExtras = true;
        m_out.emplace(id, kept);
        if (m_local.find(id))
            m_result.localIds.emplace(id, id);
        m_result.report.conflicts << QStringLiteral(
                                         "The folder %1 was deleted on one side, but items in it were changed or "
                                         "added on the other: it was kept.")
                                         .arg(quoted(kept.title));
        pending.push_back(kept.parent);
    }
}

// A move on each side can put two folders in each other: the one met first goes back to where
// it was synced last (or to the top).
//
// One walk up from every node finds the cycles and, for every node, the cycle its parents lead
// into (or none): each node is passed once, whatever the depth of the tree. Breaking a cycle sends
// what led into it to where its first node goes now.
void Merger::breakCycles()
{
    constexpr int None = -1; // leads to the top, or to a parent that is not there
    std::unordered_map<qint64, int> leadsTo; // node -> the cycle it lies in or leads into
    leadsTo.reserve(m_out.size());
    std::unordered_set<qint64> inCycle;
    std::vector<int> redirect; // cycle -> what it leads to once broken; itself while whole
    std::unordered_map<qint64, size_t> onPath; // the nodes of the walk under way, by place on it
    std::vector<qint64> path;
    for (const auto &[start, startNode] : m_out) {
        if (leadsTo.count(start))
            continue;
        int end = None;
        for (qint64 id = start;;) {
            if (const auto known = leadsTo.find(id); known != leadsTo.end()) {
                end = known->second;
                break;
            }
            if (const auto again = onPath.find(id); again != onPath.end()) {
                end = static_cast<int>(redirect.size());
                redirect.push_back(end);
                for (size_t i = again->second; i < path.size(); ++i)
                    inCycle.insert(path[i]);
                break;
            }
            const auto it = m_out.find(id);
            if (id == SyncTree::RootId || it == m_out.end())
                break;
            onPath.emplace(id, path.size());
            path.push_back(id);
            id = it->second.parent;
        }
        for (const qint64 id : path)
            leadsTo.emplace(id, end);
        path.clear();
        onPath.clear();
    }
    const auto resolve = [&redirect](int cycle) {
        int end = cycle;
        while (end != None && redirect[size_t(end)] != end)
            end = redirect[size_t(end)];
        // Shorten the way for the next time.
        while (cycle != None && redirect[size_t(cycle)] != cycle) {
            const int next = redirect[size_t(cycle)];
            redirect[size_t(cycle)] = end;
            cycle = next;
        }
        return end;
    };
    const auto endOf = [&](qint64 id) {
        const auto it = leadsTo.find(id);
        return it == leadsTo.end() ? None : resolve(it->second);
    };
    for (auto &[id, node] : m_out) {
        if (!inCycle.count(id))
            continue;
        const int cycle = leadsTo.at(id);
        if (redirect[size_t(cycle)] != cycle)
            continue; // broken at a node met before
        m_result.report.conflicts << QStringLiteral(
                                         "%1 was moved into its own folder by moves on both sides: it went back.")
                                         .arg(quoted(node.title));
        const SyncNode *base = m_base.find(id);
        node.parent = base && m_out.count(base->parent) ? base->parent : SyncTree::RootId;
        if (node.parent != SyncTree::RootId && endOf(node.parent) == cycle)
            node.parent = SyncTree::RootId;
        redirect[size_t(cycle)] = node.parent == SyncTree::RootId ? None : endOf(node.parent);
    }
}

void Merger::build()
{
    std::multimap<qint64, qint64> childrenOf;
    for (const auto &[id, node] : m_out)
        childrenOf.emplace(node.parent, id);
    std::vector<qint64> pending {SyncTree::RootId};
    while (!pending.empty()) {
        const qint64 parent = pending.back();
        pending.pop_back();
        const auto [first, last] = childrenOf.equal_range(parent);
        for (auto it = first; it != last; ++it) {
            m_result.merged.add(m_out.at(it->second));
            pending.push_back(it->second);
        }
    }
    m_result.merged.setHighestId(std::max(m_highest, m_result.merged.highestId()));
}

} // namespace

SyncMerge::Result SyncMerge::merge(const SyncTree &base, const SyncTree &local, const SyncTree &remote)
{
    return Merger(base, local, remote).run();
}
