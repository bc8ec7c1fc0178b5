#pragma once

#include <QIODevice>

class QFile;

namespace platform {

// Opens the file named by file.fileName() for reading, only when that name leads (through any symbolic
// links) to a regular file. A FIFO, socket or device is never opened, and one swapped in after the check
// is refused without the open waiting for a writer. False when the file is not a regular file or cannot
// be opened; extra is added to QIODevice::ReadOnly.
bool openRegularFile(QFile &file, QIODevice::OpenMode extra = {});

} // namespace platform
