#pragma once

#include <QString>

class QFileDevice;

namespace platform {

// Flushes the file's buffers and forces its data to the disk. False when the system reports an error.
bool syncFile(QFileDevice &file);

// Forces a folder's entries (a rename into it, say) to the disk. Best effort where the system has no such call.
bool syncDirectory(const QString &path);

// Creates the folder (and missing parents) with the last level readable by its owner only.
bool makePrivateFolder(const QString &path);

} // namespace platform
