#include "store/TreeWalk.h"

#include "store/LinkItem.h"

void TreeWalk::start(const LinkItem *root)
{
    m_levels.clear();
    if (root)
        enter(root);
}

void TreeWalk::enter(const LinkItem *folder)
{
    if (folder->Children.Count() > 0)
        m_levels.push_back({&folder->Children, 0});
}

LinkItem *TreeWalk::next()
{
    Level &level = m_levels.back();
    LinkItem *item = level.children->Get(level.next++);
    if (level.next == level.children->Count())
        m_levels.pop_back();
    enter(item);
    return item;
}
