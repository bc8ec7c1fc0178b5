#pragma once

#include <QString>

class QFileDevice;

namespace platform {

// Why writing path through file failed, in words a user can act on. A write the system took only in part (Qt
// then says "Unknown error") or refused for want of room means the disk is full: the message names the disk
// and the file. Any other failure keeps the system's reason, with the file's name.
QString writeError(const QFileDevice &file, const QString &path);

// That the disk holding path is full, naming the disk and the file.
QString diskFullError(const QString &path);

} // namespace platform
