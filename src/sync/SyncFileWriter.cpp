#include "sync/SyncFile.h"

#include "formats/XbelWriter.h"

#include <vector>

QByteArray SyncFile::write(const SyncTree &tree)
{
    XbelWriter::Shared file(tree.highestId(), MetadataOwner);
    // Depth-first without recursion: an entry, or the end of a folder.
    struct Step
    {
        qint64 id;
        int depth;
        bool close;
    };
    std::vector<Step> pending;
    const auto pushChildren = [&](qint64 id, int depth) {
        const std::vector<qint64> children = tree.children(id);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back({*it, depth, false});
    };
    pushChildren(SyncTree::RootId, 0);
    while (!pending.empty()) {
        const Step step = pending.back();
        pending.pop_back();
        if (step.close) {
            file.close(step.depth);
            continue;
        }
        const SyncNode &node = *tree.find(step.id);
        file.add(
            {node.id, node.folder, node.title, node.url, node.description, node.visits, node.rating, node.lastVisit},
            step.depth);
        if (node.folder) {
            pending.push_back({node.id, step.depth, true});
            pushChildren(node.id, step.depth + 1);
        }
    }
    return file.finish();
}
