#include "store/CollectionDocument.h"

#include "store/DateConverter.h"
#include "store/EmptyFolders.h"

#include <algorithm>
#include <cstdint>

CollectionDocument::CollectionDocument(LinkItem *root, QObject *parent) : QObject(parent), m_root(root) { }

LinkItem *CollectionDocument::insertSorted(LinkItem *folder, std::unique_ptr<LinkItem> item)
{
    LinkItem *added = item.get();
    folder->Children.InsertSorted(std::move(item));
    emit itemInserted(added);
    emit changed();
    return added;
}

void CollectionDocument::insertChildren(LinkItem *folder, std::vector<std::unique_ptr<LinkItem>> items)
{
    if (items.empty())
        return;
    folder->Children.InsertSortedBatch(std::move(items));
    childrenAdded(folder);
}

void CollectionDocument::childrenAdded(LinkItem *folder)
{
    emit childrenInserted(folder);
    emit changed();
}

void CollectionDocument::remove(LinkItem *item)
{
    LinkItem *parent = item->Parent;
    if (!parent)
        return;
    emit itemAboutToBeRemoved(item);
    parent->Children.Remove(item);
    emit itemRemoved(parent);
    emit changed();
}

void CollectionDocument::removeItems(const std::vector<LinkItem *> &items)
{
    if (items.empty())
        return;
    std::vector<LinkItem *> parents;
    parents.reserve(items.size());
    for (const LinkItem *item : items)
        parents.push_back(item->Parent);
    emit itemsAboutToBeRemoved(items);
    DeleteFolders(items);
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    for (LinkItem *parent : parents)
        emit itemRemoved(parent);
    emit changed();
}

void CollectionDocument::move(LinkItem *item, LinkItem *destination)
{
    LinkItem *oldParent = item->Parent;
    if (!oldParent)
        return;
    for (const LinkItem *walk = destination; walk; walk = walk->Parent) {
        if (walk == item)
            return;
    }
    oldParent->Children.MoveTo(item, destination->Children);
    emit itemMoved(item, oldParent);
    emit changed();
}

void CollectionDocument::rename(LinkItem *item, std::string_view name)
{
    item->Name = name;
    emit itemChanged(item, Field::Name);
    emit changed();
}

void CollectionDocument::setDescription(LinkItem *item, std::string_view description)
{
    item->Description = description;
    emit itemChanged(item, Field::Description);
    emit changed();
}

void CollectionDocument::fieldsEdited(LinkItem *item, Fields fields)
{
    emit itemChanged(item, fields);
    emit changed();
}

void CollectionDocument::visit(LinkItem *item)
{
    if (item->Visits < INT32_MAX)
        ++item->Visits;
    item->LastVisit = DateConverter::now();
    emit itemChanged(item, Field::Visits);
    emit changed();
}
