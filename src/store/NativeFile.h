#pragma once

#include "store/ImportExport.h"

#include <QFileDevice>
#include <QString>

#include <cstdint>

class QIODevice;
class LinkItem;

// Whole native files: the version number plus the top record, as the data file, the import and
// export commands and quillmark-tool use them.
namespace NativeFile {

constexpr std::int32_t CurrentVersion = 10000;

struct ReadResult
{
    enum Status {
        Complete, // the top record and its subtree were read whole
        Damaged, // read as far as it goes; error says why it stopped
        NewerVersion, // the version number is above 10000 and newer versions were refused: nothing read
        Cancelled, // the progress callback asked to stop; what was read stays
        OutOfMemory, // what the file describes does not fit in memory: no item was added to the target
    };
    Status status = Complete;
    std::int32_t version = 0; // 10000, or 0 for the first version
    QString error;
    int folders = 0; // items added below the top record
    int links = 0;

    bool ok() const { return status == Complete; }
};

// Reads the 4-byte version number and the top record into target. Exactly 10000 selects version
// 10000; any other value means the first version, read again from the start. With refuseNewer,
// a number above 10000 reads nothing (the data file's rule). An allocation that fails while reading
// ends the read with OutOfMemory instead of an exception.
ReadResult read(QIODevice &stream, LinkItem &target, bool refuseNewer, Progress progress = {});

// Writes the version number 10000 and item's subtree. False (with *error) when the stream did not
// take every byte.
bool write(QIODevice &stream, const LinkItem &item, QString *error);

enum class Sync { Full, NoSync };

// Writes the file through a temporary file in the same folder that is flushed, synced and renamed
// over the old one; the folder is synced too. Either the old or the new file survives a crash.
bool saveAtomically(const QString &path, const LinkItem &item, QString *error, Sync sync = Sync::Full,
                    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner);

} // namespace NativeFile
