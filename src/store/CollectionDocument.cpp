#include "store/CollectionDocument.h"

#include <QCoreApplication>

#include "store/DateConverter.h"
#include "store/UndoChanges.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace {
std::vector<LinkItem *> childrenOf(const LinkItem *folder)
{
    std::vector<LinkItem *> children;
    children.reserve(static_cast<size_t>(folder->Children.Count()));
    for (const auto &entry : folder->Children)
        children.push_back(entry.get());
    return children;
}

QString objectsCaption(const QString &verb, size_t count)
{
    return count == 1 ? QCoreApplication::translate("CollectionDocument", "%1 1 object").arg(verb)
                      : QCoreApplication::translate("CollectionDocument", "%1 %2 objects").arg(verb).arg(count);
}
} // namespace

CollectionDocument::CollectionDocument(LinkItem *root, QObject *parent) : QObject(parent), m_root(root) { }

CollectionDocument::~CollectionDocument() = default;

void CollectionDocument::setRoot(LinkItem *root)
{
    // The steps refer to the items of the old tree.
    m_history.clear();
    m_editing = m_filling = nullptr;
    m_editedValues.reset();
    m_filledBefore.clear();
    m_root = root;
    emit historyChanged();
}

void CollectionDocument::record(const QString &caption, std::unique_ptr<UndoChange> change)
{
    m_history.record(caption, std::move(change));
    emit historyChanged();
}

LinkItem *CollectionDocument::insertSorted(LinkItem *folder, std::unique_ptr<LinkItem> item)
{
    LinkItem *added = item.get();
    const int index = folder->Children.InsertSorted(std::move(item));
    record(added->isFolder() ? QCoreApplication::translate("CollectionDocument", "New Folder")
                             : QCoreApplication::translate("CollectionDocument", "New URL"),
           std::make_unique<PlacementChange>(folder, index, added, nullptr));
    emit itemInserted(added);
    emit changed();
    return added;
}

void CollectionDocument::insertChildren(LinkItem *folder, std::vector<std::unique_ptr<LinkItem>> items)
{
    if (items.empty())
        return;
    const QString caption = items.size() == 1 && !items.front()->isFolder()
        ? QCoreApplication::translate("CollectionDocument", "New URL")
        : objectsCaption(QCoreApplication::translate("CollectionDocument", "Add"), items.size());
    std::vector<LinkItem *> before = childrenOf(folder);
    folder->Children.InsertSortedBatch(std::move(items));
    record(caption,
           std::make_unique<ChildrenChange>(folder, std::move(before), childrenOf(folder),
                                            std::vector<std::unique_ptr<LinkItem>>()));
    emit childrenInserted(folder);
    emit changed();
}

void CollectionDocument::aboutToAddChildren(LinkItem *folder)
{
    m_filling = folder;
    m_filledBefore = childrenOf(folder);
}

void CollectionDocument::childrenAdded(LinkItem *folder)
{
    if (folder == m_filling) {
        std::vector<LinkItem *> after = childrenOf(folder);
        if (after != m_filledBefore)
            record(QCoreApplication::translate("CollectionDocument", "Import"),
                   std::make_unique<ChildrenChange>(folder, std::move(m_filledBefore), std::move(after),
                                                    std::vector<std::unique_ptr<LinkItem>>()));
    }
    m_filling = nullptr;
    m_filledBefore.clear();
    emit childrenInserted(folder);
    emit changed();
}

void CollectionDocument::remove(LinkItem *item)
{
    LinkItem *parent = item->Parent;
    if (!parent)
        return;
    const int index = parent->Children.IndexOf(item);
    if (index < 0)
        return;
    emit itemAboutToBeRemoved(item);
    std::unique_ptr<LinkItem> taken = parent->Children.TakeAt(index);
    record(objectsCaption(QCoreApplication::translate("CollectionDocument", "Delete"), 1),
           std::make_unique<PlacementChange>(parent, index, item, std::move(taken)));
    emit itemRemoved(parent);
    emit changed();
}

