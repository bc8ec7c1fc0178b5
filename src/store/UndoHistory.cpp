#include "store/UndoHistory.h"

#include "store/UndoChanges.h"

#include <algorithm>

struct UndoHistory::Step
{
    QString caption;
    std::vector<std::unique_ptr<UndoChange>> changes;
    bool mergeable = true; // the next change of the same caption may join it
    size_t cost = 0;
};

UndoHistory::UndoHistory(int limit, size_t costLimit) : m_limit(std::max(1, limit)), m_costLimit(costLimit) { }

void UndoHistory::setLimits(int limit, size_t costLimit)
{
    m_limit = std::max(1, limit);
    m_costLimit = costLimit;
    dropOldest();
}

UndoHistory::~UndoHistory()
{
    clear();
}

void UndoHistory::clear()
{
    // Newest first: a later step may hold items that an earlier one refers to.
    while (!m_steps.empty())
        m_steps.pop_back();
    m_group.reset();
    m_depth = 0;
    m_done = 0;
    m_cost = 0;
}

void UndoHistory::beginGroup(const QString &caption)
{
    if (m_depth++ == 0) {
        m_group = std::make_unique<Step>();
        m_group->caption = caption;
        m_group->mergeable = false;
    }
}

void UndoHistory::endGroup()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    std::unique_ptr<Step> group = std::move(m_group);
    if (!group->changes.empty())
        push(std::move(group));
}

void UndoHistory::record(const QString &caption, std::unique_ptr<UndoChange> change)
{
    if (m_group) {
        m_group->changes.push_back(std::move(change));
        return;
    }
    auto step = std::make_unique<Step>();
    step->caption = caption;
    step->changes.push_back(std::move(change));
    push(std::move(step));
}

UndoChange *UndoHistory::openChange(const QString &caption) const
{
    if (m_group || m_done == 0 || m_done != count())
        return nullptr;
    const Step &top = *m_steps.back();
    if (!top.mergeable || top.caption != caption || top.changes.size() != 1)
        return nullptr;
    return top.changes.front().get();
}

void UndoHistory::push(std::unique_ptr<Step> step)
{
    while (count() > m_done) {
        m_cost -= m_steps.back()->cost;
        m_steps.pop_back();
    }
    if (!m_steps.empty())
        m_steps.back()->mergeable = false;
    for (const auto &change : step->changes)
        step->cost += change->cost();
    m_cost += step->cost;
    m_steps.push_back(std::move(step));
    ++m_done;
    dropOldest();
}

void UndoHistory::dropOldest()
{
    // Only done steps are dropped, from the oldest: what the newest done step refers to is still in place.
    while (m_done > 1 && (count() > m_limit || m_cost > m_costLimit)) {
        m_cost -= m_steps.front()->cost;
        m_steps.pop_front();
        --m_done;
    }
}

QString UndoHistory::undoCaption() const
{
    return canUndo() ? m_steps[static_cast<size_t>(m_done - 1)]->caption : QString();
}

QString UndoHistory::redoCaption() const
{
    return canRedo() ? m_steps[static_cast<size_t>(m_done)]->caption : QString();
}

LinkItem *UndoHistory::undo(CollectionDocument &document)
{
    if (!canUndo())
        return nullptr;
    Step &step = *m_steps[static_cast<size_t>(--m_done)];
    step.mergeable = false;
    LinkItem *shown = nullptr;
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) {
        (*it)->undo(document);
        if (LinkItem *item = (*it)->undoneItem())
            shown = item;
    }
    return shown;
}

LinkItem *UndoHistory::redo(CollectionDocument &document)
{
    if (!canRedo())
        return nullptr;
    Step &step = *m_steps[static_cast<size_t>(m_done++)];
    for (auto &change : step.changes)
        change->redo(document);
    return nullptr;
}
