#include "ToolFolders.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QStringList>

namespace ToolFolders {

LinkItem *folderAt(LinkItem &root, const QString &path, QString *missing)
{
    LinkItem *folder = &root;
    if (path.isEmpty())
        return folder;
    for (const QString &name : path.split(QLatin1Char('\\'))) {
        LinkItem *next = nullptr;
        for (const auto &child : folder->Children) {
            if (child->isFolder() && TextCodec::toDisplay(child->Name) == name) {
                next = child.get();
                break;
            }
        }
        if (!next) {
            *missing = name;
            return nullptr;
        }
        folder = next;
    }
    return folder;
}

} // namespace ToolFolders