void CollectionDocument::removeItems(const std::vector<LinkItem *> &items)
{
    if (items.empty())
        return;
    std::vector<LinkItem *> parents;
    std::unordered_map<const LinkItem *, std::unordered_set<const LinkItem *>> byParent;
    parents.reserve(items.size());
    for (LinkItem *item : items) {
        if (item && item->Parent && byParent[item->Parent].insert(item).second && byParent[item->Parent].size() == 1)
            parents.push_back(item->Parent);
    }
    emit itemsAboutToBeRemoved(items);
    // Each parent's list is emptied and the kept entries put back in one pass, however many siblings go;
    // the doomed entries stay alive in the step.
    m_history.beginGroup(objectsCaption(QCoreApplication::translate("CollectionDocument", "Delete"), items.size()));
    for (LinkItem *parent : parents) {
        const auto &doomed = byParent[parent];
        std::vector<LinkItem *> before = childrenOf(parent);
        std::vector<std::unique_ptr<LinkItem>> kept;
        std::vector<std::unique_ptr<LinkItem>> removed;
        kept.reserve(before.size());
        for (auto &entry : parent->Children.TakeAll())
            (doomed.contains(entry.get()) ? removed : kept).push_back(std::move(entry));
        parent->Children.InsertSortedBatch(std::move(kept));
        m_history.record(
            QString(),
            std::make_unique<ChildrenChange>(parent, std::move(before), childrenOf(parent), std::move(removed)));
    }
    m_history.endGroup();
    emit historyChanged();
    std::sort(parents.begin(), parents.end());
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
    const int from = oldParent->Children.IndexOf(item);
    if (from < 0)
        return;
    const int to = destination->Children.InsertSorted(oldParent->Children.TakeAt(from));
    record(QCoreApplication::translate("CollectionDocument", "Move"),
           std::make_unique<MoveChange>(item, oldParent, from, destination, to));
    emit itemMoved(item, oldParent);
    emit changed();
}

void CollectionDocument::moveChildren(LinkItem *from, LinkItem *destination)
{
    for (const LinkItem *walk = destination; walk; walk = walk->Parent) {
        if (walk == from)
            return;
    }
    if (from->Children.Count() == 0)
        return;
    std::vector<LinkItem *> moved = childrenOf(from);
    std::vector<LinkItem *> before = childrenOf(destination);
    destination->Children.InsertSortedBatch(from->Children.TakeAll());
    auto change = std::make_unique<ChildrenMoveChange>(from, std::move(moved), destination, std::move(before),
                                                       childrenOf(destination));
    ChildrenMoveChange *made = change.get();
    record(QCoreApplication::translate("CollectionDocument", "Move"), std::move(change));
    made->announce(*this, from);
    emit changed();
}

void CollectionDocument::rename(LinkItem *item, std::string_view name)
{
    ItemFieldValues old = ItemFieldValues::of(*item);
    item->Name = name;
    if (old.name.view() != item->Name.view())
        record(QCoreApplication::translate("CollectionDocument", "Rename"),
               std::make_unique<FieldsChange>(item, Field::Name, std::move(old)));
    emit itemChanged(item, Field::Name);
    emit changed();
}

void CollectionDocument::setDescription(LinkItem *item, std::string_view description)
{
    const QString caption = QCoreApplication::translate("CollectionDocument", "Description");
    // Typing goes on in one step: the step that holds the text as it was before the typing began.
    const auto *typing = dynamic_cast<const FieldsChange *>(m_history.openChange(caption));
    const bool goesOn = typing && typing->item() == item && typing->fields() == Field::Description;
    ItemFieldValues old = goesOn ? ItemFieldValues() : ItemFieldValues::of(*item);
    item->Description = description;
    if (!goesOn)
        record(caption, std::make_unique<FieldsChange>(item, Field::Description, std::move(old)));
    emit itemChanged(item, Field::Description);
    emit changed();
}

void CollectionDocument::aboutToEditFields(LinkItem *item)
{
    m_editing = item;
    m_editedValues = std::make_unique<ItemFieldValues>(ItemFieldValues::of(*item));
}

void CollectionDocument::fieldsEdited(LinkItem *item, Fields fields)
{
    if (item == m_editing && m_editedValues) {
        const Fields edited = m_editedValues->differences(*item);
        if (edited)
            record(QCoreApplication::translate("CollectionDocument", "Properties"),
                   std::make_unique<FieldsChange>(item, edited, std::move(*m_editedValues)));
    }
    m_editing = nullptr;
    m_editedValues.reset();
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

void CollectionDocument::beginCommand(const QString &caption)
{
    m_history.beginGroup(caption);
}

void CollectionDocument::endCommand()
{
    m_history.endGroup();
    emit historyChanged();
}

LinkItem *CollectionDocument::undo()
{
    if (!m_history.canUndo())
        return nullptr;
    LinkItem *shown = m_history.undo(*this);
    emit changed();
    emit historyChanged();
    return shown;
}

void CollectionDocument::redo()
{
    if (!m_history.canRedo())
        return;
    m_history.redo(*this);
    emit changed();
    emit historyChanged();
}
