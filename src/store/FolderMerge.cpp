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
// their first links. Only links that share a name with another are compared by URL. Each link is looked up
// once in a hash, so that many links of one name cost no more than as many of different names.
void identicalLinksOf(const std::vector<LinkItem *> &sources, const UrlKey &key,
                      std::vector<std::vector<LinkItem *>> &identical)
{
    std::vector<LinkItem *> links;
    std::vector<std::uint32_t> nameOf; // the first link of the same name
    std::vector<std::uint32_t> namesakes; // by first link of a name: the links of that name
    std::unordered_map<std::string_view, std::uint32_t> firstOfName;
    for (const LinkItem *source : sources) {
        for (const auto &child : source->Children) {
            if (child->isFolder())
                continue;
            const auto index = static_cast<std::uint32_t>(links.size());
            links.push_back(child.get());
            const auto [it, added] = firstOfName.try_emplace(child->Name.view(), index);
            nameOf.push_back(it->second);
            namesakes.push_back(0);
            ++namesakes[it->second];
        }
    }
    // A group is known by the first link of its name and its URL key. The keys are made first, one after
    // the other into one text, so that the table looks them up where they are.
    std::string keys;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keyOf; // link, end of its key in keys
    std::string text;
    for (std::uint32_t i = 0; i < links.size(); ++i) {
        if (namesakes[nameOf[i]] < 2 || !key.make(links[i]->Url, text))
            continue;
        keys.append(reinterpret_cast<const char *>(&nameOf[i]), sizeof nameOf[i]);
        keys += text;
        keyOf.emplace_back(i, static_cast<std::uint32_t>(keys.size()));
    }
    // Each key's group, numbered in the order of their first links, which is the order they are given in.
    std::unordered_map<std::string_view, std::uint32_t> groupOf;
    groupOf.reserve(keyOf.size());
    std::vector<std::uint32_t> group(keyOf.size());
    std::vector<std::uint32_t> sizes;
    std::uint32_t begin = 0;
    for (size_t k = 0; k < keyOf.size(); ++k) {
        const std::uint32_t end = keyOf[k].second;
        const auto [it, added] = groupOf.try_emplace(std::string_view(keys).substr(begin, end - begin),
                                                     static_cast<std::uint32_t>(sizes.size()));
        begin = end;
        if (added)
            sizes.push_back(0);
        group[k] = it->second;
        ++sizes[it->second];
    }
    // Only groups of more than one link are handed out.
    constexpr std::uint32_t Single = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> place(sizes.size(), Single);
    const size_t first = identical.size();
    for (size_t k = 0; k < keyOf.size(); ++k) {
        const std::uint32_t g = group[k];
        if (sizes[g] < 2)
            continue;
        if (place[g] == Single) {
            place[g] = static_cast<std::uint32_t>(identical.size() - first);
            identical.emplace_back().reserve(sizes[g]);
        }
        identical[first + place[g]].push_back(links[keyOf[k].first]);
    }
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
