#include "store/FolderMerge.h"

#include "store/CollectionDocument.h"
#include "store/Duplicates.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "store/UrlKey.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// Folder names that differ only in case or in the blanks around them name the same folder.
QString folderKey(const LinkItem &folder)
{
    return TextCodec::toDisplay(folder.Name).trimmed().toCaseFolded();
}

// The identical links (same name, same URL key) among the children of sources, in tree order, in the order of
// their first links. Only links that share a name with another are compared by URL.
void identicalLinksOf(const std::vector<LinkItem *> &sources, const UrlKey &key,
                      std::vector<std::vector<LinkItem *>> &identical)
{
    constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();
    std::vector<LinkItem *> links;
    std::vector<std::uint32_t> nextOfName; // the next link of the same name
    std::vector<bool> firstOfName;
    std::unordered_map<std::string_view, std::uint32_t> lastOfName;
    for (const LinkItem *source : sources) {
        for (const auto &child : source->Children) {
            if (child->isFolder())
                continue;
            const auto index = static_cast<std::uint32_t>(links.size());
            links.push_back(child.get());
            nextOfName.push_back(None);
            const auto [it, added] = lastOfName.try_emplace(child->Name.view(), index);
            firstOfName.push_back(added);
            if (!added) {
                nextOfName[it->second] = index;
                it->second = index;
            }
        }
    }
    // Each group with the place of its first link.
    std::vector<std::pair<std::uint32_t, std::vector<LinkItem *>>> found;
    std::vector<std::pair<std::string, std::pair<std::uint32_t, std::vector<LinkItem *>>>> byKey;
    std::string text;
    for (std::uint32_t i = 0; i < links.size(); ++i) {
        if (!firstOfName[i] || nextOfName[i] == None)
            continue;
        byKey.clear();
        for (std::uint32_t member = i; member != None; member = nextOfName[member]) {
            if (!key.make(links[member]->Url, text))
                continue;
            auto it
                = std::find_if(byKey.begin(), byKey.end(), [&text](const auto &entry) { return entry.first == text; });
            if (it == byKey.end())
                byKey.push_back({text, {member, {links[member]}}});
            else
                it->second.second.push_back(links[member]);
        }
        for (auto &entry : byKey) {
            if (entry.second.second.size() > 1)
                found.push_back(std::move(entry.second));
        }
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto &group : found)
        identical.push_back(std::move(group.second));
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
        identicalLinksOf(sources, key, plan.identicalLinks);
    }
    return plan;
}

int ApplyFolderMerge(CollectionDocument &document, const FolderMergePlan &plan)
{
    std::vector<LinkItem *> doomed;
    for (const auto &[from, into] : plan.merges) {
        document.moveChildren(from, into);
        doomed.push_back(from);
    }
    const std::vector<LinkItem *> links = Duplicates::cleanUp(document, plan.identicalLinks);
    doomed.insert(doomed.end(), links.begin(), links.end());
    document.removeItems(doomed);
    return static_cast<int>(links.size());
}
