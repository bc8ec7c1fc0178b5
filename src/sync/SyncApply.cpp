#include "sync/SyncApply.h"

#include "sync/LinkComparison.h"

#include "store/CollectionDocument.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <set>
#include <unordered_map>

namespace {

using Field = CollectionDocument::Field;

std::string nameOf(const QString &title)
{
    return TextCodec::fromDisplay(LinkComparison::nameHere(title));
}

std::unique_ptr<LinkItem> makeItem(const SyncNode &node, DateConverter &dates)
{
    std::unique_ptr<LinkItem> item = node.folder
        ? LinkItem::MakeFolder(nameOf(node.title))
        : LinkItem::MakeLink(nameOf(node.title), TextCodec::fromDisplay(node.url));
    item->Description = TextCodec::fromDisplay(node.description);
    item->Visits = node.visits;
    item->Rating = static_cast<std::uint8_t>(node.rating);
    item->LastVisit = node.lastVisit ? dates.toOleDate(node.lastVisit) : 0.0;
    return item;
}

// Writes the fields the merge changed, and only those: the others may have been edited meanwhile.
void update(CollectionDocument &document, LinkItem &item, const SyncNode &was, const SyncNode &now,
            DateConverter &dates)
{
    if (now.title != was.title)
        document.rename(&item, nameOf(now.title));
    CollectionDocument::Fields fields;
    if (!now.folder && now.url != was.url)
        fields |= Field::Url;
    if (now.description != was.description)
        fields |= Field::Description;
    if (now.rating != was.rating)
        fields |= Field::Rating;
    if (now.visits != was.visits || now.lastVisit != was.lastVisit)
        fields |= Field::Visits;
    if (!fields)
        return;
    document.aboutToEditFields(&item);
    if (fields & Field::Url)
        item.Url = TextCodec::fromDisplay(now.url);
    if (fields & Field::Description)
        item.Description = TextCodec::fromDisplay(now.description);
    if (fields & Field::Rating)
        item.Rating = static_cast<std::uint8_t>(now.rating);
    if (now.visits != was.visits)
        item.Visits = now.visits;
    if (now.lastVisit != was.lastVisit)
        item.LastVisit = now.lastVisit ? dates.toOleDate(now.lastVisit) : 0.0;
    document.fieldsEdited(&item, fields);
}

} // namespace

void SyncApply::apply(CollectionDocument &document, LinkItem &folder, const SyncMerge::Result &merge,
                      const CollectionTree::Read &local)
{
    const SyncTree &merged = merge.merged;
    DateConverter dates;
    // The item of each id of the merged tree, and the item as the sync saw it.
    std::unordered_map<qint64, LinkItem *> items {{SyncTree::RootId, &folder}};
    std::unordered_map<qint64, const SyncNode *> before;
    std::vector<LinkItem *> gone;
    for (const auto &[localId, item] : local.items) {
        const auto mergedId = merge.localIds.find(localId);
        if (mergedId == merge.localIds.end() || !merged.contains(mergedId->second)) {
            gone.push_back(const_cast<LinkItem *>(item));
            continue;
        }
        items.emplace(mergedId->second, const_cast<LinkItem *>(item));
        before.emplace(mergedId->second, local.tree.find(localId));
    }

    // Folders before their entries, so that every item has its place to go to.
    std::vector<qint64> pending {SyncTree::RootId};
    for (size_t next = 0; next < pending.size(); ++next) {
        LinkItem *target = items.at(pending[next]);
        std::vector<std::unique_ptr<LinkItem>> added;
        for (const qint64 id : merged.children(pending[next])) {
            const SyncNode &node = *merged.find(id);
            if (const auto known = before.find(id); known != before.end()) {
                LinkItem *item = items.at(id);
                if (item->Parent != target)
                    document.move(item, target);
                update(document, *item, *known->second, node, dates);
            } else {
                added.push_back(makeItem(node, dates));
                items.emplace(id, added.back().get());
            }
            if (node.folder)
                pending.push_back(id);
        }
        if (!added.empty())
            document.insertChildren(target, std::move(added));
    }

    // What is left of the deleted items holds none of the others any more: those have moved away above.
    const std::set<const LinkItem *> deleted(gone.begin(), gone.end());
    std::vector<LinkItem *> outermost;
    for (LinkItem *item : gone) {
        bool inside = false;
        for (const LinkItem *walk = item->Parent; walk && !inside; walk = walk->Parent)
            inside = deleted.count(walk) != 0;
        if (!inside)
            outermost.push_back(item);
    }
    if (!outermost.empty())
        document.removeItems(outermost);
}
