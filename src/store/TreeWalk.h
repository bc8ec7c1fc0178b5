#pragma once

#include <vector>

class ItemList;
class LinkItem;

// The items below a root one at a time, in tree order: a folder, then its children in their stored order,
// depth first; the root itself is not visited. The walk keeps its own stack, since nesting may be far deeper
// than the call stack allows, so it can stop after any item and go on later, as long as the tree does not
// change in between. It remembers one place per level, so that each step is small even in a folder of a
// million children.
class TreeWalk
{
public:
    // Starts over below `root` (nothing to visit for none).
    void start(const LinkItem *root);
    void clear() noexcept { m_levels.clear(); }

    bool atEnd() const noexcept { return m_levels.empty(); }
    // The next item; only when !atEnd().
    LinkItem *next();

private:
    struct Level
    {
        const ItemList *children;
        int next;
    };
    void enter(const LinkItem *folder);

    std::vector<Level> m_levels; // each level's next child; a level ends when its last child is visited
};
