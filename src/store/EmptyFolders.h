#pragma once

#include <vector>

class LinkItem;

// The folders below a folder that hold no link at any depth, for "Delete Empty Folders".
struct EmptyFolderList
{
    // The outermost such folders, in tree order: deleting them deletes every other empty folder found, since
    // those all lie inside them. None of them lies inside another.
    std::vector<LinkItem *> topmost;
    // Every folder that goes when the topmost ones are deleted, nested ones included: the number to put in
    // "Are you sure you want to delete N empty folders?".
    int count = 0;
};

// Looks below `folder` (never at the folder itself, so never at the root either). Walks the tree without
// recursion, however deep it is.
EmptyFolderList FindEmptyFolders(LinkItem *folder);

// Deletes the given folders with their subtrees, each from its parent's children; they must not lie inside
// one another (the topmost folders of FindEmptyFolders do not). Views that refer to them must let go first.
void DeleteFolders(const std::vector<LinkItem *> &folders);
