#include "store/FolderMerge.h"

#include "store/CollectionDocument.h"
#include "store/Duplicates.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "store/UrlKey.h"

#include <QString>

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {

// Folder names that differ only in case or in the blanks around them name the same folder.
QString folderKey(const LinkItem &folder)
{
    return TextCodec::toDisplay(folder.Name).trimmed().toCaseFolded();
}

} // namespace

int FolderMergePlan::linkCount() const
{
    int count = 0;
    for (const auto &links : identicalLinks)
        count += static_cast<int>(links.size()) - 1;
    return count;
}

FolderMergePlan FolderMergePlan::of(LinkItem *folder, const UrlKey &key)
{
    FolderMergePlan plan;
    if (!folder)
        return plan;
    // Each entry is one folder as it will be after the merge: the folders that make it, the one that stays
    // first. Its child folders are grouped by name; each group is a folder to look into in turn.
    std::vector<std::vector<LinkItem *>> pending {{folder}};
    std::string text;
    while (!pending.empty()) {
        const std::vector<LinkItem *> sources = std::move(pending.back());
        pending.pop_back();

        std::vector<std::vector<LinkItem *>> groups;
        std::unordered_map<QString, size_t> groupOf;
        for (LinkItem *source : sources) {
            for (const auto &child : source->Children) {
                if (!child->isFolder())
                    continue;
                const auto [it, added] = groupOf.try_emplace(folderKey(*child), groups.size());
                if (added)
                    groups.push_back({child.get()});
                else
                    groups[it->second].push_back(child.get());
            }
        }
        for (std::vector<LinkItem *> &group : groups) {
            // The folder whose name sorts first stays; of equal names, the first met.
            size_t first = 0;
            for (size_t i = 1; i < group.size(); ++i) {
                if (CompareNames(group[i]->Name, group[first]->Name) < 0)
                    first = i;
            }
            std::rotate(group.begin(), group.begin() + static_cast<std::ptrdiff_t>(first),
                        group.begin() + static_cast<std::ptrdiff_t>(first) + 1);
            for (size_t i = 1; i < group.size(); ++i)
                plan.merges.emplace_back(group[i], group[0]);
        }
        // Deeper folders come after this level's merges, so that a folder's contents have moved before
        // the folders among them merge.
        for (auto it = groups.rbegin(); it != groups.rend(); ++it)
            pending.push_back(std::move(*it));

        if (sources.size() < 2)
            continue;
        std::vector<std::vector<LinkItem *>> links;
        std::unordered_map<std::string, size_t> linksOf;
        for (LinkItem *source : sources) {
            for (const auto &child : source->Children) {
                if (child->isFolder() || !key.make(child->Url, text))
                    continue;
                std::string identity(child->Name.view());
                identity += '\0';
                identity += text;
                const auto [it, added] = linksOf.try_emplace(std::move(identity), links.size());
                if (added)
                    links.push_back({child.get()});
                else
                    links[it->second].push_back(child.get());
            }
        }
        for (auto &same : links) {
            if (same.size() > 1)
                plan.identicalLinks.push_back(std::move(same));
        }
    }
    return plan;
}

int ApplyFolderMerge(CollectionDocument &document, const FolderMergePlan &plan)
{
    std::vector<LinkItem *> doomed;
    for (const auto &[from, into] : plan.merges) {
        std::vector<LinkItem *> children;
        children.reserve(static_cast<size_t>(from->Children.Count()));
        for (const auto &child : from->Children)
            children.push_back(child.get());
        for (LinkItem *child : children)
            document.move(child, into);
        doomed.push_back(from);
    }
    const std::vector<LinkItem *> links = Duplicates::cleanUp(document, plan.identicalLinks);
    doomed.insert(doomed.end(), links.begin(), links.end());
    document.removeItems(doomed);
    return static_cast<int>(links.size());
}
