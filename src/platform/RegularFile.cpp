#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

bool openRegularFile(QFile &file, QIODevice::OpenMode extra)
{
#ifdef Q_OS_WIN
    if (!QFileInfo(file.fileName()).isFile())
        return false;
    return file.open(QIODevice::ReadOnly | extra);
#else
    const QByteArray native = QFile::encodeName(file.fileName());
    // Look before opening: opening a device can have effects of its own.
    struct stat before;
    if (::stat(native.constData(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    // Without O_NONBLOCK, opening a FIFO waits for a writer; a regular file ignores the flag.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1
        || !file.open(fd, QIODevice::ReadOnly | extra, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace platform
