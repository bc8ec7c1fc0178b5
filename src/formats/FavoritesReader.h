#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QString>

#include <string>

class LinkItem;

// Imports a Favorites folder tree into a folder of the collection: every folder becomes a folder item
// (inserted before its contents, kept when empty), every Internet shortcut file (a file whose section
// "InternetShortcut" holds a key "URL") a link item named after the file without its last extension,
// its URL the value as it is. Items are only added, each where InsertSorted puts it; nothing already
// in the target is compared or replaced. Hidden and system entries are skipped with everything below
// them, and so are files that are no shortcuts, silently; a folder reached again through a link is left
// out, so link cycles end (FolderWalk). Only a top folder that cannot be opened is an error.
class FavoritesReader
{
public:
    // What the shortcut lookup gives when the file holds no URL.
    static constexpr const char *NoUrl = "non url";

    // Imports the folder tree below `path` (with or without a closing separator) into target's children.
    // The progress callback hears of every item.
    static ImportReport importDirectory(const QString &path, LinkItem &target, const Progress &progress = {});

    // A shortcut's item name: the file name without its last extension (from the last "." on).
    static std::string linkName(const QString &fileName);
};
