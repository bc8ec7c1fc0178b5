#include "store/TreeWalk.h"

#include "store/LinkItem.h"

void TreeWalk::start(const LinkItem *root)
{
    m_pending.clear();
    if (root)
        pushChildren(root);
}

// Children go on the stack last first, so that the first child comes off first.
void TreeWalk::pushChildren(const LinkItem *item)
{
    for (auto it = item->Children.end(); it != item->Children.begin();)
        m_pending.push_back((--it)->get());
}

LinkItem *TreeWalk::next()
{
    LinkItem *item = m_pending.back();
    m_pending.pop_back();
    pushChildren(item);
    return item;
}
