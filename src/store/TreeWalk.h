#pragma once

#include <vector>

class LinkItem;

// The items below a root one at a time, in tree order: a folder, then its children in their stored order,
// depth first; the root itself is not visited. The walk keeps its own stack, since nesting may be far deeper
// than the call stack allows, so it can stop after any item and go on later, as long as the tree does not
// change in between.
class TreeWalk
{
public:
    // Starts over below `root` (nothing to visit for none).
    void start(const LinkItem *root);
    void clear() noexcept { m_pending.clear(); }

    bool atEnd() const noexcept { return m_pending.empty(); }
    // The next item; only when !atEnd().
    LinkItem *next();

private:
    void pushChildren(const LinkItem *item);

    std::vector<LinkItem *> m_pending;
};
