#pragma once

#include <QString>

class QFileDevice;

namespace platform {

// Flushes the file's buffers and forces its data to the disk. False when the system reports an error.
bool syncFile(QFileDevice &file);

// Forces a folder's entries (a rename into it, say) to the disk. Best effort where the system has no such call.
bool syncDirectory(const QString &path);

// Makes the folder one that only the user can use: every missing level is created with the rights of its
// owner only (mode 0700, whatever the file-creation mask); an existing folder, or the one a link leads to,
// must belong to the user and loses any rights of others. False (with the reason in *error) when the
// folder cannot be created, is not a folder, belongs to someone else or cannot be changed.
bool makePrivateFolder(const QString &path, QString *error = nullptr);

// Keeps the file's present contents under a second name in the same folder: as a second link to the same data
// where the system has them (nothing is copied, so a huge file costs no room; a later save replaces the file by
// renaming and leaves that data alone), as a copy otherwise. False when neither worked.
bool keepCopy(const QString &from, const QString &to);

// Takes any rights of others away from a regular file of the user (mode 0600 for a file that was 0666).
// False when the file is missing, is not the user's or cannot be changed.
bool makeFilePrivate(const QString &path);

} // namespace platform
