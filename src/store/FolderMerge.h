#pragma once

#include <utility>
#include <vector>

class CollectionDocument;
class LinkItem;
class UrlKey;

// Sibling folders of the same name (ignoring case and surrounding blanks) made one: the folder whose name
// sorts first receives the contents of the others, at every depth, and identical links (same name, same
// URL key) inside a folder that received contents are made one as duplicates are.
struct FolderMergePlan
{
    // Each folder with the folder it goes into, outer folders before the folders inside them.
    std::vector<std::pair<LinkItem *, LinkItem *>> merges;
    // The identical links of each folder that receives contents, in tree order.
    std::vector<std::vector<LinkItem *>> identicalLinks;

    int folderCount() const { return static_cast<int>(merges.size()); }
    int linkCount() const;
    bool empty() const { return merges.empty(); }

    // Looks below folder, at any depth, without changing anything. Walks without recursion.
    static FolderMergePlan of(LinkItem *folder, const UrlKey &key);
};

// Carries out plan through document: moves the contents, makes the identical links one and deletes what
// has gone into another. Returns the links deleted. The caller makes it one step.
int ApplyFolderMerge(CollectionDocument &document, const FolderMergePlan &plan);
