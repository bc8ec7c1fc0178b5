#pragma once

#include <QString>

#include <deque>
#include <memory>
#include <vector>

class CollectionDocument;
class LinkItem;
class UndoChange;

// The steps that can be undone and redone, oldest first. A step is one command: its caption names it
// ("Delete 3 objects") and it holds the changes the command made, undone in reverse order. Past the
// bound, the oldest steps are dropped (with the items they kept alive).
class UndoHistory
{
public:
    static constexpr int DefaultLimit = 100;
    // About 1,000,000 items kept alive or remembered in place (see UndoChange::cost), some tens of megabytes.
    static constexpr size_t DefaultCostLimit = 1000000;

    explicit UndoHistory(int limit = DefaultLimit, size_t costLimit = DefaultCostLimit);
    ~UndoHistory();

    UndoHistory(const UndoHistory &) = delete;
    UndoHistory &operator=(const UndoHistory &) = delete;

    void clear();
    int limit() const { return m_limit; }
    int count() const { return static_cast<int>(m_steps.size()); }
    size_t cost() const { return m_cost; }
    // The bounds: the newest step stays whatever it costs.
    void setLimits(int limit, size_t costLimit);

    // Changes recorded between beginGroup and the matching endGroup make one step, named by the outermost
    // caption.
    void beginGroup(const QString &caption);
    void endGroup();

    // Adds change as a step of its own, or to the open group. Whatever was undone can no longer be redone.
    void record(const QString &caption, std::unique_ptr<UndoChange> change);
    // The newest step, when it can take more changes of its kind: neither undone nor closed by another step.
    UndoChange *openChange(const QString &caption) const;

    bool canUndo() const { return m_done > 0 && m_depth == 0; }
    bool canRedo() const { return m_done < count() && m_depth == 0; }
    QString undoCaption() const;
    QString redoCaption() const;

    // Undo and redo the next step; they return the item to show, if any.
    LinkItem *undo(CollectionDocument &document);
    LinkItem *redo(CollectionDocument &document);

private:
    struct Step;
    void push(std::unique_ptr<Step> step);
    void dropOldest();

    std::deque<std::unique_ptr<Step>> m_steps;
    int m_done = 0; // the steps before this one are done, the others undone
    int m_limit;
    size_t m_costLimit;
    size_t m_cost = 0;
    int m_depth = 0; // open groups
    std::unique_ptr<Step> m_group;
};
