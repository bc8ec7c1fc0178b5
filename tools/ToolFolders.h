#pragma once

#include <QString>

class LinkItem;

namespace ToolFolders {

// The folder named by path below root: the first folder of each name, from root's children down, the names
// joined by "\"; root itself for an empty path. Null, with the name not found in missing, when there is none.
LinkItem *folderAt(LinkItem &root, const QString &path, QString *missing);

} // namespace ToolFolders
