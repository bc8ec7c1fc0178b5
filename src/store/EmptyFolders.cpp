#include "store/EmptyFolders.h"

#include "store/LinkItem.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

struct Frame
{
    LinkItem *folder;
    int next = 0; // the next child to look at
    bool holdsLink = false;
    int emptyInside = 0; // empty folders found below, nested ones included
    size_t firstTopmost; // where this folder's empty descendants start in the result
};

} // namespace

EmptyFolderList FindEmptyFolders(LinkItem *folder)
{
    EmptyFolderList found;
    if (!folder)
        return found;
    // Depth first, children in stored order. While a folder is open, its empty descendants are the topmost
    // candidates after firstTopmost; when it turns out to be empty itself, it replaces them all.
    std::vector<Frame> stack;
    stack.push_back({folder, 0, false, 0, 0});
    while (true) {
        Frame &top = stack.back();
        if (top.next < top.folder->Children.Count()) {
            LinkItem *child = top.folder->Children.Get(top.next++);
            if (child->isFolder())
                stack.push_back({child, 0, false, 0, found.topmost.size()});
            else
                top.holdsLink = true;
            continue;
        }
        const Frame done = top;
        stack.pop_back();
        if (stack.empty()) {
            found.count = done.emptyInside;
            break;
        }
        Frame &parent = stack.back();
        if (done.holdsLink) {
            parent.holdsLink = true;
            parent.emptyInside += done.emptyInside;
        } else {
            found.topmost.resize(done.firstTopmost);
            found.topmost.push_back(done.folder);
            parent.emptyInside += done.emptyInside + 1;
        }
    }
    return found;
}

void DeleteFolders(const std::vector<LinkItem *> &folders)
{
    std::unordered_map<LinkItem *, std::unordered_set<const LinkItem *>> byParent;
    for (LinkItem *folder : folders) {
        if (folder && folder->Parent)
            byParent[folder->Parent].insert(folder);
    }
    // Empty each parent's list from the back (no entry moves), drop the doomed entries with their subtrees and
    // put the others back in their order: one pass per parent, however many siblings go.
    for (auto &[parent, doomed] : byParent) {
        ItemList &children = parent->Children;
        std::vector<std::unique_ptr<LinkItem>> kept;
        kept.reserve(static_cast<size_t>(children.Count()));
        while (children.Count() > 0) {
            std::unique_ptr<LinkItem> entry = children.TakeAt(children.Count() - 1);
            if (!doomed.count(entry.get()))
                kept.push_back(std::move(entry));
        }
        std::reverse(kept.begin(), kept.end());
        children.InsertSortedBatch(std::move(kept));
    }
}
