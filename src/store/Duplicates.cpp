#include "store/Duplicates.h"

#include "store/CollectionDocument.h"
#include "store/EmptyFolders.h"
#include "store/LinkItem.h"
#include "store/TreeWalk.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>
#include <unordered_set>

namespace Duplicates {

namespace {

constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();

int depthOf(const LinkItem *item)
{
    int depth = 0;
    for (const LinkItem *walk = item->Parent; walk; walk = walk->Parent)
        ++depth;
    return depth;
}

// Splits links whose keys hash alike into the groups of equal keys, in the order of their first links.
void splitByKey(const std::vector<LinkItem *> &links, const UrlKey &key, std::vector<Group> &groups)
{
    std::vector<Group> found;
    std::string text;
    for (LinkItem *link : links) {
        key.make(link->Url, text);
        auto it = std::find_if(found.begin(), found.end(), [&](const Group &group) { return group.url == text; });
        if (it == found.end())
            found.push_back({text, {link}});
        else
            it->links.push_back(link);
    }
    for (Group &group : found) {
        if (group.links.size() > 1)
            groups.push_back(std::move(group));
    }
}

} // namespace

std::vector<Group> find(const LinkItem *folder, const UrlKey &key)
{
    std::vector<Group> groups;
    if (!folder)
        return groups;
    std::vector<LinkItem *> links;
    std::vector<std::uint64_t> hashes;
    std::string text;
    TreeWalk walk;
    walk.start(folder);
    while (!walk.atEnd()) {
        LinkItem *item = walk.next();
        if (item->isFolder() || !key.make(item->Url, text))
            continue;
        links.push_back(item);
        hashes.push_back(std::hash<std::string_view>()(text));
    }
    const size_t count = links.size();
    if (count < 2 || count >= None)
        return groups;

    // Open addressing over the hashes: each slot holds the first link of a hash, whose chain (next) collects
    // the later ones in tree order.
    const size_t slotCount = std::bit_ceil(count * 2);
    const size_t mask = slotCount - 1;
    std::vector<std::uint32_t> table(slotCount, None);
    std::vector<std::uint32_t> next(count, None);
    std::vector<std::uint32_t> last(count, None);
    for (std::uint32_t i = 0; i < count; ++i) {
        size_t slot = static_cast<size_t>(hashes[i] ^ (hashes[i] >> 29)) & mask;
        while (true) {
            const std::uint32_t first = table[slot];
            if (first == None) {
                table[slot] = i;
                last[i] = i;
                break;
            }
            if (hashes[first] == hashes[i]) {
                next[last[first]] = i;
                last[first] = i;
                break;
            }
            slot = (slot + 1) & mask;
        }
    }
    std::vector<LinkItem *> candidates;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (last[i] == None || next[i] == None)
            continue; // a later link of a chain, or a link alone
        candidates.clear();
        for (std::uint32_t member = i; member != None; member = next[member])
            candidates.push_back(links[member]);
        splitByKey(candidates, key, groups);
    }
    return groups;
}

LinkItem *keeper(const std::vector<LinkItem *> &links)
{
    LinkItem *best = nullptr;
    int bestDepth = 0;
    for (LinkItem *link : links) {
        const int depth = depthOf(link);
        // Ties keep the earlier link.
        if (!best || link->Visits > best->Visits
            || (link->Visits == best->Visits
                && (link->LastVisit > best->LastVisit || (link->LastVisit == best->LastVisit && depth < bestDepth)))) {
            best = link;
            bestDepth = depth;
        }
    }
    return best;
}

void absorb(CollectionDocument &document, LinkItem *keeper, const std::vector<LinkItem *> &links)
{
    std::int64_t visits = keeper->Visits;
    double lastVisit = keeper->LastVisit;
    const LinkItem *described = keeper->Description.empty() ? nullptr : keeper;
    for (const LinkItem *link : links) {
        if (link == keeper)
            continue;
        visits += link->Visits;
        lastVisit = std::max(lastVisit, link->LastVisit);
        if (!described && !link->Description.empty())
            described = link;
    }
    visits = std::min<std::int64_t>(visits, std::numeric_limits<std::int32_t>::max());
    CollectionDocument::Fields fields;
    if (visits != keeper->Visits || lastVisit != keeper->LastVisit)
        fields |= CollectionDocument::Field::Visits;
    if (described && described != keeper)
        fields |= CollectionDocument::Field::Description;
    if (!fields)
        return;
    document.aboutToEditFields(keeper);
    keeper->Visits = static_cast<std::int32_t>(visits);
    keeper->LastVisit = lastVisit;
    if (described && described != keeper)
        keeper->Description = described->Description;
    document.fieldsEdited(keeper, fields);
}

std::vector<LinkItem *> cleanUp(CollectionDocument &document, const std::vector<std::vector<LinkItem *>> &groups)
{
    std::vector<LinkItem *> others;
    for (const std::vector<LinkItem *> &links : groups) {
        LinkItem *kept = keeper(links);
        if (!kept)
            continue;
        absorb(document, kept, links);
        for (LinkItem *link : links) {
            if (link != kept)
                others.push_back(link);
        }
    }
    return others;
}

int dropKnown(LinkItem &imported, const LinkItem &collection, const UrlKey &key)
{
    std::unordered_set<std::string> known;
    std::string text;
    TreeWalk walk;
    walk.start(&collection);
    while (!walk.atEnd()) {
        const LinkItem *item = walk.next();
        if (!item->isFolder() && key.make(item->Url, text))
            known.insert(text);
    }
    std::vector<LinkItem *> doomed;
    walk.start(&imported);
    while (!walk.atEnd()) {
        LinkItem *item = walk.next();
        if (!item->isFolder() && key.make(item->Url, text) && known.contains(text))
            doomed.push_back(item);
    }
    DeleteFolders(doomed); // takes any items out of their parents at once, links as well as folders
    return static_cast<int>(doomed.size());
}

int removedCount(const std::vector<Group> &groups)
{
    int count = 0;
    for (const Group &group : groups)
        count += static_cast<int>(group.links.size()) - 1;
    return count;
}

} // namespace Duplicates
