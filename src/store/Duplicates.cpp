#include "store/Duplicates.h"

#include "store/CollectionDocument.h"
#include "store/DuplicateSearch.h"
#include "store/EmptyFolders.h"
#include "store/LinkItem.h"
#include "store/TreeWalk.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>

namespace Duplicates {

namespace {

int depthOf(const LinkItem *item)
{
    int depth = 0;
    for (const LinkItem *walk = item->Parent; walk; walk = walk->Parent)
        ++depth;
    return depth;
}

} // namespace

std::vector<Group> find(const LinkItem *folder, const UrlKey &key)
{
    if (!folder)
        return {};
    DuplicateSearch search(folder, key);
    search.step(QDeadlineTimer(QDeadlineTimer::Forever));
    return search.takeGroups();
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
