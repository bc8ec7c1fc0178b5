#pragma once

#include "sync/SyncTree.h"

#include <QByteArray>
#include <QString>

// The file shared with the browsers' sync extension: UTF-8 XBEL with an id on every folder and
// bookmark and a comment giving the highest id in use. Quillmark adds its own fields as desc and as
// a metadata element inside info, which other clients may drop: an item carries our fields (its
// description among them) only when it has our metadata element, which we write on every item.
namespace SyncFile {

// The owner of our metadata element.
inline constexpr char MetadataOwner[] = "quillmark";

struct ReadResult
{
    SyncTree tree;
    QString error; // empty when the file was read
    int renumbered = 0; // items without a usable id that were given a new one
    bool ok() const { return error.isEmpty(); }
};

// Reads the whole file; anything but a complete XBEL document is an error (a file cut short must
// never look like a file whose other items were deleted). Elements we do not know are passed over.
ReadResult read(const QByteArray &bytes);

QByteArray write(const SyncTree &tree);

} // namespace SyncFile
