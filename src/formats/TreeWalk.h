#pragma once

#include "store/LinkItem.h"

#include <utility>
#include <vector>

// Asks for the entries a few steps ahead of entry `next` while the walk works on the ones before:
// the writers spend most of their time waiting for items and texts to arrive from memory otherwise.
inline void prefetchAhead(const LinkItem &folder, int next)
{
#if defined(__GNUC__) || defined(__clang__)
    const int count = folder.Children.Count();
    if (next + 4 < count) {
        const auto *ahead = reinterpret_cast<const char *>(folder.Children.Get(next + 4));
        __builtin_prefetch(ahead);
        __builtin_prefetch(ahead + 64);
    }
    if (next + 1 < count) {
        const LinkItem *after = folder.Children.Get(next + 1);
        __builtin_prefetch(after->Name.data());
        __builtin_prefetch(after->Url.data());
        __builtin_prefetch(after->Description.data());
    }
#else
    (void)folder;
    (void)next;
#endif
}

// Walks the entries below a folder depth first, in the order of Children, with a list instead of
// recursion so that nesting of any depth is fine. enter(item, depth) is called for every entry (a
// folder before its entries; depth 0 for the folder's own entries), leave(folder, depth) after a
// folder's entries. Either returning false ends the walk; the result says whether it went to the end.
template<class Enter, class Leave> bool walkSubtree(const LinkItem &top, Enter enter, Leave leave)
{
    std::vector<std::pair<const LinkItem *, int>> stack {{&top, 0}};
    while (!stack.empty()) {
        auto &[folder, next] = stack.back();
        if (next == folder->Children.Count()) {
            const LinkItem *done = folder;
            stack.pop_back();
            if (!stack.empty() && !leave(*done, static_cast<int>(stack.size()) - 1))
                return false;
            continue;
        }
        const LinkItem *item = folder->Children.Get(next++);
        prefetchAhead(*folder, next);
        const int depth = static_cast<int>(stack.size()) - 1;
        if (!enter(*item, depth))
            return false;
        if (item->isFolder())
            stack.emplace_back(item, 0);
    }
    return true;
}
