#include "sync/SyncDiff.h"

#include <set>

namespace {

QString quoted(const QString &text)
{
    return u'\u201C' + text + u'\u201D';
}

QString folderName(const SyncTree &tree, qint64 id)
{
    const SyncNode *node = tree.find(id);
    return !node || id == SyncTree::RootId ? QStringLiteral("the top") : quoted(node->title);
}

} // namespace

SyncDiff::Changes SyncDiff::changes(const SyncTree &from, const SyncTree &to, const std::map<qint64, qint64> &ids,
                                    bool compareExtras)
{
    Changes result;
    std::set<qint64> reached;
    const auto idIn = [&ids](qint64 id) {
        if (id == SyncTree::RootId)
            return id;
        const auto it = ids.find(id);
        return it == ids.end() ? qint64(0) : it->second;
    };
    // Parents before their entries, so that a deleted folder is one line for all it held.
    std::set<qint64> deletedFolders;
    for (const qint64 id : from.descendants(SyncTree::RootId)) {
        const SyncNode &node = *from.find(id);
        const qint64 mapped = idIn(id);
        const SyncNode *after = mapped ? to.find(mapped) : nullptr;
        if (!after) {
            ++result.deleted;
            if (!deletedFolders.count(node.parent))
                result.lines << QStringLiteral("Deleted %1").arg(quoted(node.title));
            if (node.folder)
                deletedFolders.insert(id);
            continue;
        }
        reached.insert(mapped);
        bool changed = false;
        if (after->title != node.title) {
            result.lines << QStringLiteral("Renamed %1 to %2").arg(quoted(node.title), quoted(after->title));
            changed = true;
        }
        if (!node.folder && after->url != node.url) {
            result.lines << QStringLiteral("Changed the URL of %1").arg(quoted(after->title));
            changed = true;
        }
        if (idIn(node.parent) != after->parent) {
            result.lines << QStringLiteral("Moved %1 to %2").arg(quoted(after->title), folderName(to, after->parent));
            changed = true;
        }
        if ((compareExtras || node.hasExtras)
            && (after->description != node.description || after->visits != node.visits || after->rating != node.rating
                || after->lastVisit != node.lastVisit)) {
            result.lines << QStringLiteral("Changed the details of %1").arg(quoted(after->title));
            changed = true;
        }
        result.changed += changed ? 1 : 0;
    }
    std::set<qint64> addedFolders;
    for (const qint64 id : to.descendants(SyncTree::RootId)) {
        if (reached.count(id))
            continue;
        const SyncNode &node = *to.find(id);
        ++result.added;
        if (!addedFolders.count(node.parent))
            result.lines << QStringLiteral("Added %1").arg(quoted(node.title));
        if (node.folder)
            addedFolders.insert(id);
    }
    return result;
}
