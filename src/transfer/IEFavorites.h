#pragma once

#include "store/Progress.h"

#include <QString>

#include <string>

class LinkItem;

// Imports a Favorites folder tree into a folder of the collection: every folder becomes a folder item,
// every Internet shortcut file (a file whose section "InternetShortcut" holds a key "URL") a link item.
// Items are only added, one at a time with InsertSorted, a folder before its contents; nothing already
// in the target is compared or replaced. Hidden entries and everything below them are skipped, and so
// are files that are not shortcuts, without a message.
class IEFavorites
{
public:
    // What the shortcut lookup gives when the file holds no URL.
    static constexpr const char *NoUrl = "non url";

    // Told the items imported so far after every item.
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Imports the folder tree below `path` (with or without a closing separator) into target's children.
    void ImportDirectory(const QString &path, LinkItem *target);

    int foldersRead() const { return m_folders; }
    int linksRead() const { return m_links; }
    bool wasCancelled() const { return m_cancelled; }

    // A folder's item name: the folder's name as it is, but that a backslash, which item names never
    // hold (POSIX file names may), becomes "_".
    static std::string FolderName(const QString &folderName);
    // A shortcut's item name: the file name without its last extension (from the last "." on), with the
    // backslash rule of FolderName.
    static std::string LinkName(const QString &fileName);

private:
    bool report();

    Progress m_progress;
    int m_folders = 0;
    int m_links = 0;
    bool m_cancelled = false;
};
