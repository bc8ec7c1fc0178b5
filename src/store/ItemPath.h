#pragma once

#include <QString>

#include <vector>

class LinkItem;

// Folder paths as the user reads them: the names from the root down, joined with backslashes
// ("Quillmark\Work\Projects"). Names never hold a backslash, so a path reads back unambiguously.
// The path of a very deep folder is shortened in the middle to the root's name, "…" and the last folders,
// so that a chain of many thousands of folders costs no more than a short one.
namespace ItemPath {

// The path of a folder, ending with the folder's own name; the root's is its name.
QString pathOf(const LinkItem *folder);

// The path of the folder that holds the item; empty for the root, which no folder holds.
QString locationOf(const LinkItem *item);

// The path made of display names from the root down, shortened by the same rule; for callers that walk
// the tree and keep the names of the folders above.
QString fromNames(const std::vector<QString> &namesFromRoot);

// A shortened path shows at most about this many characters and this many folders after the root.
inline constexpr int MaxPathLength = 400;
inline constexpr int MaxPathFolders = 64;

} // namespace ItemPath
